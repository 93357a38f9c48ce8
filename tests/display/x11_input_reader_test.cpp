// The quiet input reader on a real X server: the library's input thread stops
// making a round trip to the display every 10 ms, and a key still reaches the
// game. Round trips are counted by the requests the library's connection has
// sent (each XSync sends one).
#include <gtest/gtest.h>

#include <allegro.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>

#include <algorithm>
#include <chrono>
#include <thread>
#include <vector>

#include "engine/x11_input_reader.h"
#include "engine/x11_library_state.h"

extern "C" {
void _xwin_lock(void);
void _xwin_unlock(void);
}

namespace {

using namespace std::chrono_literals;

unsigned long RequestsSentBy(Display* display) {
  _xwin_lock();
  const unsigned long next = NextRequest(display);
  _xwin_unlock();
  return next;
}

unsigned long RequestsInHalfASecond() {
  const unsigned long before = RequestsSentBy(_xwin.display);
  std::this_thread::sleep_for(500ms);
  return RequestsSentBy(_xwin.display) - before;
}

// Sends a key to the library's window from another connection, as the X
// server does for a key on the keyboard.
void SendKey(Display* other, Window window, KeySym symbol, bool down) {
  XEvent event = {};
  event.xkey.type = down ? KeyPress : KeyRelease;
  event.xkey.display = other;
  event.xkey.window = window;
  event.xkey.root = DefaultRootWindow(other);
  event.xkey.same_screen = True;
  event.xkey.keycode = XKeysymToKeycode(other, symbol);
  XSendEvent(other, window, True, down ? KeyPressMask : KeyReleaseMask, &event);
  XFlush(other);
}

// How long the key took to show as held (or released), in ms; -1: not in 2 s.
int WaitForKey(int scancode, bool held) {
  const auto start = std::chrono::steady_clock::now();
  while (std::chrono::steady_clock::now() - start < 2s) {
    if (keyboard_needs_poll()) poll_keyboard();
    if ((key[scancode] != 0) == held)
      return static_cast<int>(
          std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count());
    std::this_thread::sleep_for(1ms);
  }
  return -1;
}

TEST(QuietInputReader, AnIdleDisplayGetsFewRoundTripsAndKeysStillArrive) {
  if (!keyboard_driver) GTEST_SKIP() << "no keyboard";
  ASSERT_EQ(set_gfx_mode(GFX_AUTODETECT_WINDOWED, 320, 240, 0, 0), 0) << allegro_error;
  ASSERT_NE(_xwin.display, nullptr);

  // The library's own pass: a round trip each of its 100 passes a second.
  EXPECT_GE(RequestsInHalfASecond(), 25u) << "the library's input thread is not running as expected";

  InstallQuietInputReader();
  EXPECT_LE(RequestsInHalfASecond(), 12u) << "still a round trip at most passes";

  Display* other = XOpenDisplay(nullptr);
  ASSERT_NE(other, nullptr);
  // Read at the pass after it arrives (every 10 ms), not at the tenth.
  std::vector<int> delays;
  for (int press = 0; press < 5; ++press) {
    SendKey(other, _xwin.window, XK_a, true);
    const int down = WaitForKey(KEY_A, true);
    SendKey(other, _xwin.window, XK_a, false);
    const int up = WaitForKey(KEY_A, false);
    ASSERT_GE(down, 0) << "a key press is read";
    ASSERT_GE(up, 0) << "its release is read";
    delays.push_back(down);
    delays.push_back(up);
  }
  XCloseDisplay(other);
  std::sort(delays.begin(), delays.end());
  EXPECT_LT(delays[delays.size() / 2], 35) << "median ms from a key's event to the game";

  RemoveQuietInputReader();
  EXPECT_GE(RequestsInHalfASecond(), 25u) << "the library's own pass is back";
  set_gfx_mode(GFX_TEXT, 0, 0, 0, 0);
}

}  // namespace
