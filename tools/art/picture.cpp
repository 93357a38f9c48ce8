#include "tools/art/picture.h"

#include <cmath>
#include <cstdio>

#include "tools/art/png_file.h"

namespace art {

namespace {

// 4 x 4 ordered-dither thresholds, 0..15. The pattern repeats every 4 pixels,
// so the 4096-wide world stays seamless.
const int kBayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};

uint8_t Quantise(uint8_t v, int bits, int threshold) {
  int levels = (1 << bits) - 1;
  int step = 256 >> bits;  // 8 for 5 bits, 4 for 6 bits
  int q = (v + (threshold * step) / 16) / step;
  if (q > levels) q = levels;
  // Expand back so that truncating to `bits` again gives q exactly.
  return static_cast<uint8_t>((q << (8 - bits)) | (q >> (2 * bits - 8)));
}

void PutLe(std::vector<uint8_t>& out, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

}  // namespace

Picture::Picture(int width, int height)
    : width_(width), height_(height), rgb_(static_cast<size_t>(width) * height * 3, 0),
      solid_(static_cast<size_t>(width) * height, 1) {}

void Picture::Set(int x, int y, Rgb c) {
  size_t i = Index(x, y);
  rgb_[i * 3] = ToByte(c.r);
  rgb_[i * 3 + 1] = ToByte(c.g);
  rgb_[i * 3 + 2] = ToByte(c.b);
  solid_[i] = 1;
}

Rgb Picture::Get(int x, int y) const {
  size_t i = Index(x, y);
  return {rgb_[i * 3] / 255.0f, rgb_[i * 3 + 1] / 255.0f, rgb_[i * 3 + 2] / 255.0f};
}

void Picture::GetBytes(int x, int y, uint8_t& r, uint8_t& g, uint8_t& b) const {
  size_t i = Index(x, y);
  r = rgb_[i * 3];
  g = rgb_[i * 3 + 1];
  b = rgb_[i * 3 + 2];
}

void Picture::QuantiseTo16Bit() {
  for (int y = 0; y < height_; ++y) {
    for (int x = 0; x < width_; ++x) {
      size_t i = Index(x, y);
      int t = kBayer[y & 3][x & 3];
      uint8_t r = Quantise(rgb_[i * 3], 5, t);
      uint8_t g = Quantise(rgb_[i * 3 + 1], 6, t);
      uint8_t b = Quantise(rgb_[i * 3 + 2], 5, t);
      // A solid pixel that lands on the mask colour would turn see-through.
      if (solid_[i] && r >= 248 && g < 4 && b >= 248) g = 4;
      rgb_[i * 3] = r;
      rgb_[i * 3 + 1] = g;
      rgb_[i * 3 + 2] = b;
    }
  }
}

bool Picture::WriteBmp(const std::string& path) const {
  int rowBytes = (width_ * 3 + 3) & ~3;
  uint32_t dataSize = static_cast<uint32_t>(rowBytes) * height_;
  std::vector<uint8_t> out;
  out.reserve(54 + dataSize);
  out.push_back('B');
  out.push_back('M');
  PutLe(out, 54 + dataSize, 4);
  PutLe(out, 0, 4);
  PutLe(out, 54, 4);
  PutLe(out, 40, 4);
  PutLe(out, static_cast<uint32_t>(width_), 4);
  PutLe(out, static_cast<uint32_t>(height_), 4);
  PutLe(out, 1, 2);
  PutLe(out, 24, 2);
  PutLe(out, 0, 4);
  PutLe(out, dataSize, 4);
  PutLe(out, 2835, 4);
  PutLe(out, 2835, 4);
  PutLe(out, 0, 4);
  PutLe(out, 0, 4);
  for (int y = height_ - 1; y >= 0; --y) {
    for (int x = 0; x < width_; ++x) {
      size_t i = Index(x, y);
      if (solid_[i]) {
        out.push_back(rgb_[i * 3 + 2]);
        out.push_back(rgb_[i * 3 + 1]);
        out.push_back(rgb_[i * 3]);
      } else {
        out.push_back(255);
        out.push_back(0);
        out.push_back(255);
      }
    }
    for (int p = width_ * 3; p < rowBytes; ++p) out.push_back(0);
  }
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  bool ok = std::fwrite(out.data(), 1, out.size(), f) == out.size();
  return std::fclose(f) == 0 && ok;
}

bool Picture::WritePng(const std::string& path, Rgb background) const {
  const uint8_t br = ToByte(background.r), bg = ToByte(background.g), bb = ToByte(background.b);
  return WritePngRows(path, width_, height_, false, [&](int y, uint8_t* row) {
    for (int x = 0; x < width_; ++x) {
      size_t i = Index(x, y);
      bool s = solid_[i] != 0;
      row[x * 3] = s ? rgb_[i * 3] : br;
      row[x * 3 + 1] = s ? rgb_[i * 3 + 1] : bg;
      row[x * 3 + 2] = s ? rgb_[i * 3 + 2] : bb;
    }
  });
}

void Picture::Paste(const Picture& source, int x, int y, float factor, Rgb background) {
  int w = std::max(1, static_cast<int>(std::lround(source.width_ * factor)));
  int h = std::max(1, static_cast<int>(std::lround(source.height_ * factor)));
  for (int j = 0; j < h; ++j) {
    for (int i = 0; i < w; ++i) {
      int tx = x + i, ty = y + j;
      if (tx < 0 || ty < 0 || tx >= width_ || ty >= height_) continue;
      // Average the source pixels this target pixel covers.
      int sx0 = static_cast<int>(i / factor), sx1 = std::max(sx0 + 1, static_cast<int>((i + 1) / factor));
      int sy0 = static_cast<int>(j / factor), sy1 = std::max(sy0 + 1, static_cast<int>((j + 1) / factor));
      Rgb sum;
      int n = 0;
      for (int sy = sy0; sy < sy1 && sy < source.height_; ++sy) {
        for (int sx = sx0; sx < sx1 && sx < source.width_; ++sx) {
          sum = sum + (source.Solid(sx, sy) ? source.Get(sx, sy) : background);
          ++n;
        }
      }
      if (n) Set(tx, ty, sum * (1.0f / n));
    }
  }
}

void Picture::FillRect(int x0, int y0, int x1, int y1, Rgb c) {
  for (int y = std::max(0, y0); y <= y1 && y < height_; ++y) {
    for (int x = std::max(0, x0); x <= x1 && x < width_; ++x) Set(x, y, c);
  }
}

}  // namespace art
