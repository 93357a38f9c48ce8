// The player's beams: launch from the ship's nose, flight and wrap, range,
// recycling of the ring of twenty, and the tip outline for each direction.
#include <allegro.h>
#include <gtest/gtest.h>

#include <string>

#include "engine/data_index.h"
#include "engine/graphics_engine.h"
#include "entities/bullet.h"
#include "entities/play_objects.h"
#include "game/controls.h"
#include "game/game_state.h"
#include "scene/view.h"
#include "support/game_fixture.h"

namespace {

class BulletTest : public GameFixture {
 protected:
  // One press of the fire key: a step with it up, then one with it held.
  void Fire() {
    platform.Hold(KEY_Z, false);
    HandleGameKeys();
    platform.Hold(KEY_Z, true);
    HandleGameKeys();
  }
  void StepAll() {
    for (Bullet& b : bullets) {
      b.Step();
      b.CheckRange();
    }
  }
};

TEST_F(BulletTest, ARightBeamFromAShipAt100StartsAtMinus250AndWrapsTo3876) {
  ship.SetPosition(100, 400);
  Fire();
  Bullet& b = bullets[0];
  ASSERT_TRUE(b.IsOnList());
  EXPECT_EQ(b.GetX(), -250);
  EXPECT_EQ(b.GetY(), 448);
  EXPECT_EQ(b.GetVX(), 30);
  EXPECT_EQ(b.GetBitmap(), engine.Bitmap(dat::kBeamRight));
  EXPECT_EQ(platform.Plays(dat::kSndShot), 1);
  b.Step();
  EXPECT_EQ(b.GetX(), 3876);
  EXPECT_EQ(b.GetTravelled(), 30);
}

TEST_F(BulletTest, ALeftBeamStartsAtTheShipsLeftEdge) {
  world->shipImageFacing = -1;
  ship.SetPosition(700, 300);
  Fire();
  Bullet& b = bullets[0];
  EXPECT_EQ(b.GetX(), 700);
  EXPECT_EQ(b.GetY(), 348);
  EXPECT_EQ(b.GetVX(), -30);
  EXPECT_EQ(b.GetBitmap(), engine.Bitmap(dat::kBeamLeft));
  b.Step();
  EXPECT_EQ(b.GetX(), 670);
}

TEST_F(BulletTest, HoldingFireLaunchesOneBeamOnly) {
  Fire();
  for (int i = 0; i < 50; ++i) HandleGameKeys();
  EXPECT_EQ(platform.Plays(dat::kSndShot), 1);
  EXPECT_EQ(game.nextBullet, 1);
  EXPECT_FALSE(bullets[1].IsOnList());
}

TEST_F(BulletTest, ABeamIsRetiredOnItsFiftyFirstStep) {
  Fire();
  Bullet& b = bullets[0];
  for (int i = 0; i < 50; ++i) StepAll();
  EXPECT_TRUE(b.IsOnList());
  EXPECT_EQ(b.GetTravelled(), 1500);
  StepAll();
  EXPECT_FALSE(b.IsOnList());
  EXPECT_EQ(b.GetTravelled(), 0);
}

TEST_F(BulletTest, TheTwentyFirstShotTakesBackBulletZeroFromWhereverItFlies) {
  for (int shot = 0; shot < 20; ++shot) {
    ship.SetPosition(1000 + shot, 400);
    Fire();
  }
  for (int i = 0; i < kBulletCount; ++i) ASSERT_TRUE(bullets[i].IsOnList()) << i;
  EXPECT_EQ(game.nextBullet, 0);
  StepAll();
  StepAll();
  EXPECT_EQ(bullets[0].GetTravelled(), 60);

  ship.SetPosition(2000, 500);
  Fire();
  EXPECT_EQ(bullets[0].GetX(), 1650);
  EXPECT_EQ(bullets[0].GetY(), 548);
  EXPECT_EQ(bullets[0].GetTravelled(), 0);
  EXPECT_TRUE(bullets[0].IsOnList());
  EXPECT_EQ(game.nextBullet, 1);
  EXPECT_EQ(ElementsOnList(), kBulletCount);
  EXPECT_EQ(platform.Plays(dat::kSndShot), 21);
}

TEST_F(BulletTest, ALeftBeamsOutlineIsTheRightOneMirroredAtTheOtherEnd) {
  Fire();
  PolygonShape right;
  const PolygonShape& r = bullets[0].GetOutline();
  ASSERT_EQ(r.GetVertexCount(), 7);
  for (int i = 0; i < 7; ++i) right.AddVertex(r.VertexX(i), r.VertexY(i));
  EXPECT_EQ(right.VertexX(0), 444);
  EXPECT_EQ(right.VertexY(0), 6);

  // The ring comes round to bullet 0 again with the ship now facing left.
  for (int shot = 1; shot < kBulletCount; ++shot) Fire();
  world->shipImageFacing = -1;
  Fire();
  const PolygonShape& l = bullets[0].GetOutline();
  ASSERT_EQ(l.GetVertexCount(), 7);
  for (int i = 0; i < 7; ++i) {
    EXPECT_EQ(l.VertexX(i), 447 - right.VertexX(i)) << "corner " << i;
    EXPECT_EQ(l.VertexY(i), right.VertexY(i)) << "corner " << i;
  }
}

TEST_F(BulletTest, ABeamAtRestCarriesTheRightFlyingTip) {
  Bullet& b = bullets[3];
  b.SetVelocity(0, 0);
  b.BuildOutline();
  EXPECT_EQ(b.GetOutline().VertexX(0), 444);
  b.SetVelocity(-1, 0);
  b.BuildOutline();
  EXPECT_EQ(b.GetOutline().VertexX(0), 3);
}

TEST_F(BulletTest, OnlyTheBeamsTipHits) {
  Fire();
  Bullet& b = bullets[0];
  PolygonShape& tip = b.GetOutline();
  EXPECT_EQ(tip.HitTest(435, 6), 1);
  EXPECT_EQ(tip.HitTest(200, 6), 0);
  EXPECT_EQ(tip.HitTest(10, 6), 0);
}

TEST_F(BulletTest, IdleBeamsKeepFlyingUnseenWithoutRenderListComplaints) {
  Fire();
  testing::internal::CaptureStdout();
  for (int i = 0; i < 300; ++i) StepAll();
  const std::string out = testing::internal::GetCapturedStdout();
  EXPECT_EQ(out.find("ERROR"), std::string::npos) << out;
  EXPECT_FALSE(bullets[0].IsOnList());
  EXPECT_EQ(ElementsOnList(), 0);
}

TEST_F(BulletTest, TheBeamIsDrawnUnrotatedAtItsWorldPositionMinusTheView) {
  BITMAP* plain = create_bitmap(1024, 768);
  BITMAP* turned = create_bitmap(1024, 768);
  clear_to_color(plain, bitmap_mask_color(plain));
  clear_to_color(turned, bitmap_mask_color(turned));
  Bullet& b = bullets[0];
  b.SetBitmap(engine.Bitmap(dat::kBeamRight));
  b.SetPosition(ViewX + 100, 200);
  b.Draw(plain);
  b.SetAngle(32 << 16);
  b.Draw(turned);
  int painted = 0, outside = 0, differing = 0;
  const int w = b.GetWidth(), h = b.GetHeight();
  for (int y = 0; y < 768; ++y)
    for (int x = 0; x < 1024; ++x) {
      const bool drawn = getpixel(plain, x, y) != bitmap_mask_color(plain);
      const bool inBox = x >= 100 && x < 100 + w && y >= 200 && y < 200 + h;
      painted += drawn && inBox;
      outside += drawn && !inBox;
      differing += getpixel(plain, x, y) != getpixel(turned, x, y);
    }
  EXPECT_GT(painted, 100);
  EXPECT_EQ(outside, 0);
  EXPECT_EQ(differing, 0);
  destroy_bitmap(plain);
  destroy_bitmap(turned);
}

}  // namespace
