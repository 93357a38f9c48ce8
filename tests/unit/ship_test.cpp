// The player's ship: thrust, friction, the world wrap, the vertical limits and
// being destroyed, driven the way the logic step drives it.
#include <allegro.h>
#include <gtest/gtest.h>

#include <vector>

#include "engine/data_index.h"
#include "engine/graphics_engine.h"
#include "entities/play_objects.h"
#include "entities/ship.h"
#include "game/controls.h"
#include "scene/stage.h"
#include "scene/view.h"
#include "support/game_fixture.h"

namespace {

class ShipTest : public GameFixture {
 protected:
  // One step as the loop runs the ship: keys, move, and friction near the end.
  // Returns how far the ship moved horizontally (wrap-aware).
  int Step() {
    const int before = ship.GetX();
    HandleGameKeys();
    ship.Move();
    ship.ApplyFriction();
    int moved = ship.GetX() - before;
    if (moved > 2048) moved -= 4096;
    if (moved < -2048) moved += 4096;
    return moved;
  }
};

TEST_F(ShipTest, HoldingRightAcceleratesOnePixelAStepUpToSixteen) {
  ship.SetPosition(512, 400);
  platform.Hold(KEY_RIGHT);
  std::vector<int> moves;
  for (int i = 0; i < 20; ++i) moves.push_back(Step());
  const std::vector<int> expected = {2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 16, 16, 16, 16, 16};
  EXPECT_EQ(moves, expected);
  // Between steps the stored speed is one less than the step's move.
  EXPECT_EQ(ship.GetVX(), 15);
}

TEST_F(ShipTest, AfterReleaseTheSpeedFallsByOneAStep) {
  ship.SetVelocity(5, 0);
  std::vector<int> moves;
  for (int i = 0; i < 7; ++i) moves.push_back(Step());
  EXPECT_EQ(moves, (std::vector<int>{5, 4, 3, 2, 1, 0, 0}));
}

TEST_F(ShipTest, PushingAgainstTheMotionStopsItForOneStepThenReverses) {
  ship.SetPosition(1000, 400);
  ship.SetVelocity(6, 0);
  platform.Hold(KEY_LEFT);
  EXPECT_EQ(Step(), 0);
  EXPECT_EQ(Step(), -2);
  EXPECT_EQ(Step(), -3);
}

TEST_F(ShipTest, VerticalReversalAlsoStopsForOneStep) {
  ship.SetPosition(1000, 400);
  ship.SetVelocity(0, -4);
  platform.Hold(KEY_DOWN);
  HandleGameKeys();
  EXPECT_EQ(ship.GetVY(), 0);
  ship.Move();
  EXPECT_EQ(ship.GetY(), 400);
  ship.ApplyFriction();
  HandleGameKeys();
  EXPECT_EQ(ship.GetVY(), 2);
}

TEST_F(ShipTest, BothHorizontalKeysFromRestKeepTheShipStill) {
  platform.Hold(KEY_LEFT);
  platform.Hold(KEY_RIGHT);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(Step(), 0) << "step " << i;
}

TEST_F(ShipTest, BothHorizontalKeysWhileMovingRightCreepRightTwoPixelsAStep) {
  ship.SetVelocity(9, 0);
  platform.Hold(KEY_LEFT);
  platform.Hold(KEY_RIGHT);
  Step();  // the left key stops it first
  for (int i = 0; i < 10; ++i) EXPECT_EQ(Step(), 2) << "step " << i;
}

TEST_F(ShipTest, ThrustNeverStoresMoreThanSixteen) {
  ship.SetVelocity(15, -15);
  ship.Thrust(2, 0);
  EXPECT_EQ(ship.GetVX(), 16);
  ship.Thrust(2, 0);
  EXPECT_EQ(ship.GetVX(), 16);
  ship.Thrust(0, -2);
  EXPECT_EQ(ship.GetVY(), -16);
}

TEST_F(ShipTest, TheShipStaysBetween56And718WithoutLosingItsVerticalSpeed) {
  ship.SetPosition(512, 60);
  ship.SetVelocity(0, -16);
  ship.Move();
  EXPECT_EQ(ship.GetY(), 56);
  EXPECT_EQ(ship.GetVY(), -16);
  ship.SetPosition(512, 710);
  ship.SetVelocity(0, 16);
  ship.Move();
  EXPECT_EQ(ship.GetY(), 718);
  EXPECT_EQ(ship.GetVY(), 16);

  // Whatever the keys do, y never leaves the band.
  ship.SetPosition(512, 400);
  ship.SetVelocity(0, 0);
  platform.Hold(KEY_UP);
  for (int i = 0; i < 60; ++i) {
    Step();
    ASSERT_GE(ship.GetY(), 56);
  }
  platform.ReleaseAllKeys();
  for (int i = 0; i < 20; ++i) Step();  // the climb dies away
  platform.Hold(KEY_DOWN);
  for (int i = 0; i < 80; ++i) {
    Step();
    ASSERT_LE(ship.GetY(), 718);
  }
  EXPECT_EQ(ship.GetY(), 718);
}

TEST_F(ShipTest, XWrapsIntoTheWorldAndFourThousandNinetySixStays) {
  ship.SetPosition(0, 400);
  ship.SetVelocity(-5, 0);
  ship.Move();
  EXPECT_EQ(ship.GetX(), 4091);
  ship.SetPosition(4096, 400);
  ship.SetVelocity(0, 0);
  ship.Move();
  EXPECT_EQ(ship.GetX(), 4096);
  ship.SetPosition(4090, 400);
  ship.SetVelocity(10, 0);
  ship.Move();
  EXPECT_EQ(ship.GetX(), 4);
}

TEST_F(ShipTest, TurningLeftShowsTheLeftPictureAndHeadsLeft) {
  platform.Hold(KEY_LEFT);
  HandleGameKeys();
  EXPECT_EQ(ship.GetHeading(), -1);
  EXPECT_EQ(world->shipImageFacing, -1);
  EXPECT_EQ(ship.GetBitmap(), engine.Bitmap(dat::kShipLeft));
  // The outline is the same for both pictures.
  EXPECT_EQ(ship.GetOutline().GetVertexCount(), 17);
  EXPECT_EQ(ship.GetOutline().VertexX(0), 0);
  EXPECT_EQ(ship.GetOutline().VertexY(0), 36);
}

TEST_F(ShipTest, InitFacesRightWithTheSeventeenCornerOutline) {
  ship.SetHeading(-1);
  ship.Init(engine.Bitmap(dat::kShipRight), 512, 400, 124, 92, 0, 2, "The Ship");
  EXPECT_EQ(ship.GetHeading(), 1);
  EXPECT_EQ(ship.GetLayer(), 2);
  EXPECT_TRUE(ship.IsWorldSpace());
  const PolygonShape& outline = ship.GetOutline();
  ASSERT_EQ(outline.GetVertexCount(), 17);
  EXPECT_EQ(outline.VertexX(5), 114);
  EXPECT_EQ(outline.VertexY(5), 32);
  EXPECT_EQ(outline.VertexX(16), 0);
  EXPECT_EQ(outline.VertexY(16), 39);
}

TEST_F(ShipTest, ExplodingTakesTheShipOffAndPlaysTheBlastOnce) {
  stage.Show(&ship);
  ship.Explode();
  EXPECT_FALSE(ship.IsOnList());
  EXPECT_EQ(ship.IsDestroyed(), -1);
  EXPECT_EQ(platform.Plays(dat::kSndShipExplodes), 1);
}

TEST_F(ShipTest, WhileDestroyedTheKeysDoNothingButTheSpeedStillDecays) {
  ship.SetVelocity(4, 0);
  ship.SetDestroyed(-1);
  platform.Hold(KEY_RIGHT);
  platform.Hold(KEY_Z);
  std::vector<int> moves;
  for (int i = 0; i < 6; ++i) moves.push_back(Step());
  EXPECT_EQ(moves, (std::vector<int>{4, 3, 2, 1, 0, 0}));
  EXPECT_EQ(platform.Plays(dat::kSndShot), 0);
}

TEST_F(ShipTest, TheShipIsDrawnAtItsWorldPositionMinusTheViewAndIgnoresRotation) {
  BITMAP* plain = create_bitmap(1024, 768);
  BITMAP* turned = create_bitmap(1024, 768);
  clear_to_color(plain, bitmap_mask_color(plain));
  clear_to_color(turned, bitmap_mask_color(turned));
  ViewX = 1000;
  ship.SetPosition(1100, 300);
  ship.Draw(plain);
  ship.SetAngle(64 << 16);
  ship.Draw(turned);

  int painted = 0, outside = 0, differing = 0;
  for (int y = 0; y < 768; ++y)
    for (int x = 0; x < 1024; ++x) {
      const bool drawn = getpixel(plain, x, y) != bitmap_mask_color(plain);
      const bool inBox = x >= 100 && x < 224 && y >= 300 && y < 392;
      if (drawn && inBox) ++painted;
      if (drawn && !inBox) ++outside;
      if (getpixel(plain, x, y) != getpixel(turned, x, y)) ++differing;
    }
  EXPECT_GT(painted, 500);
  EXPECT_EQ(outside, 0);
  EXPECT_EQ(differing, 0);
  destroy_bitmap(plain);
  destroy_bitmap(turned);
}

}  // namespace
