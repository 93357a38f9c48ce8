// The player's keys during play.
#pragma once

constexpr int kControlCount = 6;
enum Control { kUp = 0, kDown = 1, kLeft = 2, kRight = 3, kFire = 4, kSmartBomb = 5 };

// Scancodes of the six redefinable actions (defaults: arrows, Z, space).
extern int controlKeys[kControlCount];
extern const char* const kControlDescriptions[kControlCount];
constexpr int kKeyNameSize = 30;
extern char controlKeyNames[kControlCount][kKeyNameSize];

extern int nextBullet;
extern int fireArmed;
extern int bombArmed;

// Reads the held keys once per logic step: thrust, turning, one shot per press,
// the smart bomb, and the quit question on Escape (a yes ends the process).
void HandleGameKeys();
// Fills a key-name buffer from the library's name of a scancode.
void NameControlKey(int control);
