// The machine of a game played with no display, no sound and no clock (a
// replay being verified, the demo being made): nothing is held or typed,
// sounds and frames go nowhere, and each wait for the frame clock is one
// frame at once, so the game runs as fast as it can.
#pragma once

#include "engine/clock.h"
#include "engine/platform.h"

class HeadlessPlatform : public Platform {
 public:
  void PollKeyboard() override {}
  bool KeyHeld(int) override { return false; }
  bool KeyPressed() override { return false; }
  int ReadKey() override { return 0; }
  void ClearKeyBuffer() override {}
  const char* KeyName(int) override { return ""; }
  int ScancodeToAscii(int) override { return 0; }

  int MouseButtons() override { return 0; }
  int MouseX() override { return 0; }
  int MouseY() override { return 0; }
  void ShowMouse(bool) override {}

  void PlaySample(SAMPLE*, int, int, int, int) override {}
  void StopSample(SAMPLE*) override {}

  void Present(BITMAP*) override {}
  void WaitForFrame() override { FrameCallback(); }
};
