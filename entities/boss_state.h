// The boss's part of a game's state: where it circles, how it fires, the hits
// each part has left and the swing of its limbs. Plain data inside the game's
// state value; the Boss element draws it and runs its rules on it.
#pragma once

#include <cstdint>

struct LimbSwing {
  int32_t frame = 0;      // the frame of the limb's animation shown now
  int32_t stepsLeft = 0;  // steps until the next frame
};

struct BossState {
  static constexpr int kLegs = 3;
  static constexpr int kArms = 4;

  int32_t x = 0, y = 0;
  int32_t vx = 0, vy = 0;
  int32_t phase = 0;  // of the circling, a fixed-point angle 0..255
  int32_t fireCounter = 0;
  int32_t firePeriod = 0;
  // Where the parts were last put: the boss's corner then and the image each
  // limb showed. Hits are tested there (a step behind the boss's motion).
  int32_t placedX = 0, placedY = 0;
  int32_t placedLegImage[kLegs] = {};
  int32_t placedLeftArmImage[kArms] = {};
  int32_t placedRightArmImage[kArms] = {};
  int32_t headHits = 0;
  int32_t torsoHits = 0;
  int32_t legHits[kLegs] = {};
  int32_t leftArmHits[kArms] = {};
  int32_t rightArmHits[kArms] = {};
  LimbSwing legs[kLegs];
  LimbSwing leftArms[kArms];
  LimbSwing rightArms[kArms];
};
