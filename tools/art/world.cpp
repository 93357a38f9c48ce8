// The world picture (4096 x 768, wrapping: column 4095 continues into column
// 0) and the scanner background, which shows the same mountains at an eighth
// of the width.
//
// The world is drawn at its own size with exact edge coverage rather than on
// a supersampled canvas: at 4x it would need hundreds of megabytes. Every
// shape is built from functions that repeat every 4096 pixels, so the seam
// cannot show.
#include <cmath>
#include <vector>

#include "engine/data_index.h"
#include "tools/art/artwork.h"
#include "tools/art/kit.h"

namespace art {

namespace {

constexpr int kW = 4096, kH = 768;
constexpr int kGround = 750;  // humans stand on this line

// Smooth value noise repeating every 4096 pixels: the lattice spacing divides it.
class PeriodicNoise {
 public:
  PeriodicNoise(uint32_t seed, int spacing) : spacing_(spacing), cells_(kW / spacing) {
    Random r(seed);
    for (int i = 0; i < cells_ * 64; ++i) values_.push_back(r.Unit());
  }
  // x wraps; y is an open lattice (used only within the picture's height).
  float At(float x, float y) const {
    float gx = x / spacing_, gy = y / spacing_;
    int ix = static_cast<int>(std::floor(gx)), iy = static_cast<int>(std::floor(gy));
    float fx = gx - ix, fy = gy - iy;
    fx = fx * fx * (3 - 2 * fx);
    fy = fy * fy * (3 - 2 * fy);
    auto v = [&](int cx, int cy) {
      cx = ((cx % cells_) + cells_) % cells_;
      cy = ((cy % 64) + 64) % 64;
      return values_[cy * cells_ + cx];
    };
    float a = v(ix, iy) + (v(ix + 1, iy) - v(ix, iy)) * fx;
    float b = v(ix, iy + 1) + (v(ix + 1, iy + 1) - v(ix, iy + 1)) * fx;
    return a + (b - a) * fy;
  }

