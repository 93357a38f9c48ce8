// A whole game without a display: the library without a screen, the real data
// file, every screen object built, and a scripted machine in place of the
// keyboard, mouse, sound and clock. Each test starts from a clean world with a
// fixed random seed.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>

#include "entities/enemy_roster.h"
#include "game/waves.h"
#include "support/scripted_platform.h"

class GameFixture : public ::testing::Test {
 protected:
  static void SetUpTestSuite();
  void SetUp() override;
  void TearDown() override;

  // Steps of play as the main loop runs them (without the frame clock).
  void RunLogicSteps(int steps);
  // The number of elements on the render list.
  static int ElementsOnList();

  // An enemy entered the way the game enters one (the last of the array).
  template <class T>
  static T* Enter(int type, int x, int y) {
    EnterEnemy(type, x, y);
    return static_cast<T*>(enemies[enemyCount - 1]);
  }

  ScriptedPlatform platform;
};

namespace kav_test {
// Everything off the render list, enemies deleted, counters and game state
// back to a new program's, the ship at its start.
void ResetWorld();
// Frees everything the game made (enemies, effect pieces, the data file)
// before the process ends, so that a leak reported at exit is a real one.
void ReleaseEverything();

// Seeds the generator so that the draws `wanted` makes come out as it asks;
// the search replays from each candidate seed.
template <class Wanted>
void SeedWhere(Wanted wanted) {
  for (unsigned seed = 1;; ++seed) {
    world->random.Seed(seed);
    if (wanted()) {
      world->random.Seed(seed);
      return;
    }
  }
}
}  // namespace kav_test
