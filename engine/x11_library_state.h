#ifndef ENGINE_X11_LIBRARY_STATE_H
#define ENGINE_X11_LIBRARY_STATE_H

#include <X11/Xlib.h>

// The first members of the library's own X11 state, laid out as in every
// 4.x version since 4.2.0 (the library keeps them in this order for its ABI):
// its connection, the window it draws in and the picture of its screen; and
// the hooks it exports for its X11 drivers.
extern "C" {
struct LibraryX11Head {
  Display* display;
  volatile int lockCount;
  int screen;
  Window window;
  GC gc;
  Visual* visual;
  Colormap colormap;
  XImage* ximage;
};
extern LibraryX11Head _xwin;
// What the library calls to paint a part of its window from its picture
// (when the desktop uncovers it).
extern void (*_xwin_window_redrawer)(int, int, int, int);
// What its input thread calls, with its lock held, instead of its own reader
// when set; and that reader.
extern void (*_xwin_input_handler)(void);
void _xwin_private_handle_input(void);
}

#endif
