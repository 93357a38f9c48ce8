#pragma once

#include "entities/entity.h"

// Drifts in the middle band of the screen and now and then lays a mine.
class Bomber : public Entity {
 public:
  Bomber() : Entity(7) {}
  void Place(int wave, int index) override;
  void GetFrames(int* count, BITMAP** frames) override;
  void BuildOutline() override;
  void Think() override;
  void Move() override;
  int ScannerColour() override;
};
