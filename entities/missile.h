#pragma once

#include "scene/polygon_shape.h"
#include "scene/timed_sprite.h"

// A shot fired by an enemy or the boss, taken in turn from a ring of 60. Flies
// straight, retired after 600 px of travel counted as |dx| + |dy| per step.
class Missile : public TimedSprite {
 public:
  static constexpr int kRange = 600;

  void Init(int kind, int period, int x, int y, int centred, int layer, const char* name);
  void BuildOutline();
  PolygonShape& GetOutline() { return outline; }
  void Step();
  void Retire();
  void CheckRange();
  int GetKind() const { return kind; }
  int GetTravelled() const { return travelled; }

 private:
  int kind = 0;
  int travelled = 0;
  PolygonShape outline;
};

constexpr int kMissileCount = 60;

// The only way shots are made: recycles the next missile of the ring (the
// world's nextMissile).
void FireMissile(int kind, int x, int y, int dx, int dy);
