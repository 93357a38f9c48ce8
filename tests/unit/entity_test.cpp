// The enemy base every type shares: the factory, set-up, the standard move and
// outline, and being killed.
#include <allegro.h>
#include <gtest/gtest.h>

#include <memory>

#include "engine/data_index.h"
#include "entities/enemy_factory.h"
#include "entities/enemy_roster.h"
#include "entities/entity.h"
#include "entities/lander.h"
#include "entities/mutant.h"
#include "game/waves.h"
#include "scene/scene_objects.h"
#include "support/game_fixture.h"

namespace {

class EntityTest : public GameFixture {
 protected:
  // A mutant uses the standard move and has no behaviour of its own in Move.
  std::unique_ptr<Entity> StandardMover(int x, int y, int dx, int dy) {
    std::unique_ptr<Entity> e(new Mutant);
    e->Init(50, 0, 1, 0, 0, 0, 1, "Baddie");
    e->SetPosition(x, y);
    e->SetDrift(dx, dy);
    return e;
  }
};

TEST_F(EntityTest, FactoryGivesEachTypeItsOwnClassWhileAHumanIsPresent) {
  world->humansAlive = 1;
  for (int type = 0; type < kEnemyTypes; ++type) {
    std::unique_ptr<Entity> e(CreateEnemy(type));
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->GetType(), type);
  }
  std::unique_ptr<Entity> lander(CreateEnemy(kLander));
  EXPECT_NE(dynamic_cast<Lander*>(lander.get()), nullptr);
}

TEST_F(EntityTest, FactoryMakesAMutantForALanderWhenNoHumanIsPresent) {
  world->humansAlive = 0;
  std::unique_ptr<Entity> e(CreateEnemy(kLander));
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->GetType(), kMutant);
  EXPECT_NE(dynamic_cast<Mutant*>(e.get()), nullptr);
  world->humansAlive = -1;
  std::unique_ptr<Entity> again(CreateEnemy(kLander));
  EXPECT_EQ(again->GetType(), kMutant);
}

TEST_F(EntityTest, FactoryMakesALanderForNumbersOutsideTheTableEvenWithoutHumans) {
  world->humansAlive = 0;
  for (int type : {12, -1, 1000}) {
    std::unique_ptr<Entity> e(CreateEnemy(type));
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->GetType(), kLander) << "type " << type;
  }
}

TEST_F(EntityTest, MutantEnteredForALanderScoresAsALanderButCountsAsAMutantWhenKilled) {
  world->humansAlive = 0;
  world->waveTypeCounts[kLander] = 1;
  world->waveTypeCounts[kMutant] = 0;
  EnterEnemy(kLander, 700, 300);
  ASSERT_EQ(enemyCount, 1);
  Entity* e = enemies[0];
  EXPECT_EQ(e->GetType(), kMutant);
  EXPECT_EQ(e->GetScore(), 100);
  // From its arrival the wave owes a mutant instead of the lander.
  EXPECT_EQ(world->waveTypeCounts[kLander], 0);
  EXPECT_EQ(world->waveTypeCounts[kMutant], 1);
  e->Kill();
  EXPECT_EQ(world->waveTypeCounts[kLander], 0);
  EXPECT_EQ(world->waveTypeCounts[kMutant], 0);
}

TEST_F(EntityTest, InitSetsUpAWorldSpriteWithTheStandardOutline) {
  std::unique_ptr<Entity> e(new Mutant);
  e->Init(37, 0, 1, 12, 34, 0, 1, "Baddie");
  EXPECT_EQ(e->GetFireInterval(), 37);
  EXPECT_EQ(e->GetFireCounter(), 0);
  EXPECT_EQ(e->IsDead(), 0);
  EXPECT_TRUE(e->IsWorldSpace());
  EXPECT_EQ(e->GetLayer(), 1);
  EXPECT_EQ(e->GetX(), 12);
  EXPECT_EQ(e->GetY(), 34);
  EXPECT_EQ(e->GetDriftX(), 0);
  EXPECT_EQ(e->GetDriftY(), 0);
  const PolygonShape& outline = e->GetOutline();
  ASSERT_EQ(outline.GetVertexCount(), 9);
  EXPECT_EQ(outline.VertexX(0), 49);
  EXPECT_EQ(outline.VertexY(0), 13);
  EXPECT_EQ(outline.VertexX(4), 57);
  EXPECT_EQ(outline.VertexY(4), 78);
  EXPECT_EQ(outline.VertexX(8), 30);
  EXPECT_EQ(outline.VertexY(8), 30);
}

