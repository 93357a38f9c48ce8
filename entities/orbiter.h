#pragma once

#include "entities/entity.h"

// Flies in circles and fires four diagonal shots at regular intervals when the
// ship is near.
class Orbiter : public Entity {
 public:
  Orbiter() : Entity(11) {}
  void Init(int fireInterval, int startFrame, int period, int x, int y, int centred, int layer,
            const char* name) override;
  void Place(int wave, int index) override;
  void GetFrames(int* count, BITMAP** frames) override;
  void Think() override;
  void Move() override;
  int ScannerColour() override;

  int GetPhase() const { return phase; }

 private:
  int phase = 0;
};
