#pragma once

#include "entities/entity.h"

// Flies diagonally, bounces off its vertical limits, reverses at random and,
// from the fourth wave on, fires against the ship's direction of travel.
class Bouncer : public Entity {
 public:
  Bouncer() : Entity(3) {}
  void Place(int wave, int index) override;
  void GetFrames(int* count, BITMAP** frames) override;
  void Think() override;
  void Move() override;
  int ScannerColour() override;
};
