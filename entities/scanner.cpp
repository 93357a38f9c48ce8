#include "entities/scanner.h"

#include <allegro.h>

#include "engine/data_index.h"
#include "engine/graphics_engine.h"
#include "entities/entity.h"
#include "entities/enemy_roster.h"
#include "entities/play_objects.h"
#include "scene/view.h"

Scanner::~Scanner() { ReleaseBuffer(); }

void Scanner::Init(int px, int py, int layerValue) {
  BITMAP* background = engine.Bitmap(dat::kScannerBackground);
  ReleaseBuffer();
  buffer = create_bitmap(background->w, background->h);
  x = px;
  y = py;
  layer = layerValue;
}

void Scanner::ReleaseBuffer() {
  // The library may already be down at program exit; its memory goes then.
  if (buffer && system_driver) destroy_bitmap(buffer);
  buffer = nullptr;
}

void Scanner::Draw(BITMAP* target) {
  if (!buffer) return;
  BITMAP* background = engine.Bitmap(dat::kScannerBackground);
  const int w = background->w, h = background->h;
  const int sx = kWorldWidth / w, sy = kWorldHeight / h;
  blit(background, buffer, 0, 0, 0, 0, w, h);

  for (int i = 0; i < enemyCount; ++i) {
    Entity* e = enemies[i];
    if (!e || e->IsDead()) continue;
    const int ex = e->GetX() / sx, ey = e->GetY() / sy;
    rectfill(buffer, ex, ey, ex + 3, ey + 3, e->ScannerColour());
  }
  const int yellow = makecol(255, 252, 25);
  for (Human& human : humans) {
    if (human.GetState() != Human::kPresent || !human.IsOnList()) continue;
    const int hx = human.GetX() / sx, hy = human.GetY() / sy;
    rectfill(buffer, hx, hy, hx + 3, hy + 3, yellow);
  }
  const int px = ship.GetX() / sx, py = ship.GetY() / sy;
  rectfill(buffer, px, py, px + 5, py + 3, makecol(255, 255, 255));

  // Two sections so the part of the world on screen sits in the middle: the
  // view's left edge at column 192 of the strip.
  const int c = ViewX / sx;
  int g = c - 192;
  if (g < 0) g += 512;
  if (g < 192) {
    blit(buffer, target, g, 0, x, y, 192, h);
  } else {
    blit(buffer, target, g, 0, x, y, 512 - g, h);
    blit(buffer, target, 0, 0, x + 512 - g, y, g - 320, h);
  }
  if (c < 192) {
    blit(buffer, target, c, 0, x + 192, y, 320, h);
  } else {
    blit(buffer, target, c, 0, x + 192, y, 512 - c, h);
    blit(buffer, target, 0, 0, x + 704 - c, y, c - 192, h);
  }
  rect(target, x, y, x + w, y + h, yellow);
}
