// A machine for tests: keys, typed keys and mouse buttons come from the test,
// sample plays are recorded, frames are counted (and the last one kept), and
// waiting for the frame clock advances a fake clock at once: one frame per
// wait, one 100 ms tick every five frames.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "engine/platform.h"

class ScriptedPlatform : public Platform {
 public:
  struct SampleCall {
    int index;  // data-file index, or -1 when the sample isn't in the data file
    int loop;
    bool stop;
    int volume;
  };

  ScriptedPlatform();
  ~ScriptedPlatform() override;

  // Keyboard.
  void PollKeyboard() override {}
  bool KeyHeld(int scancode) override;
  bool KeyPressed() override;
  int ReadKey() override;
  void ClearKeyBuffer() override { typed_.clear(); }
  const char* KeyName(int scancode) override;
  int ScancodeToAscii(int scancode) override;

  // Mouse.
  int MouseButtons() override;
  int MouseX() override { return mouseX_; }
  int MouseY() override { return mouseY_; }
  void ShowMouse(bool visible) override { mouseShown_ = visible; }

  PadState ReadPad() override { return pad_; }
  bool TakeFocusLost() override {
    const bool lost = focusLost_;
    focusLost_ = false;
    return lost;
  }
  bool SetFullscreen(bool fullscreen) override {
    fullscreen_ = fullscreen;
    return true;
  }
  bool Fullscreen() const override { return fullscreen_; }

  void PlaySample(SAMPLE* sample, int volume, int pan, int frequency, int loop) override;
  void StopSample(SAMPLE* sample) override;
  void Present(BITMAP* frame) override;
  void WaitForFrame() override;
  // A display refreshing every `periodNs` of a fake clock (0: frames follow
  // the steps, as without a display): each wait for a refresh moves the
  // clock on by one period and runs the hook like a wait for a frame.
  void SimulateRefresh(long long periodNs) {
    refreshPeriodNs_ = periodNs;
    refreshNs_ = 1000000000LL;
  }
  long long WaitForRefresh() override;

  // Script.
  void Hold(int scancode, bool down = true);
  void ReleaseAllKeys();
  void Type(int scancode);  // queues one key value for ReadKey
  void SetMouse(int x, int y, int buttons);
  // The mouse buttons come up by themselves after `frames` waits (so loops
  // that wait for a release end).
  void ReleaseMouseAfter(int waits) { releaseAfter_ = waits; }
  // Called at every wait, before the clock moves; lets a test script input
  // by frame number.
  void OnWait(std::function<void(long)> hook);
  // A gamepad with this state (present) until changed.
  void SetPad(const PadState& pad) { pad_ = pad; }
  // The window loses the input focus.
  void LoseFocus() { focusLost_ = true; }

  // Observations.
  int Plays(int index) const;
  int Stops(int index) const;
  const std::vector<SampleCall>& SampleCalls() const { return samples_; }
  // The volume of the last play of a sample (-1 when never played).
  int LastVolume(int index) const;
  void ClearSampleCalls() { samples_.clear(); }
  long FramesPresented() const { return presented_; }
  long Waits() const { return waits_; }
  bool MouseShown() const { return mouseShown_; }
  // Copy of the last presented frame (made only when asked for).
  void KeepFrames(bool keep) { keepFrames_ = keep; }
  BITMAP* LastFrame() const { return lastFrame_; }

 private:
  bool held_[128] = {};
  std::deque<int> typed_;
  int mouseX_ = 0, mouseY_ = 0, buttons_ = 0;
  int releaseAfter_ = -1;
  bool mouseShown_ = true;
  std::vector<SampleCall> samples_;
  long presented_ = 0;
  long waits_ = 0;
  bool keepFrames_ = false;
  BITMAP* lastFrame_ = nullptr;
  std::function<void(long)> hook_;
  PadState pad_;
  bool focusLost_ = false;
  bool fullscreen_ = true;
  long long refreshPeriodNs_ = 0;
  long long refreshNs_ = 0;
};
