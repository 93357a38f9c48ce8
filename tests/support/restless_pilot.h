// A restless pilot for whole games: directions held for a while, fire tapped
// often, now and then a smart bomb (one step in `bombEvery`); the same from
// the same seed; done after `steps` steps.
#pragma once

#include <cstdint>
#include <random>

#include "game/actions.h"
#include "game/player_actions.h"

class RestlessPilot : public ActionSource {
 public:
  RestlessPilot(unsigned seed, long steps, unsigned bombEvery = 500)
      : random_(seed), steps_(steps), bombEvery_(bombEvery) {}
  bool Next(uint8_t& actions) override {
    if (taken_++ >= steps_) return false;
    if (--hold_ <= 0) {
      held_ = kDirections[random_() % 5];
      hold_ = 5 + static_cast<int>(random_() % 40);
    }
    actions = held_ | (random_() % 3 == 0 ? kActionFire : 0) | (random_() % bombEvery_ == 0 ? kActionBomb : 0);
    return true;
  }

 private:
  static constexpr uint8_t kDirections[5] = {0, kActionUp, kActionDown, kActionLeft, kActionRight};
  std::mt19937 random_;
  long steps_;
  unsigned bombEvery_;
  long taken_ = 0;
  int hold_ = 0;
  uint8_t held_ = 0;
};
