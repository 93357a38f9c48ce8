// A machine with nothing attached: no keys held, no mouse, silent samples, and
// frames that go nowhere. The benchmark measures the game's own work, not the
// copy to a display.
#pragma once

#include "engine/platform.h"

class NullPlatform : public Platform {
 public:
  void PollKeyboard() override {}
  bool KeyHeld(int) override { return false; }
  bool KeyPressed() override { return false; }
  int ReadKey() override { return 0; }
  void ClearKeyBuffer() override {}
  const char* KeyName(int) override { return "key"; }
  int ScancodeToAscii(int) override { return 0; }

  int MouseButtons() override { return 0; }
  int MouseX() override { return 0; }
  int MouseY() override { return 0; }
  void ShowMouse(bool) override {}

  void PlaySample(SAMPLE*, int, int, int, int) override {}
  void StopSample(SAMPLE*) override {}

  void Present(BITMAP*) override {}
  void WaitForFrame() override {}
};
