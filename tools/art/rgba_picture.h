// A picture with an alpha channel (straight, not premultiplied), for files
// shown over backgrounds other than the game's night: the desktop icons.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/art/colour.h"

namespace art {

class RgbaPicture {
 public:
  // Fully transparent.
  RgbaPicture(int width, int height);

  int Width() const { return width_; }
  int Height() const { return height_; }

  void Set(int x, int y, Rgb c, float alpha);
  Rgb Colour(int x, int y) const;
  float Alpha(int x, int y) const;

  // Lays `top` over this picture with its corner at (x, y); what falls
  // outside is dropped.
  void Over(const RgbaPicture& top, int x, int y);

  // Writes an 8-bit RGBA PNG.
  bool WritePng(const std::string& path) const;

 private:
  size_t Index(int x, int y) const { return static_cast<size_t>(y) * width_ + x; }
  int width_, height_;
  std::vector<Rgb> colour_;
  std::vector<float> alpha_;
};

}  // namespace art
