#pragma once

#include "scene/element.h"

// A still rectangle copied opaquely from a bitmap: full-screen pictures and the
// menu buttons. Always drawn in screen space.
class ImageElement : public Element {
 public:
  void Init(BITMAP* bitmap, int srcX, int srcY, int x, int y, int width, int height, int layer, const char* name);
  void Draw(BITMAP* target) override;
  bool Covers(int targetWidth, int targetHeight) const override;

 private:
  BITMAP* bitmap = nullptr;
  int srcX = 0, srcY = 0;
  int x = 0, y = 0;
  int width = 0, height = 0;
};
