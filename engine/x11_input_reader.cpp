#include "engine/x11_input_reader.h"

#include <allegro.h>

#include "engine/x11_library_state.h"

namespace {

// The library's reader (with its round trip) at least every tenth pass.
constexpr int kPassesPerFullRead = 10;
int passesSinceFullRead = 0;
bool installed = false;

// Called on the library's input thread with its X11 lock held.
void ReadArrivedInput() {
  Display* display = _xwin.display;
  if (!display) return;
  // Sends what the library has queued and reads what the display has sent,
  // without waiting for an answer.
  if (XEventsQueued(display, QueuedAfterFlush) > 0 || ++passesSinceFullRead >= kPassesPerFullRead) {
    passesSinceFullRead = 0;
    _xwin_private_handle_input();
  }
}

bool OnX11() { return system_driver && system_driver->id == SYSTEM_XWINDOWS; }

}  // namespace

void InstallQuietInputReader() {
  if (installed || !OnX11() || _xwin_input_handler) return;
  _xwin_input_handler = ReadArrivedInput;
  installed = true;
}

void RemoveQuietInputReader() {
  if (!installed) return;
  if (_xwin_input_handler == ReadArrivedInput) _xwin_input_handler = nullptr;
  installed = false;
}
