// The people on the ground: their looks and walks, falling and being lifted,
// and what the death of the last one does to the landers.
#include <allegro.h>
#include <gtest/gtest.h>

#include <set>

#include "engine/data_index.h"
#include "engine/graphics_engine.h"
#include "entities/enemy_roster.h"
#include "entities/entity.h"
#include "entities/human.h"
#include "entities/lander.h"
#include "entities/play_objects.h"
#include "game/game_state.h"
#include "game/waves.h"
#include "scene/stage.h"
#include "support/game_fixture.h"

namespace {

class HumanTest : public GameFixture {
 protected:
  // Human i present, standing on the ground at x, on the render list.
  Human& Present(int i, int x) {
    Human& h = humans[i];
    h.SetState(Human::kPresent);
    h.SetPosition(x, 0);
    h.StandOnGround();
    stage.Show(&h);
    world->humansAlive += 1;
    return h;
  }
};

TEST_F(HumanTest, EachKindHasItsOwnFramesAndTheFourCornerOutline) {
  const int firstFrame[kHumanCount] = {51, 53, 57, 58, 59, 63, 67, 75, 83, 52};
  for (int i = 0; i < kHumanCount; ++i) {
    Human& h = humans[i];
    EXPECT_EQ(h.GetKind(), i);
    EXPECT_EQ(h.GetFrameBitmap(), engine.Bitmap(firstFrame[i])) << "kind " << i;
    const PolygonShape& o = h.GetOutline();
    ASSERT_EQ(o.GetVertexCount(), 4);
    EXPECT_EQ(o.VertexX(0), 3);
    EXPECT_EQ(o.VertexY(0), 1);
    EXPECT_EQ(o.VertexX(2), 24);
    EXPECT_EQ(o.VertexY(2), 49);
  }
  EXPECT_TRUE(humans[0].IsWorldSpace());
}

TEST_F(HumanTest, InitMakesTheHumanPresent) {
  Human h;
  h.SetState(Human::kDead);
  h.Init(3, 0, 1, 10, 20, 0, 1, "Human");
  EXPECT_EQ(h.GetState(), Human::kPresent);
  EXPECT_EQ(h.GetX(), 10);
  EXPECT_EQ(h.GetY(), 20);
}

TEST_F(HumanTest, AnUnknownKindLooksAndWalksLikeKindZero) {
  Human h;
  h.Init(42, 0, 1, 0, 0, 0, 1, "Human");
  EXPECT_EQ(h.GetKind(), 0);
  EXPECT_EQ(h.GetFrameBitmap(), engine.Bitmap(dat::kHumanKind0));
}

TEST_F(HumanTest, WalksFollowTheKind) {
  const int walk[kHumanCount] = {0, 99, 2, 0, 0, 0, -1, 1, 0, 0};
  for (int i = 0; i < kHumanCount; ++i) {
    if (i == 1) continue;
    humans[i].SetWalk();
    EXPECT_EQ(humans[i].GetDriftX(), walk[i]) << "kind " << i;
    EXPECT_EQ(humans[i].GetDriftY(), 0);
  }
  std::set<int> seen;
  for (int n = 0; n < 60; ++n) {
    humans[1].SetWalk();
    seen.insert(humans[1].GetDriftX());
  }
  EXPECT_EQ(seen, (std::set<int>{-2, 0, 2}));
}

TEST_F(HumanTest, StandingOnTheGroundPutsTheFeetAt750) {
  for (Human& h : humans) {
    h.SetPosition(100, 3);
    h.StandOnGround();
    EXPECT_EQ(h.GetY() + h.GetFrameBitmap()->h, kGroundY);
    EXPECT_EQ(h.GetX(), 100);
  }
}

TEST_F(HumanTest, AWalkerOfKindSevenAt4096WrapsTo1) {
  Human& h = humans[7];
  h.SetPosition(4096, 700);
  h.SetWalk();
  h.Step();
  EXPECT_EQ(h.GetX(), 1);
}

TEST_F(HumanTest, AWalkerOfKindSixAtZeroWrapsToTheEnd) {
  Human& h = humans[6];
  h.SetPosition(0, 700);
  h.SetWalk();
  h.Step();
  EXPECT_EQ(h.GetX(), 4095);
}

TEST_F(HumanTest, AFallingHumanStopsAt718AndStaysThere) {
  Human& h = humans[0];
  h.SetPosition(500, 716);
  h.SetDrift(0, 5);
  h.Step();
  EXPECT_EQ(h.GetY(), 718);
  for (int i = 0; i < 10; ++i) h.Step();
  EXPECT_EQ(h.GetY(), 718);
  EXPECT_EQ(h.GetDriftY(), 5);
}

TEST_F(HumanTest, ALiftedHumanGoesNoHigherThanMinus40) {
  Human& h = humans[0];
  h.SetPosition(500, -35);
  h.SetDrift(0, -3);
  h.Step();
  EXPECT_EQ(h.GetY(), -38);
  h.Step();
  EXPECT_EQ(h.GetY(), -40);
  h.Step();
  EXPECT_EQ(h.GetY(), -40);
}

TEST_F(HumanTest, KillingAHumanWhileOthersArePresentOnlyLowersTheCount) {
  Present(0, 500);
  Present(1, 900);
  world->waveTypeCounts[kLander] = 1;
  EnterEnemy(kLander, 1000, 300);
  humans[0].Die();
  EXPECT_EQ(humans[0].GetState(), Human::kDead);
  EXPECT_FALSE(humans[0].IsOnList());
  EXPECT_EQ(world->humansAlive, 1);
  EXPECT_EQ(enemyCount, 1);
  EXPECT_EQ(enemies[0]->IsDead(), 0);
  EXPECT_EQ(world->waveTypeCounts[kLander], 1);
  EXPECT_EQ(platform.Plays(dat::kSndEnemyDestroyed), 0);
}

TEST_F(HumanTest, KillingTheLastHumanTurnsEveryLivingLanderIntoAMutant) {
  Present(0, 500);
  world->waveTypeCounts[kLander] = 2;
  world->waveTypeCounts[kMutant] = 1;
  EnterEnemy(kLander, 1000, 300);
  EnterEnemy(kMutant, 1500, 200);
  EnterEnemy(kLander, 2000, 400);
  ASSERT_EQ(world->liveEnemies, 3);

  humans[0].Die();
  EXPECT_EQ(world->humansAlive, 0);
  ASSERT_EQ(enemyCount, 5);
  EXPECT_EQ(enemies[0]->IsDead(), -1);
  EXPECT_EQ(enemies[1]->IsDead(), 0);
  EXPECT_EQ(enemies[2]->IsDead(), -1);
  // The new mutants stand where their landers were, in the landers' order.
  EXPECT_EQ(enemies[3]->GetType(), kMutant);
  EXPECT_EQ(enemies[3]->GetX(), 1000);
  EXPECT_EQ(enemies[3]->GetY(), 300);
  EXPECT_EQ(enemies[4]->GetType(), kMutant);
  EXPECT_EQ(enemies[4]->GetX(), 2000);
  EXPECT_EQ(enemies[4]->GetY(), 400);
  EXPECT_EQ(enemies[3]->GetScore(), 300);
  EXPECT_EQ(world->liveEnemies, 3);
  EXPECT_EQ(world->waveTypeCounts[kLander], 0);
  EXPECT_EQ(world->waveTypeCounts[kMutant], 3);
  EXPECT_EQ(platform.Plays(dat::kSndEnemyDestroyed), 2);
}

TEST_F(HumanTest, DeadLandersDoNotMutate) {
  Present(0, 500);
  world->waveTypeCounts[kLander] = 2;
  EnterEnemy(kLander, 1000, 300);
  EnterEnemy(kLander, 2000, 300);
  enemies[0]->Kill();
  humans[0].Die();
  ASSERT_EQ(enemyCount, 3);
  EXPECT_EQ(enemies[2]->GetX(), 2000);
  EXPECT_EQ(world->waveTypeCounts[kMutant], 1);
  EXPECT_EQ(world->liveEnemies, 1);
}

TEST_F(HumanTest, TheLastHumanShotFromALandersGripPaysNoRescueBonus) {
  Human& h = Present(0, 1000);
  world->waveTypeCounts[kLander] = 1;
  EnterEnemy(kLander, 0, 0);
  auto* lander = static_cast<Lander*>(enemies[0]);
  // Bring the lander down onto the human until it holds it.
  lander->SetPosition(1000 - lander->GetFrameBitmap()->w / 2, 560);
  for (int i = 0; i < 5000 && lander->GetCarried() < 0; ++i) {
    lander->Think();
    if (lander->GetState() == Lander::kSearching) lander->SetDrift(0, 0);
  }
  ASSERT_EQ(lander->GetCarried(), 0);

  h.Die();
  EXPECT_EQ(lander->IsDead(), -1);
  EXPECT_EQ(game.score, 0);
  EXPECT_EQ(enemyCount, 2);
  EXPECT_EQ(enemies[1]->GetType(), kMutant);
}

}  // namespace
