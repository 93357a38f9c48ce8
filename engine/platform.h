// The thin layer between the engine and the machine: keyboard, mouse, sound
// output, the visible screen and waiting for the clock. The running game uses
// AllegroPlatform; tests install a scripted one so that whole games can be
// played without a display, a keyboard or real time.
#pragma once

struct BITMAP;
struct SAMPLE;

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

  // Mouse: bit 0 left button, bit 1 right button.
  virtual int MouseButtons() = 0;
  virtual int MouseX() = 0;
  virtual int MouseY() = 0;
  virtual void ShowMouse(bool visible) = 0;

  // Sound effects.
  virtual void PlaySample(SAMPLE* sample, int volume, int pan, int frequency, int loop) = 0;
  virtual void StopSample(SAMPLE* sample) = 0;

  // Copies a finished frame to the visible screen.
  virtual void Present(BITMAP* frame) = 0;

  // Called while a paced loop waits for the 50 Hz frame counter: yields the
  // processor for a moment (the scripted platform advances its fake clock).
  virtual void WaitForFrame() = 0;
};
