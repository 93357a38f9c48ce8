// Fighters, bouncers, baiters, orbiters and the two motionless types.
#include <gtest/gtest.h>

#include <cstdlib>

#include "engine/data_index.h"
#include "engine/graphics_engine.h"
#include "entities/baiter.h"
#include "entities/bouncer.h"
#include "entities/fighter.h"
#include "entities/orbiter.h"
#include "entities/phantom.h"
#include "entities/play_objects.h"
#include "entities/sentinel.h"
#include "game/game_state.h"
#include "game/waves.h"
#include "support/game_fixture.h"

namespace {

using kav_test::SeedWhere;

class FightersAndOrbitersTest : public GameFixture {
 protected:
  // Missiles launched since the test began (the ring starts at 0 and no test
  // fires 60).
  static int MissilesFired() { return world->nextMissile; }
};

// Fighters

TEST_F(FightersAndOrbitersTest, FighterStandsStillInItsFirstStepThenFliesRightAndUp) {
  Fighter* fighter = Enter<Fighter>(kFighter, 1000, 400);
  RunLogicSteps(1);
  EXPECT_EQ(fighter->GetX(), 1000);
  EXPECT_EQ(fighter->GetY(), 400);
  RunLogicSteps(1);
  EXPECT_EQ(fighter->GetX(), 1007);
  EXPECT_EQ(fighter->GetY(), 399);
  RunLogicSteps(1);
  EXPECT_EQ(fighter->GetX(), 1014);
  EXPECT_EQ(fighter->GetY(), 398);
}

TEST_F(FightersAndOrbitersTest, FighterWeavesInTheBandAround300) {
  Fighter* fighter = Enter<Fighter>(kFighter, 3000, 269);
  ship.SetPosition(0, 700);  // far below: no shots, no turning
  fighter->Think();
  EXPECT_EQ(fighter->GetDriftY(), 1);
  fighter->SetPosition(3000, 300);
  fighter->SetDrift(7, -1);
  fighter->Think();
  EXPECT_EQ(fighter->GetDriftY(), -1);  // unchanged inside the band
  fighter->SetPosition(3000, 331);
  fighter->Think();
  EXPECT_EQ(fighter->GetDriftY(), -1);
  fighter->SetPosition(3000, 331);
  fighter->SetDrift(7, 1);
  fighter->Think();
  EXPECT_EQ(fighter->GetDriftY(), -1);
}

TEST_F(FightersAndOrbitersTest, FighterFlyingLeftTurnsBack750PixelsLeftOfTheShipButNot650) {
  ship.SetPosition(2000, 400);
  Fighter* far = Enter<Fighter>(kFighter, 2000 - 750, 300);
  Fighter* near = Enter<Fighter>(kFighter, 2000 - 650, 300);
  far->SetDrift(-7, 0);
  near->SetDrift(-7, 0);
  far->Think();
  near->Think();
  EXPECT_EQ(far->GetDriftX(), 7);
  EXPECT_EQ(near->GetDriftX(), -7);
}

TEST_F(FightersAndOrbitersTest, FighterFlyingRightTurnsBackBetween600And800PixelsPastTheShip) {
  ship.SetPosition(1000, 400);
  Fighter* inside = Enter<Fighter>(kFighter, 1700, 300);
  Fighter* atEdge = Enter<Fighter>(kFighter, 1600, 300);
  Fighter* beyond = Enter<Fighter>(kFighter, 1800, 300);
  for (Fighter* f : {inside, atEdge, beyond}) {
    f->SetDrift(7, 0);
    f->Think();
  }
  EXPECT_EQ(inside->GetDriftX(), -7);
  EXPECT_EQ(atEdge->GetDriftX(), 7);
  EXPECT_EQ(beyond->GetDriftX(), 7);
}

TEST_F(FightersAndOrbitersTest, FighterPictureAndOutlineFollowItsDirection) {
  ship.SetPosition(0, 700);
  Fighter* fighter = Enter<Fighter>(kFighter, 3000, 300);
  fighter->Think();  // at rest: sets off to the right
  EXPECT_EQ(fighter->GetFrameBitmap(), engine.Bitmap(dat::kFighterRight));
  EXPECT_EQ(fighter->GetOutline().VertexX(0), 6);
  EXPECT_EQ(fighter->GetOutline().VertexX(3), 63);

  fighter->SetDrift(-7, 0);
  fighter->Think();
  EXPECT_EQ(fighter->GetFrameBitmap(), engine.Bitmap(dat::kFighterLeft));
  // The mirror image x -> 63 - x.
  EXPECT_EQ(fighter->GetOutline().VertexX(0), 57);
  EXPECT_EQ(fighter->GetOutline().VertexX(3), 0);
  EXPECT_EQ(fighter->GetOutline().GetVertexCount(), 10);
}

TEST_F(FightersAndOrbitersTest, FighterNearTheShipFiresAFastShotFromItsRightEdge) {
  Fighter* fighter = Enter<Fighter>(kFighter, 1000, 400);
  SeedWhere([] { return RandomNumber() % 25 == 0; });
  fighter->Think();
  ASSERT_EQ(MissilesFired(), 1);
  const Missile& shot = missiles[0];
  const int w = engine.Bitmap(dat::kFighterRight)->w;
  EXPECT_EQ(shot.GetKind(), 1);
  EXPECT_EQ(shot.GetX(), 1000 + w);
  EXPECT_EQ(shot.GetY(), 400 + w / 2);
  EXPECT_EQ(shot.GetDriftX(), 14);
  EXPECT_EQ(shot.GetDriftY(), 0);
  EXPECT_TRUE(shot.IsOnList());
  EXPECT_EQ(platform.Plays(dat::kSndMissile1), 1);
}

TEST_F(FightersAndOrbitersTest, FighterHoldsFireWhenTheShipIsOutOfItsReach) {
  Fighter* farAway = Enter<Fighter>(kFighter, 512 + 800, 400);
  Fighter* tooHigh = Enter<Fighter>(kFighter, 1000, 400 - 100);
  Fighter* tooLow = Enter<Fighter>(kFighter, 1000, 400 + 150);
  for (int step = 0; step < 500; ++step) {
    for (Fighter* f : {farAway, tooHigh, tooLow}) {
      f->SetDrift(7, 0);
      f->Think();
    }
  }
  EXPECT_EQ(MissilesFired(), 0);
}

// Bouncers

TEST_F(FightersAndOrbitersTest, BouncerHoldsFireInWavesOneToThreeAndShootsFromWaveFour) {
  Bouncer* bouncer = Enter<Bouncer>(kBouncer, 1000, 400);
  for (world->wave = 0; world->wave < 3; ++world->wave)
    for (int step = 0; step < 2000; ++step) bouncer->Think();
  EXPECT_EQ(MissilesFired(), 0);
  EXPECT_EQ(platform.Plays(dat::kSndMissile2), 0);

  world->wave = 3;
  for (int step = 0; step < 2000; ++step) bouncer->Think();
  EXPECT_GT(MissilesFired(), 10);
  EXPECT_EQ(platform.Plays(dat::kSndMissile2), MissilesFired());
}

TEST_F(FightersAndOrbitersTest, BouncerShootsAgainstTheShipsDirectionOfTravel) {
  world->wave = 3;
  Bouncer* bouncer = Enter<Bouncer>(kBouncer, 1000, 400);
  const int w = bouncer->GetFrameBitmap()->w;
  auto fires = [] {
    const bool keepX = RandomNumber() % 100 != 0;
    const bool keepY = keepX && RandomNumber() % 100 != 0;
    return keepY && RandomNumber() % 50 == 0;
  };

  SeedWhere(fires);
  bouncer->Think();  // ship standing still counts as moving right
  ASSERT_EQ(MissilesFired(), 1);
  EXPECT_EQ(missiles[0].GetKind(), 2);
  EXPECT_EQ(missiles[0].GetX(), 1000);
  EXPECT_EQ(missiles[0].GetY(), 400 + w / 2);
  EXPECT_EQ(missiles[0].GetDriftX(), -7);

  ship.SetVelocity(-4, 0);
  SeedWhere(fires);
  bouncer->Think();
  ASSERT_EQ(MissilesFired(), 2);
  EXPECT_EQ(missiles[1].GetX(), 1000 + w);
  EXPECT_EQ(missiles[1].GetY(), 400 + w / 2);
  EXPECT_EQ(missiles[1].GetDriftX(), 7);
  EXPECT_EQ(missiles[1].GetDriftY(), 0);
}

TEST_F(FightersAndOrbitersTest, BouncerSetsOffDiagonallyAndBouncesOffItsLimits) {
  Bouncer* bouncer = Enter<Bouncer>(kBouncer, 1000, 72);
  SeedWhere([] { return RandomNumber() % 100 != 0 && RandomNumber() % 100 != 0; });
  bouncer->Think();
  EXPECT_EQ(bouncer->GetDriftX(), 4);
  EXPECT_EQ(bouncer->GetDriftY(), 4);

  bouncer->SetDrift(4, -4);
  bouncer->Move();
  EXPECT_EQ(bouncer->GetY(), 70);
  EXPECT_EQ(bouncer->GetDriftY(), 4);
  EXPECT_EQ(bouncer->GetX(), 1004);
}

TEST_F(FightersAndOrbitersTest, BouncerReversesEachAxisAtRandomAboutOnceIn100Steps) {
  Bouncer* bouncer = Enter<Bouncer>(kBouncer, 1000, 400);
  int xTurns = 0, yTurns = 0;
  for (int step = 0; step < 10000; ++step) {
    const int dx = bouncer->GetDriftX(), dy = bouncer->GetDriftY();
    bouncer->Think();
    if (dx && bouncer->GetDriftX() == -dx) ++xTurns;
    if (dy && bouncer->GetDriftY() == -dy) ++yTurns;
  }
  EXPECT_GT(xTurns, 60);
  EXPECT_LT(xTurns, 140);
  EXPECT_GT(yTurns, 60);
  EXPECT_LT(yTurns, 140);
}

// Baiters

TEST_F(FightersAndOrbitersTest, BaitersAppearInARowAheadOfAShipMovingLeft) {
  ship.SetPosition(2000, 400);
  ship.SetVelocity(-6, 0);
  for (int k = 0; k < 5; ++k) MaterialiseEnemy(kBaiter, 4, k);
  const int expected[5] = {1700, 1745, 1790, 1835, 1880};
  for (int k = 0; k < 5; ++k) {
    EXPECT_EQ(implosions[k].GetSpawnType(), kBaiter);
    EXPECT_EQ(implosions[k].GetSpawnX(), expected[k]) << k;
    const int y = implosions[k].GetSpawnY();
    EXPECT_TRUE(y == 300 || y == 350 || y == 400 || y == 450) << y;
  }
  EXPECT_EQ(world->pendingSpawns, 5);
}

TEST_F(FightersAndOrbitersTest, BaitersAppearAheadOnTheRightOfAShipStandingStill) {
  ship.SetPosition(4000, 400);
  Baiter baiter;
  baiter.Init(50, 0, 1, 0, 0, 0, 1, "Baddie");
  baiter.Place(19, 2);
  // Not wrapped at placement: its move brings it back into the world.
  EXPECT_EQ(baiter.GetX(), 4000 + 300 + 90);
}

TEST_F(FightersAndOrbitersTest, BaiterWobblesEightPixelsAcrossAndTwoUpAndDown) {
  Baiter* baiter = Enter<Baiter>(kBaiter, 2000, 400);
  baiter->Move();  // phase 0: cosine 1, sine 0
  EXPECT_EQ(baiter->GetX(), 2008);
  EXPECT_EQ(baiter->GetY(), 400);
  for (int i = 1; i < 64; ++i) baiter->Move();
  ASSERT_EQ(baiter->GetPhase(), 64);
  const int x = baiter->GetX(), y = baiter->GetY();
  baiter->Move();  // phase 64: cosine 0, sine 1
  EXPECT_EQ(baiter->GetX(), x);
  EXPECT_EQ(baiter->GetY(), y + 2);
}

TEST_F(FightersAndOrbitersTest, BaiterHomesOnTheShipLikeASwarmer) {
  ship.SetPosition(2000, 400);
  Baiter* baiter = Enter<Baiter>(kBaiter, 2600, 500);
  baiter->Think();
  EXPECT_EQ(baiter->GetDriftX(), -3);
  EXPECT_EQ(baiter->GetDriftY(), -3);
}

// Orbiters

TEST_F(FightersAndOrbitersTest, OrbiterFiresAVolley999PixelsFromTheShipButNot1000) {
  Orbiter* nearOne = Enter<Orbiter>(kOrbiter, 512 + 999, 400);
  Orbiter* farOne = Enter<Orbiter>(kOrbiter, 512 + 1000, 400);
  for (int step = 0; step < 50; ++step) {
    nearOne->Think();
    farOne->Think();
  }
  EXPECT_EQ(MissilesFired(), 0);
  EXPECT_EQ(nearOne->GetFireCounter(), 50);

  nearOne->Think();  // the 51st step
  farOne->Think();
  EXPECT_EQ(nearOne->GetFireCounter(), 0);
  EXPECT_EQ(farOne->GetFireCounter(), 0);
  ASSERT_EQ(MissilesFired(), 4);

  const int w = nearOne->GetFrameBitmap()->w, h = nearOne->GetFrameBitmap()->h;
  const int x = 512 + 999, y = 400;
  const int expected[4][4] = {{x, y, -5, -5}, {x + w, y, 5, -5}, {x, y + h, -5, 5}, {x + w, y + h, 5, 5}};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(missiles[i].GetKind(), 0);
    EXPECT_EQ(missiles[i].GetX(), expected[i][0]) << i;
    EXPECT_EQ(missiles[i].GetY(), expected[i][1]) << i;
    EXPECT_EQ(missiles[i].GetDriftX(), expected[i][2]) << i;
    EXPECT_EQ(missiles[i].GetDriftY(), expected[i][3]) << i;
  }
}

