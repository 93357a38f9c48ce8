#include "engine/allegro_platform.h"

#include <allegro.h>

#include <chrono>
#include <thread>

void AllegroPlatform::PollKeyboard() { poll_keyboard(); }
bool AllegroPlatform::KeyHeld(int scancode) {
  return scancode > 0 && scancode < KEY_MAX && key[scancode];
}
bool AllegroPlatform::KeyPressed() { return keyboard_driver && keypressed(); }
int AllegroPlatform::ReadKey() { return readkey(); }
void AllegroPlatform::ClearKeyBuffer() {
  if (keyboard_driver) clear_keybuf();
}
const char* AllegroPlatform::KeyName(int scancode) {
  const char* name = keyboard_driver ? scancode_to_name(scancode) : nullptr;
  return name ? name : "";
}
int AllegroPlatform::ScancodeToAscii(int scancode) {
  return keyboard_driver ? scancode_to_ascii(scancode) : 0;
}

int AllegroPlatform::MouseButtons() { return mouseInstalled_ ? mouse_b : 0; }
int AllegroPlatform::MouseX() { return mouseInstalled_ ? mouse_x : 0; }
int AllegroPlatform::MouseY() { return mouseInstalled_ ? mouse_y : 0; }
void AllegroPlatform::ShowMouse(bool visible) {
  if (mouseInstalled_) show_mouse(visible ? screen : nullptr);
}

void AllegroPlatform::PlaySample(SAMPLE* sample, int volume, int pan, int frequency, int loop) {
  if (sample) play_sample(sample, volume, pan, frequency, loop);
}
void AllegroPlatform::StopSample(SAMPLE* sample) {
  if (sample) stop_sample(sample);
}

void AllegroPlatform::Present(BITMAP* frame) {
  blit(frame, screen, 0, 0, 0, 0, frame->w, frame->h);
}

void AllegroPlatform::WaitForFrame() {
  if (timerInstalled_)
    rest(1);
  else
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
}
