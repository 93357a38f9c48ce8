// The real machine, reached through Allegro: keyboard, mouse, gamepad,
// samples, the screen (window or full screen, the picture shown once or
// doubled) and the wait for the next tick of the frame clock.
#pragma once

#include <string>

#include "engine/display_modes.h"
#include "engine/platform.h"
#include "engine/screen_writer.h"
#include "engine/settings.h"
#include "engine/x11_presenter.h"

class AllegroPlatform : public Platform {
 public:
  void PollKeyboard() override;
  bool KeyHeld(int scancode) override;
  bool KeyPressed() override;
  int ReadKey() override;
  void ClearKeyBuffer() override;
  const char* KeyName(int scancode) override;
  int ScancodeToAscii(int scancode) override;
  int KeyShifts() override;

  PadState ReadPad() override;
  bool TakeFocusLost() override;

  // The mouse in game coordinates, whatever the scale.
  int MouseButtons() override;
  int MouseX() override;
  int MouseY() override;
  void ShowMouse(bool visible) override;

  void PlaySample(SAMPLE* sample, int volume, int pan, int frequency, int loop) override;
  void StopSample(SAMPLE* sample) override;

  // The whole frame, or only the rows that differ from the one shown: at the
  // display's next refresh when presenting in step with it, else at once.
  void Present(BITMAP* frame) override;
  void PresentChanges(BITMAP* frame, BITMAP* shown) override;
  bool SetFullscreen(bool fullscreen) override;
  bool Fullscreen() const override { return mode_.fullscreen; }
  void CloseDisplay() override;
  void WaitForFrame() override;
  long long WaitForRefresh() override;
  void WaitIdle() override;
  void BeginIdle() override;
  void EndIdle() override;

  // Set by the engine: whether the mouse driver is installed.
  void SetMouseInstalled(bool installed) { mouseInstalled_ = installed; }

  // Start-up: the first mode that the display accepts among the candidates
  // for the player's choice, each refusal written to the trace. False when
  // none could be set.
  bool OpenDisplay(bool fullscreen, int scale, RefreshMode refresh);
  const DisplayMode& Mode() const { return mode_; }
  // The gamepad and the hook on the window's focus.
  void InstallInputHooks();

 private:
  bool TryMode(const DisplayMode& mode);
  void AfterModeChange();
  void ShowPointer(bool visible);
  // Frames by the game's own clock at 60 a second, when the display can't
  // time them.
  long long WaitForOwnRefresh();


  bool mouseInstalled_ = false;
  bool padInstalled_ = false;
  bool mouseShown_ = false;
  int chosenScale_ = 0;
  DisplayMode mode_;
  ScreenWriter writer_;
  X11Presenter presenter_;
  RefreshMode refresh_ = RefreshMode::kDisplay;
  long long nextOwnRefreshNs_ = 0;
  bool presenterReported_ = false;
  // The screen's colour depth (the game draws in 16 bits whatever it is).
  int screenDepth_ = 16;
  bool idle_ = false;
};
