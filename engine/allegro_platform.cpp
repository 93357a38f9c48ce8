#include "engine/allegro_platform.h"

#include <allegro.h>
#include <allegro/platform/aintunix.h>

#include <time.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "engine/clock.h"
#include "engine/log.h"
#include "engine/x11_input_reader.h"

namespace {

// Written by the library's input thread, read by the main thread.
std::atomic<bool> focusLost{false};
// Switching modes takes the focus away for a moment; that is not the player
// leaving the window.
std::atomic<long long> ignoreFocusUntilMs{0};

long long NowMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void OnSwitchOut() {
  if (NowMs() >= ignoreFocusUntilMs.load()) focusLost = true;
}
END_OF_STATIC_FUNCTION(OnSwitchOut)

// The d-pad is the last pair of axes on the pads seen here; pairs in between
// may hold analogue triggers that rest at one end, so only the first stick and
// the d-pad steer.
void AddStick(const JOYSTICK_STICK_INFO& stick, PadState& state) {
  if (stick.num_axis < 2) return;
  state.left = state.left || stick.axis[0].d1;
  state.right = state.right || stick.axis[0].d2;
  state.up = state.up || stick.axis[1].d1;
  state.down = state.down || stick.axis[1].d2;
}

}  // namespace

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
int AllegroPlatform::KeyShifts() { return keyboard_driver ? key_shifts : 0; }

PadState AllegroPlatform::ReadPad() {
  PadState state;
  if (!padInstalled_ || num_joysticks < 1) return state;
  poll_joystick();
  const JOYSTICK_INFO& pad = joy[0];
  state.present = true;
  if (pad.num_sticks > 0) AddStick(pad.stick[0], state);
  if (pad.num_sticks > 1) AddStick(pad.stick[pad.num_sticks - 1], state);
  for (int b = 0; b < pad.num_buttons && b < 32; ++b)
    if (pad.button[b].b) state.buttons |= 1u << b;
  return state;
}

bool AllegroPlatform::TakeFocusLost() { return focusLost.exchange(false); }

int AllegroPlatform::MouseButtons() { return mouseInstalled_ ? mouse_b : 0; }
int AllegroPlatform::MouseX() { return mouseInstalled_ ? ScreenToGameX(mode_.picture, mouse_x) : 0; }
int AllegroPlatform::MouseY() { return mouseInstalled_ ? ScreenToGameY(mode_.picture, mouse_y) : 0; }
void AllegroPlatform::ShowMouse(bool visible) {
  mouseShown_ = visible;
  ShowPointer(visible);
}

// The desktop draws the pointer (the library's own arrow) where it can: it is
// never painted into the picture or wiped by the next frame, and needs no
// timer of the library's to follow the mouse.
void AllegroPlatform::ShowPointer(bool visible) {
  if (!mouseInstalled_) return;
  if (visible) {
    if (show_os_cursor(MOUSE_CURSOR_ALLEGRO) != 0) show_mouse(screen);
  } else {
    show_mouse(nullptr);
    show_os_cursor(MOUSE_CURSOR_NONE);
  }
}

void AllegroPlatform::PlaySample(SAMPLE* sample, int volume, int pan, int frequency, int loop) {
  if (sample) play_sample(sample, volume, pan, frequency, loop);
}
void AllegroPlatform::StopSample(SAMPLE* sample) {
  if (sample) stop_sample(sample);
}

void AllegroPlatform::Present(BITMAP* frame) { PresentChanges(frame, nullptr); }

void AllegroPlatform::PresentChanges(BITMAP* frame, BITMAP* shown) {
  // The frame before must be out of the presenter's picture before this one goes in.
  presenter_.WaitUntilShown();
  const ScreenRows rows = writer_.Write(frame, shown);
  if (presenter_.Active())
    presenter_.Present(rows.top, rows.bottom);
  else
    writer_.Send(rows);
}

