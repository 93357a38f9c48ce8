#include "screens/key_guard.h"

#include "engine/graphics_engine.h"
#include "engine/input.h"

void KeyGuard::Arm() {
  input.PollKeyboard();
  for (int s = 1; s < kScancodes; ++s) stale_[s] = input.KeyHeld(s);
}

int KeyGuard::Filter(int keyValue) {
  input.PollKeyboard();
  for (int s = 1; s < kScancodes; ++s)
    if (stale_[s] && !input.KeyHeld(s)) stale_[s] = false;
  const int scancode = (keyValue >> 8) & 0xff;
  if (scancode > 0 && scancode < kScancodes && stale_[scancode]) return 0;
  return keyValue;
}
