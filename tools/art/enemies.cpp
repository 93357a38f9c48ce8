// The alien enemies. Every body lies inside the collision outline the game
// gives its type, so a hit looks fair; the outlines are repeated here as the
// shapes the bodies are built on.
#include <cmath>

#include "engine/data_index.h"
#include "tools/art/artwork.h"
#include "tools/art/kit.h"

namespace art {

namespace {

// The outline shared by landers, mutants, bouncers and orbiters.
const std::vector<Pt> kStandard = Outline(
    {{49, 13}, {69, 30}, {72, 40}, {72, 61}, {57, 78}, {40, 78}, {27, 61}, {27, 38}, {30, 30}});
constexpr int kStandardW = 100, kStandardH = 84;
const Pt kStandardCentre = {50.0f, 46.5f};

Picture Lander(int frame) {
  const float pulse = frame / 3.0f;  // frames play 0 1 2 3 2 1: a smooth throb
  Canvas c(kStandardW, kStandardH, kSpriteScale);

  // Three claws below the body.
  Mask claws = c.NewMask();
  claws.Capsule({37, 64}, {41.5f, 77.5f}, 2.4f).Capsule({50, 64}, {50, 78}, 2.4f).Capsule({63, 64}, {56.5f, 77.5f}, 2.4f);
  c.Paint(claws, VerticalGradient(64, Hex(0x7df08a), 78, Hex(0x1b6b2b)), Glossy(1.2f));

  // Skirt and main body band.
  Mask body = c.NewMask();
  body.Polygon({{27.5f, 38}, {72.5f, 38}, {72.5f, 61.5f}, {64, 68}, {36, 68}, {27.5f, 61.5f}});
  c.Paint(body, VerticalGradient(38, Hex(0x43d66a), 68, Hex(0x0d5a24)), Glossy(3.0f, 0.9f, Hex(0xb6ff3a)));
  Mask seam = c.NewMask();
  seam.Rect(28, 57, 72, 59);
  c.Paint(seam, Hex(0x083d18), Matte(0.6f));

  // Running lights along the band, brightening with the pulse.
  Rgb lamp = Mix(Hex(0xd8a000), Hex(0xfffbd0), pulse);
  for (int i = 0; i < 5; ++i) {
    Mask light = c.NewMask();
    light.Circle(33.5f + i * 8.25f, 48.5f, 2.6f);
    c.Paint(light, lamp, Glossy(1.5f));
  }

  // The glass dome with the pilot's eye inside.
  Mask dome = c.NewMask();
  dome.Polygon({{50, 13.8f}, {59, 21}, {68.6f, 30.5f}, {71, 38.5f}, {29, 38.5f}, {31.4f, 30.5f}, {41, 21}});
  c.Paint(dome, VerticalGradient(14, Hex(0x9ffcff), 38, Hex(0x146c7a)), Glossy(4.0f, 0.8f, Hex(0xd0ffff)));
  Mask eye = c.NewMask();
  eye.Ellipse(50, 30, 6.5f, 4.5f);
  c.Paint(eye, Mix(Hex(0xa0103a), Hex(0xff4060), pulse), Glossy(2.0f));
  Mask pupil = c.NewMask();
  pupil.Ellipse(50, 30, 1.6f, 3.6f);
  c.Paint(pupil, Hex(0x1a0008), FlatPaint());
  return c.Reduce(true);
}

Picture Mutant() {
  Canvas c(kStandardW, kStandardH, kSpriteScale);
  Mask hull = c.NewMask();
  hull.Polygon(kStandard);
  // Ragged tendrils along the bottom, a split crown at the top.
  hull.Cut()
      .Polygon({{36, 79}, {40.5f, 68}, {45, 79}})
      .Polygon({{52, 79}, {56.5f, 68}, {61, 79}})
      .Polygon({{27, 66}, {31, 58}, {34, 70}})
      .Polygon({{66, 70}, {69, 58}, {73, 66}})
      .Polygon({{46, 12}, {50, 21}, {54, 12}});
  c.Paint(hull, RadialGradient(50, 40, 38, Hex(0xe0306a), Hex(0x4a0624)), Glossy(3.5f, 1.0f, Hex(0xff7ac0)));
  // Veins.
  Mask veins = c.NewMask();
  veins.Capsule({34, 40}, {42, 52}, 0.7f).Capsule({42, 52}, {40, 64}, 0.6f);
  veins.Capsule({66, 40}, {58, 52}, 0.7f).Capsule({58, 52}, {61, 64}, 0.6f);
  c.Paint(veins, Hex(0x5c0a34), FlatPaint(0.8f));
  // Two mad yellow eyes with slit pupils.
  for (float x : {40.0f, 60.0f}) {
    Mask eye = c.NewMask();
    eye.Ellipse(x, 36, 6.5f, 5.0f, x < 50 ? 20.0f : -20.0f);
    c.Paint(eye, RadialGradient(x - 1, 35, 7, Hex(0xfff7a0), Hex(0xffa000)), Glossy(2.0f));
    Mask slit = c.NewMask();
    slit.Ellipse(x, 36, 1.3f, 4.2f);
    c.Paint(slit, Hex(0x200000), FlatPaint());
  }
  // A fanged mouth.
  Mask mouth = c.NewMask();
  mouth.Polygon({{36, 50}, {64, 50}, {58, 60}, {42, 60}});
  c.Paint(mouth, Hex(0x1c0010), Matte(1.0f));
  Mask fangs = c.NewMask();
  for (int i = 0; i < 5; ++i) {
    float x = 39 + i * 5.5f;
    fangs.Polygon({{x - 2.2f, 50}, {x + 2.2f, 50}, {x, 56.5f}});
  }
  c.Paint(fangs, Hex(0xfff4e0), Glossy(0.8f));
  return c.Reduce(true);
}

Picture Bouncer(int frame) {
  Canvas c(kStandardW, kStandardH, kSpriteScale);
  Mask outline = c.NewMask();
  outline.Polygon(kStandard);
  // Six spikes turning one spike-spacing over the eight frames.
  float turn = frame * (2 * kPi / 6) / 8;
  Mask spikes = c.NewMask();
  spikes.Polygon(StarPoints(kStandardCentre, 6, 34, 14, turn - kPi / 2));
  spikes.Intersect(outline);
  c.Paint(spikes, RadialGradient(50, 46, 32, Hex(0xffe070), Hex(0xc05000)), Glossy(2.0f, 0.7f, Hex(0xfff0a0)));
  Mask ball = c.NewMask();
  ball.Circle(kStandardCentre.x, kStandardCentre.y, 17);
  c.Paint(ball, RadialGradient(44, 40, 24, Hex(0xffc040), Hex(0x9a3800)), Glossy(6.0f, 0.8f, Hex(0xffd080)));
  // A band round the ball whose marks travel with the turn.
  Mask band = c.NewMask();
  band.Ellipse(kStandardCentre.x, kStandardCentre.y, 17, 4.5f);
  band.Intersect(ball);
  c.Paint(band, Hex(0x5a1c00), Matte(1.0f));
  for (int i = 0; i < 3; ++i) {
    float a = turn * 3 + i * 2 * kPi / 3;
    float x = kStandardCentre.x + 13 * std::cos(a);
    if (std::sin(a) < -0.2f) continue;  // on the far side
    Mask stud = c.NewMask();
    stud.Circle(x, kStandardCentre.y, 2.2f);
    c.Paint(stud, Hex(0xfff6c0), Glossy(1.0f));
  }
  return c.Reduce(true);
}

Picture Orbiter() {
  Canvas c(kStandardW, kStandardH, kSpriteScale);
  const Pt centre = {50, 45};
  // Orbit ring behind and in front of the orb.
  Mask ringBack = c.NewMask();
  ringBack.Ellipse(centre.x, centre.y, 22, 7, -25);
  ringBack.Cut().Ellipse(centre.x, centre.y, 19.5f, 5.0f, -25);
  Mask outline = c.NewMask();
  outline.Polygon(kStandard);
  ringBack.Intersect(outline);
  c.Paint(ringBack, Hex(0xb8b070), Glossy(0.8f));
  Mask orb = c.NewMask();
  orb.Circle(centre.x, centre.y, 15.5f);
  c.Paint(orb, RadialGradient(44, 39, 24, Hex(0xfffff0), Hex(0xb0a870)), Glossy(6.0f, 0.8f, Hex(0xffffe0)));
  Mask iris = c.NewMask();
  iris.Circle(centre.x + 2, centre.y + 1, 7);
  c.Paint(iris, RadialGradient(centre.x + 2, centre.y + 1, 7, Hex(0x6ad8ff), Hex(0x1a3c9a)), Glossy(2.0f));
  Mask pupil = c.NewMask();
  pupil.Circle(centre.x + 2.5f, centre.y + 1.5f, 3);
  c.Paint(pupil, Hex(0x040818), FlatPaint());
  Mask glint = c.NewMask();
  glint.Circle(centre.x, centre.y - 1.5f, 1.3f);
  c.Paint(glint, Hex(0xffffff), FlatPaint());
  // The front half of the ring passes over the orb.
  Mask ringFront = ringBack;
  ringFront.Cut().Region(0, 0, 100, centre.y - 1, [](float, float) { return true; });
  c.Paint(ringFront, Hex(0xf0e8a0), Glossy(0.8f));
  // Three moons on the ring.
  const Pt moons[] = {{32, 52.5f}, {67, 36}, {57, 30}};
  for (Pt m : moons) {
    Mask moon = c.NewMask();
    moon.Circle(m.x, m.y, 3.6f);
    c.Paint(moon, RadialGradient(m.x - 1, m.y - 1, 4, Hex(0xffffff), Hex(0xc0b060)), Glossy(1.5f));
  }
  return c.Reduce(true);
}

Picture Fighter(bool facingRight) {
  const float w = 64;
  auto X = [&](float x) { return facingRight ? x : w - x; };
  auto P = [&](std::vector<Pt> pts) {
    for (Pt& p : pts) p.x = X(p.x);
    return pts;
  };
  Canvas c(64, 26, kSpriteScale);
  // The right-facing outline; the left-facing one is its mirror.
  std::vector<Pt> hull = Outline({{6, 0}, {18, 0}, {46, 6}, {63, 18}, {63, 21}, {55, 25}, {32, 25}, {8, 22}, {0, 14}, {0, 3}});
  Mask body = c.NewMask();
  body.Polygon(facingRight ? hull : MirrorX(hull, w));
  c.Paint(body, VerticalGradient(0, Hex(0xffe6a8), 26, Hex(0x8a5a18)), Glossy(2.5f, 0.7f, Hex(0xfff0c8)));
  // Dark wing line and intake.
  Mask wing = c.NewMask();
  wing.Polygon(P({{14, 15}, {50, 17}, {44, 21}, {16, 20}}));
  c.Paint(wing, Hex(0x6a3c10), Matte(1.0f));
  // Canopy.
  Mask canopy = c.NewMask();
  canopy.Ellipse(X(43), 10.5f, 7.5f, 3.2f, facingRight ? 24.0f : -24.0f);
  c.Paint(canopy, VerticalGradient(7, Hex(0xb0f4ff), 14, Hex(0x104a78)), Glossy(1.5f));
  // Engine glow at the tail.
  Mask engine = c.NewMask();
  engine.Ellipse(X(2.5f), 9, 2.2f, 4.2f);
  c.Paint(engine, RadialGradient(X(2.5f), 9, 4, Hex(0xffffff), Hex(0xff7a10)), FlatPaint());
  // Red stripe on the tail fin.
  Mask fin = c.NewMask();
  fin.Polygon(P({{8, 1.5f}, {17, 1.5f}, {22, 3.5f}, {11, 4.5f}}));
  c.Paint(fin, Hex(0xe02828), Matte(0.6f));
  return c.Reduce(true);
}

Picture Pod() {
  Canvas c(96, 64, kSpriteScale);
  const Pt centre = {48, 48.5f};
  Mask pod = c.NewMask();
  pod.Ellipse(centre.x, centre.y, 30, 5.8f);
  c.Paint(pod, VerticalGradient(42, Hex(0xff6a8a), 55, Hex(0x6a0620)), Glossy(3.0f, 0.8f, Hex(0xffa0c0)));
  // Segments of the seed case.
  for (int i = -3; i <= 3; ++i) {
    Mask seg = c.NewMask();
    float x = centre.x + i * 7.5f;
    seg.Ellipse(x, centre.y, 0.8f, 5.2f - std::abs(i) * 0.8f);
    c.Paint(seg, Hex(0x40021a), FlatPaint(0.9f));
  }
  // Glowing seeds inside.
  for (int i = -2; i <= 2; ++i) {
    Mask seed = c.NewMask();
    seed.Circle(centre.x + i * 7.5f + 3.75f * (i < 0 ? -1 : 1) * (i != 0), centre.y, 2.2f - std::abs(i) * 0.2f);
    c.Paint(seed, Hex(0xffd040), Glossy(1.0f));
  }
  return c.Reduce(true);
}

Picture Swarmer() {
  Canvas c(32, 32, kSpriteScale);
  // Two pairs of gauzy wings, then a pointed body.
  Mask wings = c.NewMask();
  wings.Ellipse(11, 10, 8.5f, 4, -35).Ellipse(21, 10, 8.5f, 4, 35);
  wings.Ellipse(10, 21, 7, 3.2f, 30).Ellipse(22, 21, 7, 3.2f, -30);
  c.Paint(wings, Hex(0xffd890), Glossy(1.0f, 0.6f, Hex(0xfff4d0)));
  Mask body = c.NewMask();
  body.Ellipse(16, 17, 5, 11.5f);
  c.Paint(body, VerticalGradient(6, Hex(0xffb030), 29, Hex(0x8a3000)), Glossy(2.5f, 0.6f, Hex(0xffe080)));
  Mask stripes = c.NewMask();
  for (int i = 0; i < 3; ++i) stripes.Rect(11, 18.5f + i * 3.2f, 21, 19.7f + i * 3.2f);
  stripes.Intersect(body);
  c.Paint(stripes, Hex(0x3a1400), FlatPaint());
  for (float x : {13.8f, 18.2f}) {
    Mask eye = c.NewMask();
    eye.Circle(x, 9.5f, 1.9f);
    c.Paint(eye, Hex(0xff2020), Glossy(0.8f));
  }
  return c.Reduce(true);
}

Picture Bomber() {
  Canvas c(32, 32, kSpriteScale);
  Mask box = c.NewMask();
  box.RoundRect(2.5f, 2.5f, 29.5f, 29.5f, 4);
  c.Paint(box, VerticalGradient(2, Hex(0xffffff), 30, Hex(0x7a8498)), Glossy(3.0f, 0.7f, Hex(0xffffff)));
  Mask inset = c.NewMask();
  inset.RoundRect(8, 8, 24, 24, 3);
  c.Paint(inset, Hex(0x2a3040), Matte(1.5f));
  Mask core = c.NewMask();
  core.Circle(16, 16, 5);
  c.Paint(core, RadialGradient(15, 15, 6, Hex(0xffe0e0), Hex(0xd01020)), Glossy(2.0f));
  for (Pt p : {Pt{6, 6}, Pt{26, 6}, Pt{6, 26}, Pt{26, 26}}) {
    Mask lamp = c.NewMask();
    lamp.Circle(p.x, p.y, 1.6f);
    c.Paint(lamp, Hex(0xff3040), FlatPaint());
  }
  return c.Reduce(true);
}

Picture Mine(int frame) {
  Canvas c(16, 16, kSpriteScale);
  const Pt centre = {8.5f, 8.5f};
  float turn = frame * (kPi / 2) / 8;
  Mask spikes = c.NewMask();
  spikes.Polygon(StarPoints(centre, 4, 7.2f, 2.5f, turn));
  c.Paint(spikes, Hex(0xd0d4e0), Glossy(0.8f));
  Mask core = c.NewMask();
  core.Circle(centre.x, centre.y, 4.2f);
  float blink = 0.5f + 0.5f * std::cos(frame * 2 * kPi / 8);
  c.Paint(core, RadialGradient(7.5f, 7.5f, 5, Mix(Hex(0xff6060), Hex(0xffffe0), blink), Hex(0x900010)), Glossy(1.5f));
  return c.Reduce(true);
}

Picture Baiter(int frame) {
  Canvas c(32, 32, kSpriteScale);
  Mask dome = c.NewMask();
  dome.Ellipse(16, 12, 7, 6.5f);
  c.Paint(dome, VerticalGradient(5, Hex(0xe0ffff), 14, Hex(0x1c8aa0)), Glossy(2.5f));
  Mask disc = c.NewMask();
  disc.Ellipse(16, 16.5f, 13.5f, 5);
  c.Paint(disc, VerticalGradient(11, Hex(0x7ffcff), 22, Hex(0x0a4a6a)), Glossy(2.0f, 0.6f, Hex(0xc0ffff)));
  // Lights chasing round the rim.
  for (int i = 0; i < 4; ++i) {
    float a = (frame / 8.0f + i / 4.0f) * 2 * kPi;
    if (std::sin(a) < 0) continue;  // behind the disc
    Mask lamp = c.NewMask();
    lamp.Circle(16 + 10.5f * std::cos(a), 17.5f + 1.5f * std::sin(a), 1.7f);
    c.Paint(lamp, Hex(0xfffbe0), FlatPaint());
  }
  Mask beam = c.NewMask();
  beam.Polygon({{12, 21}, {20, 21}, {17.5f, 29.5f}, {14.5f, 29.5f}});
  c.Paint(beam, VerticalGradient(21, Hex(0x60f0ff), 30, Hex(0x0a3050)), FlatPaint(0.85f));
  return c.Reduce(true);
}

}  // namespace

void DrawEnemies(ArtList& out) {
  out.push_back({dat::kBomber, "bomber", Bomber()});
  for (int f = 0; f < 4; ++f) out.push_back({dat::kLanderFrame0 + f, "lander " + std::to_string(f), Lander(f)});
  out.push_back({dat::kOrbiter, "orbiter", Orbiter()});
  out.push_back({dat::kFighterLeft, "fighter left", Fighter(false)});
  out.push_back({dat::kFighterRight, "fighter right", Fighter(true)});
  out.push_back({dat::kPod, "pod", Pod()});
  out.push_back({dat::kMutant, "mutant", Mutant()});
  for (int f = 0; f < 8; ++f) out.push_back({dat::kBouncerFrame0 + f, "bouncer " + std::to_string(f), Bouncer(f)});
  for (int f = 0; f < 8; ++f) out.push_back({dat::kBaiterFrame0 + f, "baiter " + std::to_string(f), Baiter(f)});
  for (int f = 0; f < 8; ++f) out.push_back({dat::kMineFrame0 + f, "mine " + std::to_string(f), Mine(f)});
  out.push_back({dat::kSwarmer, "swarmer", Swarmer()});
}

}  // namespace art
