// The player's keys during play.
#pragma once

struct Settings;

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

// Reads the player's actions once per logic step: thrust, turning, one shot
// per press, the smart bomb, and the quit question on Escape (a yes ends the
// process). False, with nothing done, when a recording being played back has
// no step left.
bool HandleGameKeys();
// The quit question of play; a yes ends the process.
void AskToQuit();
// Fills a key-name buffer from the library's name of a scancode.
void NameControlKey(int control);
// Puts a new key on an action and keeps it in the settings. A key already
// used by another action changes places: that action takes this one's old
// key, so that no key ever serves two actions.
void AssignControlKey(int control, int scancode);
// The control table from the settings (at start-up).
void LoadControlKeys(const Settings& settings);
