#pragma once

#include "entities/entity.h"

// A small enemy that homes in on the ship with a wobble.
class Swarmer : public Entity {
 public:
  Swarmer() : Entity(6) {}
  void Init(int fireInterval, int startFrame, int period, int x, int y, int centred, int layer,
            const char* name) override;
  void Place(int wave, int index) override;
  void GetFrames(int* count, BITMAP** frames) override;
  void BuildOutline() override;
  void Think() override;
  void Move() override;
  int ScannerColour() override;

  int GetPhase() const { return phase; }

 private:
  int phase = 0;
};

// The homing the swarmer and the baiter share: re-aim at the ship at once when
// at rest, else on average every 50 steps.
void HomeOnShip(Entity& enemy, int x, int y);
