// Enemy missiles of the five kinds; each glows inside its collision outline.
#include <cmath>

#include "engine/data_index.h"
#include "tools/art/artwork.h"
#include "tools/art/kit.h"

namespace art {

namespace {

// Kind 0 (landers, orbiters): a small plasma ball inside (4,4)-(12,12).
Picture PlasmaBall() {
  Canvas c(16, 16, kSpriteScale);
  Mask halo = c.NewMask();
  halo.Circle(8.5f, 8.5f, 4.9f);
  c.Paint(halo, RadialGradient(8.5f, 8.5f, 5, Hex(0xffffc0), Hex(0xff6a10)), FlatPaint());
  Mask core = c.NewMask();
  core.Circle(8.0f, 8.0f, 2.2f);
  c.Paint(core, Hex(0xffffff), FlatPaint());
  return c.Reduce(true);
}

// Kind 1 (fighters): a fireball filling (1,1)-(30,30).
Picture Fireball() {
  Canvas c(32, 32, kSpriteScale);
  Mask flame = c.NewMask();
  flame.Polygon(StarPoints({16, 16}, 8, 15, 10.5f, 0.2f));
  c.Paint(flame, RadialGradient(16, 16, 15, Hex(0xffd040), Hex(0xd02a00)), Glossy(1.5f));
  Mask ball = c.NewMask();
  ball.Circle(16, 16, 10);
  c.Paint(ball, RadialGradient(14, 14, 11, Hex(0xffffff), Hex(0xff8a1f)), Glossy(3.0f));
  return c.Reduce(true);
}

// Kind 2 (bouncers): a spinning green blade ring, eight frames of one turn.
Picture SpinningRing(int frame) {
  Canvas c(32, 32, kSpriteScale);
  float turn = frame * (2 * kPi / 4) / 8;  // four blades: a quarter turn repeats
  Mask blades = c.NewMask();
  for (int i = 0; i < 4; ++i) {
    float a = turn + i * kPi / 2;
    Pt tip = {16 + 14.8f * std::cos(a), 16 + 14.8f * std::sin(a)};
    Pt side = {16 + 9 * std::cos(a + 0.9f), 16 + 9 * std::sin(a + 0.9f)};
    Pt back = {16 + 6 * std::cos(a - 0.5f), 16 + 6 * std::sin(a - 0.5f)};
    blades.Polygon({back, side, tip});
  }
  c.Paint(blades, RadialGradient(16, 16, 15, Hex(0xe0ffb0), Hex(0x1a9a2a)), Glossy(1.2f, 0.5f, Hex(0xd0ffd0)));
  Mask hub = c.NewMask();
  hub.Circle(16, 16, 6.5f).Cut().Circle(16, 16, 2.8f);
  c.Paint(hub, Hex(0x3cff5a), Glossy(1.5f));
  return c.Reduce(true);
}

// Kinds 3 and 4 (the boss): sound waves, a crescent 7 px wide and 40 tall in
// the outline's bar, bulging in the direction of flight; four frames throb.
Picture SoundWave(int width, float barLeft, bool bulgeLeft, int frame) {
  Canvas c(width, 64, kSpriteScale);
  const float cy = 32.0f, reach = 3.6f;
  const float thick = 2.6f + frame * 0.45f;
  Mask wave = c.NewMask();
  wave.Region(barLeft, 12, barLeft + 7, 52, [=](float x, float y) {
    float u = (y - cy) / 20.0f;
    float bend = reach * u * u;  // the ends trail behind the middle
    float centre = bulgeLeft ? barLeft + 1.9f + bend : barLeft + 5.1f - bend;
    float half = thick * (1 - 0.55f * u * u) / 2;
    return std::fabs(u) <= 1 && std::fabs(x - centre) <= half;
  });
  Rgb hot = Mix(Hex(0xff3ab0), Hex(0xfff0ff), frame / 3.0f);
  c.Paint(wave, VerticalGradient(12, Hex(0xb04aff), 52, Hex(0xff3a8a)), Glossy(1.0f, 0.7f, hot));
  return c.Reduce(true);
}

}  // namespace

void DrawMissiles(ArtList& out) {
  for (int f = 0; f < 4; ++f) out.push_back({dat::kMissile3Frame0 + f, "missile 3 wave " + std::to_string(f), SoundWave(32, 25, true, f)});
  for (int f = 0; f < 4; ++f) out.push_back({dat::kMissile4Frame0 + f, "missile 4 wave " + std::to_string(f), SoundWave(8, 0, false, f)});
  out.push_back({dat::kMissile0, "missile 0", PlasmaBall()});
  out.push_back({dat::kMissile1, "missile 1", Fireball()});
  for (int f = 0; f < 8; ++f) out.push_back({dat::kMissile2Frame0 + f, "missile 2 blade " + std::to_string(f), SpinningRing(f)});
}

}  // namespace art
