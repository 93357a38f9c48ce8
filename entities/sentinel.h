#pragma once

#include "entities/entity.h"

// A motionless enemy with no behaviour; no wave of the table uses it.
class Sentinel : public Entity {
 public:
  Sentinel() : Entity(4) {}
  void Place(int wave, int index) override;
  int ScannerColour() override;
};
