// Colours of the generator: plain float RGB in 0..1 and the few helpers the
// pictures share, so every object is painted from one palette.
#pragma once

#include <algorithm>
#include <cstdint>

namespace art {

struct Rgb {
  float r = 0, g = 0, b = 0;
};

inline Rgb Hex(uint32_t v) {
  return {((v >> 16) & 255) / 255.0f, ((v >> 8) & 255) / 255.0f, (v & 255) / 255.0f};
}
inline Rgb operator+(Rgb a, Rgb b) { return {a.r + b.r, a.g + b.g, a.b + b.b}; }
inline Rgb operator*(Rgb a, float k) { return {a.r * k, a.g * k, a.b * k}; }
inline Rgb operator*(Rgb a, Rgb b) { return {a.r * b.r, a.g * b.g, a.b * b.b}; }
inline Rgb Mix(Rgb a, Rgb b, float t) { return a * (1 - t) + b * t; }
inline float Clamp01(float v) { return std::min(1.0f, std::max(0.0f, v)); }
inline Rgb Clamp(Rgb c) { return {Clamp01(c.r), Clamp01(c.g), Clamp01(c.b)}; }
inline float Smooth(float e0, float e1, float x) {
  float t = Clamp01((x - e0) / (e1 - e0));
  return t * t * (3 - 2 * t);
}
// Lighter or darker version of a colour, keeping its hue.
inline Rgb Lighten(Rgb c, float t) { return Mix(c, Rgb{1, 1, 1}, t); }
inline Rgb Darken(Rgb c, float t) { return c * (1 - t); }

// The shared palette: luminous shapes over a deep night.
namespace pal {
const Rgb kNight = Hex(0x05060f);      // sprite edges are blended toward this
const Rgb kSkyTop = Hex(0x02030a);
const Rgb kSkyLow = Hex(0x1a1040);
const Rgb kHorizon = Hex(0x3b1d5e);
const Rgb kWhite = Hex(0xffffff);
const Rgb kYellow = Hex(0xfffc19);     // the HUD yellow
const Rgb kGold = Hex(0xffc23a);
const Rgb kOrange = Hex(0xff8a1f);
const Rgb kRed = Hex(0xff3030);
const Rgb kCrimson = Hex(0xc0103a);
const Rgb kPink = Hex(0xff5fb0);
const Rgb kViolet = Hex(0x9a5cff);
const Rgb kBlue = Hex(0x3a7bff);
const Rgb kCyan = Hex(0x3ff0ff);
const Rgb kTeal = Hex(0x14c8a8);
const Rgb kGreen = Hex(0x3cff5a);
const Rgb kLime = Hex(0xb6ff3a);
const Rgb kSteel = Hex(0x8a9bb8);
const Rgb kGunmetal = Hex(0x3a4458);
const Rgb kSkin = Hex(0xf0b890);
}  // namespace pal

}  // namespace art
