// The player's ship (both facings), its beam, and the life and bomb icons of
// the heads-up display.
//
// One collision outline serves both facings of the ship, so both pictures are
// built inside it: facing right the blunt end is the nose and the thin boom the
// tail; facing left the pointed end is the nose (with the gun pod under it)
// and the blunt end carries the engines.
#include <cmath>

#include "engine/data_index.h"
#include "tools/art/artwork.h"
#include "tools/art/kit.h"
#include "tools/art/ship.h"

namespace art {

namespace {

const Rgb kHullLight = Hex(0xdfe9ff);
const Rgb kHullDark = Hex(0x3a4a78);
const Rgb kTrim = Hex(0x3ff0ff);
const Rgb kWingLight = Hex(0x8fb0ff);
const Rgb kWingDark = Hex(0x1c2a66);
const Rgb kStripe = Hex(0xff4060);

}  // namespace

void PaintShip(Canvas& c, bool facingRight, float k) {
  auto S = [k](std::vector<Pt> pts) {
    for (Pt& p : pts) p = {p.x * k, p.y * k};
    return pts;
  };
  Mask outline = c.NewMask();
  outline.Polygon(S(Outline({{0, 36}, {57, 30}, {52, 1}, {69, 0}, {89, 31}, {114, 32}, {114, 52}, {90, 54},
                             {69, 91}, {53, 91}, {57, 53}, {26, 48}, {6, 59}, {1, 58}, {1, 55}, {8, 42}, {0, 39}})));

  // Wings: swept back when flying right, swept forward when flying left.
  Mask wings = c.NewMask();
  wings.Polygon(S({{56.5f, 32}, {52.5f, 1.5f}, {69.5f, 0.5f}, {90, 32}}));
  wings.Polygon(S({{57.5f, 52}, {90.5f, 53.5f}, {69.5f, 91.5f}, {53.5f, 91.5f}}));
  wings.Intersect(outline);
  c.Paint(wings, VerticalGradient(0, kWingLight, 92 * k, kWingDark), Glossy(2.2f * k, 0.8f * k, kTrim));
  Mask stripes = c.NewMask();
  stripes.Polygon(S({{54.2f, 14}, {61.5f, 13.5f}, {64, 19}, {55.5f, 19.5f}}));
  stripes.Polygon(S({{55.6f, 71}, {64, 71}, {61.5f, 77}, {54.7f, 77.5f}}));
  c.Paint(stripes, kStripe, Matte(0.8f * k));

  // Fuselage with the tail boom and the ventral fin.
  Mask hull = c.NewMask();
  hull.Polygon(S({{0.5f, 36.5f}, {57, 30.5f}, {89, 31.5f}, {106, 32.2f}, {114.5f, 36}, {114.5f, 49}, {106, 53},
                  {90, 54.5f}, {57, 53.5f}, {26, 48.5f}, {6.5f, 59.5f}, {1.5f, 58.5f}, {1.5f, 55.5f},
                  {8.5f, 42.5f}, {0.5f, 39.5f}}));
  hull.Intersect(outline);
  c.Paint(hull, VerticalGradient(31 * k, kHullLight, 55 * k, kHullDark), Glossy(3.0f * k, 0.9f * k, Hex(0xf0f8ff)));
  Mask panel = c.NewMask();
  panel.Polygon(S({{30, 44}, {86, 45}, {86, 47.2f}, {30, 46.2f}}));
  c.Paint(panel, kHullDark, Matte(0.6f * k));

  if (facingRight) {
    // Canopy behind the blunt nose, exhaust at the end of the boom.
    Mask canopy = c.NewMask();
    canopy.Ellipse(88 * k, 36.5f * k, 13 * k, 5.2f * k, 3);
    canopy.Intersect(outline);
    c.Paint(canopy, VerticalGradient(31 * k, Hex(0xc8fcff), 42 * k, Hex(0x0c4a8a)), Glossy(2.0f * k));
    Mask nose = c.NewMask();
    nose.Polygon(S({{108, 33}, {114.5f, 36.5f}, {114.5f, 48.5f}, {108, 52}}));
    c.Paint(nose, Hex(0xff5070), Glossy(2.0f * k));
    Mask gun = c.NewMask();
    gun.Rect(104 * k, 50.5f * k, 114.5f * k, 53.5f * k);
    c.Paint(gun, Hex(0x202838), Glossy(0.8f * k));
    Mask flame = c.NewMask();
    flame.Ellipse(3 * k, 38 * k, 3.2f * k, 2.2f * k);
    flame.Intersect(outline);
    c.Paint(flame, RadialGradient(1.5f * k, 38 * k, 4 * k, Hex(0xffffff), Hex(0xff8a1f)), FlatPaint());
  } else {
    // Canopy behind the pointed nose, gun pod under it, engines at the blunt end.
    Mask canopy = c.NewMask();
    canopy.Ellipse(36 * k, 35.5f * k, 14 * k, 4.4f * k, -6);
    canopy.Intersect(outline);
    c.Paint(canopy, VerticalGradient(30 * k, Hex(0xc8fcff), 40 * k, Hex(0x0c4a8a)), Glossy(2.0f * k));
    Mask tip = c.NewMask();
    tip.Polygon(S({{0.5f, 36.5f}, {10, 35.6f}, {10, 41}, {0.5f, 39.5f}}));
    tip.Intersect(outline);
    c.Paint(tip, Hex(0xff5070), Glossy(1.0f * k));
    Mask gun = c.NewMask();
    gun.Polygon(S({{1.5f, 53.5f}, {12, 52.5f}, {12, 56}, {1.5f, 58}}));
    gun.Intersect(outline);
    c.Paint(gun, Hex(0x202838), Glossy(0.8f * k));
    for (float y : {37.5f, 46.5f}) {
      Mask nozzle = c.NewMask();
      nozzle.Ellipse(112.5f * k, y * k, 2.2f * k, 3.6f * k);
      nozzle.Intersect(outline);
      c.Paint(nozzle, RadialGradient(113.5f * k, y * k, 4 * k, Hex(0xffffff), Hex(0xff8a1f)), FlatPaint());
    }
  }
}

namespace {

Picture Ship(bool facingRight) {
  Canvas c(124, 92, kSpriteScale);
  PaintShip(c, facingRight, 1.0f);
  return c.Reduce(true);
}

// The beam: a thin trail that thickens and brightens toward the head at the
// leading end; the head covers the tip outline (x 422..444, y 4..9).
Picture Beam(bool flyingRight) {
  const int w = 448, h = 12;
  Canvas c(w, h, kSpriteScale);
  auto X = [&](float x) { return flyingRight ? x : w - x; };
  Mask trail = c.NewMask();
  // Rising from a hair-thin end to the full width of the head.
  trail.Polygon({{X(6), 6.6f}, {X(300), 5.6f}, {X(430), 4.6f}, {X(430), 9.4f}, {X(300), 8.4f}, {X(6), 7.4f}});
  c.Paint(trail, [&](float x, float) {
    float t = flyingRight ? x / w : 1 - x / w;
    return Mix(Hex(0x5a0a6a), Mix(Hex(0xff3a8a), Hex(0xffd040), Smooth(0.5f, 0.95f, t)), Smooth(0.0f, 0.6f, t));
  }, FlatPaint());
  Mask core = c.NewMask();
  core.Polygon({{X(200), 7}, {X(430), 6.2f}, {X(430), 7.8f}});
  c.Paint(core, Hex(0xfff8e0), FlatPaint(0.9f));
  Mask head = c.NewMask();
  head.Ellipse(X(434), 7, 12, 3.4f);
  c.Paint(head, RadialGradient(X(438), 7, 12, Hex(0xffffff), Hex(0xffe060)), FlatPaint());
  return c.Reduce(true, 0.35f);
}

Picture LifeIcon() {
  Canvas c(62, 46, kSpriteScale);
  PaintShip(c, true, 0.5f);
  return c.Reduce(true);
}

Picture BombIcon() {
  Canvas c(62, 46, kSpriteScale);
  const Pt centre = {27, 26};
  Mask fins = c.NewMask();
  fins.Polygon(StarPoints(centre, 4, 19, 6, kPi / 4));
  c.Paint(fins, Hex(0x8a9bb8), Glossy(1.5f));
  Mask ball = c.NewMask();
  ball.Circle(centre.x, centre.y, 13);
  c.Paint(ball, RadialGradient(22, 21, 18, Hex(0xff9ad0), Hex(0x6a0a4a)), Glossy(5.0f, 0.8f, Hex(0xffc0e8)));
  Mask band = c.NewMask();
  band.Rect(14, 24.5f, 40, 27.5f);
  band.Intersect(ball);
  c.Paint(band, Hex(0xfffc19), Matte(0.8f));
  // Fuse and spark.
  Mask fuse = c.NewMask();
  fuse.Capsule({36, 16}, {44, 9}, 1.4f);
  c.Paint(fuse, Hex(0xc0a070), Matte(0.6f));
  Mask spark = c.NewMask();
  spark.Polygon(StarPoints({47, 7}, 5, 6.5f, 2.2f, 0.3f));
  c.Paint(spark, RadialGradient(47, 7, 6, Hex(0xffffff), Hex(0xffa020)), FlatPaint());
  return c.Reduce(true);
}

}  // namespace

void DrawPlayer(ArtList& out) {
  out.push_back({dat::kShipRight, "ship right", Ship(true)});
  out.push_back({dat::kShipLeft, "ship left", Ship(false)});
  out.push_back({dat::kBeamRight, "beam right", Beam(true)});
  out.push_back({dat::kBeamLeft, "beam left", Beam(false)});
  out.push_back({dat::kLifeIcon, "life icon", LifeIcon()});
  out.push_back({dat::kBombIcon, "bomb icon", BombIcon()});
}

}  // namespace art
