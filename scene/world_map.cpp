#include "scene/world_map.h"

#include <allegro.h>

#include "scene/view.h"

int ViewX = 0;
int ViewY = 0;

void WorldMap::Init(BITMAP* bmp, int ww, int wh, int px, int py, int vw, int vh, int layerValue, const char* text) {
  bitmap = bmp;
  worldWidth = ww;
  worldHeight = wh;
  screenX = px;
  screenY = py;
  viewWidth = vw;
  viewHeight = vh;
  layer = layerValue;
  SetName(text);
}

void WorldMap::Draw(BITMAP* target) {
  if (!bitmap) return;
  const int scrollX = ViewX, scrollY = ViewY;
  if (scrollX < worldWidth - viewWidth) {
    blit(bitmap, target, scrollX, scrollY, screenX, screenY, viewWidth, viewHeight);
    return;
  }
  // The view crosses the seam: the end of the picture, then its start.
  int p = worldWidth - scrollX;
  blit(bitmap, target, scrollX, scrollY, screenX, screenY, p, viewHeight);
  blit(bitmap, target, 0, 0, screenX + p, screenY, viewWidth - p, viewHeight);
}

bool WorldMap::Covers(int targetWidth, int targetHeight) const {
  // The view is one opaque blit (two across the seam) of the world picture.
  return bitmap && screenX <= 0 && screenY <= 0 && screenX + viewWidth >= targetWidth &&
         screenY + viewHeight >= targetHeight && viewWidth <= worldWidth && ViewY >= 0 &&
         ViewY + viewHeight <= bitmap->h && worldWidth <= bitmap->w;
}