TEST_F(EntityTest, StandardMoveWrapsXOncePerStep) {
  auto right = StandardMover(4090, 300, 10, 0);
  right->Move();
  EXPECT_EQ(right->GetX(), 4);
  auto left = StandardMover(3, 300, -5, 0);
  left->Move();
  EXPECT_EQ(left->GetX(), 4094);
  auto edge = StandardMover(4096, 300, 0, 0);
  edge->Move();
  EXPECT_EQ(edge->GetX(), 4096);
  // Far outside the world it comes back by 4096 a step, not all at once.
  auto far = StandardMover(12300, 300, 0, 0);
  far->Move();
  EXPECT_EQ(far->GetX(), 8204);
  far->Move();
  EXPECT_EQ(far->GetX(), 4108);
  far->Move();
  EXPECT_EQ(far->GetX(), 12);
}

TEST_F(EntityTest, StandardMoveBouncesOffTheTopAndTheBottom) {
  auto up = StandardMover(100, 5, 0, -7);
  up->Move();
  EXPECT_EQ(up->GetY(), 0);
  EXPECT_EQ(up->GetDriftY(), 7);
  auto down = StandardMover(100, 765, 0, 7);
  down->Move();
  EXPECT_EQ(down->GetY(), 768);
  EXPECT_EQ(down->GetDriftY(), -7);
  down->Move();
  EXPECT_EQ(down->GetY(), 761);
}

TEST_F(EntityTest, KillPlaysTheBlastOnceAndCountsTheEnemyOutButKeepsIt) {
  world->humansAlive = 1;
  world->waveTypeCounts[kLander] = 3;
  EnterEnemy(kLander, 1000, 200);
  ASSERT_EQ(enemyCount, 1);
  Entity* e = enemies[0];
  ASSERT_TRUE(e->IsOnList());
  EXPECT_EQ(world->liveEnemies, 1);

  e->Kill();
  EXPECT_EQ(platform.Plays(dat::kSndEnemyDestroyed), 1);
  EXPECT_FALSE(e->IsOnList());
  EXPECT_EQ(e->IsDead(), -1);
  EXPECT_EQ(world->waveTypeCounts[kLander], 2);
  EXPECT_EQ(world->liveEnemies, 0);
  EXPECT_EQ(enemies[0], e);
  EXPECT_EQ(enemyCount, 1);
}

TEST_F(EntityTest, ASecondKillChangesNothing) {
  world->humansAlive = 1;
  world->waveTypeCounts[kMutant] = 1;
  EnterEnemy(kMutant, 1000, 200);
  enemies[0]->Kill();
  enemies[0]->Kill();
  EXPECT_EQ(platform.Plays(dat::kSndEnemyDestroyed), 1);
  EXPECT_EQ(world->waveTypeCounts[kMutant], 0);
  EXPECT_EQ(world->liveEnemies, 0);
}

TEST_F(EntityTest, AKilledEnemyIsNoLongerMovedByTheLogicStep) {
  world->humansAlive = 1;
  EnterEnemy(kMutant, 3000, 200);
  Entity* e = enemies[0];
  e->SetDrift(5, 0);
  RunLogicSteps(1);
  EXPECT_EQ(e->GetX(), 3005);
  e->Kill();
  RunLogicSteps(3);
  EXPECT_EQ(e->GetX(), 3005);
}

}  // namespace
