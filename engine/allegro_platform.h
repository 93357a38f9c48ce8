// The real machine, reached through Allegro: keyboard, mouse, samples, the
// screen and the wait for the next tick of the frame clock.
#pragma once

#include "engine/platform.h"

class AllegroPlatform : public Platform {
 public:
  void PollKeyboard() override;
  bool KeyHeld(int scancode) override;
  bool KeyPressed() override;
  int ReadKey() override;
  void ClearKeyBuffer() override;
  const char* KeyName(int scancode) override;
  int ScancodeToAscii(int scancode) override;

  int MouseButtons() override;
  int MouseX() override;
  int MouseY() override;
  void ShowMouse(bool visible) override;

  void PlaySample(SAMPLE* sample, int volume, int pan, int frequency, int loop) override;
  void StopSample(SAMPLE* sample) override;

  void Present(BITMAP* frame) override;
  void WaitForFrame() override;

  // Set by the engine: whether the mouse driver is installed, and whether the
  // timer thread runs (without it the wait sleeps on the system clock).
  void SetMouseInstalled(bool installed) { mouseInstalled_ = installed; }
  void SetTimerInstalled(bool installed) { timerInstalled_ = installed; }

 private:
  bool mouseInstalled_ = false;
  bool timerInstalled_ = false;
};
