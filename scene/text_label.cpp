#include "scene/text_label.h"

#include <allegro.h>

namespace {
// Each colour shows for 9 steps; the whole cycle takes 144.
constexpr int kFlashTable[16][3] = {
    {255, 252, 25}, {255, 191, 18}, {255, 127, 11}, {255, 63, 6},   {255, 0, 0},    {192, 64, 0},
    {128, 128, 0},  {64, 192, 0},   {0, 255, 0},    {0, 192, 64},   {0, 128, 128},  {0, 64, 192},
    {0, 0, 255},    {64, 63, 200},  {128, 127, 136}, {192, 191, 72},
};
}  // namespace

void TextLabel::Init(FONT* f, const char* t, int px, int py, int flash, int c, int bg, int align, int layerValue) {
  font = f;
  text = t;
  x = px;
  y = py;
  flashing = flash;
  colour = c;
  background = bg;
  alignment = align;
  layer = layerValue;
  flashIndex = 0;
  // The first step shows the first colour.
  flashFrames = -1;
}

void TextLabel::Advance() {
  if (!flashing) return;
  if (++flashFrames > 8) {
    flashFrames = 0;
    if (++flashIndex == 16) flashIndex = 0;
  }
}

void TextLabel::Draw(BITMAP* target) {
  if (flashing) {
    const int* rgb = kFlashTable[flashIndex];
    colour = makecol(rgb[0], rgb[1], rgb[2]);
  }
  if (!font || !text) return;
  switch (alignment) {
    case kLeft:
      textout_ex(target, font, text, x, y, colour, -1);
      break;
    case kCentre:
      textout_centre_ex(target, font, text, x, y, colour, -1);
      break;
    case kRight:
      textout_right_ex(target, font, text, x, y, colour, -1);
      break;
    default:
      break;
  }
}
