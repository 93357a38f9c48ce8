// The astronauts of the intro (walking right) and the closing sequence
// (falling, spinning, then flattened on the ground with stars round the head).
#include <cmath>

#include "engine/data_index.h"
#include "tools/art/artwork.h"
#include "tools/art/kit.h"

namespace art {

namespace {

struct Suit {
  Rgb stripe;  // each astronaut's own colour
  Rgb visor;
};

const Suit kSuits[3] = {{Hex(0xff3a4a), Hex(0xffc83a)}, {Hex(0x3a7bff), Hex(0x5af0ff)}, {Hex(0xffd040), Hex(0xff6ad0)}};
const Rgb kSuitLight = Hex(0xf4f6ff), kSuitShade = Hex(0x8a90b0);

// A walking astronaut in a w x h picture, facing right; `tall` stretches the
// figure for the taller second astronaut.
Picture Astronaut(const Suit& suit, int w, int h) {
  Canvas c(w, h, 2);
  const float k = h / 320.0f;  // vertical stretch
  auto Y = [k](float y) { return y * k; };
  Shader suitShade = HorizontalGradient(20, kSuitLight, 140, kSuitShade);
  // Backpack behind the body.
  Mask pack = c.NewMask();
  pack.RoundRect(18, Y(70), 58, Y(170), 10);
  c.Paint(pack, Hex(0xb0b4c8), Glossy(5.0f));
  // Back leg and arm.
  Mask backLimbs = c.NewMask();
  backLimbs.Capsule({70, Y(190)}, {52, Y(250)}, 15).Capsule({52, Y(250)}, {46, Y(296)}, 13);
  backLimbs.Capsule({58, Y(92)}, {44, Y(140)}, 12).Capsule({44, Y(140)}, {50, Y(180)}, 11);
  c.Paint(backLimbs, Darken(kSuitShade, 0.2f), Glossy(5.0f));
  Mask backBoot = c.NewMask();
  backBoot.RoundRect(30, Y(288), 72, Y(316), 9);
  c.Paint(backBoot, Hex(0x4a4a5a), Glossy(4.0f));
  // Body.
  Mask body = c.NewMask();
  body.RoundRect(44, Y(76), 112, Y(200), 24);
  c.Paint(body, suitShade, Glossy(7.0f));
  Mask chest = c.NewMask();
  chest.RoundRect(70, Y(104), 102, Y(140), 5);
  c.Paint(chest, Hex(0x3a3f5a), Glossy(3.0f));
  for (int i = 0; i < 3; ++i) {
    Mask lamp = c.NewMask();
    lamp.Circle(78 + i * 8.0f, Y(116), 2.6f);
    c.Paint(lamp, i == 0 ? pal::kRed : i == 1 ? pal::kGreen : pal::kYellow, FlatPaint());
  }
  Mask belt = c.NewMask();
  belt.Rect(44, Y(176), 112, Y(188));
  belt.Intersect(body);
  c.Paint(belt, suit.stripe, Glossy(2.0f));
  // Front leg mid-stride and front arm swinging.
  Mask leg = c.NewMask();
  leg.Capsule({88, Y(192)}, {104, Y(248)}, 16).Capsule({104, Y(248)}, {100, Y(294)}, 14);
  c.Paint(leg, suitShade, Glossy(6.0f));
  Mask knee = c.NewMask();
  knee.Rect(88, Y(238), 120, Y(246));
  knee.Intersect(leg);
  c.Paint(knee, suit.stripe, Matte(1.5f));
  Mask boot = c.NewMask();
  boot.RoundRect(84, Y(286), 134, Y(318), 10);
  c.Paint(boot, Hex(0x5a5a6a), Glossy(4.0f));
  Mask arm = c.NewMask();
  arm.Capsule({84, Y(96)}, {108, Y(140)}, 13).Capsule({108, Y(140)}, {128, Y(168)}, 12);
  c.Paint(arm, suitShade, Glossy(6.0f));
  Mask glove = c.NewMask();
  glove.Circle(131, Y(174), 12);
  c.Paint(glove, suit.stripe, Glossy(4.0f));
  // Helmet with a mirrored visor.
  Mask helmet = c.NewMask();
  helmet.Ellipse(80, Y(46), 40, Y(42));
  c.Paint(helmet, RadialGradient(66, Y(30), 70, kSuitLight, kSuitShade), Glossy(8.0f, 1.5f, Hex(0xffffff)));
  Mask visor = c.NewMask();
  visor.Ellipse(92, Y(48), 26, Y(26));
  c.Paint(visor, [&](float x, float y) {
    return Mix(Mix(Hex(0xffffff), suit.visor, Smooth(Y(26), Y(44), y)), Hex(0x2a0a3a), Smooth(Y(44), Y(74), y) * 0.8f + Smooth(80, 118, x) * 0.2f);
  }, Glossy(5.0f, 1.0f, Darken(suit.visor, 0.4f)));
  return c.Reduce(true);
}

// Flattened flat on the ground: a pancake of a suit along the bottom of the
// picture, the helmet at the left, and a ring of dizzy stars above it.
Picture Flattened(const Suit& suit, int w, int h) {
  Canvas c(w, h, 2);
  const float ground = h - 6.0f, cx = w / 2.0f;
  Mask limbs = c.NewMask();
  limbs.Capsule({cx - 40, ground - 18}, {cx - 70, ground - 40}, 10).Capsule({cx + 10, ground - 16}, {cx - 10, ground - 44}, 10);
  limbs.Capsule({cx + 70, ground - 12}, {w - 20.0f, ground - 26}, 12).Capsule({cx + 70, ground - 10}, {w - 26.0f, ground - 4}, 12);
  c.Paint(limbs, HorizontalGradient(0, kSuitLight, w, kSuitShade), Glossy(5.0f));
  Mask body = c.NewMask();
  body.Ellipse(cx + 10, ground - 14, w * 0.34f, 15);
  c.Paint(body, VerticalGradient(ground - 30, kSuitLight, ground, kSuitShade), Glossy(6.0f));
  Mask belt = c.NewMask();
  belt.Rect(cx + 50, ground - 30, cx + 62, ground);
  belt.Intersect(body);
  c.Paint(belt, suit.stripe, Glossy(2.0f));
  Mask gloves = c.NewMask();
  gloves.Circle(cx - 74, ground - 44, 10).Circle(cx - 12, ground - 48, 10);
  c.Paint(gloves, suit.stripe, Glossy(3.0f));
  Mask boots = c.NewMask();
  boots.RoundRect(w - 34.0f, ground - 40, w - 6.0f, ground - 14, 8).RoundRect(w - 40.0f, ground - 14, w - 10.0f, ground + 4, 8);
  c.Paint(boots, Hex(0x5a5a6a), Glossy(3.0f));
  Mask helmet = c.NewMask();
  helmet.Ellipse(60, ground - 20, 44, 22);
  c.Paint(helmet, RadialGradient(50, ground - 34, 60, kSuitLight, kSuitShade), Glossy(7.0f, 1.2f, Hex(0xffffff)));
  Mask visor = c.NewMask();
  visor.Ellipse(54, ground - 24, 28, 11);
  c.Paint(visor, VerticalGradient(ground - 35, Hex(0xffffff), ground - 12, suit.visor), Glossy(4.0f));
  // Dizzy stars circling above the helmet.
  for (int i = 0; i < 5; ++i) {
    float a = i * 2 * kPi / 5 + 0.4f;
    Pt p = {60 + 48 * std::cos(a), ground - 78 + 14 * std::sin(a)};
    Mask star = c.NewMask();
    star.Polygon(StarPoints(p, 5, 9, 4, -kPi / 2 + a));
    c.Paint(star, i % 2 ? pal::kYellow : Hex(0xffffff), Glossy(2.0f));
  }
  return c.Reduce(true);
}

}  // namespace

void DrawAstronauts(ArtList& out) {
  out.push_back({dat::kAstronaut1, "astronaut 1", Astronaut(kSuits[0], 150, 320)});
  out.push_back({dat::kAstronaut2, "astronaut 2", Astronaut(kSuits[1], 150, 340)});
  out.push_back({dat::kAstronaut3, "astronaut 3", Astronaut(kSuits[2], 150, 320)});
  out.push_back({dat::kFlatAstronaut1, "flattened 1", Flattened(kSuits[0], 320, 150)});
  out.push_back({dat::kFlatAstronaut1 + 1, "flattened 2", Flattened(kSuits[1], 340, 150)});
  out.push_back({dat::kFlatAstronaut1 + 2, "flattened 3", Flattened(kSuits[2], 320, 150)});
}

}  // namespace art
