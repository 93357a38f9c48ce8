#pragma once

#include "entities/entity.h"

// Stays where it was laid, turning, until destroyed.
class Mine : public Entity {
 public:
  Mine() : Entity(8) {}
  void Place(int wave, int index) override;
  void GetFrames(int* count, BITMAP** frames) override;
  void BuildOutline() override;
  void Think() override;
  void Move() override;
  int ScannerColour() override;
};
