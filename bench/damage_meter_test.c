// Checks damage_meter against drawing whose size is known: it starts the real
// meter, draws into windows of its own on the same display, stops the meter
// (SIGTERM) once the server has done the drawing, and compares the meter's
// count with what was drawn. Left alone, the meter stops after its time.
//
//   damage_meter_test PATH_TO_DAMAGE_METER      (needs a display: run it under xvfb-run)
//
// Prints one line per case and "N passed, N failed"; exits non-zero on a failure.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/wait.h>
#include <unistd.h>

static const char* meterPath;
static int passed, failed;

typedef struct {
  FILE* out;
  pid_t pid;
} Meter;

// Starts the meter for `seconds` and returns once it reports it is counting.
static int StartMeter(Meter* m, const char* seconds) {
  m->out = NULL;
  m->pid = -1;
  int fds[2];
  if (pipe(fds) != 0) return 0;
  m->pid = fork();
  if (m->pid < 0) return 0;
  if (m->pid == 0) {
    dup2(fds[1], STDOUT_FILENO);
    close(fds[0]);
    close(fds[1]);
    execl(meterPath, meterPath, seconds, (char*)NULL);
    _exit(127);
  }
  close(fds[1]);
  m->out = fdopen(fds[0], "r");
  char line[64];
  return m->out != NULL && fgets(line, sizeof line, m->out) != NULL && strcmp(line, "ready\n") == 0;
}

