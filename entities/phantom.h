#pragma once

#include "entities/entity.h"

// A motionless enemy above the visible area; no wave of the table uses it.
class Phantom : public Entity {
 public:
  Phantom() : Entity(10) {}
  void Place(int wave, int index) override;
  void GetFrames(int* count, BITMAP** frames) override;
  int ScannerColour() override;
};
