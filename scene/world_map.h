#pragma once

#include "scene/element.h"

// The picture of the whole wrapping world, drawn as the view shows it: from
// the view origin (ViewX, ViewY), across the seam when the view crosses it.
class WorldMap : public Element {
 public:
  void Init(BITMAP* bitmap, int worldWidth, int worldHeight, int screenX, int screenY, int viewWidth, int viewHeight,
            int layer, const char* name);
  void Draw(BITMAP* target) override;
  bool Covers(int targetWidth, int targetHeight) const override;

 private:
  BITMAP* bitmap = nullptr;
  int worldWidth = 0, worldHeight = 0;
  int screenX = 0, screenY = 0;
  int viewWidth = 0, viewHeight = 0;
};
