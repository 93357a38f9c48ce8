#include "entities/boss.h"

#include <allegro.h>

#include <cstdlib>

#include "engine/data_index.h"
#include "engine/graphics_engine.h"
#include "entities/world.h"
#include "entities/missile.h"
#include "entities/play_events.h"
#include "entities/score_sink.h"
#include "entities/play_objects.h"
#include "scene/view.h"
#include "scene/stage.h"

namespace {

constexpr int kHeadHits = 15;
constexpr int kTorsoHits = 25;
constexpr int kLimbHits = 5;
constexpr int kFirePeriod = 20;
constexpr int kTop = 100;
constexpr int kBottom = 700;
constexpr int kLimbPoints = 100;
constexpr int kBodyPoints = 1000;

// Explosion groups: 5 per limb, one per hit.
constexpr int kHeadExplosions = 0;
constexpr int kTorsoExplosions = 15;
constexpr int kLegExplosions = 40;
constexpr int kLeftArmExplosions = 55;
constexpr int kRightArmExplosions = 75;

// Base offsets of the parts from the boss's corner.
constexpr int kHeadOffset[2] = {185, 0};
constexpr int kTorsoOffset[2] = {166, 107};
constexpr int kLegOffsets[Boss::kLegs][2] = {{185, 230}, {215, 230}, {246, 230}};
constexpr int kLeftArmOffsets[Boss::kArms][2] = {{29, 130}, {28, 165}, {95, 125}, {94, 162}};
constexpr int kRightArmOffsets[Boss::kArms][2] = {{347, 127}, {344, 162}, {278, 123}, {277, 157}};

// The legs step through images 0, 1, 2, 1, one every 20 steps; the arms swing
// 0..6 and back to 1, one image every 5 steps.
constexpr int kLegFrames = 4;
constexpr int kLegImageOfFrame[kLegFrames] = {0, 1, 2, 1};
constexpr int kLegSteps = 20;
constexpr int kArmSteps = 5;
constexpr int kArmFrames = 12;
constexpr int kArmImageOfFrame[kArmFrames] = {0, 1, 2, 3, 4, 5, 6, 5, 4, 3, 2, 1};

// Extra offsets by image, so the limbs swing about their joints.
constexpr int kLegImageDX[Boss::kLegImages] = {-12, 0, 12};
constexpr int kLegImageDY[Boss::kLegImages] = {-2, 0, 2};
constexpr int kFrontArmImageDX[Boss::kArmImages] = {0, 0, 0, 0, 10, 20, 30};  // left arms 0, 1; right mirrored
constexpr int kFrontArmImageDY[Boss::kArmImages] = {-80, -56, -30, 0, 12, 24, 30};
constexpr int kBackArmImageDY[Boss::kArmImages] = {-48, -32, -16, 0, 0, 0, 0};

// Collision outlines, one per picture.
constexpr int kHeadCorners[][2] = {{33, 2},  {64, 8}, {73, 19}, {80, 74}, {66, 118},
                                   {6, 118}, {6, 60}, {12, 25}, {17, 15}};
constexpr int kTorsoCorners[][2] = {{40, 0},    {87, 0},   {126, 18}, {126, 70}, {112, 113},
                                    {113, 137}, {12, 137}, {13, 107}, {0, 70},   {0, 19}};
constexpr int kLegCorners[Boss::kLegImages][4][2] = {
    {{18, 4}, {38, 8}, {26, 82}, {9, 77}},
    {{3, 5}, {26, 5}, {28, 77}, {7, 77}},
    {{4, 10}, {24, 5}, {40, 76}, {21, 80}},
};
constexpr int kArmCorners[Boss::kArmImages][4][2] = {
    {{8, 34}, {75, 4}, {84, 25}, {13, 52}}, {{5, 22}, {78, 3}, {83, 24}, {11, 41}},
    {{9, 8}, {84, 17}, {79, 39}, {3, 25}},  {{9, 0}, {78, 35}, {65, 53}, {0, 16}},
    {{14, 9}, {86, 32}, {75, 51}, {5, 26}}, {{6, 7}, {79, 3}, {80, 25}, {6, 28}},
    {{71, 5}, {81, 24}, {19, 63}, {9, 45}},
};

template <int N>
void FillOutline(PolygonShape& outline, const int (&corners)[N][2]) {
  outline.ClearVertices();
  for (int i = 0; i < N; ++i) outline.AddVertex(corners[i][0], corners[i][1]);
}

void SetUpPart(TimedSprite& part, int frameCount, BITMAP* const* frames, int period, int x, int y, int layer,
               const char* name) {
  part.Init(frameCount, frames, 0, period, x, y, 0, layer, name);
  part.SetViewport(0, 0, 1023, 767);
  part.SetWorldSpace();
}

// Either outline has a corner inside the other, across the world's seam too.
bool Touch(PolygonShape& a, int ax, int ay, PolygonShape& b, int bx, int by) {
  return a.AnyVertexInside(ax, ay, b, bx, by) || b.AnyVertexInside(bx, by, a, ax, ay);
}

}  // namespace

