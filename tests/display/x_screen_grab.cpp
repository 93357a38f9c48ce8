#include "x_screen_grab.h"

#include <allegro.h>
#include <allegro/platform/aintunix.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

std::vector<uint32_t> GrabXScreen(int width, int height) {
  _xwin_handle_input();  // a round trip on the library's connection
  std::vector<uint32_t> pixels;
  Display* display = XOpenDisplay(nullptr);
  if (!display) return pixels;
  XImage* image = XGetImage(display, DefaultRootWindow(display), 0, 0, width, height, AllPlanes, ZPixmap);
  if (image) {
    pixels.reserve(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) pixels.push_back(XGetPixel(image, x, y) & 0xffffff);
    XDestroyImage(image);
  }
  XCloseDisplay(display);
  return pixels;
}
