// Full-screen pictures (title, help and controls, intro and closing), the
// intro's plane, the menu buttons, the logo words and the two spare slots.
//
// The title picture keeps its middle dark and calm: the logo slides in over
// its top, the high-score table and the menu buttons sit over its centre.
#include <algorithm>
#include <cmath>

#include "engine/data_index.h"
#include "tools/art/artwork.h"
#include "tools/art/kit.h"
#include "tools/art/typeface.h"

namespace art {

namespace {

constexpr int kScreenW = 1024, kScreenH = 768;
constexpr int kScreenScale = 2;

// Night sky with a soft haze toward `horizon`, and scattered stars.
void NightSky(Canvas& c, uint32_t seed, float horizon, Rgb haze) {
  c.Fill([=](float, float y) {
    float t = Clamp01(y / horizon);
    Rgb col = Mix(pal::kSkyTop, Hex(0x0e0a2a), Smooth(0.0f, 0.6f, t));
    return Mix(col, haze, Smooth(0.55f, 1.0f, t) * 0.8f);
  });
  Random r(seed);
  for (int i = 0; i < 420; ++i) {
    float x = r.Unit() * c.Width(), y = r.Unit() * horizon * 0.95f, b = r.Unit();
    Rgb tint = b < 0.2f ? Hex(0xa8c8ff) : b > 0.9f ? Hex(0xffd8b0) : pal::kWhite;
    c.Spot(x, y, 0.45f + b * b * 0.9f, tint, 0.35f + 0.6f * b);
  }
}

// Letters of `text` fitted into a w x h box with a margin, centred.
Mask FittedText(const Canvas& c, const char* ttf, const std::string& text, float x0, float y0, float w, float h) {
  // Measure the ink at a trial size, then scale to fit.
  const float trial = 100;
  Mask probe(static_cast<int>(MeasureText(ttf, trial, text) + 40), 160, 1);
  DrawText(probe, ttf, trial, 10, 120, text);
  int minX = probe.Width(), maxX = -1, minY = probe.Height(), maxY = -1;
  for (int y = 0; y < probe.Height(); ++y) {
    for (int x = 0; x < probe.Width(); ++x) {
      if (!probe.At(x, y)) continue;
      minX = std::min(minX, x);
      maxX = std::max(maxX, x);
      minY = std::min(minY, y);
      maxY = std::max(maxY, y);
    }
  }
  float inkW = maxX - minX + 1.0f, inkH = maxY - minY + 1.0f;
  float k = std::min(w / inkW, h / inkH);
  float size = trial * k;
  // Place the ink box centred in the target box.
  float left = x0 + (w - inkW * k) / 2 - (minX - 10) * k;
  float baseline = y0 + (h - inkH * k) / 2 + (120 - minY) * k;
  Mask m = c.NewMask();
  DrawText(m, ttf, size, left, baseline, text);
  return m;
}

Picture Title() {
  Canvas c(kScreenW, kScreenH, kScreenScale);
  NightSky(c, 133, 640, Hex(0x5a1a5a));
  c.Spot(170, 210, 150, Hex(0x6a1a7a), 0.35f);
  c.Spot(880, 150, 170, Hex(0x0a4a6a), 0.35f);
  c.Spot(512, 660, 260, Hex(0xff6a3a), 0.22f);
  // A golden planet's curve along the bottom, with a glowing atmosphere.
  Mask planet = c.NewMask();
  planet.Circle(512, 1720, 1060);
  c.Glow(planet, Hex(0xff8a3a), 26, 0.7f);
  c.Paint(planet, [](float x, float y) {
    float band = 0.5f + 0.5f * std::sin(y * 0.09f + std::sin(x * 0.012f) * 2.0f);
    return Mix(Mix(Hex(0xffb060), Hex(0xc04a3a), band * 0.6f), Hex(0x3a0a2a), Smooth(660, 768, y) * 0.7f);
  }, Glossy(6.0f, 1.5f, Hex(0xffe0a0)));
  // Light trails of a ship diving toward the planet on either side.
  for (int side = 0; side < 2; ++side) {
    Mask trail = c.NewMask();
    float x = side ? 900 : 124;
    trail.Polygon({{x - 60, 330}, {x - 57, 330}, {x + 18, 560}, {x + 12, 562}});
    c.Glow(trail, side ? pal::kCyan : pal::kPink, 5, 0.6f);
    c.Paint(trail, Hex(0xffffff), FlatPaint(0.8f));
  }
  return c.Reduce(false);
}

// Help and controls: a quiet frame around the story text; the landers of the
// help screen appear in a row near the top.
Picture HelpBackground() {
  Canvas c(kScreenW, kScreenH, kScreenScale);
  NightSky(c, 50, 768, Hex(0x1a0a3a));
  c.Spot(512, 420, 420, Hex(0x10183a), 0.5f);
  // A synth grid floor along the bottom.
  Mask grid = c.NewMask();
  for (int i = -12; i <= 12; ++i) grid.Polygon({{512 + i * 20.0f, 690}, {512 + i * 21.0f, 690}, {512 + i * 90.0f + 3, 768}, {512 + i * 90.0f, 768}});
  for (float y : {692.0f, 698.0f, 708.0f, 722.0f, 742.0f, 766.0f}) grid.Rect(0, y, 1024, y + 1.2f);
  c.Glow(grid, Hex(0xc02aff), 3, 0.5f);
  c.Paint(grid, Hex(0xff6adf), FlatPaint(0.7f));
  // Neon frame.
  Mask frame = c.NewMask();
  frame.RoundRect(18, 18, 1006, 750, 18).Cut().RoundRect(22, 22, 1002, 746, 15);
  c.Glow(frame, pal::kCyan, 6, 0.5f);
  c.Paint(frame, Hex(0xb0ffff), FlatPaint());
  return c.Reduce(false);
}

// Intro and closing: a launch field at night; astronauts stand around
// y 390..730 and the flattened ones lie around y 535..760.
Picture IntroBackground() {
  Canvas c(kScreenW, kScreenH, kScreenScale);
  NightSky(c, 84, 600, Hex(0x3a1a5a));
  // A big moon.
  Mask moon = c.NewMask();
  moon.Circle(800, 170, 90);
  c.Glow(moon, Hex(0x8aa0ff), 30, 0.35f);
  c.Paint(moon, RadialGradient(770, 140, 120, Hex(0xf0f0ff), Hex(0x6a6a9a)), Glossy(10.0f));
  Random r(840);
  for (int i = 0; i < 9; ++i) {
    Mask crater = c.NewMask();
    float a = r.Unit() * 2 * kPi, d = r.Unit() * 70;
    crater.Circle(800 + d * std::cos(a), 170 + d * std::sin(a), 5 + r.Unit() * 12);
    crater.Intersect(moon);
    c.Paint(crater, Hex(0x8a8ab8), Matte(3.0f));
  }
  // City skyline with lit windows, then the launch tower.
  Mask city = c.NewMask();
  float x = 0;
  while (x < 1024) {
    float w = 30 + r.Unit() * 50, h = 40 + r.Unit() * 120;
    city.Rect(x, 600 - h, x + w, 640);
    x += w + r.Unit() * 8;
  }
  c.Paint(city, VerticalGradient(440, Hex(0x1a1440), 640, Hex(0x0a0820)), Matte(2.0f));
  for (int i = 0; i < 260; ++i) {
    float wx = r.Unit() * 1024, wy = 470 + r.Unit() * 160;
    if (!city.At(static_cast<int>(wx * kScreenScale), static_cast<int>(wy * kScreenScale))) continue;
    Mask window = c.NewMask();
    window.Rect(wx, wy, wx + 3, wy + 4);
    c.Paint(window, r.Unit() < 0.5f ? Hex(0xffd070) : Hex(0x7ae0ff), FlatPaint(0.85f));
  }
  Mask tower = c.NewMask();
  tower.Rect(120, 300, 134, 640).Rect(170, 300, 184, 640);
  for (float y = 310; y < 640; y += 28) tower.Capsule({127, y}, {177, y + 24}, 2).Capsule({177, y}, {127, y + 24}, 2);
  c.Paint(tower, Hex(0x3a3a6a), Glossy(1.5f, 0.6f, Hex(0x8a8aff)));
  Mask beacon = c.NewMask();
  beacon.Circle(152, 296, 6);
  c.Glow(beacon, pal::kRed, 12, 0.8f);
  c.Paint(beacon, Hex(0xff6a6a), FlatPaint());
  // Tarmac with runway lights.
  Mask ground = c.NewMask();
  ground.Rect(0, 640, 1024, 768);
  c.Paint(ground, VerticalGradient(640, Hex(0x2a2448), 768, Hex(0x0e0c1c)), Matte(1.0f));
  for (int i = 0; i < 16; ++i) {
    float lx = 32 + i * 64;
    c.Spot(lx, 700, 3, Hex(0xffd070), 0.9f);
    c.Spot(lx + 32, 748, 3.5f, Hex(0x7ae0ff), 0.9f);
  }
  return c.Reduce(false);
}

// The intro's plane, drawn over the walking astronauts: a space plane parked
// on the tarmac, seen from the side; everything above it is see-through.
Picture Plane() {
  Canvas c(kScreenW, 300, kScreenScale);
  Mask tail = c.NewMask();
  tail.Polygon({{110, 150}, {60, 30}, {110, 30}, {220, 150}});
  c.Paint(tail, VerticalGradient(30, Hex(0xc8d8ff), 150, Hex(0x4a5a8a)), Glossy(4.0f, 1.5f, pal::kCyan));
  Mask body = c.NewMask();
  body.RoundRect(60, 140, 900, 236, 44);
  body.Ellipse(900, 188, 110, 48);
  c.Paint(body, VerticalGradient(140, Hex(0xf0f4ff), 236, Hex(0x5a6a98)), Glossy(8.0f, 1.5f, Hex(0xffffff)));
  Mask stripe = c.NewMask();
  stripe.Rect(60, 196, 1000, 206);
  stripe.Intersect(body);
  c.Paint(stripe, pal::kRed, Matte(1.0f));
  Mask windows = c.NewMask();
  for (int i = 0; i < 16; ++i) windows.RoundRect(240 + i * 38.0f, 160, 258 + i * 38.0f, 178, 5);
  windows.Ellipse(955, 172, 34, 14, 12);
  c.Paint(windows, VerticalGradient(158, Hex(0xd0ffff), 185, Hex(0x1a5a9a)), Glossy(2.0f));
  Mask wing = c.NewMask();
  wing.Polygon({{380, 214}, {640, 214}, {520, 262}, {300, 262}});
  c.Paint(wing, VerticalGradient(214, Hex(0x9ab0e0), 262, Hex(0x2a3a6a)), Glossy(3.0f, 1.0f, pal::kCyan));
  Mask gear = c.NewMask();
  for (float gx : {230.0f, 560.0f, 860.0f}) {
    gear.Rect(gx - 4, 230, gx + 4, 272).Circle(gx - 10, 279, 13).Circle(gx + 10, 279, 13);
  }
  c.Paint(gear, Hex(0x303040), Glossy(2.0f));
  Mask engine = c.NewMask();
  engine.Ellipse(58, 188, 16, 30);
  c.Paint(engine, RadialGradient(52, 188, 24, Hex(0xfff0c0), Hex(0xff6a1a)), FlatPaint());
  Mask tarmac = c.NewMask();
  tarmac.Rect(0, 290, 1024, 300);
  c.Paint(tarmac, Hex(0x1a1830), Matte(1.0f));
  return c.Reduce(true);
}

Picture Button(const char* word) {
  Canvas c(256, 64, 4);
  c.Fill(VerticalGradient(0, Hex(0x1e2a5a), 64, Hex(0x080a1e)));
  Mask panel = c.NewMask();
  panel.RoundRect(3, 3, 253, 61, 10).Cut().RoundRect(5.5f, 5.5f, 250.5f, 58.5f, 8);
  c.Glow(panel, pal::kCyan, 3, 0.5f);
  c.Paint(panel, Hex(0x7ffcff), FlatPaint());
  Mask sheen = c.NewMask();
  sheen.RoundRect(7, 7, 249, 30, 7);
  c.Paint(sheen, Hex(0xffffff), FlatPaint(0.08f));
  Mask letters = FittedText(c, kSansBoldFont, word, 20, 12, 216, 40);
  c.Glow(letters, Hex(0xff3ab0), 4, 0.7f);
  c.Paint(letters, VerticalGradient(12, Hex(0xffffff), 52, Hex(0xffd040)), Glossy(1.5f, 0.5f, Hex(0xfff8e0)));
  return c.Reduce(false);
}

// Chrome letters with a horizon line across them and a pink edge.
Picture LogoWord(const char* word, int w, int h, const char* ttf) {
  Canvas c(w, h, 4);
  Mask letters = FittedText(c, ttf, word, 3, 3, w - 6.0f, h - 6.0f);
  float top = 3, bottom = h - 3.0f, horizon = top + (bottom - top) * 0.55f;
  c.Paint(letters, [=](float, float y) {
    if (y < horizon) return Mix(Hex(0xffffff), Hex(0x5ad0ff), Smooth(top, horizon, y));
    return Mix(Hex(0x2a1a6a), Hex(0xff6ad0), Smooth(horizon, bottom, y));
  }, Glossy(std::max(2.0f, h / 24.0f), std::max(1.0f, h / 40.0f), Hex(0xff3ab0)));
  return c.Reduce(true);
}

Picture Subtitle() {
  Canvas c(128, 28, 4);
  Mask letters = FittedText(c, kSansBoldFont, "The Game", 3, 4, 122, 20);
  c.Paint(letters, VerticalGradient(4, Hex(0xffffff), 24, Hex(0xffd040)), Glossy(1.0f, 0.7f, Hex(0xff3ab0)));
  return c.Reduce(true);
}

// Objects 49 and 91 are not used; a small star keeps each slot a bitmap.
Picture Spare() {
  Canvas c(16, 16, 4);
  Mask star = c.NewMask();
  star.Polygon(StarPoints({8, 8}, 4, 7, 2.5f, 0));
  c.Paint(star, Hex(0xfffce0), FlatPaint());
  return c.Reduce(true);
}

}  // namespace

void DrawScreens(ArtList& out) {
  out.push_back({dat::kButtonControls, "button Controls", Button("Controls")});
  out.push_back({dat::kButtonHelp, "button Help", Button("Help")});
  out.push_back({dat::kButtonPlay, "button Play", Button("Play")});
  out.push_back({dat::kButtonQuit, "button Quit", Button("Quit")});
  out.push_back({dat::kUnused49, "spare", Spare()});
  out.push_back({dat::kHelpBackground, "help background", HelpBackground()});
  out.push_back({dat::kIntroBackground, "intro background", IntroBackground()});
  out.push_back({dat::kPlane, "plane", Plane()});
  out.push_back({dat::kLogoVe, "logo Ve", LogoWord("Ve", 175, 122, kSerifBoldFont)});
  out.push_back({dat::kLogoVarn, "logo Varn", LogoWord("Varn", 293, 130, kSerifBoldFont)});
  out.push_back({dat::kLogoHolt, "logo Holt", LogoWord("Holt", 446, 134, kSerifBoldFont)});
  out.push_back({dat::kLogoSubtitle, "logo subtitle", Subtitle()});
  out.push_back({dat::kUnused91, "spare", Spare()});
  out.push_back({dat::kTitlePicture, "title", Title()});
}

}  // namespace art
