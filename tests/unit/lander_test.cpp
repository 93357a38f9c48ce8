// Landers and mutants: placement, descending, searching and seizing, lifting,
// the rescue bonus, the mutation at the top, shooting, and the mutant's hunt.
#include <allegro.h>
#include <gtest/gtest.h>

#include <cstdlib>

#include "engine/clock.h"
#include "engine/data_index.h"
#include "engine/graphics_engine.h"
#include "entities/enemy_roster.h"
#include "entities/lander.h"
#include "entities/missile.h"
#include "entities/mutant.h"
#include "entities/play_objects.h"
#include "game/collisions.h"
#include "game/game_state.h"
#include "game/waves.h"
#include "scene/stage.h"
#include "support/game_fixture.h"

namespace {

class LanderTest : public GameFixture {
 protected:
  Human& Present(int i, int x) {
    Human& h = humans[i];
    h.SetState(Human::kPresent);
    h.SetPosition(x, 0);
    h.StandOnGround();
    h.SetDrift(0, 0);
    stage.Show(&h);
    world->humansAlive += 1;
    return h;
  }
  // A lander entered as the spawner does. With nobody present the factory
  // would make a mutant, so the count is lifted for the moment of creation.
  Lander* Enter(int x, int y) {
    world->waveTypeCounts[kLander] += 1;
    const int present = world->humansAlive;
    if (world->humansAlive < 1) world->humansAlive = 1;
    EnterEnemy(kLander, x, y);
    world->humansAlive = present;
    auto* lander = dynamic_cast<Lander*>(enemies[enemyCount - 1]);
    EXPECT_NE(lander, nullptr);
    return lander;
  }
  static int Width(Entity* e) { return e->GetFrameBitmap()->w; }
  // A lander sent searching and then held still, centred `offset` px right of x.
  Lander* Searching(int x, int offset) {
    Lander* lander = Enter(0, 0);
    lander->SetPosition(x + offset - Width(lander) / 2, 560);
    lander->Think();
    EXPECT_EQ(lander->GetState(), Lander::kSearching);
    lander->SetDrift(0, 0);
    return lander;
  }
  // One step of the world as the loop runs it, for the enemies and humans.
  void StepWorld() {
    for (int i = 0; i < enemyCount; ++i)
      if (enemies[i] && !enemies[i]->IsDead()) {
        enemies[i]->Move();
        enemies[i]->Think();
      }
    for (Human& h : humans) h.Step();
  }
  // Runs the world until the lander reaches `state` (or gives up).
  void RunUntil(Lander* lander, int state, int limit = 20000) {
    for (int i = 0; i < limit && lander->GetState() != state && !lander->IsDead(); ++i) StepWorld();
  }
  // Puts bullet 0's tip onto the middle of the enemy, flying right.
  void AimBulletAt(Entity* e) {
    Bullet& b = bullets[0];
    b.SetVelocity(30, 0);
    b.BuildOutline();
    b.SetPosition(e->GetX() + 50 - 436, e->GetY() + 45 - 6);
    stage.Show(&b);
  }
};

TEST_F(LanderTest, FourLandersAreSpreadFromTheMiddleOfTheWorldAtThreeHeights) {
  world->waveTypeCounts[kLander] = 4;
  const int xs[4] = {2048, 3072, 4096, 1024};
  const int ys[4] = {-300, -600, -900, -300};
  for (int i = 0; i < 4; ++i) {
    Lander lander;
    lander.Init(50, 0, 1, 0, 0, 0, 1, "Baddie");
    lander.Place(0, i);
    EXPECT_EQ(lander.GetX(), xs[i]) << "lander " << i;
    EXPECT_EQ(lander.GetY(), ys[i]) << "lander " << i;
  }
}

TEST_F(LanderTest, WithNoLandersOwedThePlaceIsFarOffScreen) {
  world->waveTypeCounts[kLander] = 0;
  Lander lander;
  lander.Init(50, 0, 1, 0, 0, 0, 1, "Baddie");
  lander.Place(0, 0);
  EXPECT_EQ(lander.GetX(), -400);
  EXPECT_EQ(lander.GetY(), -400);
}

TEST_F(LanderTest, ANewLanderDescendsAtThreePixelsWithSixFramesPlayedBackAndForth) {
  Lander* lander = Enter(1000, -300);
  EXPECT_EQ(lander->GetState(), Lander::kDescending);
  EXPECT_EQ(lander->GetCarried(), -1);
  EXPECT_EQ(lander->GetDriftX(), 0);
  EXPECT_EQ(lander->GetDriftY(), 3);
  EXPECT_EQ(lander->GetFrameBitmap(), engine.Bitmap(dat::kLanderFrame0));

  BITMAP* target = create_bitmap(1024, 768);
  lander->SetPosition(100, 100);
  const int expected[7] = {6, 7, 8, 7, 6, 5, 6};
  for (int k = 0; k < 7; ++k) {
    TickCounter.store(TickCounter.load() + 1);
    lander->Advance();
    lander->Draw(target);
    EXPECT_EQ(lander->GetFrameBitmap(), engine.Bitmap(expected[k])) << "frame step " << k;
  }
  destroy_bitmap(target);
}

TEST_F(LanderTest, BelowFiveHundredItTurnsToSearchSidewaysAtTwoPixels) {
  Lander* lander = Enter(1000, 490);
  StepWorld();  // 493
  StepWorld();  // 496
  StepWorld();  // 499
  EXPECT_EQ(lander->GetState(), Lander::kDescending);
  StepWorld();  // 502
  EXPECT_EQ(lander->GetState(), Lander::kSearching);
  EXPECT_EQ(lander->GetDriftY(), 0);
  EXPECT_EQ(std::abs(lander->GetDriftX()), 2);
  const int y = lander->GetY();
  for (int i = 0; i < 20; ++i) StepWorld();
  EXPECT_EQ(lander->GetY(), y);
}

TEST_F(LanderTest, LandersGoBothWaysWhenTheyStartSearching) {
  int left = 0, right = 0;
  for (int i = 0; i < 40; ++i) {
    Lander* lander = Enter(100 * i, 499);
    StepWorld();
    (lander->GetDriftX() < 0 ? left : right) += 1;
  }
  EXPECT_GT(left, 5);
  EXPECT_GT(right, 5);
}

TEST_F(LanderTest, ALanderFifteenPixelsFromAHumanSeizesItAboutOnceInAHundredSteps) {
  int seizedAfter[20];
  for (int seed = 0; seed < 20; ++seed) {
    kav_test::ResetWorld();
    world->random.Seed(seed + 1);
    Human& h = Present(0, 1000);
    Lander* lander = Searching(1000, 15);
    int steps = 0;
    while (lander->GetCarried() < 0 && steps < 5000) {
      lander->Think();
      ++steps;
    }
    seizedAfter[seed] = steps;
    ASSERT_EQ(lander->GetCarried(), 0) << "seed " << seed;
    EXPECT_EQ(lander->GetState(), Lander::kDescendingOntoHuman);
    EXPECT_EQ(lander->GetDriftY(), 2);
    EXPECT_EQ(h.GetDriftX(), 0);
    EXPECT_EQ(platform.Plays(dat::kSndSeize), 1);
    platform.ClearSampleCalls();
  }
  long total = 0;
  for (int s : seizedAfter) total += s;
  // The mean of twenty waits of chance 1/100 lies well within 30..300.
  EXPECT_GT(total / 20, 30);
  EXPECT_LT(total / 20, 300);
}

TEST_F(LanderTest, ALanderSixteenPixelsFromAHumanNeverSeizesIt) {
  Present(0, 1000);
  Lander* left = Searching(1000, -16);
  Lander* right = Searching(1000, 16);
  for (int i = 0; i < 5000; ++i) {
    left->Think();
    right->Think();
  }
  EXPECT_EQ(left->GetCarried(), -1);
  EXPECT_EQ(right->GetCarried(), -1);
  EXPECT_EQ(left->GetState(), Lander::kSearching);
  EXPECT_EQ(platform.Plays(dat::kSndSeize), 0);
}

TEST_F(LanderTest, HumansOffTheListAreNeverSeized) {
  Human& h = Present(0, 1000);
  stage.Hide(&h);
  Lander* lander = Searching(1000, 0);
  for (int i = 0; i < 3000; ++i) lander->Think();
  EXPECT_EQ(lander->GetCarried(), -1);
}

TEST_F(LanderTest, ASeizedHumanIsLiftedWithTheLanderAtThreePixels) {
  Human& h = Present(0, 1000);
  Lander* lander = Searching(1000, 0);
  RunUntil(lander, Lander::kLifting);
  ASSERT_EQ(lander->GetState(), Lander::kLifting);
  EXPECT_EQ(lander->GetDriftY(), -3);
  EXPECT_EQ(h.GetDriftY(), -3);
  // The lander's bottom edge, less 5, had just passed the human's top when it
  // began to lift (the human has since made its first 3 px of the climb).
  const int top = h.GetY() + 3;
  const int bottom = lander->GetY() + lander->GetFrameBitmap()->h - 5;
  EXPECT_LT(top, bottom);
  EXPECT_GE(top, bottom - 2);
  const int gap = lander->GetY() - h.GetY();
  for (int i = 0; i < 50; ++i) {
    const int y = lander->GetY();
    StepWorld();
    ASSERT_EQ(lander->GetY(), y - 3);
    ASSERT_EQ(lander->GetY() - h.GetY(), gap);
  }
}

TEST_F(LanderTest, ALanderShotWhileLiftingDropsTheHumanAndPays600) {
  Human& h = Present(0, 1000);
  Lander* lander = Searching(1000, 0);
  RunUntil(lander, Lander::kLifting);
  ASSERT_EQ(lander->GetState(), Lander::kLifting);
  for (int i = 0; i < 10; ++i) StepWorld();

  AimBulletAt(lander);
  ResolveCollisions();
  EXPECT_EQ(lander->IsDead(), -1);
  EXPECT_EQ(game.score, 600);
  EXPECT_STREQ(scoreText, "00000600");
  EXPECT_FALSE(bullets[0].IsOnList());
  EXPECT_TRUE(explosions[0].IsOnList());

  EXPECT_EQ(h.GetDriftY(), 5);
  for (int i = 0; i < 200; ++i) h.Step();
  EXPECT_EQ(h.GetY(), 718);
  EXPECT_EQ(h.GetState(), Human::kPresent);
  EXPECT_TRUE(h.IsOnList());
  EXPECT_EQ(world->humansAlive, 1);
}

TEST_F(LanderTest, ALanderShotBeforeSeizingPaysOnlyItsOwnHundred) {
  Lander* lander = Enter(1000, 300);
  AimBulletAt(lander);
  ResolveCollisions();
  EXPECT_EQ(lander->IsDead(), -1);
  EXPECT_EQ(game.score, 100);
}

TEST_F(LanderTest, CarryingTheLastHumanToTheTopLeavesExactlyOneMutantInItsPlace) {
  Human& h = Present(0, 1000);
  Lander* lander = Searching(1000, 0);
  Lander* other = Enter(3000, 100);
  RunUntil(lander, Lander::kLifting);
  ASSERT_EQ(lander->GetState(), Lander::kLifting);
  platform.ClearSampleCalls();
  const int before = enemyCount;
  for (int i = 0; i < 400 && !lander->IsDead(); ++i) StepWorld();

  EXPECT_EQ(h.GetState(), Human::kDead);
  EXPECT_EQ(lander->IsDead(), -1);
  EXPECT_EQ(other->IsDead(), -1);
  EXPECT_EQ(platform.Plays(dat::kSndEnemyDestroyed), 2);
  ASSERT_EQ(enemyCount, before + 2);
  int living = 0;
  for (int i = 0; i < enemyCount; ++i) living += enemies[i]->IsDead() == 0;
  EXPECT_EQ(living, 2);
  EXPECT_EQ(world->liveEnemies, living);
  EXPECT_EQ(enemies[before]->GetType(), kMutant);
  EXPECT_EQ(enemies[before + 1]->GetType(), kMutant);
  EXPECT_EQ(world->waveTypeCounts[kLander], 0);
  EXPECT_EQ(world->waveTypeCounts[kMutant], 2);
  EXPECT_EQ(game.score, 0);
}

TEST_F(LanderTest, CarryingAHumanToTheTopWhileOthersLiveMakesOneMutantAndPaysNothing) {
  Human& h = Present(0, 1000);
  Present(1, 3000);
  Lander* lander = Searching(1000, 0);
  RunUntil(lander, Lander::kLifting);
  platform.ClearSampleCalls();
  // Only the lander and its human move, so the mutant is seen where it came.
  for (int i = 0; i < 400 && !lander->IsDead(); ++i) {
    lander->Move();
    lander->Think();
    h.Step();
  }
  ASSERT_EQ(lander->IsDead(), -1);
  EXPECT_EQ(h.GetState(), Human::kDead);
  EXPECT_EQ(world->humansAlive, 1);
  EXPECT_EQ(platform.Plays(dat::kSndEnemyDestroyed), 1);
  ASSERT_EQ(enemyCount, 2);
  EXPECT_EQ(enemies[1]->GetType(), kMutant);
  EXPECT_EQ(enemies[1]->GetX(), lander->GetX());
  EXPECT_EQ(enemies[1]->GetY(), lander->GetY());
  EXPECT_LT(lander->GetY(), 1);
  EXPECT_EQ(world->liveEnemies, 1);
  EXPECT_EQ(game.score, 0);
}

TEST_F(LanderTest, ALanderWhoseHumanIsShotGoesDownAgainSearchesAndStillPaysTheBonus) {
  Human& h = Present(0, 1000);
  Present(1, 3500);
  Lander* lander = Searching(1000, 0);
  RunUntil(lander, Lander::kLifting);
  // Shot on the way up, well above the searching height.
  for (int i = 0; i < 400 && lander->GetY() > 400; ++i) StepWorld();
  ASSERT_EQ(lander->GetState(), Lander::kLifting);
  h.Die();

  StepWorld();
  EXPECT_EQ(lander->GetState(), Lander::kDescending);
  EXPECT_EQ(lander->GetDriftX(), 0);
  EXPECT_EQ(lander->GetDriftY(), 2);
  const int y = lander->GetY();
  StepWorld();
  EXPECT_EQ(lander->GetY(), y + 2);

  // Below 500 it searches again, steadily to one side.
  RunUntil(lander, Lander::kSearching);
  ASSERT_EQ(lander->GetState(), Lander::kSearching);
  const int dx = lander->GetDriftX();
  for (int i = 0; i < 30; ++i) {
    StepWorld();
    ASSERT_EQ(lander->GetState(), Lander::kSearching);
    ASSERT_EQ(lander->GetDriftX(), dx);
  }
  EXPECT_EQ(lander->GetCarried(), 0);

  AimBulletAt(lander);
  ResolveCollisions();
  EXPECT_EQ(game.score, 600);
}

TEST_F(LanderTest, ALanderWhoseHumanIsShotCanSeizeAnother) {
  Human& first = Present(0, 1000);
  Present(1, 1000);
  Lander* lander = Searching(1000, 0);
  // Only human 0 may be taken the first time.
  stage.Hide(&humans[1]);
  RunUntil(lander, Lander::kLifting);
  ASSERT_EQ(lander->GetCarried(), 0);
  first.Die();
  stage.Show(&humans[1]);
  RunUntil(lander, Lander::kSearching);
  lander->SetDrift(0, 0);
  for (int i = 0; i < 5000 && lander->GetCarried() != 1; ++i) lander->Think();
  EXPECT_EQ(lander->GetCarried(), 1);
  EXPECT_EQ(lander->GetState(), Lander::kDescendingOntoHuman);
}

TEST_F(LanderTest, ALanderBouncesOffTheFloorAt672) {
  Lander* lander = Enter(1000, 670);
  lander->SetDrift(0, 4);
  lander->Move();
  EXPECT_EQ(lander->GetY(), 672);
  EXPECT_EQ(lander->GetDriftY(), -4);
}

TEST_F(LanderTest, ALanderShootsOneInSixChancesFromItsTopCentreNeverStandingStill) {
  Lander* lander = Enter(2000, 300);
  lander->SetDrift(0, 0);
  const int w = Width(lander);
  int shots = 0;
  for (int chance = 0; chance < 600; ++chance) {
    const int before = world->nextMissile;
    for (int i = 0; i < 51; ++i) lander->Think();
    if (world->nextMissile == before) continue;
    ++shots;
    const Missile& m = missiles[before];
    EXPECT_EQ(m.GetX(), 2000 + w / 2);
    EXPECT_EQ(m.GetY(), 300);
    EXPECT_EQ(m.GetKind(), 0);
    const int dx = m.GetDriftX(), dy = m.GetDriftY();
    EXPECT_TRUE(dx % 2 == 0 && dy % 2 == 0 && dx >= -8 && dx <= 8 && dy >= -8 && dy <= 8) << dx << "," << dy;
    EXPECT_FALSE(dx == 0 && dy == 0);
  }
  EXPECT_GT(shots, 60);
  EXPECT_LT(shots, 150);
  EXPECT_EQ(platform.Plays(dat::kSndShot), shots);
}

TEST_F(LanderTest, ALanderFiresNoSoonerThanItsFiftyFirstStep) {
  Lander* lander = Enter(2000, 300);
  for (int i = 0; i < 50; ++i) lander->Think();
  EXPECT_EQ(lander->GetFireCounter(), 50);
  lander->Think();
  EXPECT_EQ(lander->GetFireCounter(), 0);
}

TEST_F(LanderTest, AMutantRightOfAndAboveTheShipHeadsLeftAndDown) {
  ship.SetPosition(1000, 400);
  EnterEnemy(kMutant, 1100, 350);
  Entity* mutant = enemies[0];
  int tries = 0;
  while (mutant->GetDriftX() == 0 && tries < 1000) {
    mutant->Think();
    ++tries;
  }
  EXPECT_EQ(mutant->GetDriftX(), -11);
  EXPECT_EQ(mutant->GetDriftY(), 7);
}

TEST_F(LanderTest, AMutantReAimsAboutOnceInTenSteps) {
  ship.SetPosition(1000, 400);
  EnterEnemy(kMutant, 500, 600);
  Entity* mutant = enemies[0];
  int aims = 0;
  for (int i = 0; i < 2000; ++i) {
    mutant->SetDrift(0, 0);
    mutant->Think();
    if (mutant->GetDriftX() != 0) {
      ++aims;
      EXPECT_EQ(mutant->GetDriftX(), 11);
      EXPECT_EQ(mutant->GetDriftY(), -7);
    }
  }
  EXPECT_GT(aims, 120);
  EXPECT_LT(aims, 290);
}

TEST_F(LanderTest, MutantsPlacedForAWaveStandInARowNearTheTop) {
  Mutant mutant;
  mutant.Init(50, 0, 1, 0, 0, 0, 1, "Baddie");
  mutant.Place(0, 3);
  EXPECT_EQ(mutant.GetX(), 2348);
  EXPECT_EQ(mutant.GetY(), 10);
  EXPECT_EQ(mutant.GetFrameBitmap(), engine.Bitmap(dat::kMutant));
}

}  // namespace
