#pragma once

#include "entities/explosion.h"
#include "scene/element.h"
#include "scene/polygon_shape.h"
#include "scene/timed_sprite.h"

class Bullet;

// The mutated rock star of the last wave: a head, a torso, three legs and eight
// arms, each an animated sprite with its own hit count and outline. It circles
// slowly, fires while its head lives, and must be taken apart limbs first, then
// the torso, then the head.
class Boss : public Element {
 public:
  static constexpr int kLegs = 3;
  static constexpr int kArms = 4;
  static constexpr int kArmImages = 7;
  static constexpr int kLegImages = 3;
  static constexpr int kExplosions = 95;

  void Init(int x, int y, int layer, const char* name);
  void MoveStep();
  void AttackStep();
  void Advance() override;
  void Draw(BITMAP* target) override;
  void Collide();
  void ReleaseExplosions();
  // Takes its running explosions off the render list (end of a wave or game).
  void HideExplosions();

  int GetHeadHits() const { return headHits; }
  void SetHeadHits(int value) { headHits = value; }
  int GetTorsoHits() const { return torsoHits; }
  int GetLegHits(int i) const { return legHits[i]; }
  int GetLeftArmHits(int i) const { return leftArmHits[i]; }
  int GetRightArmHits(int i) const { return rightArmHits[i]; }
  void SetX(int value) { x = value; }
  int GetX() const { return x; }
  int GetY() const { return y; }
  int GetPhase() const { return phase; }
  void SetPhase(int value) { phase = value; }
  TimedSprite& Head() { return head; }
  TimedSprite& Torso() { return torso; }
  TimedSprite& Leg(int i) { return legs[i]; }
  TimedSprite& LeftArm(int i) { return leftArms[i]; }
  TimedSprite& RightArm(int i) { return rightArms[i]; }
  Explosion& GetExplosion(int i) { return explosions[i]; }
  // The outlines the parts are tested with now (limbs: for their current image).
  PolygonShape& HeadOutline() { return headOutline; }
  PolygonShape& TorsoOutline() { return torsoOutline; }
  PolygonShape& LegOutline(int i);
  PolygonShape& LeftArmOutline(int i);
  PolygonShape& RightArmOutline(int i);

 private:
  // Puts every part sprite at (x, y) plus its offsets for its current image.
  void PlaceParts();
  // The picture (and outline) index a limb shows in its current frame.
  int LegImage(int i) const;
  int ArmImage(const TimedSprite& arm) const;
  void StartExplosion(int index, BITMAP* picture, const TimedSprite& part);
  bool TouchesShip(PolygonShape& outline, const TimedSprite& part);
  void CollideWithShip();
  // Each returns true when the bullet is used up by that part.
  bool HitLegs(Bullet& bullet);
  bool HitArm(Bullet& bullet, int i, TimedSprite* arms, int* hits, int firstExplosion, int firstPicture);
  bool HitBody(Bullet& bullet);
  bool LimbsLeft() const;

  int firePeriod = 20;
  int fireCounter = 0;
  int x = 0, y = 0;
  int vx = 0, vy = 0;
  int phase = 0;
  int headHits = 0;
  int torsoHits = 0;
  int legHits[kLegs] = {};
  int leftArmHits[kArms] = {};
  int rightArmHits[kArms] = {};

  PolygonShape headOutline;
  PolygonShape torsoOutline;
  PolygonShape legOutlines[kLegImages];
  PolygonShape armOutlines[kArmImages];

  TimedSprite head;
  TimedSprite torso;
  TimedSprite legs[kLegs];
  TimedSprite leftArms[kArms];
  TimedSprite rightArms[kArms];

  Explosion explosions[kExplosions];
};
