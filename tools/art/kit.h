// Small helpers shared by the picture families.
#pragma once

#include <cmath>
#include <cstdint>
#include <vector>

#include "tools/art/canvas.h"
#include "tools/art/mask.h"

namespace art {

constexpr float kPi = 3.14159265f;
constexpr int kSpriteScale = 4;  // sprites are drawn at 4x and reduced

// A collision outline given as pixel indices, turned into a polygon through
// the pixel centres, so that the pixels it covers are the ones the game's
// outline test counts.
inline std::vector<Pt> Outline(std::initializer_list<Pt> pixels) {
  std::vector<Pt> out;
  for (Pt p : pixels) out.push_back({p.x + 0.5f, p.y + 0.5f});
  return out;
}

// The outline mirrored left to right inside a picture `width` pixels wide.
inline std::vector<Pt> MirrorX(const std::vector<Pt>& pts, float width) {
  std::vector<Pt> out;
  for (Pt p : pts) out.push_back({width - p.x, p.y});
  return out;
}

// A steady pseudo-random sequence; every picture seeds its own.
class Random {
 public:
  explicit Random(uint32_t seed) : state_(seed * 2654435761u + 12345u) {}
  uint32_t Next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return state_;
  }
  float Unit() { return (Next() & 0xffffff) / 16777216.0f; }  // 0..1
  float Range(float a, float b) { return a + (b - a) * Unit(); }

 private:
  uint32_t state_;
};

inline Pt Lerp(Pt a, Pt b, float t) { return {a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t}; }
inline float Distance(Pt a, Pt b) { return std::hypot(b.x - a.x, b.y - a.y); }
inline Pt Rotate(Pt p, Pt centre, float radians) {
  float c = std::cos(radians), s = std::sin(radians);
  float dx = p.x - centre.x, dy = p.y - centre.y;
  return {centre.x + dx * c - dy * s, centre.y + dx * s + dy * c};
}

// A regular star or gear: `points` tips at radius `outer`, notches at `inner`.
inline std::vector<Pt> StarPoints(Pt c, int points, float outer, float inner, float radians) {
  std::vector<Pt> out;
  for (int i = 0; i < points * 2; ++i) {
    float r = (i % 2) ? inner : outer;
    float a = radians + i * kPi / points;
    out.push_back({c.x + r * std::cos(a), c.y + r * std::sin(a)});
  }
  return out;
}

}  // namespace art
