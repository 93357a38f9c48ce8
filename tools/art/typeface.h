// Text from the installed DejaVu TrueType fonts through FreeType: crisp
// one-bit glyph grids for the game's fonts, and smooth letter shapes (masks)
// for the words painted into pictures (menu buttons, logo).
#pragma once

#include <string>

#include "tools/art/mask.h"
#include "tools/art/picture.h"

namespace art {

extern const char* const kSansFont;
extern const char* const kSansBoldFont;
extern const char* const kSerifBoldFont;

// A game font as the `dat` grabber reads it from a picture: an 8-bit picture
// holding characters 32..126 in a grid, each cell the glyph's advance wide and
// the font's line height tall, cells separated by colour 255; ink is colour 1
// on colour 0, which makes the grabbed font a monochrome one.
struct GlyphGrid {
  int lineHeight = 0;          // height of every cell (what text_height reports)
  std::vector<int> widths;     // cell width per character 32..126
  int width = 0, height = 0;   // size of the grid picture
  std::vector<unsigned char> pixels;  // 0 paper, 1 ink, 255 separator
};

// Renders characters 32..126 of `ttf` at `pixelSize` with hinting for
// monochrome output. `tracking` adds pixels to every advance. Returns false
// (with `error`) when the font can't be read.
bool BuildGlyphGrid(const char* ttf, int pixelSize, int tracking, GlyphGrid& grid, std::string& error);
bool WriteGlyphGridBmp(const GlyphGrid& grid, const std::string& path);
// A preview of the grid's glyphs (ink in `ink` on black) for the contact sheet.
Picture GlyphGridSample(const GlyphGrid& grid, const std::string& text, Rgb ink);

// Letter shapes of `text`, `pixelSize` final pixels high (em size), drawn into
// `mask` with the baseline at y and the left end at x. Returns the advance
// width in final pixels. `tracking` widens the spacing.
float DrawText(Mask& mask, const char* ttf, float pixelSize, float x, float baseline,
               const std::string& text, float tracking = 0);
float MeasureText(const char* ttf, float pixelSize, const std::string& text, float tracking = 0);

}  // namespace art
