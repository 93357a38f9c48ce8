// The view follows the ship (a step of play moves it with the ship and slides
// it toward the ship's lead), and the world map draws the view it is given,
// across the seam too.
#include <allegro.h>
#include <gtest/gtest.h>

#include "entities/ship.h"
#include "entities/view_scroll.h"
#include "scene/view.h"
#include "scene/world_map.h"

namespace {

// Column c of the world has a colour that encodes c.
int ColumnColour(int c) { return makecol(c & 0xFF, (c >> 8) * 16, 100); }

class WorldMapTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    picture = create_bitmap(4096, 16);
    for (int c = 0; c < 4096; ++c) vline(picture, c, 0, 15, ColumnColour(c));
  }
  static void TearDownTestSuite() { destroy_bitmap(picture); }
  void SetUp() override {
    map.Init(picture, 4096, 16, 0, 0, 1024, 16, 0, "The Map");
    target = create_bitmap(1024, 16);
  }
  void TearDown() override {
    destroy_bitmap(target);
    ViewX = ViewY = 0;
  }
  // One step of following, the view shown as the game shows it.
  void Follow(int dx) {
    FollowShip(view, dx, ship);
    ViewX = view.x;
    ViewY = view.y;
  }
  void DrawAt(int x) {
    ViewX = x;
    map.Draw(target);
  }
  static BITMAP* picture;
  WorldMap map;
  Ship ship;
  ViewScroll view;
  BITMAP* target = nullptr;
};
BITMAP* WorldMapTest::picture = nullptr;

TEST_F(WorldMapTest, HeadingRightTheViewSlidesUntilTheShipIs200FromTheLeft) {
  ship.SetHeading(1);
  ship.SetPosition(500, 400);
  int steps = 0;
  while (ship.GetX() - view.x > 200) {
    Follow(0);
    ++steps;
    ASSERT_LT(steps, 100);
  }
  EXPECT_EQ(steps, 20);
  EXPECT_EQ(view.x, 300);
  Follow(0);
  EXPECT_EQ(view.x, 300);
  EXPECT_EQ(ViewX, 300);
}

TEST_F(WorldMapTest, HeadingLeftTheViewSlidesBackUntilTheShipIs700FromTheLeft) {
  ship.SetHeading(-1);
  view.x = 1000;
  ship.SetPosition(1200, 400);  // d = 200
  for (int i = 0; i < 33; ++i) Follow(0);
  EXPECT_EQ(view.x, 505);  // 34 slides would pass 700
  EXPECT_GE(ship.GetX() - view.x, 695);
  Follow(0);
  EXPECT_EQ(ship.GetX() - view.x, 710);
  Follow(0);
  EXPECT_EQ(view.x, 490);
}

TEST_F(WorldMapTest, TheDistanceToTheShipWrapsAcrossTheSeam) {
  ship.SetHeading(1);
  view.x = 4000;
  ship.SetPosition(50, 400);  // d = 146
  Follow(0);
  EXPECT_EQ(view.x, 4000);
}

TEST_F(WorldMapTest, TheViewFollowsTheShipsMotionAndWraps) {
  ship.SetHeading(1);
  ship.SetPosition(100, 400);
  view.x = 10;
  Follow(-16);
  EXPECT_EQ(view.x, 4090);
  view.x = 4090;
  ship.SetPosition(4090 + 100, 400);
  Follow(6);
  EXPECT_EQ(view.x, 4096);  // 4096 itself stays
  EXPECT_EQ(view.y, 0);     // the world is exactly as high as the view
}

TEST_F(WorldMapTest, AViewAcrossTheSeamIsDrawnInTwoPieces) {
  DrawAt(4090);
  EXPECT_EQ(getpixel(target, 0, 5), ColumnColour(4090));
  EXPECT_EQ(getpixel(target, 5, 5), ColumnColour(4095));
  EXPECT_EQ(getpixel(target, 6, 5), ColumnColour(0));
  EXPECT_EQ(getpixel(target, 1023, 5), ColumnColour(1017));
}

TEST_F(WorldMapTest, AViewAt4096IsDrawnLikeTheStartOfTheWorld) {
  DrawAt(4096);
  EXPECT_EQ(getpixel(target, 0, 5), ColumnColour(0));
  EXPECT_EQ(getpixel(target, 1023, 5), ColumnColour(1023));
  clear_bitmap(target);
  DrawAt(3072);
  EXPECT_EQ(getpixel(target, 0, 5), ColumnColour(3072));
  EXPECT_EQ(getpixel(target, 1023, 5), ColumnColour(4095));
}

}  // namespace
