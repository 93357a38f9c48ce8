/* Watches the frames a program puts on the X screen and how far the picture
 * moved between them, for the end-to-end tests of frame pacing.
 *
 *   frame_probe SECONDS X Y WIDTH HEIGHT MAXSHIFT
 *
 * Asks the server's DAMAGE extension for every change on the root window;
 * changes closer together than 2 ms belong to one frame. At each frame it
 * reads the band (X, Y, WIDTH x HEIGHT) of the screen and finds the
 * horizontal shift, within +-MAXSHIFT pixels, that best lays the band over
 * the one read at the frame before (the landscape of a flight scrolls). One
 * line a frame on standard output:
 *
 *   frame MICROSECONDS SHIFT MISMATCH
 *
 * MICROSECONDS since the first frame, SHIFT in screen pixels (positive: the
 * picture moved left), MISMATCH the mean difference of the channels at that
 * shift (0 for a picture that only moved). The last line is "frames N".
 * Exit code 0, or 2 when the display or its DAMAGE extension is missing. */
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xdamage.h>
#include <poll.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

static long long now_us(void) {
  struct timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return t.tv_sec * 1000000LL + t.tv_nsec / 1000;
}

/* The band's pixels as 0xRRGGBB, row after row. */
static int read_band(Display* d, Window root, int x, int y, int w, int h, unsigned* out) {
  XImage* image = XGetImage(d, root, x, y, (unsigned)w, (unsigned)h, AllPlanes, ZPixmap);
  if (!image) return 0;
  for (int j = 0; j < h; ++j)
    for (int i = 0; i < w; ++i) out[j * w + i] = (unsigned)XGetPixel(image, i, j) & 0xffffff;
  XDestroyImage(image);
  return 1;
}

static int channel_difference(unsigned a, unsigned b) {
  int sum = 0;
  for (int shift = 0; shift < 24; shift += 8) {
    const int d = (int)((a >> shift) & 255) - (int)((b >> shift) & 255);
    sum += d < 0 ? -d : d;
  }
  return sum;
}

/* The shift s minimising the difference between before[x + s] and after[x]. */
static int best_shift(const unsigned* before, const unsigned* after, int w, int h, int max_shift,
                      double* mismatch) {
  int best = 0;
  double best_score = -1;
  for (int s = -max_shift; s <= max_shift; ++s) {
    long long total = 0, count = 0;
    for (int j = 0; j < h; ++j)
      for (int i = max_shift; i < w - max_shift; ++i) {
        total += channel_difference(before[j * w + i + s], after[j * w + i]);
        ++count;
      }
    const double score = count ? (double)total / (double)count / 3.0 : 0;
    if (best_score < 0 || score < best_score) {
      best_score = score;
      best = s;
    }
  }
  *mismatch = best_score;
  return best;
}

int main(int argc, char** argv) {
  if (argc != 7) {
    fprintf(stderr, "usage: frame_probe SECONDS X Y WIDTH HEIGHT MAXSHIFT\n");
    return 64;
  }
  const double seconds = atof(argv[1]);
  const int x = atoi(argv[2]), y = atoi(argv[3]), w = atoi(argv[4]), h = atoi(argv[5]);
  const int max_shift = atoi(argv[6]);
  if (w <= 2 * max_shift || h < 1) {
    fprintf(stderr, "frame_probe: the band must be wider than twice the largest shift\n");
    return 64;
  }
  Display* d = XOpenDisplay(NULL);
  if (!d) {
    fprintf(stderr, "frame_probe: no display\n");
    return 2;
  }
  int event_base = 0, error_base = 0;
  if (!XDamageQueryExtension(d, &event_base, &error_base)) {
    fprintf(stderr, "frame_probe: no DAMAGE extension\n");
    return 2;
  }
  const Window root = DefaultRootWindow(d);
  XDamageCreate(d, root, XDamageReportRawRectangles);
  XSync(d, False);

  /* The bands are kept and compared at the end, so that reading the
   * screen is all the probe does while the frames come. */
  int capacity = 256, frames = 0;
  unsigned* bands = malloc(sizeof(unsigned) * (size_t)(w * h) * (size_t)capacity);
  long long* times = malloc(sizeof(long long) * (size_t)capacity);
  const long long end = now_us() + (long long)(seconds * 1e6);
  long long last_event = -1000000;
  while (now_us() < end && bands && times) {
    struct pollfd fd = {ConnectionNumber(d), POLLIN, 0};
    const long long left_ms = (end - now_us()) / 1000;
    if (XPending(d) == 0 && poll(&fd, 1, left_ms > 0 ? (int)left_ms : 0) <= 0) continue;
    int damaged = 0;
    while (XPending(d) > 0) {
      XEvent event;
      XNextEvent(d, &event);
      if (event.type == event_base + XDamageNotify) damaged = 1;
    }
    if (!damaged) continue;
    const long long t = now_us();
    const int new_frame = t - last_event > 2000;
    last_event = t;
    if (!new_frame) continue;
    /* The rest of the frame's changes come within a moment. */
    struct timespec pause = {0, 1500000};
    nanosleep(&pause, NULL);
    while (XPending(d) > 0) {
      XEvent event;
      XNextEvent(d, &event);
    }
    last_event = now_us();
    if (frames == capacity) {
      capacity *= 2;
      bands = realloc(bands, sizeof(unsigned) * (size_t)(w * h) * (size_t)capacity);
      times = realloc(times, sizeof(long long) * (size_t)capacity);
      if (!bands || !times) break;
    }
    if (!read_band(d, root, x, y, w, h, bands + (size_t)frames * (size_t)(w * h))) continue;
    times[frames++] = t;
  }
  for (int f = 0; f < frames; ++f) {
    double mismatch = 0;
    int shift = 0;
    if (f > 0)
      shift = best_shift(bands + (size_t)(f - 1) * (size_t)(w * h), bands + (size_t)f * (size_t)(w * h), w, h,
                         max_shift, &mismatch);
    printf("frame %lld %d %.2f\n", times[f] - times[0], shift, mismatch);
  }
  printf("frames %d\n", frames);
  free(bands);
  free(times);
  XCloseDisplay(d);
  return 0;
}