void Boss::Init(int px, int py, int layerValue, const char* text) {
  SetName(text);
  BossState& state = State();
  state = BossState();
  state.x = px;
  state.y = py;
  state.firePeriod = kFirePeriod;
  state.headHits = kHeadHits;
  state.torsoHits = kTorsoHits;
  for (int i = 0; i < kLegs; ++i) {
    state.legHits[i] = kLimbHits;
    state.legs[i].stepsLeft = kLegSteps;
  }
  for (int i = 0; i < kArms; ++i) {
    state.leftArmHits[i] = state.rightArmHits[i] = kLimbHits;
    state.leftArms[i].stepsLeft = state.rightArms[i].stepsLeft = kArmSteps;
  }

  BITMAP* frames[kArmFrames];
  frames[0] = engine.Bitmap(dat::kBossHead);
  SetUpPart(head, 1, frames, 1, px + kHeadOffset[0], py + kHeadOffset[1], layerValue, text);
  frames[0] = engine.Bitmap(dat::kBossTorso);
  SetUpPart(torso, 1, frames, 1, px + kTorsoOffset[0], py + kTorsoOffset[1], layerValue, text);
  for (int f = 0; f < kLegFrames; ++f) frames[f] = engine.Bitmap(dat::kBossLeg0 + kLegImageOfFrame[f]);
  for (TimedSprite& leg : legs) SetUpPart(leg, kLegFrames, frames, 1, 0, 0, layerValue, text);
  for (int f = 0; f < kArmFrames; ++f) frames[f] = engine.Bitmap(dat::kBossLeftArm0 + kArmImageOfFrame[f]);
  for (TimedSprite& arm : leftArms) SetUpPart(arm, kArmFrames, frames, 1, 0, 0, layerValue, text);
  for (int f = 0; f < kArmFrames; ++f) frames[f] = engine.Bitmap(dat::kBossRightArm0 + kArmImageOfFrame[f]);
  for (TimedSprite& arm : rightArms) SetUpPart(arm, kArmFrames, frames, 1, 0, 0, layerValue, text);
  PlaceParts();

  FillOutline(headOutline, kHeadCorners);
  FillOutline(torsoOutline, kTorsoCorners);
  for (int i = 0; i < kLegImages; ++i) FillOutline(legOutlines[i], kLegCorners[i]);
  for (int i = 0; i < kArmImages; ++i) FillOutline(armOutlines[i], kArmCorners[i]);
}

void Boss::MoveStep() {
  SwingLimbs();
  // Slow circling, 4 px a step at most. The rounding toward minus infinity
  // makes each circle drift a little up and to the left.
  BossState& state = State();
  state.vx = fixcos(itofix(state.phase)) >> 14;
  state.vy = fixsin(itofix(state.phase)) >> 14;
  state.phase = (state.phase + 1) & 255;
  state.x += state.vx;
  state.y += state.vy;
  if (state.y < kTop) state.y = kTop;
  if (state.y > kBottom) state.y = kBottom;
  if (state.x < 0) state.x += kWorldWidth;
  if (state.x > kWorldWidth) state.x -= kWorldWidth;
  for (Explosion& explosion : explosions)
    if (explosion.IsOnList()) explosion.MovePieces();
}

