#pragma once

#include "entities/entity.h"

// The abductor: drops in from above, cruises low over the ground, seizes a
// human, lifts it and, at the top of the screen, becomes a mutant.
class Lander : public Entity {
 public:
  enum State { kDescending = 0, kSearching = 1, kDescendingOntoHuman = 2, kLifting = 3 };

  Lander() : Entity(0) {}
  void Init(int fireInterval, int startFrame, int period, int x, int y, int centred, int layer,
            const char* name) override;
  void Kill() override;
  void Place(int wave, int index) override;
  void GetFrames(int* count, BITMAP** frames) override;
  void Think() override;
  void Move() override;
  int ScannerColour() override;

  // Taken off by the loss of the last human: it becomes a mutant, which is no
  // rescue, so no bonus is paid for a human it once held.
  void Mutate();

  int GetState() const { return state; }
  int GetCarried() const { return carried; }

 private:
  int state = kDescending;
  int carried = -1;
};
