// Enemy missiles of the five kinds.
#include "engine/data_index.h"
#include "tools/art/artwork.h"
#include "tools/art/kit.h"

namespace art {

namespace {

Picture Blob(int w, int h, float x0, float y0, float x1, float y1, Rgb colour) {
  Canvas c(w, h, kSpriteScale);
  Mask m = c.NewMask();
  m.RoundRect(x0, y0, x1, y1, std::min(x1 - x0, y1 - y0) / 2);
  c.Paint(m, colour, Glossy(2));
  return c.Reduce(true);
}

}  // namespace

void DrawMissiles(ArtList& out) {
  for (int f = 0; f < 4; ++f) out.push_back({dat::kMissile3Frame0 + f, "missile 3", Blob(32, 64, 25, 12, 32, 52, pal::kPink)});
  for (int f = 0; f < 4; ++f) out.push_back({dat::kMissile4Frame0 + f, "missile 4", Blob(8, 64, 0, 12, 7, 52, pal::kPink)});
  out.push_back({dat::kMissile0, "missile 0", Blob(16, 16, 4, 4, 13, 13, pal::kYellow)});
  out.push_back({dat::kMissile1, "missile 1", Blob(32, 32, 1, 1, 31, 31, pal::kOrange)});
  for (int f = 0; f < 8; ++f) out.push_back({dat::kMissile2Frame0 + f, "missile 2", Blob(32, 32, 1, 1, 31, 31, pal::kGreen)});
}

}  // namespace art
