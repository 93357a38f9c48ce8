// The boss of the last wave, a mutated rock star built of parts: a head, a
// torso in a studded jacket, three legs and eight arms (the arm images swing
// from high to low). Each part lies inside the outline of its image; the
// limbs are drawn along the long axis of their four-cornered outlines.
#include <algorithm>
#include <cmath>

#include "engine/data_index.h"
#include "tools/art/artwork.h"
#include "tools/art/kit.h"

namespace art {

namespace {

const Rgb kSkin = Hex(0x8ad86a);      // mutant green
const Rgb kLeather = Hex(0x2a1a3a);
const Rgb kLeatherLit = Hex(0x7a4aa8);
const Rgb kStud = Hex(0xe8ecf8);
const Rgb kNeon = Hex(0xff3ab0);

// The two ends of a four-cornered limb outline: the midpoints of its two
// shorter sides, and the limb's thickness there.
struct LimbAxis {
  Pt a, b;
  float widthA, widthB;
};

LimbAxis Axis(const std::vector<Pt>& quad) {
  float e01 = Distance(quad[0], quad[1]) + Distance(quad[2], quad[3]);
  float e12 = Distance(quad[1], quad[2]) + Distance(quad[3], quad[0]);
  // The shorter pair of opposite sides are the ends.
  if (e01 < e12) {
    return {Lerp(quad[0], quad[1], 0.5f), Lerp(quad[2], quad[3], 0.5f), Distance(quad[0], quad[1]), Distance(quad[2], quad[3])};
  }
  return {Lerp(quad[1], quad[2], 0.5f), Lerp(quad[3], quad[0], 0.5f), Distance(quad[1], quad[2]), Distance(quad[3], quad[0])};
}

Picture Arm(const std::vector<Pt>& quad, bool handAtLeft) {
  Canvas c(88, 64, kSpriteScale);
  Mask outline = c.NewMask();
  outline.Polygon(quad);
  LimbAxis axis = Axis(quad);
  Pt shoulder = axis.a, hand = axis.b;
  float ws = axis.widthA, wh = axis.widthB;
  if ((axis.a.x < axis.b.x) == handAtLeft) {
    std::swap(shoulder, hand);
    std::swap(ws, wh);
  }
  Pt elbow = Lerp(shoulder, hand, 0.5f);
  // Sleeve of studded leather to the elbow, green forearm, clawed hand.
  Mask sleeve = c.NewMask();
  sleeve.Capsule(Lerp(shoulder, hand, 0.08f), elbow, ws * 0.42f);
  sleeve.Intersect(outline);
  c.Paint(sleeve, VerticalGradient(0, kLeatherLit, 64, kLeather), Glossy(2.5f, 0.7f, kNeon));
  Mask fore = c.NewMask();
  fore.Capsule(elbow, Lerp(shoulder, hand, 0.84f), std::min(ws, wh) * 0.3f);
  fore.Intersect(outline);
  c.Paint(fore, VerticalGradient(0, Lighten(kSkin, 0.2f), 64, Darken(kSkin, 0.45f)), Glossy(2.0f));
  for (float t : {0.18f, 0.3f, 0.42f}) {
    Mask stud = c.NewMask();
    stud.Circle(Lerp(shoulder, hand, t).x, Lerp(shoulder, hand, t).y, 1.6f);
    c.Paint(stud, kStud, Glossy(0.8f));
  }
  // Three claws fanning from the hand.
  Pt dir = {hand.x - shoulder.x, hand.y - shoulder.y};
  float len = std::hypot(dir.x, dir.y);
  dir = {dir.x / len, dir.y / len};
  Pt palm = Lerp(shoulder, hand, 0.86f);
  Mask claws = c.NewMask();
  claws.Circle(palm.x, palm.y, std::min(ws, wh) * 0.34f);
  for (float spread : {-0.55f, 0.0f, 0.55f}) {
    float ca = std::cos(spread), sa = std::sin(spread);
    Pt d = {dir.x * ca - dir.y * sa, dir.x * sa + dir.y * ca};
    claws.Capsule(palm, {palm.x + d.x * 11, palm.y + d.y * 11}, 1.5f);
  }
  claws.Intersect(outline);
  c.Paint(claws, Hex(0xc8ff9a), Glossy(1.2f, 0.5f, Hex(0xf0fff0)));
  return c.Reduce(true);
}

Picture Leg(const std::vector<Pt>& quad) {
  Canvas c(44, 84, kSpriteScale);
  Mask outline = c.NewMask();
  outline.Polygon(quad);
  LimbAxis axis = Axis(quad);
  Pt hip = axis.a.y < axis.b.y ? axis.a : axis.b, foot = axis.a.y < axis.b.y ? axis.b : axis.a;
  float w = std::min(axis.widthA, axis.widthB);
  Mask trousers = c.NewMask();
  trousers.Capsule(hip, Lerp(hip, foot, 0.7f), w * 0.5f);
  trousers.Intersect(outline);
  c.Paint(trousers, HorizontalGradient(0, kLeatherLit, 44, kLeather), Glossy(2.5f, 0.6f, kNeon));
  Mask boot = c.NewMask();
  Pt ankle = Lerp(hip, foot, 0.72f);
  boot.Capsule(ankle, foot, w * 0.52f).Ellipse(foot.x + 2, foot.y - 1, w * 0.7f, 4);
  boot.Intersect(outline);
  c.Paint(boot, VerticalGradient(ankle.y, Hex(0xff4a5a), foot.y + 4, Hex(0x6a0a1a)), Glossy(2.0f, 0.5f, Hex(0xffa0b0)));
  Mask knee = c.NewMask();
  Pt k = Lerp(hip, foot, 0.42f);
  knee.Circle(k.x, k.y, w * 0.28f);
  c.Paint(knee, kStud, Glossy(1.5f));
  return c.Reduce(true);
}

Picture Torso() {
  Canvas c(128, 140, kSpriteScale);
  std::vector<Pt> outline = Outline({{40, 0}, {87, 0}, {126, 18}, {126, 70}, {112, 113}, {113, 137}, {12, 137}, {13, 107}, {0, 70}, {0, 19}});
  Mask jacket = c.NewMask();
  jacket.Polygon(outline);
  c.Paint(jacket, VerticalGradient(0, kLeatherLit, 140, kLeather), Glossy(4.0f, 1.2f, kNeon));
  // Open collar showing a green chest with a glowing heart.
  Mask chest = c.NewMask();
  chest.Polygon({{44, 1}, {84, 1}, {70, 70}, {58, 70}});
  c.Paint(chest, VerticalGradient(0, Lighten(kSkin, 0.15f), 70, Darken(kSkin, 0.4f)), Glossy(3.0f));
  Mask heart = c.NewMask();
  heart.Circle(59, 34, 7).Circle(69, 34, 7).Polygon({{52.5f, 36.5f}, {75.5f, 36.5f}, {64, 52}});
  c.Paint(heart, RadialGradient(62, 32, 14, Hex(0xffd0f0), Hex(0xd0106a)), Glossy(2.5f));
  // Lapels.
  Mask lapels = c.NewMask();
  lapels.Polygon({{40, 1}, {47, 1}, {60, 72}, {48, 60}}).Polygon({{81, 1}, {88, 1}, {80, 60}, {68, 72}});
  c.Paint(lapels, Hex(0x4a2a6a), Glossy(2.0f, 0.6f, Hex(0xc08aff)));
  // Studs on the shoulders and a belt with a star buckle.
  Random r(106);
  for (int i = 0; i < 12; ++i) {
    float x = i < 6 ? 8 + i * 5.5f : 120 - (i - 6) * 5.5f;
    float y = 20 + (i % 6) * 1.6f;
    Mask stud = c.NewMask();
    stud.Circle(x, y, 1.8f);
    c.Paint(stud, kStud, Glossy(1.0f));
  }
  Mask belt = c.NewMask();
  belt.Rect(13, 104, 113, 113);
  belt.Intersect(jacket);
  c.Paint(belt, Hex(0x181018), Glossy(1.5f));
  Mask buckle = c.NewMask();
  buckle.Polygon(StarPoints({63, 108.5f}, 5, 9, 4, -kPi / 2));
  c.Paint(buckle, Hex(0xffd040), Glossy(1.5f));
  // Trousers below the belt.
  Mask hips = c.NewMask();
  hips.Rect(12.5f, 113.5f, 113.5f, 137.5f);
  hips.Intersect(jacket);
  c.Paint(hips, HorizontalGradient(0, kLeatherLit, 128, kLeather), Glossy(3.0f));
  return c.Reduce(true);
}

Picture Head() {
  Canvas c(88, 122, kSpriteScale);
  std::vector<Pt> outline = Outline({{33, 2}, {64, 8}, {73, 19}, {80, 74}, {66, 118}, {6, 118}, {6, 60}, {12, 25}, {17, 15}});
  Mask shape = c.NewMask();
  shape.Polygon(outline);
  // Wild hair: the whole outline, spiky at the top.
  Mask hair = shape;
  hair.Cut().Polygon({{20, 0}, {27, 0}, {24, 12}}).Polygon({{47, 0}, {56, 0}, {52, 10}}).Polygon({{66, 8}, {76, 8}, {70, 20}});
  c.Paint(hair, RadialGradient(40, 30, 70, Hex(0xff5fd0), Hex(0x3a0a5a)), Glossy(3.0f, 0.8f, Hex(0xffa0ff)));
  Mask strands = c.NewMask();
  for (int i = 0; i < 9; ++i) {
    float x = 12 + i * 7;
    strands.Capsule({x, 14 + (i % 3) * 3.0f}, {x - 6, 40 + (i % 2) * 6.0f}, 0.7f);
  }
  strands.Intersect(hair);
  c.Paint(strands, Hex(0x2a0640), FlatPaint(0.7f));
  // Face.
  Mask face = c.NewMask();
  face.Ellipse(43, 72, 26, 40);
  face.Intersect(shape);
  face.Cut().Rect(0, 0, 88, 38);
  c.Paint(face, RadialGradient(36, 62, 50, Lighten(kSkin, 0.25f), Darken(kSkin, 0.5f)), Glossy(5.0f));
  // Star-shaped sunglasses.
  for (float x : {31.0f, 55.0f}) {
    Mask lens = c.NewMask();
    lens.Polygon(StarPoints({x, 58}, 5, 11, 5.5f, -kPi / 2));
    c.Paint(lens, RadialGradient(x - 3, 55, 12, Hex(0x6af0ff), Hex(0x0a1a4a)), Glossy(2.0f, 0.6f, Hex(0xd0ffff)));
  }
  Mask bridge = c.NewMask();
  bridge.Rect(38, 56, 48, 58.5f);
  c.Paint(bridge, Hex(0x0a1a4a), Matte(0.6f));
  // A roaring mouth with fangs and a tongue.
  Mask mouth = c.NewMask();
  mouth.Ellipse(43, 92, 15, 10);
  c.Paint(mouth, Hex(0x1a0010), Matte(2.0f));
  Mask tongue = c.NewMask();
  tongue.Ellipse(45, 97, 8, 4.5f);
  tongue.Intersect(mouth);
  c.Paint(tongue, Hex(0xff3a6a), Glossy(2.0f));
  Mask fangs = c.NewMask();
  for (float x : {33.0f, 39.0f, 47.0f, 53.0f}) fangs.Polygon({{x - 2.5f, 83}, {x + 2.5f, 83}, {x, 90}});
  fangs.Intersect(mouth);
  c.Paint(fangs, Hex(0xfffff0), Glossy(0.8f));
  return c.Reduce(true);
}

Picture HitSpark() {
  Canvas c(32, 32, kSpriteScale);
  Mask star = c.NewMask();
  star.Polygon(StarPoints({16, 16}, 8, 15.5f, 6, 0.2f));
  c.Paint(star, RadialGradient(16, 16, 15, Hex(0xffffff), Hex(0xff3ab0)), FlatPaint());
  Mask core = c.NewMask();
  core.Circle(16, 16, 5);
  c.Paint(core, Hex(0xfffff0), FlatPaint());
  return c.Reduce(true);
}

}  // namespace

void DrawBoss(ArtList& out) {
  out.push_back({dat::kBossHit, "boss hit spark", HitSpark()});
  const std::vector<std::vector<Pt>> arms = {
      Outline({{8, 34}, {75, 4}, {84, 25}, {13, 52}}),  Outline({{5, 22}, {78, 3}, {83, 24}, {11, 41}}),
      Outline({{9, 8}, {84, 17}, {79, 39}, {3, 25}}),   Outline({{9, 0}, {78, 35}, {65, 53}, {0, 16}}),
      Outline({{14, 9}, {86, 32}, {75, 51}, {5, 26}}),  Outline({{6, 7}, {79, 3}, {80, 25}, {6, 28}}),
      Outline({{71, 5}, {81, 24}, {19, 63}, {9, 45}})};
  // Left arms hang off the torso's left side: their hands are at the left end.
  for (int i = 0; i < 7; ++i) out.push_back({dat::kBossLeftArm0 + i, "boss left arm " + std::to_string(i), Arm(arms[i], true)});
  for (int i = 0; i < 7; ++i) out.push_back({dat::kBossRightArm0 + i, "boss right arm " + std::to_string(i), Arm(arms[i], false)});
  out.push_back({dat::kBossTorso, "boss torso", Torso()});
  out.push_back({dat::kBossHead, "boss head", Head()});
  const std::vector<std::vector<Pt>> legs = {Outline({{18, 4}, {38, 8}, {26, 82}, {9, 77}}),
                                             Outline({{3, 5}, {26, 5}, {28, 77}, {7, 77}}),
                                             Outline({{4, 10}, {24, 5}, {40, 76}, {21, 80}})};
  for (int i = 0; i < 3; ++i) out.push_back({dat::kBossLeg0 + i, "boss leg " + std::to_string(i), Leg(legs[i])});
}

}  // namespace art
