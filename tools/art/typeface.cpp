#include "tools/art/typeface.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>

namespace art {

const char* const kSansFont = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
const char* const kSansBoldFont = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";
const char* const kSerifBoldFont = "/usr/share/fonts/truetype/dejavu/DejaVuSerif-Bold.ttf";

namespace {

constexpr int kFirstChar = 32;
constexpr int kLastChar = 126;
constexpr int kCellsPerRow = 16;

FT_Library Library() {
  static FT_Library library = nullptr;
  if (!library && FT_Init_FreeType(&library) != 0) library = nullptr;
  return library;
}

// Faces stay open for the generator's run; it opens only a handful.
FT_Face Face(const char* ttf) {
  static std::map<std::string, FT_Face> faces;
  auto it = faces.find(ttf);
  if (it != faces.end()) return it->second;
  FT_Face face = nullptr;
  if (!Library() || FT_New_Face(Library(), ttf, 0, &face) != 0) face = nullptr;
  faces[ttf] = face;
  return face;
}

void PutLe(std::vector<uint8_t>& out, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

}  // namespace

bool BuildGlyphGrid(const char* ttf, int pixelSize, int tracking, GlyphGrid& grid, std::string& error) {
  FT_Face face = Face(ttf);
  if (!face) {
    error = std::string("cannot read the font ") + ttf;
    return false;
  }
  FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixelSize));
  int ascent = static_cast<int>((face->size->metrics.ascender + 63) >> 6);
  int descent = static_cast<int>((-face->size->metrics.descender + 63) >> 6);
  grid.lineHeight = ascent + descent;
  grid.widths.clear();

  struct Glyph {
    int width, left, top, rows, cols, pitch;
    std::vector<unsigned char> bits;
  };
  std::vector<Glyph> glyphs;
  for (int c = kFirstChar; c <= kLastChar; ++c) {
    if (FT_Load_Char(face, c, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO | FT_LOAD_MONOCHROME) != 0) {
      error = "cannot render character " + std::to_string(c);
      return false;
    }
    FT_GlyphSlot slot = face->glyph;
    Glyph g;
    g.left = slot->bitmap_left;
    g.top = slot->bitmap_top;
    g.rows = static_cast<int>(slot->bitmap.rows);
    g.cols = static_cast<int>(slot->bitmap.width);
    g.pitch = std::abs(slot->bitmap.pitch);
    g.bits.assign(slot->bitmap.buffer, slot->bitmap.buffer + g.pitch * g.rows);
    // Ink that starts left of the pen is moved in; the cell grows to hold it.
    int shift = std::max(0, -g.left);
    g.left += shift;
    g.width = std::max(static_cast<int>(slot->advance.x >> 6) + shift, g.left + g.cols) + tracking;
    g.width = std::max(1, g.width);
    grid.widths.push_back(g.width);
    glyphs.push_back(std::move(g));
  }

  int rows = (static_cast<int>(glyphs.size()) + kCellsPerRow - 1) / kCellsPerRow;
  grid.width = 0;
  for (int r = 0; r < rows; ++r) {
    int w = 1;
    for (int i = r * kCellsPerRow; i < std::min(static_cast<int>(glyphs.size()), (r + 1) * kCellsPerRow); ++i) {
      w += glyphs[i].width + 1;
    }
    grid.width = std::max(grid.width, w);
  }
  grid.height = rows * (grid.lineHeight + 1) + 1;
  grid.pixels.assign(static_cast<size_t>(grid.width) * grid.height, 255);
  for (int r = 0; r < rows; ++r) {
    int x0 = 1, y0 = r * (grid.lineHeight + 1) + 1;
    for (int i = r * kCellsPerRow; i < std::min(static_cast<int>(glyphs.size()), (r + 1) * kCellsPerRow); ++i) {
      const Glyph& g = glyphs[i];
      for (int y = 0; y < grid.lineHeight; ++y) {
        for (int x = 0; x < g.width; ++x) grid.pixels[static_cast<size_t>(y0 + y) * grid.width + x0 + x] = 0;
      }
      for (int gy = 0; gy < g.rows; ++gy) {
        int y = ascent - g.top + gy;
        if (y < 0 || y >= grid.lineHeight) continue;
        for (int gx = 0; gx < g.cols; ++gx) {
          int x = g.left + gx;
          if (x < 0 || x >= g.width) continue;
          if (g.bits[gy * g.pitch + (gx >> 3)] & (0x80 >> (gx & 7))) {
            grid.pixels[static_cast<size_t>(y0 + y) * grid.width + x0 + x] = 1;
          }
        }
      }
      x0 += g.width + 1;
    }
  }
  return true;
}

