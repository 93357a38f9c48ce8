/* Asks the game's window to close, as a desktop's close button does: a
 * WM_DELETE_WINDOW message to the top-level window whose name is given.
 *   close_window "Ve Varn Holt - The Game"
 * Exit 0 when the message was sent, 1 when no such window was found. */
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <stdio.h>
#include <string.h>

static Window Find(Display* display, Window window, const char* name) {
  char* title = NULL;
  if (XFetchName(display, window, &title) && title) {
    const int same = strcmp(title, name) == 0;
    XFree(title);
    if (same) return window;
  }
  Window root, parent, *children = NULL;
  unsigned count = 0;
  Window found = 0;
  if (XQueryTree(display, window, &root, &parent, &children, &count)) {
    for (unsigned i = 0; i < count && !found; ++i) found = Find(display, children[i], name);
    if (children) XFree(children);
  }
  return found;
}

int main(int argc, char** argv) {
  if (argc != 2) {
    fprintf(stderr, "usage: close_window WINDOW-NAME\n");
    return 2;
  }
  Display* display = XOpenDisplay(NULL);
  if (!display) {
    fprintf(stderr, "close_window: no display\n");
    return 2;
  }
  const Window window = Find(display, DefaultRootWindow(display), argv[1]);
  if (!window) {
    XCloseDisplay(display);
    return 1;
  }
  XEvent event;
  memset(&event, 0, sizeof event);
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = (long)XInternAtom(display, "WM_DELETE_WINDOW", False);
  event.xclient.data.l[1] = CurrentTime;
  XSendEvent(display, window, False, NoEventMask, &event);
  XFlush(display);
  XCloseDisplay(display);
  return 0;
}
