// The ten humans on the ground, each with its own look and walk.
#include "engine/data_index.h"
#include "tools/art/artwork.h"
#include "tools/art/kit.h"

namespace art {

namespace {

Picture Person(Rgb shirt, int frame) {
  Canvas c(28, 50, kSpriteScale);
  Mask legs = c.NewMask();
  float swing = (frame % 2) ? 2.5f : -2.5f;
  legs.Capsule({11, 32}, {11 + swing, 48.5f}, 2.2f).Capsule({17, 32}, {17 - swing, 48.5f}, 2.2f);
  c.Paint(legs, Hex(0x2a3a7a), Matte());
  Mask body = c.NewMask();
  body.RoundRect(7, 14, 21, 34, 3);
  c.Paint(body, shirt, Glossy(2));
  Mask head = c.NewMask();
  head.Circle(14, 8, 5.5f);
  c.Paint(head, pal::kSkin, Glossy(2));
  return c.Reduce(true);
}

}  // namespace

void DrawHumans(ArtList& out) {
  const Rgb shirts[] = {pal::kRed, pal::kBlue, pal::kGreen, pal::kOrange, pal::kViolet,
                        pal::kCyan, pal::kPink, pal::kLime, pal::kGold, pal::kTeal};
  out.push_back({dat::kHumanKind0, "human 0", Person(shirts[0], 0)});
  out.push_back({dat::kHumanKind9, "human 9", Person(shirts[9], 0)});
  for (int f = 0; f < 4; ++f) out.push_back({dat::kHumanKind1Frame0 + f, "human 1", Person(shirts[1], f)});
  out.push_back({dat::kHumanKind2, "human 2", Person(shirts[2], 0)});
  out.push_back({dat::kHumanKind3, "human 3", Person(shirts[3], 0)});
  for (int f = 0; f < 4; ++f) out.push_back({dat::kHumanKind4Frame0 + f, "human 4", Person(shirts[4], f)});
  for (int f = 0; f < 4; ++f) out.push_back({dat::kHumanKind5Frame0 + f, "human 5", Person(shirts[5], f)});
  for (int f = 0; f < 8; ++f) out.push_back({dat::kHumanKind6Frame0 + f, "human 6", Person(shirts[6], f)});
  for (int f = 0; f < 8; ++f) out.push_back({dat::kHumanKind7Frame0 + f, "human 7", Person(shirts[7], f)});
  out.push_back({dat::kHumanKind8, "human 8", Person(shirts[8], 0)});
}

}  // namespace art
