#pragma once

#include "scene/animated_sprite.h"
#include "scene/polygon_shape.h"

// One of the player's laser beams: flies 30 px a step, retired after 1500 px
// or a hit. Only the beam's leading tip counts for collisions.
class Bullet : public AnimatedSprite {
 public:
  static constexpr int kSpeed = 30;
  static constexpr int kRange = 1500;

  void Init(BITMAP* bitmap, int x, int y, int centred, int layer, const char* name);
  void Draw(BITMAP* target) override;

  // The tip outline for the sign of the current velocity.
  void BuildOutline();
  PolygonShape& GetOutline() { return outline; }
  void Step();
  void Retire();
  void CheckRange();
  int GetTravelled() const { return travelled; }
  void SetTravelled(int value) { travelled = value; }

 private:
  int travelled = 0;
  PolygonShape outline;
};

constexpr int kBulletCount = 20;
