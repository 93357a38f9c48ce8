#pragma once

#include "entities/entity.h"

// Drifts slowly; bursts into eight swarmers when destroyed.
class Pod : public Entity {
 public:
  Pod() : Entity(5) {}
  void Kill() override;
  void Place(int wave, int index) override;
  void GetFrames(int* count, BITMAP** frames) override;
  void BuildOutline() override;
  void Think() override;
  void Move() override;
  int ScannerColour() override;
};
