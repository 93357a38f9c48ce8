#pragma once

#include "entities/entity.h"

// Sent in front of the ship when a wave lasts long; homes in with a strong
// wobble.
class Baiter : public Entity {
 public:
  Baiter() : Entity(9) {}
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