void Boss::AttackStep() {
  BossState& state = State();
  state.fireCounter += 1;
  if (state.fireCounter >= state.firePeriod) {
    state.fireCounter = 0;
    // A beaten head fires no more.
    if (state.headHits > 0) {
      const int d = RandomNumber() % 3 - 1;
      FireMissile(3, state.x + 180, state.y, -9, d);
      FireMissile(4, state.x + 285, state.y, 9, d);
    }
  }
  for (Explosion& explosion : explosions)
    if (explosion.IsOnList()) explosion.Age();
}

int Boss::LegImage(int i) const { return kLegImageOfFrame[State().legs[i].frame]; }

int Boss::ArmImage(const LimbSwing& arm) const { return kArmImageOfFrame[arm.frame]; }

PolygonShape& Boss::LegOutline(int i) { return legOutlines[LegImage(i)]; }

PolygonShape& Boss::LeftArmOutline(int i) { return armOutlines[ArmImage(State().leftArms[i])]; }

PolygonShape& Boss::RightArmOutline(int i) { return armOutlines[ArmImage(State().rightArms[i])]; }

Boss::Places Boss::PartPlaces(int x, int y) const {
  const BossState& state = State();
  Places at;
  for (int i = 0; i < kLegs; ++i) {
    const int image = LegImage(i);
    at.leg[i] = {x + kLegOffsets[i][0] + kLegImageDX[image], y + kLegOffsets[i][1] + kLegImageDY[image]};
  }
  for (int i = 0; i < kArms; ++i) {
    // Arms 0 and 1 swing out sideways as well; arms 2 and 3 only lift.
    const bool front = i < 2;
    const int left = ArmImage(state.leftArms[i]);
    const int right = ArmImage(state.rightArms[i]);
    at.leftArm[i] = {x + kLeftArmOffsets[i][0] + (front ? kFrontArmImageDX[left] : 0),
                     y + kLeftArmOffsets[i][1] + (front ? kFrontArmImageDY[left] : kBackArmImageDY[left])};
    at.rightArm[i] = {x + kRightArmOffsets[i][0] - (front ? kFrontArmImageDX[right] : 0),
                      y + kRightArmOffsets[i][1] + (front ? kFrontArmImageDY[right] : kBackArmImageDY[right])};
  }
  at.head = {x + kHeadOffset[0], y + kHeadOffset[1]};
  at.torso = {x + kTorsoOffset[0], y + kTorsoOffset[1]};
  return at;
}

void Boss::PlaceParts() {
  const Places at = PartPlaces(State().x, State().y);
  for (int i = 0; i < kLegs; ++i) legs[i].SetPosition(at.leg[i].x, at.leg[i].y);
  for (int i = 0; i < kArms; ++i) {
    leftArms[i].SetPosition(at.leftArm[i].x, at.leftArm[i].y);
    rightArms[i].SetPosition(at.rightArm[i].x, at.rightArm[i].y);
  }
  head.SetPosition(at.head.x, at.head.y);
  torso.SetPosition(at.torso.x, at.torso.y);
  ShowLimbFrames();
}

void Boss::ShowLimbFrames() {
  const BossState& state = State();
  for (int i = 0; i < kLegs; ++i) legs[i].ShowFrame(state.legs[i].frame);
  for (int i = 0; i < kArms; ++i) {
    leftArms[i].ShowFrame(state.leftArms[i].frame);
    rightArms[i].ShowFrame(state.rightArms[i].frame);
  }
}

namespace {
// A living limb steps to its next frame every `steps` steps; a beaten one
// stays as it fell.
void Swing(LimbSwing& limb, int hits, int frames, int steps) {
  if (hits <= 0 || --limb.stepsLeft > 0) return;
  limb.stepsLeft = steps;
  limb.frame = limb.frame + 1 >= frames ? 0 : limb.frame + 1;
}
}  // namespace