TEST_F(FightersAndOrbitersTest, OrbiterLeftOfTheShipFiresToo) {
  ship.SetPosition(2000, 400);
  Orbiter* orbiter = Enter<Orbiter>(kOrbiter, 2000 - 999, 400);
  for (int step = 0; step < 51; ++step) orbiter->Think();
  EXPECT_EQ(MissilesFired(), 4);
}

TEST_F(FightersAndOrbitersTest, OrbiterCirclesAndIsHeldBetween100And700) {
  Orbiter* orbiter = Enter<Orbiter>(kOrbiter, 2000, 120);
  orbiter->Move();  // phase 0: straight right at 8 px
  EXPECT_EQ(orbiter->GetX(), 2008);
  EXPECT_EQ(orbiter->GetY(), 120);
  int top = 1000, bottom = -1000;
  for (int i = 1; i < 256; ++i) {
    orbiter->Move();
    top = std::min(top, orbiter->GetY());
    bottom = std::max(bottom, orbiter->GetY());
  }
  EXPECT_EQ(orbiter->GetPhase(), 0);
  // Started near the top of its band: the circle is cut flat at 100.
  EXPECT_EQ(top, 100);
  EXPECT_LE(bottom, 700);
  EXPECT_GT(bottom, 500);  // a circle of about 326 px radius
}

