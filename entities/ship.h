#pragma once

#include "scene/animated_sprite.h"
#include "scene/polygon_shape.h"

// The player's ship: moves with inertia over the wrapping world, is followed by
// the view, fires the player's beams and is destroyed by enemies and missiles.
class Ship : public AnimatedSprite {
 public:
  void Init(BITMAP* bitmap, int x, int y, int width, int height, int centred, int layer, const char* name);
  void Draw(BITMAP* target) override;

  // One step of motion: x wrapped into 0..4096, y kept within 56..718.
  void Move();
  // A push against the current motion stops that motion for one step.
  void Thrust(int ax, int ay);
  void ApplyFriction();
  void Explode();

  void SetDestroyed(int value) { destroyed = value; }
  int IsDestroyed() const { return destroyed; }
  int GetHeading() const { return heading; }
  void SetHeading(int value) { heading = value; }
  PolygonShape& GetOutline() { return outline; }

 private:
  int heading = 1;
  int destroyed = 0;
  PolygonShape outline;
};