void Boss::SwingLimbs() {
  // Parts are placed for the image they show now; then the limbs swing, and
  // the new image's offset follows at the next step. The limbs' outlines
  // follow their images, so this is part of the fight, not only of the
  // picture.
  PlaceParts();
  BossState& state = State();
  for (int i = 0; i < kLegs; ++i) Swing(state.legs[i], state.legHits[i], kLegFrames, kLegSteps);
  for (int i = 0; i < kArms; ++i) {
    Swing(state.leftArms[i], state.leftArmHits[i], kArmFrames, kArmSteps);
    Swing(state.rightArms[i], state.rightArmHits[i], kArmFrames, kArmSteps);
  }
  ShowLimbFrames();
}

void Boss::Draw(BITMAP* target) {
  // Drawn where the boss is now, each limb at the place of the picture it
  // shows (hits are still tested a step behind, where the parts were put).
  const BossState& state = State();
  const Places at = PartPlaces(trail.X(state.x, true), trail.Y(state.y));
  for (int i = 0; i < kLegs; ++i)
    if (state.legHits[i] > 0) legs[i].DrawAt(target, at.leg[i].x, at.leg[i].y);
  for (int i = 0; i < kArms; ++i) {
    if (state.leftArmHits[i] > 0) leftArms[i].DrawAt(target, at.leftArm[i].x, at.leftArm[i].y);
    if (state.rightArmHits[i] > 0) rightArms[i].DrawAt(target, at.rightArm[i].x, at.rightArm[i].y);
  }
  if (state.headHits > 0) head.DrawAt(target, at.head.x, at.head.y);
  if (state.torsoHits > 0) torso.DrawAt(target, at.torso.x, at.torso.y);
}

void Boss::StartExplosion(int index, BITMAP* picture, const TimedSprite& part) {
  Explosion& explosion = explosions[index];
  explosion.Init(picture, part.GetX(), part.GetY(), 0, "Bang!");
  stage.Show(&explosion);
}

bool Boss::TouchesShip(PolygonShape& outline, const TimedSprite& part) {
  return Touch(outline, part.GetX(), part.GetY(), ship.GetOutline(), ship.GetX(), ship.GetY());
}

void Boss::CollideWithShip() {
  const BossState& state = State();
  const int torsoHits = state.torsoHits, headHits = state.headHits;
  const int* legHits = state.legHits;
  const int* leftArmHits = state.leftArmHits;
  const int* rightArmHits = state.rightArmHits;
  bool touched = torsoHits > 0 && TouchesShip(torsoOutline, torso);
  touched = touched || (headHits > 0 && TouchesShip(headOutline, head));
  for (int i = 0; i < kLegs && !touched; ++i) touched = legHits[i] > 0 && TouchesShip(LegOutline(i), legs[i]);
  for (int i = 0; i < kArms && !touched; ++i) {
    touched = leftArmHits[i] > 0 && TouchesShip(LeftArmOutline(i), leftArms[i]);
    touched = touched || (rightArmHits[i] > 0 && TouchesShip(RightArmOutline(i), rightArms[i]));
  }
  if (!touched) return;
  // Contact hurts the ship only; one explosion however many parts touch it.
  ship.Explode();
  shipExplosion.Init(ship.GetBitmap(), ship.GetX(), ship.GetY(), 0, "Bang!");
  stage.Show(&shipExplosion);
}

bool Boss::HitLegs(Bullet& bullet) {
  int* legHits = State().legHits;
  for (int i = 0; i < kLegs; ++i) {
    if (legHits[i] <= 0) continue;
    if (!Touch(LegOutline(i), legs[i].GetX(), legs[i].GetY(), bullet.GetOutline(), bullet.GetX(),
               bullet.GetY()))
      continue;
    legHits[i] -= 1;
    const int left = legHits[i];
    StartExplosion(kLegExplosions + 5 * i + left, engine.Bitmap(left > 0 ? dat::kBossHit : dat::kBossLeg0 + i),
                   legs[i]);
    EarnPoints(kLimbPoints);
    return true;
  }
  return false;
}

