// The boss of the last wave: head, torso, legs and eight arms.
#include "engine/data_index.h"
#include "tools/art/artwork.h"
#include "tools/art/kit.h"

namespace art {

namespace {

Picture Part(int w, int h, const std::vector<Pt>& outline, Rgb colour) {
  Canvas c(w, h, kSpriteScale);
  Mask m = c.NewMask();
  m.Polygon(outline);
  c.Paint(m, colour, Glossy(3));
  return c.Reduce(true);
}

}  // namespace

void DrawBoss(ArtList& out) {
  out.push_back({dat::kBossHit, "boss hit", Part(32, 32, StarPoints({16, 16}, 6, 15, 6, 0), pal::kYellow)});
  const std::vector<std::vector<Pt>> arms = {
      Outline({{8, 34}, {75, 4}, {84, 25}, {13, 52}}),  Outline({{5, 22}, {78, 3}, {83, 24}, {11, 41}}),
      Outline({{9, 8}, {84, 17}, {79, 39}, {3, 25}}),   Outline({{9, 0}, {78, 35}, {65, 53}, {0, 16}}),
      Outline({{14, 9}, {86, 32}, {75, 51}, {5, 26}}),  Outline({{6, 7}, {79, 3}, {80, 25}, {6, 28}}),
      Outline({{71, 5}, {81, 24}, {19, 63}, {9, 45}})};
  for (int i = 0; i < 7; ++i) out.push_back({dat::kBossLeftArm0 + i, "left arm", Part(88, 64, arms[i], pal::kViolet)});
  for (int i = 0; i < 7; ++i) out.push_back({dat::kBossRightArm0 + i, "right arm", Part(88, 64, arms[i], pal::kViolet)});
  out.push_back({dat::kBossTorso, "boss torso",
                 Part(128, 140, Outline({{40, 0}, {87, 0}, {126, 18}, {126, 70}, {112, 113}, {113, 137}, {12, 137}, {13, 107}, {0, 70}, {0, 19}}), pal::kCrimson)});
  out.push_back({dat::kBossHead, "boss head",
                 Part(88, 122, Outline({{33, 2}, {64, 8}, {73, 19}, {80, 74}, {66, 118}, {6, 118}, {6, 60}, {12, 25}, {17, 15}}), pal::kSkin)});
  const std::vector<std::vector<Pt>> legs = {Outline({{18, 4}, {38, 8}, {26, 82}, {9, 77}}),
                                             Outline({{3, 5}, {26, 5}, {28, 77}, {7, 77}}),
                                             Outline({{4, 10}, {24, 5}, {40, 76}, {21, 80}})};
  for (int i = 0; i < 3; ++i) out.push_back({dat::kBossLeg0 + i, "boss leg", Part(44, 84, legs[i], pal::kBlue)});
}

}  // namespace art
