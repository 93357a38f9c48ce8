// Draws the desktop icons: the player's ship over a round patch of the game's
// night sky, everything outside the patch and the ship transparent.
//
//   kav_icongen <folder> <size>...
//
// Writes <folder>/vevarnholt-<size>.png, <size> x <size> pixels, for each size.
// Every size is painted afresh (not scaled down from the largest), so the
// small ones keep crisp edges. Everything is deterministic.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tools/art/canvas.h"
#include "tools/art/kit.h"
#include "tools/art/ship.h"

namespace {

constexpr int kScale = 8;  // fine samples per icon pixel, each way
constexpr int kSmallest = 16, kLargest = 1024;

// The sky patch: a disc with a cyan rim, the curve of the ground at its
// foot and a few stars; sizes are shares of the icon's side.
art::RgbaPicture SkyPatch(int size) {
  using namespace art;
  const float n = static_cast<float>(size);
  const float cx = n / 2, cy = n / 2, radius = 0.46f * n;
  Canvas c(size, size, kScale);
  Mask disc = c.NewMask();
  disc.Circle(cx, cy, radius);
  c.Paint(disc, VerticalGradient(cy - radius, pal::kSkyTop, cy + radius, pal::kHorizon),
          Glossy(0.05f * n, 0.03f * n, pal::kCyan));
  Mask ground = c.NewMask();
  ground.Circle(cx, cy + 1.25f * n, 0.95f * n);
  ground.Intersect(disc);
  c.Paint(ground, VerticalGradient(cy + 0.25f * n, pal::kViolet, cy + radius, pal::kSkyLow), Matte(0.02f * n));
  const Pt stars[] = {{0.30f, 0.22f}, {0.62f, 0.16f}, {0.78f, 0.34f}, {0.20f, 0.44f}, {0.48f, 0.30f}};
  for (const Pt& s : stars) c.Spot(s.x * n, s.y * n, std::max(0.6f, 0.012f * n), pal::kWhite, 0.9f);
  return c.ReduceWithAlpha();
}

art::RgbaPicture Icon(int size) {
  using namespace art;
  art::RgbaPicture icon = SkyPatch(size);
  // The ship a little wider than the patch, facing right, its middle on the
  // patch's middle.
  const float k = 0.94f * size / 124.0f;
  const int w = static_cast<int>(std::ceil(124 * k)), h = static_cast<int>(std::ceil(92 * k));
  Canvas ship(w, h, kScale);
  PaintShip(ship, true, k);
  icon.Over(ship.ReduceWithAlpha(), (size - w) / 2, (size - h) / 2);
  return icon;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: kav_icongen <folder> <size>...\n");
    return 2;
  }
  const std::string folder = argv[1];
  for (int i = 2; i < argc; ++i) {
    char* end = nullptr;
    long size = std::strtol(argv[i], &end, 10);
    if (*argv[i] == '\0' || *end != '\0' || size < kSmallest || size > kLargest) {
      std::fprintf(stderr, "kav_icongen: size %s is not a number of pixels from %d to %d\n", argv[i], kSmallest,
                   kLargest);
      return 2;
    }
    const std::string path = folder + "/vevarnholt-" + std::to_string(size) + ".png";
    if (!Icon(static_cast<int>(size)).WritePng(path)) {
      std::fprintf(stderr, "kav_icongen: cannot write %s\n", path.c_str());
      return 1;
    }
  }
  return 0;
}
