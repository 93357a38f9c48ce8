// The astronauts of the intro and the closing sequence.
#include "engine/data_index.h"
#include "tools/art/artwork.h"
#include "tools/art/kit.h"

namespace art {

namespace {

Picture Figure(int w, int h, Rgb colour) {
  Canvas c(w, h, 2);
  Mask m = c.NewMask();
  m.RoundRect(w * 0.2f, h * 0.05f, w * 0.8f, h * 0.95f, 20);
  c.Paint(m, colour, Glossy(4));
  return c.Reduce(true);
}

}  // namespace

void DrawAstronauts(ArtList& out) {
  out.push_back({dat::kAstronaut1, "astronaut 1", Figure(150, 320, pal::kWhite)});
  out.push_back({dat::kAstronaut2, "astronaut 2", Figure(150, 340, pal::kGold)});
  out.push_back({dat::kAstronaut3, "astronaut 3", Figure(150, 320, pal::kCyan)});
  out.push_back({dat::kFlatAstronaut1, "flattened 1", Figure(320, 150, pal::kWhite)});
  out.push_back({dat::kFlatAstronaut1 + 1, "flattened 2", Figure(340, 150, pal::kGold)});
  out.push_back({dat::kFlatAstronaut1 + 2, "flattened 3", Figure(320, 150, pal::kCyan)});
}

}  // namespace art