bool WriteGlyphGridBmp(const GlyphGrid& grid, const std::string& path) {
  int rowBytes = (grid.width + 3) & ~3;
  uint32_t dataSize = static_cast<uint32_t>(rowBytes) * grid.height;
  uint32_t offset = 54 + 256 * 4;
  std::vector<uint8_t> out;
  out.push_back('B');
  out.push_back('M');
  PutLe(out, offset + dataSize, 4);
  PutLe(out, 0, 4);
  PutLe(out, offset, 4);
  PutLe(out, 40, 4);
  PutLe(out, static_cast<uint32_t>(grid.width), 4);
  PutLe(out, static_cast<uint32_t>(grid.height), 4);
  PutLe(out, 1, 2);
  PutLe(out, 8, 2);
  PutLe(out, 0, 4);
  PutLe(out, dataSize, 4);
  PutLe(out, 2835, 4);
  PutLe(out, 2835, 4);
  PutLe(out, 256, 4);
  PutLe(out, 0, 4);
  for (int i = 0; i < 256; ++i) {
    // Palette: 0 black paper, 1 white ink, 255 the yellow separators.
    uint8_t r = i == 1 || i == 255 ? 255 : 0, g = r, b = i == 1 ? 255 : 0;
    out.push_back(b);
    out.push_back(g);
    out.push_back(r);
    out.push_back(0);
  }
  for (int y = grid.height - 1; y >= 0; --y) {
    for (int x = 0; x < grid.width; ++x) out.push_back(grid.pixels[static_cast<size_t>(y) * grid.width + x]);
    for (int p = grid.width; p < rowBytes; ++p) out.push_back(0);
  }
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  bool ok = std::fwrite(out.data(), 1, out.size(), f) == out.size();
  return std::fclose(f) == 0 && ok;
}

Picture GlyphGridSample(const GlyphGrid& grid, const std::string& text, Rgb ink) {
  // Cell positions in the grid, found the way the grabber walks it.
  std::vector<int> cellX, cellY;
  int rows = (static_cast<int>(grid.widths.size()) + kCellsPerRow - 1) / kCellsPerRow;
  for (int r = 0; r < rows; ++r) {
    int x0 = 1;
    for (int i = r * kCellsPerRow; i < std::min(static_cast<int>(grid.widths.size()), (r + 1) * kCellsPerRow); ++i) {
      cellX.push_back(x0);
      cellY.push_back(r * (grid.lineHeight + 1) + 1);
      x0 += grid.widths[i] + 1;
    }
  }
  int width = 4;
  for (char ch : text) {
    int i = static_cast<unsigned char>(ch) - kFirstChar;
    if (i >= 0 && i < static_cast<int>(grid.widths.size())) width += grid.widths[i];
  }
  Picture out(width, grid.lineHeight + 4);
  out.FillRect(0, 0, width - 1, grid.lineHeight + 3, Rgb{0, 0, 0});
  int pen = 2;
  for (char ch : text) {
    int i = static_cast<unsigned char>(ch) - kFirstChar;
    if (i < 0 || i >= static_cast<int>(grid.widths.size())) continue;
    for (int y = 0; y < grid.lineHeight; ++y) {
      for (int x = 0; x < grid.widths[i]; ++x) {
        if (grid.pixels[static_cast<size_t>(cellY[i] + y) * grid.width + cellX[i] + x] == 1) {
          out.Set(pen + x, 2 + y, ink);
        }
      }
    }
    pen += grid.widths[i];
  }
  return out;
}

float DrawText(Mask& mask, const char* ttf, float pixelSize, float x, float baseline,
               const std::string& text, float tracking) {
  FT_Face face = Face(ttf);
  if (!face) return 0;
  const int s = mask.Scale();
  FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(std::lround(pixelSize * s)));
  float pen = x * s;
  const int base = static_cast<int>(std::lround(baseline * s));
  for (char ch : text) {
    if (FT_Load_Char(face, static_cast<unsigned char>(ch), FT_LOAD_RENDER | FT_LOAD_NO_HINTING) != 0) continue;
    FT_GlyphSlot slot = face->glyph;
    int ox = static_cast<int>(std::lround(pen)) + slot->bitmap_left;
    int oy = base - slot->bitmap_top;
    for (unsigned gy = 0; gy < slot->bitmap.rows; ++gy) {
      for (unsigned gx = 0; gx < slot->bitmap.width; ++gx) {
        if (slot->bitmap.buffer[gy * slot->bitmap.pitch + gx] >= 128) mask.PlotFine(ox + gx, oy + gy);
      }
    }
    pen += slot->advance.x / 64.0f + tracking * s;
  }
  return pen / s - x;
}

float MeasureText(const char* ttf, float pixelSize, const std::string& text, float tracking) {
  FT_Face face = Face(ttf);
  if (!face) return 0;
  FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(std::lround(pixelSize * 8)));
  float pen = 0;
  for (char ch : text) {
    if (FT_Load_Char(face, static_cast<unsigned char>(ch), FT_LOAD_NO_HINTING) != 0) continue;
    pen += face->glyph->advance.x / 64.0f / 8.0f + tracking;
  }
  return pen;
}

}  // namespace art
