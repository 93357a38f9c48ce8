#include "tools/art/rgba_picture.h"

#include <cmath>
#include <cstdio>

#include "tools/art/png_file.h"

namespace art {


RgbaPicture::RgbaPicture(int width, int height)
    : width_(width), height_(height), colour_(static_cast<size_t>(width) * height),
      alpha_(static_cast<size_t>(width) * height, 0.0f) {}

void RgbaPicture::Set(int x, int y, Rgb c, float alpha) {
  colour_[Index(x, y)] = Clamp(c);
  alpha_[Index(x, y)] = Clamp01(alpha);
}

Rgb RgbaPicture::Colour(int x, int y) const { return colour_[Index(x, y)]; }

float RgbaPicture::Alpha(int x, int y) const { return alpha_[Index(x, y)]; }

void RgbaPicture::Over(const RgbaPicture& top, int x, int y) {
  for (int ty = 0; ty < top.height_; ++ty) {
    for (int tx = 0; tx < top.width_; ++tx) {
      int px = x + tx, py = y + ty;
      if (px < 0 || py < 0 || px >= width_ || py >= height_) continue;
      float a = top.Alpha(tx, ty);
      if (a <= 0) continue;
      size_t i = Index(px, py);
      float below = alpha_[i] * (1 - a);
      float out = a + below;
      colour_[i] = (top.Colour(tx, ty) * a + colour_[i] * below) * (1.0f / out);
      alpha_[i] = out;
    }
  }
}

bool RgbaPicture::WritePng(const std::string& path) const {
  return WritePngRows(path, width_, height_, true, [this](int y, uint8_t* row) {
    for (int x = 0; x < width_; ++x) {
      size_t i = Index(x, y);
      // A fully transparent pixel keeps no colour: the file compresses
      // better and no stray colour shows through a careless scaler.
      uint8_t a = ToByte(alpha_[i]);
      row[x * 4] = a ? ToByte(colour_[i].r) : 0;
      row[x * 4 + 1] = a ? ToByte(colour_[i].g) : 0;
      row[x * 4 + 2] = a ? ToByte(colour_[i].b) : 0;
      row[x * 4 + 3] = a;
    }
  });
}

}  // namespace art
