#pragma once

#include "scene/element.h"
#include "scene/step_trail.h"

// A masked sprite with a position, a velocity and an optional rotation, drawn
// in screen space or in the wrapping world.
class AnimatedSprite : public Element {
 public:
  void Init(BITMAP* bitmap, int x, int y, int width, int height, int centred, int layer, const char* name);
  void Draw(BITMAP* target) override;
  bool NoteStep(bool cut) override { return trail.Note(x, y, cut); }
  void ForgetSteps() override { trail.Forget(); }

  void SetBitmap(BITMAP* bmp);
  void SetPosition(int px, int py) {
    x = px;
    y = py;
  }
  void SetVelocity(int velocityX, int velocityY) {
    vx = velocityX;
    vy = velocityY;
  }
  int GetX() const { return x; }
  int GetY() const { return y; }
  int GetVX() const { return vx; }
  int GetVY() const { return vy; }
  BITMAP* GetBitmap() const { return bitmap; }
  int GetWidth() const { return width; }
  int GetHeight() const { return height; }
  // A library fixed-point angle (a whole-number angle shifted left by 16).
  void SetAngle(int fixedAngle) { angle = fixedAngle; }
  int GetAngle() const { return angle; }

  // One step of motion: wraps x into 0..4096, clamps y to -40..718.
  void Move();

  // Draws the sprite's picture as if it stood at (px, py), without moving it.
  void DrawAt(BITMAP* target, int px, int py) { DrawSprite(target, px, py, true); }

 protected:
  // The drawing without rotation: the bullets and the ship use this.
  void DrawUnrotated(BITMAP* target);
  void DrawSprite(BITMAP* target, int atX, int atY, bool allowRotation);

  BITMAP* bitmap = nullptr;
  int x = 0, y = 0;
  int vx = 0, vy = 0;
  int centred = 0;
  int width = 0, height = 0;
  int angle = 0;
  StepTrail trail;
};
