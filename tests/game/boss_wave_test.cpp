// Wave 20 played with real logic steps: a scripted gunner launches beams at
// every enemy that shows up and at the boss's parts in turn until the boss is
// beaten and the wave is cleared.
#include <gtest/gtest.h>

#include <utility>

#include "engine/data_index.h"
#include "entities/boss.h"
#include "entities/entity.h"
#include "entities/play_objects.h"
#include "game/game_flow.h"
#include "game/game_state.h"
#include "game/waves.h"
#include "support/game_fixture.h"
#include "support/gunnery.h"

namespace {

class BossWaveTest : public GameFixture {
 protected:
  // Every enemy on the screen gets a beam where its move will take it.
  static void ShootEnemies() {
    for (int i = 0; i < enemyCount; ++i) {
      Entity* e = enemies[i];
      if (!e || e->IsDead() || !e->IsOnList()) continue;
      const auto [cx, cy] = kav_test::OutlineCentre(e->GetOutline());
      kav_test::FireBeamAt(e->GetX() + e->GetDriftX() + cx, e->GetY() + e->GetDriftY() + cy);
    }
  }

  // One beam at the first part that can still be hurt: legs, the front arms,
  // the arms behind them, the torso, the head. Parts are hit where the last
  // drawing put them.
  void ShootBoss() {
    TimedSprite* part = nullptr;
    PolygonShape* outline = nullptr;
    for (int i = 0; i < Boss::kLegs && !part; ++i)
      if (boss.GetLegHits(i) > 0) part = &boss.Leg(i), outline = &boss.LegOutline(i);
    for (int i = 0; i < Boss::kArms && !part; ++i) {
      if (boss.GetLeftArmHits(i) > 0)
        part = &boss.LeftArm(i), outline = &boss.LeftArmOutline(i);
      else if (boss.GetRightArmHits(i) > 0)
        part = &boss.RightArm(i), outline = &boss.RightArmOutline(i);
    }
    if (!part && boss.GetTorsoHits() > 0) part = &boss.Torso(), outline = &boss.TorsoOutline();
    if (!part && boss.GetHeadHits() > 0) part = &boss.Head(), outline = &boss.HeadOutline();
    if (!part) return;
    const auto [lx, ly] = kav_test::InsidePoint(*outline);
    EXPECT_TRUE(outline->HitTest(lx, ly)) << "an outline without an inside";
    kav_test::FireBeamAt(part->GetX() + lx, part->GetY() + ly);
  }

};

TEST_F(BossWaveTest, GunnerTakesTheBossApartAndClearsWaveTwenty) {
  SetUpGame();
  game.waveIndex = kBossWave;
  StartWave();
  ASSERT_TRUE(boss.IsOnList());
  EXPECT_EQ(boss.GetHeadHits(), 15);
  EXPECT_EQ(world->pendingSpawns, 4 + 25);

  constexpr int kStepBudget = 20000;
  int steps = 0;
  int beatenAtStep = -1;
  int bossShotsWhenBeaten = 0;
  bool done = false;
  bool shipHit = false;
  while (!done && steps < kStepBudget) {
    ShootEnemies();
    if (boss.GetHeadHits() > 0) ShootBoss();
    done = LogicStep();
    ++steps;
    shipHit = shipHit || ship.IsDestroyed();
    if (beatenAtStep < 0 && boss.GetHeadHits() == 0) {
      beatenAtStep = steps;
      bossShotsWhenBeaten = platform.Plays(dat::kSndMissile34);
    }
  }

  ASSERT_TRUE(done) << "wave not cleared within " << kStepBudget << " steps";
  EXPECT_TRUE(game.waveProgress.waveDone);
  EXPECT_FALSE(game.waveProgress.gameOver);
  ASSERT_GT(beatenAtStep, 0);
  // Taken apart completely, in the only order it allows.
  EXPECT_EQ(boss.GetTorsoHits(), 0);
  for (int i = 0; i < Boss::kLegs; ++i) EXPECT_EQ(boss.GetLegHits(i), 0);
  for (int i = 0; i < Boss::kArms; ++i) {
    EXPECT_EQ(boss.GetLeftArmHits(i), 0);
    EXPECT_EQ(boss.GetRightArmHits(i), 0);
  }
  // It fired while its head lived and never after.
  EXPECT_GT(bossShotsWhenBeaten, 0);
  EXPECT_EQ(platform.Plays(dat::kSndMissile34), bossShotsWhenBeaten);
  // The wave ends 101 steps after the last threat, no sooner.
  EXPECT_GE(steps, beatenAtStep + 101);
  EXPECT_EQ(world->liveEnemies, 0);
  EXPECT_EQ(world->pendingSpawns, 0);
  // Boss points (7500 at least) and 4 bombers and 25 baiters at the very least.
  EXPECT_GE(game.score, 7500 + 4 * 150 + 25 * 100);
  EXPECT_FALSE(shipHit) << "the gunner's ship stands far from the boss and shoots everything that comes";

  // After the last wave the game goes on with wave 11.
  FinishClearedWave();
  EXPECT_EQ(game.waveIndex, 10);
  EXPECT_FALSE(boss.IsOnList());
}

}  // namespace
