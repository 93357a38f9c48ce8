// The pilot of the demo the build records: it reads the game as a player sees
// it and chooses each step's actions. It chases the nearest enemy, lines the
// ship's beam up with it, fires in bursts, slips away from shots coming close
// and now and then detonates a smart bomb into a crowd.
#pragma once

#include <cstdint>

#include "game/player_actions.h"

class DemoPilot : public ActionSource {
 public:
  // Plays `steps` steps at most, then stops like a player quitting.
  explicit DemoPilot(long steps) : steps_(steps) {}
  bool Next(uint8_t& actions) override;

 private:
  uint8_t Decide();

  long steps_;
  long step_ = 0;
  bool fireHeld_ = false;
  bool bombHeld_ = false;
};
