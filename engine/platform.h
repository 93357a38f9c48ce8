// The thin layer between the engine and the machine: keyboard, mouse, sound
// output, the visible screen and waiting for the clock. The running game uses
// AllegroPlatform; tests install a scripted one so that whole games can be
// played without a display, a keyboard or real time.
#pragma once

struct BITMAP;
struct SAMPLE;

// The first gamepad as the game reads it: the first stick and the d-pad as
// four directions, and which buttons are held (bit n for button n).
struct PadState {
  bool present = false;
  bool up = false, down = false, left = false, right = false;
  unsigned buttons = 0;
  bool Held(int button) const { return button >= 0 && button < 32 && (buttons >> button & 1u); }
};

class Platform {
 public:
  virtual ~Platform() = default;

  // Keyboard. Key values are those of Allegro's readkey(): scancode in the high
  // byte, character in the low byte.
  virtual void PollKeyboard() = 0;
  virtual bool KeyHeld(int scancode) = 0;
  virtual bool KeyPressed() = 0;
  virtual int ReadKey() = 0;
  virtual void ClearKeyBuffer() = 0;
  virtual const char* KeyName(int scancode) = 0;
  virtual int ScancodeToAscii(int scancode) = 0;
  // Allegro's key_shifts flags (KB_ALT_FLAG and the like).
  virtual int KeyShifts() { return 0; }

  // The first gamepad; nothing present when there is none.
  virtual PadState ReadPad() { return PadState(); }

  // True once after the game's window lost the input focus.
  virtual bool TakeFocusLost() { return false; }

  // Mouse: bit 0 left button, bit 1 right button.
  virtual int MouseButtons() = 0;
  virtual int MouseX() = 0;
  virtual int MouseY() = 0;
  virtual void ShowMouse(bool visible) = 0;

  // Sound effects.
  virtual void PlaySample(SAMPLE* sample, int volume, int pan, int frequency, int loop) = 0;
  virtual void StopSample(SAMPLE* sample) = 0;
  // A new volume for the voices playing `sample`.
  virtual void AdjustSample(SAMPLE*, int /*volume*/, int /*pan*/, int /*frequency*/, int /*loop*/) {}

  // Copies a finished frame to the visible screen.
  virtual void Present(BITMAP* frame) = 0;
  // The same when `shown` holds what the screen shows now: only what differs
  // needs copying. `shown` may be null (unknown).
  virtual void PresentChanges(BITMAP* frame, BITMAP* /*shown*/) { Present(frame); }
  // Switches between window and full screen; false when the display refused
  // and the old mode is kept.
  virtual bool SetFullscreen(bool) { return false; }
  virtual bool Fullscreen() const { return false; }
  // Before the library's display goes away at shutdown.
  virtual void CloseDisplay() {}

  // Called while a paced loop waits for the 50 Hz frame counter: yields the
  // processor for a moment (the scripted platform advances its fake clock).
  virtual void WaitForFrame() = 0;
  // Frames at the display's refresh: waits until the display can take the
  // next frame and returns the time (monotonic nanoseconds) at which that
  // frame will be seen. 0 when frames follow the steps instead, one a step
  // (a machine without a display, the player's choice): the paced loops then
  // run a step at each WaitForFrame.
  virtual long long WaitForRefresh() { return 0; }
  // Waits while nothing moves (a paused game): a good part of a second on
  // the real machine, so that the process sleeps.
  virtual void WaitIdle() { WaitForFrame(); }
  // Between these nothing moves and only the player's keys matter: the real
  // machine quiets the library's input thread and reads the input itself at
  // each WaitIdle.
  virtual void BeginIdle() {}
  virtual void EndIdle() {}
};
