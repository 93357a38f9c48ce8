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

// The x of the index-th of `count` enemies spread evenly over the world, the
// first at its middle (pods, bombers and bouncers start this way). A count
// below 1 is taken as 1.
int SpreadAcrossWorld(int index, int count);