 private:
  int spacing_, cells_;
  std::vector<float> values_;
};

float Wave(float x, int cycles, float phase) { return std::sin(x * 2 * kPi * cycles / kW + phase); }

// Ridge heights (y of the skyline) of the two mountain ranges.
float FarRidge(float x) {
  static PeriodicNoise n(11, 64);
  return 548 + 34 * Wave(x, 3, 0.4f) + 22 * Wave(x, 7, 2.1f) + 14 * Wave(x, 17, 0.9f) + 16 * (n.At(x, 3) - 0.5f);
}

float NearRidge(float x) {
  static PeriodicNoise n(23, 32);
  static PeriodicNoise fine(29, 8);
  // Sharp peaks: folded sine waves make ridges rather than round hills.
  float peaks = 60 * std::fabs(Wave(x, 5, 1.3f)) + 34 * std::fabs(Wave(x, 11, 0.2f)) + 16 * std::fabs(Wave(x, 29, 2.6f));
  return 712 - peaks + 18 * (n.At(x, 7) - 0.5f) + 4 * (fine.At(x, 5) - 0.5f);
}

// Fraction of the pixel (x, y) that lies below the ridge, sampled across x.
float Below(float (*ridge)(float), int x, int y) {
  float cover = 0;
  for (int i = 0; i < 4; ++i) {
    float h = ridge(x + (i + 0.5f) / 4.0f);
    cover += Clamp01(y + 1 - h);
  }
  return cover / 4;
}

Rgb Sky(int x, int y) {
  static PeriodicNoise cloud(5, 256), detail(7, 64);
  float t = y / static_cast<float>(kGround);
  Rgb c = Mix(pal::kSkyTop, Hex(0x120a34), Smooth(0.1f, 0.7f, t));
  c = Mix(c, Hex(0x3a1650), Smooth(0.6f, 1.0f, t));
  // Faint nebula bands, kept out of the heads-up strip at the top.
  float n = cloud.At(x, y * 1.6f) * 0.7f + detail.At(x, y * 1.6f) * 0.3f;
  float band = Smooth(0.55f, 0.85f, n) * Smooth(90, 260, y) * (1 - Smooth(480, 620, y));
  c = c + Mix(Hex(0x10304a), Hex(0x3a1048), cloud.At(x + 1000, y)) * (band * 0.55f);
  return c;
}

// A ringed planet low in the sky, once around the world.
void Planet(std::vector<Rgb>& img) {
  const float cx = 1300, cy = 250, r = 64;
  for (int y = static_cast<int>(cy - 2.2f * r); y <= cy + 2.2f * r; ++y) {
    for (int x = static_cast<int>(cx - 2.6f * r); x <= cx + 2.6f * r; ++x) {
      Rgb& px = img[static_cast<size_t>(y) * kW + x];
      float dx = x + 0.5f - cx, dy = y + 0.5f - cy;
      float d = std::sqrt(dx * dx + dy * dy);
      // Ring: a tilted ellipse band; the far half hides behind the planet.
      float rx = dx * std::cos(0.3f) + dy * std::sin(0.3f), ry = -dx * std::sin(0.3f) + dy * std::cos(0.3f);
      float e = std::sqrt(rx * rx / (2.3f * 2.3f) + ry * ry / (0.5f * 0.5f)) / r;
      float ring = Clamp01(1 - std::fabs(e - 0.78f) / 0.14f) * 0.55f;
      bool front = ry > 0;
      float cover = Clamp01(r + 0.5f - d);
      if (ring > 0 && !front) px = Mix(px, Hex(0xb89ad8), ring);
      if (cover > 0) {
        // Lit from the upper left; banded clouds.
        float lx = -dx / r, ly = -dy / r;
        float light = Clamp01(0.25f + 0.9f * (lx * 0.6f + ly * 0.8f) + 0.35f);
        float bands = 0.5f + 0.5f * std::sin(dy / r * 9 + std::sin(dx / r * 3) * 0.6f);
        Rgb surface = Mix(Hex(0x4a2a78), Hex(0xd88a6a), bands * 0.55f);
        Rgb lit = surface * (0.25f + 0.95f * light);
        px = Mix(px, lit, cover);
      } else if (d < r + 10) {
        px = px + Hex(0x6a4aa8) * (0.25f * (1 - (d - r) / 10));  // thin atmosphere
      }
      if (ring > 0 && front) px = Mix(px, Hex(0xe8d0ff), ring);
    }
  }
}

void Stars(std::vector<Rgb>& img) {
  Random r(4096);
  for (int i = 0; i < 2600; ++i) {
    int x = static_cast<int>(r.Unit() * kW) % kW;
    int y = static_cast<int>(r.Unit() * 640);
    float b = r.Unit();
    float bright = 0.25f + 0.75f * b * b;
    if (y < 100) bright *= 0.55f;  // calmer behind the score and scanner
    float hue = r.Unit();
    Rgb tint = hue < 0.2f ? Hex(0xa8c8ff) : hue < 0.35f ? Hex(0xffe0b0) : hue < 0.42f ? Hex(0xffb0c8) : pal::kWhite;
    auto add = [&](int px, int py, float k) {
      px = ((px % kW) + kW) % kW;
      if (py < 0 || py >= kH) return;
      Rgb& p = img[static_cast<size_t>(py) * kW + px];
      p = Clamp(p + tint * k);
    };
    add(x, y, bright);
    if (b > 0.93f) {  // a few bigger stars with a small cross of light
      for (int d = 1; d <= 2; ++d) {
        float k = bright * (d == 1 ? 0.45f : 0.15f);
        add(x - d, y, k);
        add(x + d, y, k);
        add(x, y - d, k);
        add(x, y + d, k);
      }
    }
  }
}

// The ground strip below the line the humans stand on: a bright edge, then
// dark ground crossed by faint survey lines.
Rgb Ground(int x, int y) {
  if (y == kGround) return Hex(0x6ff4ff);
  if (y == kGround + 1) return Hex(0x2aa8c8);
  float depth = (y - kGround) / 18.0f;
  Rgb c = Mix(Hex(0x24185a), Hex(0x0a0820), depth);
  bool line = (y - kGround) % 6 == 4 || x % 64 == 32;
  return line ? c + Hex(0x1a4a7a) * 0.7f : c;
}

Picture World() {
  std::vector<Rgb> img(static_cast<size_t>(kW) * kH);
  for (int y = 0; y < kH; ++y) {
    for (int x = 0; x < kW; ++x) img[static_cast<size_t>(y) * kW + x] = Sky(x, y);
  }
  Stars(img);
  Planet(img);

  for (int x = 0; x < kW; ++x) {
    float far = FarRidge(x + 0.5f), near = NearRidge(x + 0.5f);
    for (int y = 380; y < kGround; ++y) {
      Rgb& px = img[static_cast<size_t>(y) * kW + x];
      // Far range: hazy violet with a faint rim of light.
      float fc = Below(FarRidge, x, y);
      if (y > far - 12) px = px + Hex(0x8a3aa8) * (0.12f * std::exp(-(far - y) / 4.0f) * (y < far ? 1.0f : 0.0f));
      if (fc > 0) {
        float depth = Clamp01((y - far) / 140);
        Rgb body = Mix(Hex(0x3a2068), Hex(0x1e1040), depth);
        body = body + Hex(0xd070ff) * (0.45f * std::exp(-(y - far) / 1.6f));
        px = Mix(px, body, fc);
      }
      // Near range: dark rock with a luminous cyan ridge line and glow above it.
      if (y < near && y > near - 16) px = px + Hex(0x1ac8d8) * (0.18f * std::exp(-(near - y) / 5.0f));
      float nc = Below(NearRidge, x, y);
      if (nc > 0) {
        float depth = Clamp01((y - near) / 90);
        static PeriodicNoise rock(31, 16);
        float grain = rock.At(x, y * 2.0f) - 0.5f;
        Rgb body = Mix(Hex(0x1a1240), Hex(0x0a0818), depth) + Hex(0x2a1a4a) * (0.2f * grain);
        body = body + Hex(0x7ffcff) * (0.9f * std::exp(-(y - near) / 1.3f));
        px = Mix(px, body, nc);
      }
    }
    for (int y = kGround; y < kH; ++y) img[static_cast<size_t>(y) * kW + x] = Ground(x, y);
  }

  Picture out(kW, kH);
  for (int y = 0; y < kH; ++y) {
    for (int x = 0; x < kW; ++x) out.Set(x, y, img[static_cast<size_t>(y) * kW + x]);
  }
  return out;
}

Picture Scanner() {
  const int w = 512, h = 64;
  Picture out(w, h);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      Rgb c = Mix(Hex(0x06102a), Hex(0x02040e), y / static_cast<float>(h));
      // The world's mountains and ground line at the scanner's scale (x / 8, y / 12).
      float wx = x * 8.0f + 4, wy = y * 12.0f + 6;
      if (wy > NearRidge(wx)) c = Mix(c, Hex(0x102a48), 0.8f);
      if (std::fabs(wy - NearRidge(wx)) < 6) c = c + Hex(0x1a6a88) * 0.8f;
      if (y == kGround / 12) c = Hex(0x2a8aa8);
      // A faint grid: a column every 512 world pixels, rows every 16.
      if (x % 64 == 0 || y % 16 == 0) c = c + Hex(0x0a1a34);
      out.Set(x, y, c);
    }
  }
  return out;
}

}  // namespace

void DrawWorld(ArtList& out) {
  out.push_back({dat::kWorld, "world", World()});
  out.push_back({dat::kScannerBackground, "scanner", Scanner()});
}

}  // namespace art
