#include "scene/animated_sprite.h"

#include <allegro.h>

#include "scene/view.h"

void AnimatedSprite::Init(BITMAP* bmp, int px, int py, int w, int h, int centre, int layerValue, const char* text) {
  bitmap = bmp;
  x = px;
  y = py;
  vx = vy = 0;
  width = w;
  height = h;
  centred = centre;
  angle = 0;
  trail.Forget();
  layer = layerValue;
  SetName(text);
}

void AnimatedSprite::SetBitmap(BITMAP* bmp) {
  bitmap = bmp;
  width = bmp ? bmp->w : 0;
  height = bmp ? bmp->h : 0;
}

void AnimatedSprite::Move() {
  x += vx;
  y += vy;
  if (x < 0) x += kWorldWidth;
  if (x > kWorldWidth) x -= kWorldWidth;
  if (y < -40) y = -40;
  if (y > 718) y = 718;
}

namespace {
// Allegro's rotate_sprite shifts the position left by 16 bits, which is
// undefined for a sprite left of or above the target; multiply instead.
void RotateSprite(BITMAP* target, BITMAP* sprite, int x, int y, int angle) {
  target->vtable->pivot_scaled_sprite_flip(target, sprite, x * 0x10000 + sprite->w * 0x10000 / 2,
                                           y * 0x10000 + sprite->h * 0x10000 / 2, sprite->w * 0x8000,
                                           sprite->h * 0x8000, angle, 0x10000, FALSE);
}
}  // namespace

void AnimatedSprite::Draw(BITMAP* target) { DrawSprite(target, trail.X(x, worldSpace), trail.Y(y), true); }

void AnimatedSprite::DrawUnrotated(BITMAP* target) {
  DrawSprite(target, trail.X(x, worldSpace), trail.Y(y), false);
}

void AnimatedSprite::DrawSprite(BITMAP* target, int atX, int atY, bool allowRotation) {
  if (!bitmap) return;
  const bool rotate = allowRotation && angle != 0;
  if (!worldSpace) {
    int px = atX, py = atY;
    if (centred) {
      px = atX - bitmap->w / 2;
      py = atY - bitmap->h / 2;
    }
    if (rotate)
      RotateSprite(target, bitmap, px, py, angle);
    else
      draw_sprite(target, bitmap, px, py);
    return;
  }

  const int l = viewport.left, t = viewport.top, r = viewport.right, b = viewport.bottom;
  int sx = atX - ViewX + l;
  int sy = atY - ViewY + t;
  int srcX = 0, srcY = 0;
  int w = width, h = height;
  // Near the seam, things at the start of the world show right of it.
  if (sx + width < l) {
    if (ViewX < kSeamViewX) return;
    sx += kWorldWidth;
  }
  if (sx < l) {
    w = width - (l - sx);
    srcX = l - sx;
    sx = l;
  }
  if (sx > r) return;
  if (sy + height < t) return;
  if (sy < t) {
    h = height - (t - sy);
    srcY = t - sy;
    sy = t;
  }
  if (sy > b) return;
  if (height + sy > b) h = b - sy;
  if (rotate)
    RotateSprite(target, bitmap, sx, sy, angle);
  else
    masked_blit(bitmap, target, srcX, srcY, sx, sy, w, h);
}
