// The player's input: the keyboard (held keys, typed keys, key names), the
// mouse's buttons and position in game coordinates, the gamepad, and the keys
// every screen shares (F11 and Alt+Enter switch the display, - = [ ] and M set
// the volumes), which never reach a screen. Read through the engine's platform,
// so that tests can script it.
#pragma once

#include "engine/platform.h"

// What one poll saw.
struct InputPoll {
  int key = 0;                   // readkey() value, 0 when none (shared keys taken out)
  int leftClick = 0;             // a button released since the poll before
  int rightClick = 0;
  bool pressed = false;          // a button went down since the poll before
  bool released = false;         // all buttons came up since the poll before
  int mouseX = 0, mouseY = 0;
};

class Input {
 public:
  // One poll a step: the key typed, the mouse's clicks and the gamepad.
  InputPoll Poll();
  // Forgets what the player is pressing now: typed keys, a held mouse button
  // (waited for), gamepad presses; nothing of it reaches the next screen.
  void Discard();
  void WaitMouseRelease();

  void PollKeyboard();
  bool KeyHeld(int scancode);
  const char* KeyName(int scancode);
  int ScancodeToAscii(int scancode);

  // While a name or a key is typed every key belongs to the screen.
  void SetTyping(bool typing) { typing_ = typing; }
  // In play the game keys win over the volume keys (null: none).
  void SetGameKeys(const int* keys, int count) {
    gameKeys_ = keys;
    gameKeyCount_ = count;
  }
  bool IsGameKey(int scancode) const;
  // On the title, menu and help screens the gamepad's first button and start
  // act as Enter, its second as Escape.
  void SetPadActsAsKeys(bool on) { padActsAsKeys_ = on; }
  // Off: every key goes to the screen as it is, the shared ones too (a demo,
  // which any key ends).
  void SetSharedKeysEnabled(bool on) { sharedKeys_ = on; }

  // The gamepad as the last poll read it (once a step), and whether a button
  // went down since the poll before.
  const PadState& Pad() const { return pad_; }
  bool PadPressed(int button) const { return button >= 0 && button < 32 && (padPresses_ >> button & 1u); }
  bool AnyPadPressed() const { return padPresses_ != 0; }
  // Whether the last poll saw the player at all: a key typed (the keys every
  // screen shares included), a mouse button, a gamepad button.
  bool InputSeen() const { return inputSeen_; }
  // True once after the window lost the input focus.
  bool TakeFocusLost();

 private:
  int FilterSharedKeys(int keyValue);

  bool typing_ = false;
  bool sharedKeys_ = true;
  bool inputSeen_ = false;
  const int* gameKeys_ = nullptr;
  int gameKeyCount_ = 0;
  bool padActsAsKeys_ = false;
  PadState pad_;
  unsigned padPresses_ = 0;
  int previousLeft_ = 0;
  int previousRight_ = 0;
};

extern Input input;