bool Boss::HitArm(Bullet& bullet, int i, TimedSprite* arms, int* hits, const LimbSwing* swings, int firstExplosion,
                  int firstPicture) {
  TimedSprite& arm = arms[i];
  if (hits[i] <= 0) return false;
  if (!Touch(armOutlines[ArmImage(swings[i])], arm.GetX(), arm.GetY(), bullet.GetOutline(), bullet.GetX(), bullet.GetY()))
    return false;
  // Arms 2 and 3 sit behind arms 0 and 1 of their side, which shield them.
  const bool shielded = (i == 2 && hits[0] > 0) || (i == 3 && hits[1] > 0);
  if (!shielded) hits[i] -= 1;
  if (hits[i] == 0)
    StartExplosion(firstExplosion + 5 * i, engine.Bitmap(firstPicture + i), arm);
  else
    StartExplosion(firstExplosion - 1 + 5 * i + hits[i], engine.Bitmap(dat::kBossHit), arm);
  // Shielded hits pay too.
  EarnPoints(kLimbPoints);
  return true;
}

bool Boss::LimbsLeft() const {
  const BossState& state = State();
  for (int i = 0; i < kLegs; ++i)
    if (state.legHits[i] > 0) return true;
  for (int i = 0; i < kArms; ++i)
    if (state.leftArmHits[i] > 0 || state.rightArmHits[i] > 0) return true;
  return false;
}

bool Boss::HitBody(Bullet& bullet) {
  int& torsoHits = State().torsoHits;
  int& headHits = State().headHits;
  if (torsoHits > 0) {
    if (!Touch(torsoOutline, torso.GetX(), torso.GetY(), bullet.GetOutline(), bullet.GetX(), bullet.GetY()))
      return false;
    // The torso soaks up shots while any limb lives.
    if (LimbsLeft()) return true;
    torsoHits -= 1;
    if (torsoHits > 0) {
      StartExplosion(kTorsoExplosions + torsoHits, engine.Bitmap(dat::kBossHit), torso);
    } else {
      StartExplosion(kTorsoExplosions, engine.Bitmap(dat::kBossTorso), torso);
      EarnPoints(kBodyPoints);
    }
    return true;
  }
  if (headHits <= 0) return false;
  if (!Touch(headOutline, head.GetX(), head.GetY(), bullet.GetOutline(), bullet.GetX(), bullet.GetY())) return false;
  headHits -= 1;
  if (headHits > 0) {
    StartExplosion(kHeadExplosions + headHits, engine.Bitmap(dat::kBossHit), head);
  } else {
    StartExplosion(kHeadExplosions, engine.Bitmap(dat::kBossHead), head);
    EarnPoints(kBodyPoints);
    ReportPlayEvent(PlayEvent::kBossDestroyed);
  }
  return true;
}

void Boss::Collide() {
  if (!ship.IsDestroyed()) CollideWithShip();
  for (Bullet& bullet : bullets) {
    if (!bullet.IsOnList()) continue;
    bool hit = HitLegs(bullet);
    for (int i = 0; i < kArms && !hit; ++i) {
      BossState& state = State();
      hit = HitArm(bullet, i, leftArms, state.leftArmHits, state.leftArms, kLeftArmExplosions, dat::kBossLeftArm0);
      hit = hit || HitArm(bullet, i, rightArms, state.rightArmHits, state.rightArms, kRightArmExplosions,
                          dat::kBossRightArm0);
    }
    hit = hit || HitBody(bullet);
    if (hit) {
      bullet.Retire();
      ReportPlayEvent(PlayEvent::kBossHit);
    }
  }
}

void Boss::HideExplosions() {
  for (Explosion& explosion : explosions) stage.Hide(&explosion);
}

void Boss::ReleaseExplosions() {
  for (Explosion& explosion : explosions) explosion.ReleasePieces();
}
