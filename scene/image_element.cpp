#include "scene/image_element.h"

#include <allegro.h>

void ImageElement::Init(BITMAP* bmp, int sx, int sy, int px, int py, int w, int h, int layerValue,
                        const char* text) {
  bitmap = bmp;
  srcX = sx;
  srcY = sy;
  x = px;
  y = py;
  width = w;
  height = h;
  layer = layerValue;
  SetName(text);
}

void ImageElement::Draw(BITMAP* target) {
  if (bitmap) blit(bitmap, target, srcX, srcY, x, y, width, height);
}

bool ImageElement::Covers(int targetWidth, int targetHeight) const {
  // A plain blit: opaque wherever the source rectangle lies inside the picture.
  return bitmap && x <= 0 && y <= 0 && x + width >= targetWidth && y + height >= targetHeight && srcX >= 0 &&
         srcY >= 0 && srcX + width <= bitmap->w && srcY + height <= bitmap->h;
}
