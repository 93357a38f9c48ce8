#pragma once

#include "entities/entity.h"

// A lander that reached the top with a human: hunts the ship at high speed.
class Mutant : public Entity {
 public:
  Mutant() : Entity(1) {}
  void Place(int wave, int index) override;
  void GetFrames(int* count, BITMAP** frames) override;
  void Think() override;
  int ScannerColour() override;
};
