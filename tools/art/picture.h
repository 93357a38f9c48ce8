// A finished picture at its final size: 8-bit RGB per pixel plus a flag for
// the pixels that are see-through (written as the mask colour, magenta).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/art/colour.h"

namespace art {

class Picture {
 public:
  Picture() = default;
  Picture(int width, int height);

  int Width() const { return width_; }
  int Height() const { return height_; }

  void Set(int x, int y, Rgb c);
  void SetMasked(int x, int y) { solid_[Index(x, y)] = 0; }
  bool Solid(int x, int y) const { return solid_[Index(x, y)] != 0; }
  Rgb Get(int x, int y) const;
  // The 8-bit channels, as they will be packed.
  void GetBytes(int x, int y, uint8_t& r, uint8_t& g, uint8_t& b) const;

  // Reduces every channel to the 5-6-5 bits of the game's 16-bit screen with
  // an ordered dither (steady gradients, no banding), keeping solid pixels off
  // the mask colour. The result converts to 16 bits without further loss.
  void QuantiseTo16Bit();

  // Writes a 24-bit BMP; masked pixels become (255, 0, 255).
  bool WriteBmp(const std::string& path) const;
  // Writes a PNG; masked pixels become `background`.
  bool WritePng(const std::string& path, Rgb background) const;

  // Copies `source` scaled by `factor` (box filter when shrinking) to (x, y);
  // masked pixels show `background`. Used for the contact sheet.
  void Paste(const Picture& source, int x, int y, float factor, Rgb background);
  void FillRect(int x0, int y0, int x1, int y1, Rgb c);

 private:
  size_t Index(int x, int y) const { return static_cast<size_t>(y) * width_ + x; }
  int width_ = 0, height_ = 0;
  std::vector<uint8_t> rgb_;
  std::vector<uint8_t> solid_;
};

}  // namespace art