// Waits for the meter's report; 0 when it did not give one. `seconds` gets
// the length of time it counted.
static int FinishMeter(Meter* m, unsigned long long* pixels, unsigned long long* rectangles, double* seconds) {
  char line[256];
  int ok = fgets(line, sizeof line, m->out) != NULL &&
           sscanf(line, "pixels=%llu rectangles=%llu seconds=%lf", pixels, rectangles, seconds) == 3;
  fclose(m->out);
  int status = 0;
  waitpid(m->pid, &status, 0);
  return ok && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

static void Expect(const char* name, unsigned long long pixels, unsigned long long rectangles,
                   unsigned long long wantPixels, unsigned long long wantRectangles) {
  if (pixels == wantPixels && rectangles == wantRectangles) {
    ++passed;
    printf("ok    %s\n", name);
  } else {
    ++failed;
    printf("FAIL  %s: %llu pixels in %llu rectangles, expected %llu in %llu\n", name, pixels, rectangles,
           wantPixels, wantRectangles);
  }
}

// A mapped window with no background, so mapping it paints nothing.
static Window MakeWindow(Display* d, int x, int y, unsigned w, unsigned h) {
  XSetWindowAttributes attributes;
  attributes.background_pixmap = None;
  attributes.override_redirect = True;
  Window window = XCreateWindow(d, DefaultRootWindow(d), x, y, w, h, 0, CopyFromParent, InputOutput,
                                CopyFromParent, CWBackPixmap | CWOverrideRedirect, &attributes);
  XMapWindow(d, window);
  XSync(d, False);
  return window;
}

typedef void (*Drawing)(Display* d, GC gc, Window w);

// Runs the meter around one drawing and checks its count.
static void Case(Display* d, const char* name, Window w, Drawing draw, unsigned long long wantPixels,
                 unsigned long long wantRectangles) {
  GC gc = XCreateGC(d, w, 0, NULL);
  XSync(d, False);
  Meter meter;
  if (!StartMeter(&meter, "120")) {
    ++failed;
    printf("FAIL  %s: the meter did not start\n", name);
    if (meter.pid > 0) kill(meter.pid, SIGKILL);
    XFreeGC(d, gc);
    return;
  }
  draw(d, gc, w);
  XSync(d, False);
  kill(meter.pid, SIGTERM);
  unsigned long long pixels = 0, rectangles = 0;
  double seconds = 0.0;
  if (!FinishMeter(&meter, &pixels, &rectangles, &seconds)) {
    ++failed;
    printf("FAIL  %s: the meter gave no report\n", name);
  } else {
    Expect(name, pixels, rectangles, wantPixels, wantRectangles);
  }
  XFreeGC(d, gc);
}

static void Nothing(Display* d, GC gc, Window w) {
  (void)d, (void)gc, (void)w;
}

// Each fill goes to the server as a request of its own.
static void TwentyFillRequests(Display* d, GC gc, Window w) {
  for (int i = 0; i < 20; ++i) {
    XFillRectangle(d, w, gc, 10, 10, 100, 50);
    XFlush(d);
  }
}

// Xlib sends these as one request of four overlapping rectangles.
static void OneRequestOfFourFills(Display* d, GC gc, Window w) {
  XRectangle r[4] = {{0, 0, 100, 50}, {0, 0, 100, 50}, {50, 0, 100, 50}, {0, 0, 10, 10}};
  XFillRectangles(d, w, gc, r, 4);
}

static void WholeWindowFill(Display* d, GC gc, Window w) {
  XFillRectangle(d, w, gc, 0, 0, 100, 100);
}

// 64 x 32 drawn off screen into a pixmap, then copied into the window twice.
static void PixmapThenCopy(Display* d, GC gc, Window w) {
  Pixmap pixmap = XCreatePixmap(d, w, 64, 32, (unsigned)DefaultDepth(d, DefaultScreen(d)));
  for (int i = 0; i < 5; ++i) XFillRectangle(d, pixmap, gc, 0, 0, 64, 32);
  XCopyArea(d, pixmap, w, gc, 0, 0, 64, 32, 0, 0);
  XCopyArea(d, pixmap, w, gc, 0, 0, 64, 32, 30, 0);
  XFreePixmap(d, pixmap);
}

static void ImagePut(Display* d, GC gc, Window w) {
  int screen = DefaultScreen(d);
  XImage* image = XCreateImage(d, DefaultVisual(d, screen), (unsigned)DefaultDepth(d, screen), ZPixmap, 0,
                               NULL, 200, 150, 32, 0);
  image->data = calloc((size_t)image->bytes_per_line, 150);
  XPutImage(d, w, gc, image, 0, 0, 0, 0, 200, 150);
  XDestroyImage(image);
}

int main(int argc, char** argv) {
  if (argc != 2) {
    fprintf(stderr, "usage: damage_meter_test PATH_TO_DAMAGE_METER\n");
    return 2;
  }
  meterPath = argv[1];
  Display* d = XOpenDisplay(NULL);
  if (d == NULL) {
    fprintf(stderr, "damage_meter_test: no display\n");
    return 1;
  }
  int screenW = DisplayWidth(d, DefaultScreen(d)), screenH = DisplayHeight(d, DefaultScreen(d));

  Window middle = MakeWindow(d, 200, 200, 300, 200);
  Case(d, "an idle screen counts no pixels", middle, Nothing, 0, 0);
  Case(d, "each of 20 overlapping 100 x 50 fill requests counts in full", middle, TwentyFillRequests,
       20 * 100 * 50, 20);
  Case(d, "one request's overlapping rectangles count once", middle, OneRequestOfFourFills, 150 * 50, 1);
  Case(d, "an image put into a window counts its area", middle, ImagePut, 200 * 150, 1);
  Case(d, "pixmap drawing counts only when copied to the window", middle, PixmapThenCopy, 2 * 64 * 32, 2);

  // Hanging 24 x 32 pixels into the screen's bottom-right corner: the rest is
  // off the screen and never shown.
  Window corner = MakeWindow(d, screenW - 24, screenH - 32, 100, 100);
  Case(d, "drawing past the screen's edge counts only the visible part", corner, WholeWindowFill, 24 * 32, 1);

  // A window covered by another: the hidden part is not drawn on the screen.
  Window under = MakeWindow(d, 600, 100, 100, 100);
  MakeWindow(d, 650, 100, 100, 100);
  Case(d, "drawing under another window counts only the uncovered part", under, WholeWindowFill, 50 * 100, 1);

  // Left alone, the meter stops after its time and reports.
  Meter meter;
  unsigned long long pixels = 0, rectangles = 0;
  double seconds = 0.0;
  if (StartMeter(&meter, "0.5") && FinishMeter(&meter, &pixels, &rectangles, &seconds) && seconds >= 0.5 &&
      seconds < 5.0) {
    Expect("the meter stops by itself after its time", pixels, rectangles, 0, 0);
  } else {
    ++failed;
    printf("FAIL  the meter stops by itself after its time: counted %.3f s\n", seconds);
  }

  XCloseDisplay(d);
  printf("%d passed, %d failed\n", passed, failed);
  return failed == 0 ? 0 : 1;
}