void AllegroPlatform::CloseDisplay() {
  RemoveQuietInputReader();
  presenter_.Detach();
}

bool AllegroPlatform::TryMode(const DisplayMode& mode) {
  ignoreFocusUntilMs = NowMs() + 1000;
  // The library's window and its picture go with the old mode.
  presenter_.Detach();
  const int card = mode.fullscreen ? GFX_AUTODETECT_FULLSCREEN : GFX_AUTODETECT_WINDOWED;
  // The screen in the display's own depth when it can be, the game's
  // pictures and colours in 16 bits whatever it is.
  const int wanted = system_driver && system_driver->id == SYSTEM_XWINDOWS
                         ? ScreenWriter::ScreenDepthFor(desktop_color_depth())
                         : 16;
  bool set = false;
  for (int depth : {wanted, 16}) {
    set_color_depth(depth);
    if (set_gfx_mode(card, mode.screenWidth, mode.screenHeight, 0, 0) == 0) {
      screenDepth_ = depth;
      set = true;
      break;
    }
    if (depth == 16) break;
  }
  set_color_depth(16);
  if (!set) return false;
  if (screenDepth_ != 16) {
    // The layout the library gives 16-bit pixels beside a display of 24 or
    // 32 bits, as a 16-bit screen would have set it.
    _rgb_r_shift_16 = 11;
    _rgb_g_shift_16 = 5;
    _rgb_b_shift_16 = 0;
  }
  mode_ = mode;
  AfterModeChange();
  return true;
}

void AllegroPlatform::AfterModeChange() {
  ignoreFocusUntilMs = NowMs() + 1000;
  set_window_title("Ve Varn Holt - The Game");
  char where[160];
  std::snprintf(where, sizeof where, "GraphicsEngine: %s at %d,%d\n", DescribeMode(mode_).c_str(), mode_.picture.x,
                mode_.picture.y);
  Log(where);
  // A new screen shows nothing yet: the next frame goes out whole.
  writer_.Attach(screen, mode_.picture);
  if (refresh_ == RefreshMode::kDisplay) {
    std::string why = "the screen is not written directly";
    const bool presenting = writer_.WritesDirectly() && presenter_.Attach(mode_.picture, &why);
    if (presenting) writer_.WriteInto(presenter_.OwnPicture());
    // Said once, and again only when it changes.
    if (!presenterReported_ || !presenting) {
      Log(presenting ? "GraphicsEngine: frames presented at the display's refresh\n"
                     : ("GraphicsEngine: " + why + "; frames at 60 a second by the game's clock\n").c_str());
      presenterReported_ = presenting;
    }
  }
  nextOwnRefreshNs_ = 0;
  if (mouseShown_) ShowPointer(true);
}

bool AllegroPlatform::OpenDisplay(bool fullscreen, int scale, RefreshMode refresh) {
  chosenScale_ = scale;
  refresh_ = refresh;
  int desktopWidth = 0, desktopHeight = 0;
  if (get_desktop_resolution(&desktopWidth, &desktopHeight) != 0) desktopWidth = desktopHeight = 0;
  std::string refusal;
  const std::vector<DisplayMode> modes = CandidateModes(fullscreen, scale, desktopWidth, desktopHeight, &refusal);
  if (!refusal.empty()) Log(("GraphicsEngine: " + refusal + "\n").c_str());
  for (size_t i = 0; i < modes.size(); ++i) {
    if (TryMode(modes[i])) return true;
    if (i + 1 < modes.size())
      Log(("GraphicsEngine: " + DescribeMode(modes[i]) + " refused, trying " + DescribeMode(modes[i + 1]) + "\n")
              .c_str());
  }
  return false;
}

