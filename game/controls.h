// The player's keys during play.
#pragma once

constexpr int kControlCount = 6;
enum Control { kUp = 0, kDown = 1, kLeft = 2, kRight = 3, kFire = 4, kSmartBomb = 5 };

// The scancode of one of the six redefinable actions, as the settings hold it
// (defaults: arrows, Z, space).
int ControlKey(int control);
extern const char* const kControlDescriptions[kControlCount];
constexpr int kKeyNameSize = 30;
extern char controlKeyNames[kControlCount][kKeyNameSize];

// Reads the player's actions once per logic step: thrust, turning, one shot
// per press, the smart bomb, and the quit question on Escape (a yes ends the
// process). False, with nothing done, when a recording being played back has
// no step left.
bool HandleGameKeys();
// The quit question of play; a yes ends the process.
void AskToQuit();
// Who asks it (the screens set a message box up); without one the answer is
// no.
void SetQuitQuestion(bool (*ask)());
// Fills a key-name buffer from the library's name of a scancode.
void NameControlKey(int control);
// Puts a new key on an action and keeps it in the settings. A key already
// used by another action changes places: that action takes this one's old
// key, so that no key ever serves two actions.
void AssignControlKey(int control, int scancode);
