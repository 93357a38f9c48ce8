// Counts the pixels that programs put on the X screen over a stretch of time.
// The X server's DAMAGE extension reports every rectangle drawn into the root
// window and all the windows on it (a window's damage reaches its ancestors),
// so the count is the same for any program: its own drawing, an image copied
// in, a software OpenGL buffer swap. Drawing into off-screen pixmaps is not
// counted until it is copied to a window. Each drawing request counts the area
// it covers on the screen (its overlapping parts once), and overlapping
// requests count each time: a program that paints the same pixels twice in a
// frame pays for them twice.
//
//   damage_meter SECONDS
//
// Prints "ready" once reporting is set up and counting has started, then, after
// SECONDS (or sooner, on SIGTERM or SIGINT), one line:
//   pixels=N rectangles=N seconds=S pixels_per_second=P
// Exits 2 on a bad argument, 1 when the display or the extension is missing.
#include <X11/Xlib.h>
#include <X11/extensions/Xdamage.h>
#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/select.h>
#include <time.h>
#include <unistd.h>

// A stop request wakes the waiting loop through this pipe.
static int stopPipe[2] = {-1, -1};

static void RequestStop(int signal) {
  (void)signal;
  const char byte = 1;
  if (write(stopPipe[1], &byte, 1) < 0) {
    // The pipe is full: a stop is already pending.
  }
}

static double Now(void) {
  struct timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return (double)t.tv_sec + (double)t.tv_nsec / 1e9;
}

// The part of the rectangle inside the screen, in pixels.
static unsigned long long VisibleArea(long x, long y, long w, long h, long screenW, long screenH) {
  long x0 = x < 0 ? 0 : x, y0 = y < 0 ? 0 : y;
  long x1 = x + w > screenW ? screenW : x + w, y1 = y + h > screenH ? screenH : y + h;
  if (x1 <= x0 || y1 <= y0) return 0;
  return (unsigned long long)(x1 - x0) * (unsigned long long)(y1 - y0);
}

int main(int argc, char** argv) {
  char* end = NULL;
  double seconds = argc == 2 ? strtod(argv[1], &end) : 0.0;
  if (argc != 2 || end == argv[1] || *end != '\0' || !(seconds > 0.0) || seconds > 86400.0) {
    fprintf(stderr, "usage: damage_meter SECONDS   (more than 0, at most 86400)\n");
    return 2;
  }
  Display* display = XOpenDisplay(NULL);
  if (display == NULL) {
    fprintf(stderr, "damage_meter: cannot open the display \"%s\"\n", XDisplayName(NULL));
    return 1;
  }
  int eventBase = 0, errorBase = 0, major = 0, minor = 0;
  if (!XDamageQueryExtension(display, &eventBase, &errorBase) ||
      !XDamageQueryVersion(display, &major, &minor)) {
    fprintf(stderr, "damage_meter: the X server has no DAMAGE extension\n");
    XCloseDisplay(display);
    return 1;
  }
  if (pipe(stopPipe) != 0 || fcntl(stopPipe[1], F_SETFL, O_NONBLOCK) != 0) {
    perror("damage_meter: pipe");
    return 1;
  }
  struct sigaction stop;
  stop.sa_handler = RequestStop;
  sigemptyset(&stop.sa_mask);
  stop.sa_flags = 0;
  sigaction(SIGTERM, &stop, NULL);
  sigaction(SIGINT, &stop, NULL);

  Window root = DefaultRootWindow(display);
  long screenW = DisplayWidth(display, DefaultScreen(display));
  long screenH = DisplayHeight(display, DefaultScreen(display));
  // Raw rectangles: one event per drawing request, nothing merged or left out.
  Damage damage = XDamageCreate(display, root, XDamageReportRawRectangles);
  // A new damage object first reports the whole window as drawn: not counted.
  XSync(display, False);
  while (XPending(display) > 0) {
    XEvent event;
    XNextEvent(display, &event);
  }

  unsigned long long pixels = 0, rectangles = 0;
  double start = Now(), deadline = start + seconds;
  printf("ready\n");
  fflush(stdout);
  int fd = ConnectionNumber(display);
  int stopping = 0;
  for (;;) {
    while (XPending(display) > 0) {
      XEvent event;
      XNextEvent(display, &event);
      if (event.type != eventBase + XDamageNotify) continue;
      const XDamageNotifyEvent* notify = (const XDamageNotifyEvent*)&event;
      pixels += VisibleArea(notify->area.x, notify->area.y, notify->area.width, notify->area.height,
                            screenW, screenH);
      ++rectangles;
    }
    if (stopping) break;
    double left = deadline - Now();
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(fd, &readable);
    FD_SET(stopPipe[0], &readable);
    struct timeval wait = {0, 0};
    if (left > 0.0) {
      wait.tv_sec = (time_t)left;
      wait.tv_usec = (suseconds_t)((left - (double)wait.tv_sec) * 1e6);
    }
    int ready = left > 0.0 ? select((fd > stopPipe[0] ? fd : stopPipe[0]) + 1, &readable, NULL, NULL, &wait) : 0;
    if (ready < 0 && errno != EINTR) {
      perror("damage_meter: select");
      return 1;
    }
    if (left <= 0.0 || (ready > 0 && FD_ISSET(stopPipe[0], &readable))) {
      // Whatever was drawn before now is reported to us before this round
      // trip ends; count it, then stop.
      XSync(display, False);
      stopping = 1;
    }
  }
  double elapsed = Now() - start;
  printf("pixels=%llu rectangles=%llu seconds=%.3f pixels_per_second=%.0f\n", pixels, rectangles, elapsed,
         (double)pixels / elapsed);
  XDamageDestroy(display, damage);
  XCloseDisplay(display);
  return 0;
}
