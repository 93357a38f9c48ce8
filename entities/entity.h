#pragma once

#include "scene/polygon_shape.h"
#include "scene/timed_sprite.h"

// Every enemy is an Entity: a timed sprite living in the wrapping world, with a
// collision outline, a type number, a score value and the operations through
// which the main loop, the spawner, the collision pass, the smart bomb and the
// scanner drive it without knowing its class.
class Entity : public TimedSprite {
 public:
  explicit Entity(int enemyType) : type(enemyType) {}

  virtual void Init(int fireInterval, int startFrame, int period, int x, int y, int centred, int layer,
                    const char* name);
  // Off the render list, the destruction sound, dead, and the wave's counts
  // lowered. The object stays in the enemy array.
  virtual void Kill();
  // Start position for the index-th enemy of its type in a wave's set-up.
  virtual void Place(int wave, int index);
  virtual void GetFrames(int* count, BITMAP** frames);
  virtual void BuildOutline();
  virtual void Think();
  virtual void Move();
  virtual int ScannerColour();

  int GetType() const { return type; }
  int IsDead() const { return dead; }
  void SetScore(int points) { score = points; }
  int GetScore() const { return score; }
  PolygonShape& GetOutline() { return outline; }
  int GetFireCounter() const { return fireCounter; }
  int GetFireInterval() const { return fireInterval; }

 protected:
  // The move every type shares: the drift applied, y bounced between `top` and
  // `bottom` (dy reversed), x wrapped once into 0..4096.
  void MoveWithin(int top, int bottom);
  void BuildStandardOutline();

  int type;
  int dead = 0;
  int fireInterval = 0;
  int fireCounter = 0;
  int score = 0;
  PolygonShape outline;
};
