// Pods that burst into swarmers, swarmers homing with a wobble, bombers that
// lay mines, and mines that never move.
#include <gtest/gtest.h>

#include <cstdlib>

#include "engine/data_index.h"
#include "entities/bomber.h"
#include "entities/mine.h"
#include "entities/play_objects.h"
#include "entities/pod.h"
#include "entities/swarmer.h"
#include "game/game_state.h"
#include "game/waves.h"
#include "scene/stage.h"
#include "support/game_fixture.h"

namespace {

using kav_test::SeedWhere;

class PodsAndBombersTest : public GameFixture {
 protected:
  // Places a right-flying beam so that its tip's corner (436, 4) lies at the
  // world point, and puts it on the render list.
  static void AimBulletAt(Bullet& bullet, int worldX, int worldY) {
    bullet.SetVelocity(Bullet::kSpeed, 0);
    bullet.BuildOutline();
    bullet.SetPosition(worldX - 436, worldY - 4);
    stage.Show(&bullet);
  }
};

TEST_F(PodsAndBombersTest, ShotPodBurstsIntoEightSwarmersAroundItsCornerAndPays1000) {
  Pod* pod = Enter<Pod>(kPod, 2000, 300);
  world->waveTypeCounts[kPod] = 1;
  // The beam reaches the pod's outline (19..76, 44..52) after its first step.
  AimBulletAt(bullets[0], 2000 + 40 - Bullet::kSpeed, 300 + 48);
  RunLogicSteps(1);

  EXPECT_TRUE(pod->IsDead());
  EXPECT_EQ(game.score, 1000);
  ASSERT_EQ(enemyCount, 9);
  EXPECT_EQ(world->liveEnemies, 8);
  EXPECT_EQ(world->waveTypeCounts[kSwarmer], 8);
  EXPECT_EQ(world->waveTypeCounts[kPod], 0);
  for (int i = 1; i < 9; ++i) {
    Entity* swarmer = enemies[i];
    EXPECT_EQ(swarmer->GetType(), kSwarmer);
    EXPECT_EQ(swarmer->GetScore(), 50);
    EXPECT_TRUE(swarmer->IsOnList());
    // Entered during the collision pass after the pod moved: each within 48 px
    // of the pod's corner where it died. The swarmers do not move until the
    // next step.
    EXPECT_LE(std::abs(swarmer->GetX() - pod->GetX()), 48) << i;
    EXPECT_LE(std::abs(swarmer->GetY() - pod->GetY()), 48) << i;
    EXPECT_EQ(static_cast<Swarmer*>(swarmer)->GetPhase(), 0);
    EXPECT_EQ(swarmer->GetDriftX(), 0);
    EXPECT_EQ(swarmer->GetDriftY(), 0);
  }
}

TEST_F(PodsAndBombersTest, PodKilledWith195EnemiesEntersFiveSwarmersButCountsEight) {
  for (int i = 0; i < 194; ++i) EnterEnemy(kMine, 2048, -100);
  Pod* pod = Enter<Pod>(kPod, 1000, 300);
  ASSERT_EQ(enemyCount, 195);
  ASSERT_EQ(world->liveEnemies, 195);
  world->waveTypeCounts[kPod] = 1;

  pod->Kill();

  EXPECT_EQ(enemyCount, 200);
  for (int i = 195; i < 200; ++i) EXPECT_EQ(enemies[i]->GetType(), kSwarmer);
  EXPECT_EQ(world->waveTypeCounts[kSwarmer], 8);
  EXPECT_EQ(world->liveEnemies, 195 + 5 - 1);
  EXPECT_EQ(platform.Plays(dat::kSndEnemyDestroyed), 1);
}

TEST_F(PodsAndBombersTest, PodKilledTwiceBurstsOnlyOnce) {
  Pod* pod = Enter<Pod>(kPod, 1000, 300);
  pod->Kill();
  pod->Kill();
  EXPECT_EQ(enemyCount, 9);
  EXPECT_EQ(world->waveTypeCounts[kSwarmer], 8);
}

TEST_F(PodsAndBombersTest, TenPodsSpreadOverTheWorldIn409PixelStepsFromTheMiddle) {
  world->waveTypeCounts[kPod] = 10;
  const int expected[10] = {2048, 2457, 2866, 3275, 3684, 4093, 406, 815, 1224, 1633};
  for (int i = 0; i < 10; ++i) {
    Pod pod;
    pod.Init(50, 0, 1, 0, 0, 0, 1, "Baddie");
    pod.Place(0, i);
    EXPECT_EQ(pod.GetX(), expected[i]) << i;
    EXPECT_EQ(pod.GetY() % 100, 0);
    EXPECT_GE(pod.GetY(), 0);
    EXPECT_LE(pod.GetY(), 700);
  }
}

TEST_F(PodsAndBombersTest, PodDriftsTwiceAsFastAcrossAsUpOrDownAndBouncesBetween50And768) {
  Pod* pod = Enter<Pod>(kPod, 1000, 300);
  int changes = 0;
  for (int step = 0; step < 5000; ++step) {
    const int dx = pod->GetDriftX(), dy = pod->GetDriftY();
    pod->Think();
    if (pod->GetDriftX() != dx || pod->GetDriftY() != dy) ++changes;
    EXPECT_EQ(pod->GetDriftX(), 2 * pod->GetDriftY());
    EXPECT_LE(std::abs(pod->GetDriftY()), 3);
  }
  // About one new drift every 50 steps (some draws repeat the old one).
  EXPECT_GT(changes, 40);
  EXPECT_LT(changes, 110);

  pod->SetPosition(100, 52);
  pod->SetDrift(-6, -3);
  pod->Move();
  EXPECT_EQ(pod->GetY(), 50);
  EXPECT_EQ(pod->GetDriftY(), 3);
  EXPECT_EQ(pod->GetX(), 94);
}

TEST_F(PodsAndBombersTest, SwarmerEnteredFarRightOfTheWorldIsBroughtInWithinThreeMoves) {
  Swarmer* swarmer = Enter<Swarmer>(kSwarmer, 12300, 400);
  // The wobble adds the integer part of the cosine: 1 at phase 0, then 0.
  swarmer->Move();
  EXPECT_EQ(swarmer->GetX(), 8205);
  swarmer->Move();
  EXPECT_EQ(swarmer->GetX(), 4109);
  swarmer->Move();
  EXPECT_EQ(swarmer->GetX(), 13);
  EXPECT_EQ(swarmer->GetPhase(), 3);
}

TEST_F(PodsAndBombersTest, SwarmerPlacementLiesBeyondTheWorldInTheMiddleBand) {
  for (int i = 0; i < 50; ++i) {
    Swarmer swarmer;
    swarmer.Init(50, 0, 1, 0, 0, 0, 1, "Baddie");
    swarmer.Place(0, i);
    EXPECT_GE(swarmer.GetX(), 12228);
    EXPECT_LE(swarmer.GetX(), 12348);
    EXPECT_EQ((swarmer.GetX() - 12228) % 20, 0);
    EXPECT_GE(swarmer.GetY(), 280);
    EXPECT_LE(swarmer.GetY(), 520);
    EXPECT_EQ((swarmer.GetY() - 280) % 40, 0);
  }
}

TEST_F(PodsAndBombersTest, SwarmerAtRestAimsAtTheShipAtOnce) {
  ship.SetPosition(2000, 400);
  Swarmer* rightAbove = Enter<Swarmer>(kSwarmer, 2500, 300);
  Swarmer* leftBelow = Enter<Swarmer>(kSwarmer, 1500, 500);
  Swarmer* level = Enter<Swarmer>(kSwarmer, 2000, 400);
  rightAbove->Think();
  leftBelow->Think();
  level->Think();
  EXPECT_EQ(rightAbove->GetDriftX(), -3);
  EXPECT_EQ(rightAbove->GetDriftY(), 3);
  EXPECT_EQ(leftBelow->GetDriftX(), 3);
  EXPECT_EQ(leftBelow->GetDriftY(), -3);
  // Level with the ship counts as left of it and above it.
  EXPECT_EQ(level->GetDriftX(), 3);
  EXPECT_EQ(level->GetDriftY(), 3);
}

TEST_F(PodsAndBombersTest, MovingSwarmerReaimsOnlyOnAOneInFiftyDraw) {
  ship.SetPosition(2000, 400);
  Swarmer* swarmer = Enter<Swarmer>(kSwarmer, 2500, 300);
  swarmer->SetDrift(3, -3);  // heading away from the ship
  SeedWhere([] { return RandomNumber() % 50 != 0; });
  swarmer->Think();
  EXPECT_EQ(swarmer->GetDriftX(), 3);
  EXPECT_EQ(swarmer->GetDriftY(), -3);
  SeedWhere([] { return RandomNumber() % 50 == 0; });
  swarmer->Think();
  EXPECT_EQ(swarmer->GetDriftX(), -3);
  EXPECT_EQ(swarmer->GetDriftY(), 3);
}

TEST_F(PodsAndBombersTest, SwarmerWobbleCarriesItUpAndLeftOverAFullTurn) {
  Swarmer* swarmer = Enter<Swarmer>(kSwarmer, 2000, 400);
  for (int i = 0; i < 256; ++i) swarmer->Move();
  EXPECT_EQ(swarmer->GetPhase(), 0);
  // Rounding toward minus infinity: -1 in about half the steps.
  EXPECT_LT(swarmer->GetX(), 2000 - 100);
  EXPECT_GT(swarmer->GetX(), 2000 - 140);
  EXPECT_LT(swarmer->GetY(), 400 - 100);
  EXPECT_GT(swarmer->GetY(), 400 - 140);
}

TEST_F(PodsAndBombersTest, SwarmerBouncesOffTheTopAndBottomOfTheWorld) {
  Swarmer* swarmer = Enter<Swarmer>(kSwarmer, 2000, 1);
  swarmer->SetDrift(0, -3);
  swarmer->Move();
  EXPECT_EQ(swarmer->GetY(), 0);
  EXPECT_EQ(swarmer->GetDriftY(), 3);

  swarmer->SetPosition(2000, 767);
  swarmer->SetDrift(0, 3);
  swarmer->Move();  // phase 1: the sine's integer part is 0
  EXPECT_EQ(swarmer->GetY(), 768);
  EXPECT_EQ(swarmer->GetDriftY(), -3);
}

TEST_F(PodsAndBombersTest, BomberClampsAt96ReversingOnlyWhenItPassesTheLimit) {
  Bomber* bomber = Enter<Bomber>(kBomber, 1000, 98);
  bomber->SetDrift(0, -3);
  bomber->Move();
  EXPECT_EQ(bomber->GetY(), 96);
  EXPECT_EQ(bomber->GetDriftY(), 3);

  bomber->SetPosition(1000, 100);
  bomber->SetDrift(0, -3);
  bomber->Move();
  EXPECT_EQ(bomber->GetY(), 97);
  EXPECT_EQ(bomber->GetDriftY(), -3);

  bomber->SetPosition(1000, 648);
  bomber->SetDrift(2, 3);
  bomber->Move();
  EXPECT_EQ(bomber->GetY(), 650);
  EXPECT_EQ(bomber->GetDriftY(), -3);
  EXPECT_EQ(bomber->GetX(), 1002);
}

TEST_F(PodsAndBombersTest, BombersStartSpreadOverTheWorldInTheMiddleBand) {
  world->waveTypeCounts[kBomber] = 4;
  const int expected[4] = {2048, 3072, 4096, 1024};
  for (int i = 0; i < 4; ++i) {
    Bomber bomber;
    bomber.Init(50, 0, 1, 0, 0, 0, 1, "Baddie");
    bomber.Place(0, i);
    EXPECT_EQ(bomber.GetX(), expected[i]);
    EXPECT_GE(bomber.GetY(), 300);
    EXPECT_LE(bomber.GetY(), 600);
    EXPECT_EQ(bomber.GetY() % 100, 0);
  }
}

TEST_F(PodsAndBombersTest, BomberDrawsItsVerticalSpeedBeforeItsHorizontalOne) {
  Bomber* bomber = Enter<Bomber>(kBomber, 1000, 300);
  int vy = 0, vx = 0;
  SeedWhere([&] {
    if (RandomNumber() % 50 != 0) return false;
    vy = RandomNumber() % 7 - 3;
    vx = RandomNumber() % 7 - 3;
    return vx != vy;
  });
  bomber->Think();
  EXPECT_EQ(bomber->GetDriftX(), vx);
  EXPECT_EQ(bomber->GetDriftY(), vy);
}

TEST_F(PodsAndBombersTest, BomberLaysAMineBelowItWhichCountsAsAnEnemyOfTheWave) {
  Bomber* bomber = Enter<Bomber>(kBomber, 1000, 300);
  SeedWhere([] {
    const bool keepDrift = RandomNumber() % 50 != 0;
    return keepDrift && RandomNumber() % 1000 == 0;
  });
  bomber->Think();
  ASSERT_EQ(enemyCount, 2);
  Entity* mine = enemies[1];
  EXPECT_EQ(mine->GetType(), kMine);
  EXPECT_EQ(mine->GetX(), 1008);
  EXPECT_EQ(mine->GetY(), 335);
  EXPECT_EQ(mine->GetScore(), 200);
  EXPECT_EQ(world->waveTypeCounts[kMine], 1);
  EXPECT_EQ(world->liveEnemies, 2);
}

TEST_F(PodsAndBombersTest, BomberLaysAboutOneMineEvery1000Steps) {
  Bomber* bomber = Enter<Bomber>(kBomber, 1000, 300);
  for (int step = 0; step < 20000; ++step) bomber->Think();
  EXPECT_GE(world->waveTypeCounts[kMine], 8);
  EXPECT_LE(world->waveTypeCounts[kMine], 35);
  EXPECT_EQ(enemyCount, 1 + world->waveTypeCounts[kMine]);
}

TEST_F(PodsAndBombersTest, MinesOfAWaveSitAboveTheScreenAndNeverMove) {
  Mine placed;
  placed.Init(50, 0, 1, 0, 0, 0, 1, "Baddie");
  placed.Place(8, 2);
  EXPECT_EQ(placed.GetX(), 2048);
  EXPECT_EQ(placed.GetY(), -100);

  Mine* mine = Enter<Mine>(kMine, 2048, -100);
  RunLogicSteps(300);
  EXPECT_FALSE(mine->IsDead());
  EXPECT_EQ(mine->GetX(), 2048);
  EXPECT_EQ(mine->GetY(), -100);
}

TEST_F(PodsAndBombersTest, LaidMineStaysPutAndIsDestroyedByABullet) {
  Mine* mine = Enter<Mine>(kMine, 700, 300);
  world->waveTypeCounts[kMine] = 1;
  RunLogicSteps(20);
  EXPECT_EQ(mine->GetX(), 700);
  EXPECT_EQ(mine->GetY(), 300);
  // Outline (2..14, 2..14); the beam arrives after its step.
  AimBulletAt(bullets[0], 700 + 8 - Bullet::kSpeed, 300 + 8);
  RunLogicSteps(1);
  EXPECT_TRUE(mine->IsDead());
  EXPECT_EQ(game.score, 200);
  EXPECT_EQ(world->waveTypeCounts[kMine], 0);
}

}  // namespace
