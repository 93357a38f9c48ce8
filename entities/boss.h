#pragma once

#include "entities/boss_state.h"
#include "entities/explosion.h"
#include "entities/world.h"
#include "scene/element.h"
#include "scene/step_trail.h"
#include "scene/polygon_shape.h"
#include "scene/timed_sprite.h"

class Bullet;

// The mutated rock star of the last wave: a head, a torso, three legs and eight
// arms, each an animated sprite with its own hit count and outline. It circles
// slowly, fires while its head lives, and must be taken apart limbs first, then
// the torso, then the head. What it is in the game (position, hits, the swing
// of its limbs) is the world's BossState; this element runs the rules on it
// and draws it.
class Boss : public Element {
 public:
  static constexpr int kLegs = BossState::kLegs;
  static constexpr int kArms = BossState::kArms;
  static constexpr int kArmImages = 7;
  static constexpr int kLegImages = 3;
  static constexpr int kExplosions = 95;

  // A fresh boss at (x, y): every hit count full, circling from the start.
  void Init(int x, int y, int layer, const char* name);
  // One step of its motion: the parts put where the last step left the boss
  // (hits are tested there), the limbs swung on, then the boss moved on.
  void MoveStep();
  void AttackStep();
  // The first half of MoveStep: parts placed, limbs swung.
  void SwingLimbs();
  void Draw(BITMAP* target) override;
  bool NoteStep(bool cut) override { return trail.Note(State().x, State().y, cut); }
  void ForgetSteps() override { trail.Forget(); }
  void Collide();
  void ReleaseExplosions();
  // Takes its running explosions off the render list (end of a wave or game).
  void HideExplosions();

  int GetHeadHits() const { return State().headHits; }
  void SetHeadHits(int value) { State().headHits = value; }
  int GetTorsoHits() const { return State().torsoHits; }
  int GetLegHits(int i) const { return State().legHits[i]; }
  int GetLeftArmHits(int i) const { return State().leftArmHits[i]; }
  int GetRightArmHits(int i) const { return State().rightArmHits[i]; }
  void SetX(int value) { State().x = value; }
  int GetX() const { return State().x; }
  int GetY() const { return State().y; }
  int GetPhase() const { return State().phase; }
  void SetPhase(int value) { State().phase = value; }
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
  struct Place {
    int x, y;
  };
  // Where each part stands for the boss's corner at (x, y) and the images its
  // limbs show now.
  struct Places {
    Place leg[kLegs], leftArm[kArms], rightArm[kArms], head, torso;
  };
  static BossState& State() { return world->boss; }
  Places PartPlaces(int x, int y) const;
  // Puts every part sprite at (x, y) plus its offsets for its current image.
  void PlaceParts();
  void ShowLimbFrames();
  // The picture (and outline) index a limb shows in its current frame.
  int LegImage(int i) const;
  int ArmImage(const LimbSwing& arm) const;
  void StartExplosion(int index, BITMAP* picture, const TimedSprite& part);
  bool TouchesShip(PolygonShape& outline, const TimedSprite& part);
  void CollideWithShip();
  // Each returns true when the bullet is used up by that part.
  bool HitLegs(Bullet& bullet);
  bool HitArm(Bullet& bullet, int i, TimedSprite* arms, int* hits, const LimbSwing* swings, int firstExplosion,
              int firstPicture);
  bool HitBody(Bullet& bullet);
  bool LimbsLeft() const;

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
  // Where the boss stood at its last two steps, for frames between them.
  StepTrail trail;
};
