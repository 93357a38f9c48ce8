#include "engine/input.h"

#include <allegro.h>

#include "engine/graphics_engine.h"
#include "engine/settings_store.h"

Input input;

namespace {
Platform& Machine() { return engine.CurrentPlatform(); }
}  // namespace

void Input::PollKeyboard() { Machine().PollKeyboard(); }
bool Input::KeyHeld(int scancode) { return Machine().KeyHeld(scancode); }
const char* Input::KeyName(int scancode) { return Machine().KeyName(scancode); }
int Input::ScancodeToAscii(int scancode) { return Machine().ScancodeToAscii(scancode); }
bool Input::TakeFocusLost() { return Machine().TakeFocusLost(); }

bool Input::IsGameKey(int scancode) const {
  for (int i = 0; i < gameKeyCount_; ++i)
    if (gameKeys_[i] == scancode) return true;
  return false;
}

// The keys every screen shares act here and are taken out of the screen's way.
int Input::FilterSharedKeys(int keyValue) {
  if (!sharedKeys_) return keyValue;
  const int scancode = keyValue >> 8;
  // The switch itself happens at the next frame. The typed key is read, not
  // the held one: a tap shorter than the time between two polls of the
  // keyboard only reaches the key buffer.
  if (scancode == KEY_F11 ||
      ((scancode == KEY_ENTER || scancode == KEY_ENTER_PAD) && (Machine().KeyShifts() & KB_ALT_FLAG))) {
    engine.AskDisplaySwitch();
    return 0;
  }
  if (typing_ || keyValue == 0 || IsGameKey(scancode)) return keyValue;
  switch (keyValue & 0xff) {
    case '-':
      engine.StepMusicVolume(-1);
      return 0;
    case '=':
    case '+':
      engine.StepMusicVolume(+1);
      return 0;
    case '[':
      engine.StepEffectsVolume(-1);
      return 0;
    case ']':
      engine.StepEffectsVolume(+1);
      return 0;
    case 'm':
    case 'M':
      engine.ToggleMute();
      return 0;
    default:
      return keyValue;
  }
}

InputPoll Input::Poll() {
  Platform& machine = Machine();
  InputPoll poll;
  if (machine.KeyPressed()) poll.key = machine.ReadKey();
  machine.ClearKeyBuffer();
  inputSeen_ = poll.key != 0;
  poll.key = FilterSharedKeys(poll.key);

  const PadState pad = machine.ReadPad();
  padPresses_ = pad.buttons & ~pad_.buttons;
  pad_ = pad;
  inputSeen_ = inputSeen_ || padPresses_ != 0 || (machine.MouseButtons() & 3) != 0;
  const Settings& settings = settingsStore.Current();
  if (padActsAsKeys_ && poll.key == 0) {
    if (PadPressed(settings.padFire) || PadPressed(settings.padStart))
      poll.key = KEY_ENTER << 8 | '\r';
    else if (PadPressed(settings.padBomb))
      poll.key = KEY_ESC << 8 | 27;
  }

  const int buttons = machine.MouseButtons();
  const int left = buttons & 1;
  const int right = buttons & 2;
  if (left || right) {
    poll.pressed = !previousLeft_ && !previousRight_;
  } else if (previousLeft_ || previousRight_) {
    poll.released = true;
    poll.leftClick = previousLeft_;
    poll.rightClick = previousRight_;
  }
  machine.ClearKeyBuffer();
  previousLeft_ = left;
  previousRight_ = right;
  poll.mouseX = machine.MouseX();
  poll.mouseY = machine.MouseY();
  return poll;
}

void Input::Discard() {
  Machine().ClearKeyBuffer();
  WaitMouseRelease();
  previousLeft_ = previousRight_ = 0;
  pad_ = Machine().ReadPad();
  padPresses_ = 0;
}

void Input::WaitMouseRelease() {
  while (Machine().MouseButtons() & 3) Machine().WaitForFrame();
}
