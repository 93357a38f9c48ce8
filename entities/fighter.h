#pragma once

#include "entities/entity.h"

// Sweeps back and forth past the ship in a band around y = 300 and fires fast
// horizontal shots.
class Fighter : public Entity {
 public:
  Fighter() : Entity(2) {}
  void Place(int wave, int index) override;
  void GetFrames(int* count, BITMAP** frames) override;
  void BuildOutline() override;
  void Think() override;
  int ScannerColour() override;
};
