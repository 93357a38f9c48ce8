// Faults the soak found, pinned. With nobody left to abduct, a wave's landers
// arrive as mutants: shooting them must settle what the wave owes, so that a
// life lost afterwards restarts the wave without them (and no count of the
// wave goes below zero). And emptying the enemy array leaves no living enemy
// counted, also for a new game after a lost one.
#include <gtest/gtest.h>

#include "entities/entity.h"
#include "entities/play_objects.h"
#include "game/game_flow.h"
#include "game/game_state.h"
#include "game/waves.h"
#include "scene/stage.h"
#include "support/game_fixture.h"

namespace {

class WaveBookkeepingTest : public GameFixture {};

TEST_F(WaveBookkeepingTest, LandersThatCameAsMutantsAndWereShotDoNotReturnWhenTheWaveRestarts) {
  SetUpGame();
  game.waveIndex = 10;  // "The 11th Hour": 16 landers, 12 fighters, 6 bouncers, 4 pods, 4 bombers, 4 orbiters
  humans[0].Die();
  ASSERT_EQ(world->humansAlive, 0);
  StartWave();
  RunLogicSteps(101);
  ASSERT_EQ(world->liveEnemies, 46);

  int mutantsShot = 0;
  for (int i = 0; i < enemyCount; ++i) {
    if (enemies[i]->IsDead() || enemies[i]->GetType() != kMutant) continue;
    enemies[i]->Kill();
    ++mutantsShot;
  }
  EXPECT_EQ(mutantsShot, 16);
  EXPECT_EQ(world->waveTypeCounts[kLander], 0);
  EXPECT_EQ(world->waveTypeCounts[kMutant], 0);

  // The ship is lost; 101 steps later the wave starts again with what it owes.
  ship.Explode();
  stage.Hide(&ship);
  int restartedAt = -1;
  for (int step = 0; step < 200 && restartedAt < 0; ++step) {
    LogicStep();
    if (game.lives == 2) restartedAt = step;
  }
  ASSERT_GE(restartedAt, 0) << "the lost life never restarted the wave";
  EXPECT_EQ(world->waveTypeCounts[kLander], 0);
  EXPECT_EQ(world->waveTypeCounts[kMutant], 0);
  // Nobody shot the other thirty: they all come back, and only they.
  EXPECT_EQ(world->pendingSpawns, 30);
  for (int t = 0; t < kEnemyTypes; ++t) EXPECT_GE(world->waveTypeCounts[t], 0) << "type " << t;
}

TEST_F(WaveBookkeepingTest, AMutantThatCameForALanderAndIsStillAliveReturnsAsAMutant) {
  SetUpGame();
  game.waveIndex = 0;  // "Initiation": 4 landers, 4 bombers
  humans[0].Die();
  StartWave();
  RunLogicSteps(101);
  ASSERT_EQ(world->liveEnemies, 8);
  EXPECT_EQ(world->waveTypeCounts[kLander], 0);
  EXPECT_EQ(world->waveTypeCounts[kMutant], 4);

  ship.Explode();
  stage.Hide(&ship);
  for (int step = 0; step < 200 && game.lives == 3; ++step) LogicStep();
  ASSERT_EQ(game.lives, 2);
  // Eight spawn-ins again: the four mutants (as mutants) and the four bombers.
  EXPECT_EQ(world->pendingSpawns, 8);
  int mutantSpawnIns = 0;
  for (Implosion& implosion : implosions)
    if (implosion.IsOnList() && implosion.GetSpawnType() == kMutant) ++mutantSpawnIns;
  EXPECT_EQ(mutantSpawnIns, 4);
}

TEST_F(WaveBookkeepingTest, ANewGameAfterALostOneCountsNoLivingEnemies) {
  SetUpGame();
  StartWave();
  RunLogicSteps(101);
  ASSERT_EQ(world->liveEnemies, 8);
  // The game ends with its enemies alive; the next one begins.
  RemoveGameObjects();
  SetUpGame();
  EXPECT_EQ(enemyCount, 0);
  EXPECT_EQ(world->liveEnemies, 0);
}

}  // namespace