bool AllegroPlatform::SetFullscreen(bool fullscreen) {
  if (fullscreen == mode_.fullscreen) return true;
  // The display's own events come through the input thread while it changes.
  struct IdleAgain {
    AllegroPlatform& platform;
    bool wasIdle;
    ~IdleAgain() {
      if (wasIdle) platform.BeginIdle();
    }
  } idleAgain{*this, idle_};
  EndIdle();
  const DisplayMode previous = mode_;
  int desktopWidth = 0, desktopHeight = 0;
  if (get_desktop_resolution(&desktopWidth, &desktopHeight) != 0) desktopWidth = desktopHeight = 0;
  ShowPointer(false);
  for (const DisplayMode& mode : CandidateModes(fullscreen, chosenScale_, desktopWidth, desktopHeight, nullptr)) {
    if (mode.fullscreen != fullscreen) break;
    if (TryMode(mode)) return true;
  }
  Log(("GraphicsEngine: the display refused the switch; staying in " + DescribeMode(previous) + "\n").c_str());
  if (!TryMode(previous)) {
    // The old mode is gone too: any mode at all beats a dead screen.
    if (!TryMode(CandidateModes(false, 1, 0, 0, nullptr).front())) {
      Log("Error setting graphics mode: 1024x768.\n");
      std::exit(3);
    }
  }
  return false;
}

void AllegroPlatform::InstallInputHooks() {
  padInstalled_ = install_joystick(JOY_TYPE_AUTODETECT) == 0;
  LOCK_FUNCTION(OnSwitchOut);
  set_display_switch_callback(SWITCH_OUT, OnSwitchOut);
  InstallQuietInputReader();
}

void AllegroPlatform::WaitForFrame() { clockPump.SleepUntilNextFrame(); }

long long AllegroPlatform::WaitForRefresh() {
  if (refresh_ == RefreshMode::kStep || !screen) return 0;
  long long shownAt = 0;
  if (presenter_.Active()) {
    shownAt = presenter_.WaitForRefresh();
    if (!presenter_.Active()) {
      Log("GraphicsEngine: the display stopped answering; frames at 60 a second by the game's clock\n");
      writer_.WriteInto(PixelRows());
    }
  }
  if (shownAt == 0) shownAt = WaitForOwnRefresh();
  // The 100 ms tick and the frames owed follow the monotonic clock.
  clockPump.Advance();
  return shownAt;
}

long long AllegroPlatform::WaitForOwnRefresh() {
  constexpr long long kPeriodNs = 16666667;
  timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  const long long nowNs = now.tv_sec * 1000000000LL + now.tv_nsec;
  // Late by more than a frame: nothing is caught up, the next starts now.
  if (nextOwnRefreshNs_ == 0 || nowNs > nextOwnRefreshNs_ + kPeriodNs) nextOwnRefreshNs_ = nowNs;
  const long long due = nextOwnRefreshNs_;
  timespec until;
  until.tv_sec = due / 1000000000LL;
  until.tv_nsec = due % 1000000000LL;
  while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, nullptr) == EINTR) {
  }
  nextOwnRefreshNs_ = due + kPeriodNs;
  // Sent to the display at once, so seen about now.
  return due;
}

// Four passes a second (each a wake-up or two): quick enough for a key, and the
// process sleeps.
void AllegroPlatform::WaitIdle() {
  std::this_thread::sleep_for(std::chrono::milliseconds(250));
  if (idle_) _xwin_handle_input();
}

// The library's input thread runs its work every 10 ms (on X11 a round trip
// to the display each time) whether or not there is any. While the game
// stands still it is held at its gate (the library's own "interrupts
// disabled") and the main thread reads the display's events itself, a few
// times a second. Only for the X11 system driver, whose input this is.
void AllegroPlatform::BeginIdle() {
  if (idle_ || !system_driver || system_driver->id != SYSTEM_XWINDOWS || !_unix_bg_man) return;
  _unix_bg_man->disable_interrupts();
  idle_ = true;
}

void AllegroPlatform::EndIdle() {
  if (!idle_) return;
  idle_ = false;
  _unix_bg_man->enable_interrupts();
}
