// Enemy shots: the ring of sixty, the five kinds, flight, range and wrap.
#include <allegro.h>
#include <gtest/gtest.h>

#include <string>

#include "engine/clock.h"
#include "engine/data_index.h"
#include "engine/graphics_engine.h"
#include "entities/missile.h"
#include "entities/play_objects.h"
#include "support/game_fixture.h"

namespace {

class MissileTest : public GameFixture {
 protected:
  void StepAll() {
    for (Missile& m : missiles) {
      m.Step();
      m.CheckRange();
    }
  }
  // Steps a missile fired with (dx, dy) flies before it is retired.
  int RangeInSteps(int dx, int dy) {
    FireMissile(0, 2000, 300, dx, dy);
    Missile& m = missiles[(world->nextMissile + kMissileCount - 1) % kMissileCount];
    int steps = 0;
    while (m.IsOnList() && steps < 10000) {
      m.Step();
      m.CheckRange();
      ++steps;
    }
    return steps;
  }
};

TEST_F(MissileTest, TheSixtyFirstShotReusesMissileZeroWhileItFlies) {
  for (int shot = 0; shot < kMissileCount; ++shot) FireMissile(0, 100 + shot, 200, 0, 1);
  EXPECT_EQ(world->nextMissile, 0);
  for (const Missile& m : missiles) ASSERT_TRUE(m.IsOnList());
  StepAll();
  EXPECT_EQ(missiles[0].GetY(), 201);

  FireMissile(1, 3000, 500, -14, 0);
  EXPECT_EQ(world->nextMissile, 1);
  EXPECT_TRUE(missiles[0].IsOnList());
  EXPECT_EQ(missiles[0].GetX(), 3000);
  EXPECT_EQ(missiles[0].GetY(), 500);
  EXPECT_EQ(missiles[0].GetKind(), 1);
  EXPECT_EQ(missiles[0].GetTravelled(), 0);
  EXPECT_EQ(missiles[0].GetDriftX(), -14);
  EXPECT_EQ(ElementsOnList(), kMissileCount);
}

TEST_F(MissileTest, AMissileFiredStandingStillIsNeverRetiredByRange) {
  FireMissile(0, 1234, 321, 0, 0);
  for (int i = 0; i < 2000; ++i) StepAll();
  EXPECT_TRUE(missiles[0].IsOnList());
  EXPECT_EQ(missiles[0].GetX(), 1234);
  EXPECT_EQ(missiles[0].GetY(), 321);
  EXPECT_EQ(missiles[0].GetTravelled(), 0);
}

TEST_F(MissileTest, RangesInStepsFollowTheSpeed) {
  EXPECT_EQ(RangeInSteps(8, 8), 38);    // a lander's
  EXPECT_EQ(RangeInSteps(-8, -8), 38);
  EXPECT_EQ(RangeInSteps(5, -5), 61);   // an orbiter's
  EXPECT_EQ(RangeInSteps(-14, 0), 43);  // a fighter's
  EXPECT_EQ(RangeInSteps(7, 0), 86);    // a bouncer's
}

TEST_F(MissileTest, AMissileWrapsAcrossTheSeamOfTheWorld) {
  FireMissile(0, 4090, 300, 10, 0);
  missiles[0].Step();
  EXPECT_EQ(missiles[0].GetX(), 4);
  FireMissile(0, 3, 300, -5, 0);
  missiles[1].Step();
  EXPECT_EQ(missiles[1].GetX(), 4094);
}

TEST_F(MissileTest, EachKindPlaysItsLaunchSound) {
  FireMissile(0, 0, 0, 1, 1);
  FireMissile(1, 0, 0, 1, 1);
  FireMissile(2, 0, 0, 1, 1);
  FireMissile(3, 0, 0, 1, 1);
  FireMissile(4, 0, 0, 1, 1);
  EXPECT_EQ(platform.Plays(dat::kSndShot), 1);
  EXPECT_EQ(platform.Plays(dat::kSndMissile1), 1);
  EXPECT_EQ(platform.Plays(dat::kSndMissile2), 1);
  EXPECT_EQ(platform.Plays(dat::kSndMissile34), 2);
}

TEST_F(MissileTest, ALaunchFarOffScreenStillPlaysItsSound) {
  FireMissile(1, 3900, -500, 0, 0);
  EXPECT_EQ(platform.Plays(dat::kSndMissile1), 1);
}

TEST_F(MissileTest, EachKindHasItsOutline) {
  struct Corner {
    int x, y;
  };
  const Corner first[5] = {{4, 4}, {1, 1}, {1, 1}, {25, 12}, {0, 12}};
  const Corner third[5] = {{12, 12}, {30, 30}, {30, 30}, {31, 51}, {6, 51}};
  for (int kind = 0; kind < 5; ++kind) {
    FireMissile(kind, 0, 0, 0, 0);
    const PolygonShape& o = missiles[kind].GetOutline();
    ASSERT_EQ(o.GetVertexCount(), 4);
    EXPECT_EQ(o.VertexX(0), first[kind].x) << "kind " << kind;
    EXPECT_EQ(o.VertexY(0), first[kind].y) << "kind " << kind;
    EXPECT_EQ(o.VertexX(2), third[kind].x) << "kind " << kind;
    EXPECT_EQ(o.VertexY(2), third[kind].y) << "kind " << kind;
  }
}

TEST_F(MissileTest, AnUnknownKindFliesAsALandersShot) {
  FireMissile(9, 10, 10, 2, 2);
  EXPECT_EQ(missiles[0].GetKind(), 0);
  EXPECT_EQ(missiles[0].GetFrameBitmap(), engine.Bitmap(dat::kMissile0));
  EXPECT_EQ(missiles[0].GetOutline().VertexX(0), 4);
  EXPECT_EQ(platform.Plays(dat::kSndShot), 1);
}

TEST_F(MissileTest, ABouncerShotAnimatesThroughEightFramesOneATick) {
  FireMissile(2, 100, 100, 0, 0);
  Missile& m = missiles[0];
  BITMAP* target = create_bitmap(1024, 768);
  EXPECT_EQ(m.GetFrameBitmap(), engine.Bitmap(dat::kMissile2Frame0));
  for (int k = 1; k <= 9; ++k) {
    TickCounter.store(TickCounter.load() + 1);
    m.Advance();
    m.Draw(target);
    EXPECT_EQ(m.GetFrameBitmap(), engine.Bitmap(dat::kMissile2Frame0 + k % 8)) << "tick " << k;
  }
  destroy_bitmap(target);
}

TEST_F(MissileTest, TheBossShotsPingPongThroughFourPictures) {
  FireMissile(3, 100, 100, 0, 0);
  FireMissile(4, 200, 100, 0, 0);
  BITMAP* target = create_bitmap(1024, 768);
  const int order[7] = {1, 2, 3, 2, 1, 0, 1};
  for (int k = 0; k < 7; ++k) {
    TickCounter.store(TickCounter.load() + 1);
    for (int i = 0; i < 2; ++i) {
      missiles[i].Advance();
      missiles[i].Draw(target);
    }
    EXPECT_EQ(missiles[0].GetFrameBitmap(), engine.Bitmap(dat::kMissile3Frame0 + order[k])) << k;
    EXPECT_EQ(missiles[1].GetFrameBitmap(), engine.Bitmap(dat::kMissile4Frame0 + order[k])) << k;
  }
  destroy_bitmap(target);
}

TEST_F(MissileTest, IdleMissilesKeepDriftingWithoutRenderListComplaints) {
  FireMissile(0, 100, 100, 8, 8);
  testing::internal::CaptureStdout();
  for (int i = 0; i < 500; ++i) StepAll();
  const std::string out = testing::internal::GetCapturedStdout();
  EXPECT_EQ(out.find("ERROR"), std::string::npos) << out;
  EXPECT_FALSE(missiles[0].IsOnList());
}

}  // namespace
