#include "support/scripted_platform.h"

#include <allegro.h>

#include "engine/clock.h"
#include "engine/graphics_engine.h"

namespace {
// US layout for the scancodes a test types.
int UsAscii(int s) {
  if (s >= KEY_A && s <= KEY_Z) return 'a' + (s - KEY_A);
  if (s >= KEY_0 && s <= KEY_9) return '0' + (s - KEY_0);
  if (s >= KEY_0_PAD && s <= KEY_9_PAD) return '0' + (s - KEY_0_PAD);
  switch (s) {
    case KEY_TILDE: return '`';
    case KEY_MINUS: return '-';
    case KEY_EQUALS: return '=';
    case KEY_OPENBRACE: return '[';
    case KEY_CLOSEBRACE: return ']';
    case KEY_COLON: return ';';
    case KEY_QUOTE: return '\'';
    case KEY_BACKSLASH: return '\\';
    case KEY_COMMA: return ',';
    case KEY_STOP: return '.';
    case KEY_SLASH: return '/';
    case KEY_SPACE: return ' ';
    case KEY_SLASH_PAD: return '/';
    case KEY_ASTERISK: return '*';
    case KEY_MINUS_PAD: return '-';
    case KEY_PLUS_PAD: return '+';
    case KEY_ENTER: return 13;
    case KEY_ESC: return 27;
    case KEY_BACKSPACE: return 8;
    default: return 0;
  }
}

int SampleIndex(SAMPLE* sample) {
  for (int i = 0; i < 151; ++i)
    if (engine.GetData(i) == sample) return i;
  return -1;
}
}  // namespace

ScriptedPlatform::ScriptedPlatform() = default;

ScriptedPlatform::~ScriptedPlatform() {
  if (lastFrame_) destroy_bitmap(lastFrame_);
}

bool ScriptedPlatform::KeyHeld(int scancode) { return scancode > 0 && scancode < 128 && held_[scancode]; }
bool ScriptedPlatform::KeyPressed() { return !typed_.empty(); }
int ScriptedPlatform::ReadKey() {
  if (typed_.empty()) return 0;
  int value = typed_.front();
  typed_.pop_front();
  return value;
}

const char* ScriptedPlatform::KeyName(int scancode) {
  static std::string name;
  switch (scancode) {
    case KEY_UP: return "Up";
    case KEY_DOWN: return "Down";
    case KEY_LEFT: return "Left";
    case KEY_RIGHT: return "Right";
    case KEY_SPACE: return "space";
    default: break;
  }
  int c = UsAscii(scancode);
  name = c > 32 ? std::string(1, static_cast<char>(c)) : "key" + std::to_string(scancode);
  return name.c_str();
}

int ScriptedPlatform::ScancodeToAscii(int scancode) { return UsAscii(scancode); }

int ScriptedPlatform::MouseButtons() { return buttons_; }

void ScriptedPlatform::PlaySample(SAMPLE* sample, int volume, int, int, int loop) {
  samples_.push_back({SampleIndex(sample), loop, false, volume});
}
void ScriptedPlatform::StopSample(SAMPLE* sample) { samples_.push_back({SampleIndex(sample), 0, true, 0}); }

int ScriptedPlatform::LastVolume(int index) const {
  for (auto c = samples_.rbegin(); c != samples_.rend(); ++c)
    if (c->index == index && !c->stop) return c->volume;
  return -1;
}

void ScriptedPlatform::Present(BITMAP* frame) {
  ++presented_;
  if (!keepFrames_) return;
  if (!lastFrame_) lastFrame_ = create_bitmap(frame->w, frame->h);
  blit(frame, lastFrame_, 0, 0, 0, 0, frame->w, frame->h);
}

void ScriptedPlatform::WaitForFrame() {
  if (hook_) hook_(waits_);
  ++waits_;
  if (releaseAfter_ > 0 && --releaseAfter_ == 0) buttons_ = 0;
  FrameCallback();
  if (waits_ % 5 == 0) TickCallback();
}

long long ScriptedPlatform::WaitForRefresh() {
  if (refreshPeriodNs_ == 0) return 0;
  if (hook_) hook_(waits_);
  ++waits_;
  if (releaseAfter_ > 0 && --releaseAfter_ == 0) buttons_ = 0;
  refreshNs_ += refreshPeriodNs_;
  return refreshNs_;
}

void ScriptedPlatform::Hold(int scancode, bool down) {
  if (scancode > 0 && scancode < 128) held_[scancode] = down;
}
void ScriptedPlatform::ReleaseAllKeys() {
  for (bool& h : held_) h = false;
}
void ScriptedPlatform::Type(int scancode) { typed_.push_back(scancode << 8 | UsAscii(scancode)); }
void ScriptedPlatform::SetMouse(int x, int y, int buttons) {
  mouseX_ = x;
  mouseY_ = y;
  buttons_ = buttons;
}
void ScriptedPlatform::OnWait(std::function<void(long)> hook) { hook_ = std::move(hook); }

int ScriptedPlatform::Plays(int index) const {
  int n = 0;
  for (const SampleCall& c : samples_)
    if (c.index == index && !c.stop) ++n;
  return n;
}
int ScriptedPlatform::Stops(int index) const {
  int n = 0;
  for (const SampleCall& c : samples_)
    if (c.index == index && c.stop) ++n;
  return n;
}
