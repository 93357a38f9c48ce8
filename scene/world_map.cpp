#include "scene/world_map.h"

#include <allegro.h>

#include "entities/ship.h"
#include "scene/view.h"

int ViewX = 0;
int ViewY = 0;

void WorldMap::Init(BITMAP* bmp, int sx, int sy, int ww, int wh, int px, int py, int vw, int vh, int layerValue,
                    const char* text) {
  bitmap = bmp;
  scrollX = sx;
  scrollY = sy;
  worldWidth = ww;
  worldHeight = wh;
  screenX = px;
  screenY = py;
  viewWidth = vw;
  viewHeight = vh;
  layer = layerValue;
  SetName(text);
}

void WorldMap::Scroll(int dx, int dy) {
  scrollX += dx;
  scrollY += dy;
  // The view slides 15 px a step until the ship's left edge is 200 px from the
  // screen's left when heading right, or 700 px when heading left.
  if (ship) {
    int d = ship->GetX() - ViewX;
    if (d < 0) d += kWorldWidth;
    if (ship->GetHeading() == 1 && d > 200) scrollX += 15;
    if (ship->GetHeading() == -1 && d < 700) scrollX -= 15;
  }
  if (scrollX < 0) scrollX += worldWidth;
  if (scrollY < 0) scrollY = 0;
  if (scrollX > worldWidth) scrollX -= worldWidth;
  if (scrollY > worldHeight - viewHeight) scrollY = 0;
  ViewX = scrollX;
  ViewY = scrollY;
}

void WorldMap::SetScroll(int x, int y) {
  scrollX = x;
  scrollY = y;
  ViewX = x;
  ViewY = y;
}

void WorldMap::Draw(BITMAP* target) {
  if (!bitmap) return;
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
         screenY + viewHeight >= targetHeight && viewWidth <= worldWidth && scrollY >= 0 &&
         scrollY + viewHeight <= bitmap->h && worldWidth <= bitmap->w;
}
