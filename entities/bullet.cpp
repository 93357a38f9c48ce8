#include "entities/bullet.h"

#include <allegro.h>

#include <cstdlib>

#include "engine/graphics_engine.h"
#include "scene/view.h"
#include "scene/stage.h"

void Bullet::Init(BITMAP* bmp, int px, int py, int centre, int layerValue, const char* text) {
  AnimatedSprite::Init(bmp, px, py, bmp ? bmp->w : 0, bmp ? bmp->h : 0, centre, layerValue, text);
  SetViewport(0, 0, 1023, 767);
  BuildOutline();
  SetWorldSpace();
}

void Bullet::Draw(BITMAP* target) { DrawUnrotated(target); }

void Bullet::BuildOutline() {
  // Only the head of the beam hits; it sits at the leading end of the picture.
  static const int kRightTip[7][2] = {{444, 6}, {438, 4}, {436, 4}, {422, 6}, {422, 9}, {442, 9}, {444, 8}};
  static const int kLeftTip[7][2] = {{3, 6}, {9, 4}, {11, 4}, {25, 6}, {25, 9}, {5, 9}, {3, 8}};
  const int(*tip)[2] = vx < 0 ? kLeftTip : kRightTip;
  outline.ClearVertices();
  for (int i = 0; i < 7; ++i) outline.AddVertex(tip[i][0], tip[i][1]);
}

void Bullet::Step() {
  x += vx;
  y += vy;
  travelled += std::abs(vx);
  if (x < 0) x += kWorldWidth;
  if (x > kWorldWidth) x -= kWorldWidth;
}

void Bullet::Retire() {
  travelled = 0;
  stage.Hide(this);
}

void Bullet::CheckRange() {
  // Idle beams keep flying unseen; their range check is then a quiet no-op.
  if (travelled > kRange) {
    travelled = 0;
    stage.Hide(this);
  }
}
