#pragma once

#include "scene/polygon_shape.h"
#include "scene/timed_sprite.h"

// One of the ten people on the ground that the player protects and the landers
// abduct. Human i of the pool has look (kind) i.
class Human : public TimedSprite {
 public:
  enum State { kDead = -1, kPresent = 0, kWaiting = 1 };

  void Init(int kind, int startFrame, int period, int x, int y, int centred, int layer, const char* name);
  virtual void BuildOutline();

  // Drift along the ground at the kind's walking speed.
  void SetWalk();
  void Step();
  // Off the list, dead; when the last present human dies every living lander
  // mutates.
  void Die();
  // Back on its feet on the ground line (y = 750 - height).
  void StandOnGround();

  void SetState(int value) { state = value; }
  int GetState() const { return state; }
  int GetKind() const { return kind; }
  PolygonShape& GetOutline() { return outline; }

 private:
  int kind = 0;
  int state = kPresent;
  PolygonShape outline;
};

constexpr int kHumanCount = 10;
constexpr int kGroundY = 750;