TEST_F(FightersAndOrbitersTest, OrbitersStartInARow300PixelsApartWrappedIntoTheWorld) {
  for (int i = 0; i < 8; ++i) {
    Orbiter orbiter;
    orbiter.Init(50, 0, 1, 0, 0, 0, 1, "Baddie");
    orbiter.Place(6, i);
    const int expected = i < 7 ? 2048 + 300 * i : 2048 + 300 * i - 4096;
    EXPECT_EQ(orbiter.GetX(), expected);
    EXPECT_EQ(orbiter.GetY(), 400);
  }
}

// The motionless types

TEST_F(FightersAndOrbitersTest, SentinelNeverMovesAndPhantomSettlesOnTheTopEdge) {
  Sentinel sentinelAtStart;
  sentinelAtStart.Init(50, 0, 1, 0, 0, 0, 1, "Baddie");
  sentinelAtStart.Place(0, 0);
  EXPECT_EQ(sentinelAtStart.GetX(), 2048);
  EXPECT_EQ(sentinelAtStart.GetY(), 50);
  Phantom phantomAtStart;
  phantomAtStart.Init(50, 0, 1, 0, 0, 0, 1, "Baddie");
  phantomAtStart.Place(0, 0);
  EXPECT_EQ(phantomAtStart.GetX(), 2048);
  EXPECT_EQ(phantomAtStart.GetY(), -100);

  Entity* sentinel = Enter<Sentinel>(kSentinel, 2048, 50);
  Entity* phantom = Enter<Phantom>(kPhantom, 2048, -100);
  RunLogicSteps(200);
  EXPECT_EQ(sentinel->GetX(), 2048);
  EXPECT_EQ(sentinel->GetY(), 50);
  // The standard move holds everything at y >= 0, so a phantom placed above
  // the world comes to rest on its top edge after its first move.
  EXPECT_EQ(phantom->GetX(), 2048);
  EXPECT_EQ(phantom->GetY(), 0);
  EXPECT_EQ(phantom->GetDriftY(), 0);
  EXPECT_EQ(MissilesFired(), 0);
}

}  // namespace
