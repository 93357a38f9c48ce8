#include <allegro.h>
#include <gtest/gtest.h>

#include "entities/ship.h"
#include "scene/view.h"
#include "scene/world_map.h"

namespace {

// Column c of the world has a colour that encodes c.
int ColumnColour(int c) { return makecol(c & 0xFF, (c >> 8) * 16, 100); }

class WorldMapTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    world = create_bitmap(4096, 16);
    for (int c = 0; c < 4096; ++c) vline(world, c, 0, 15, ColumnColour(c));
  }
  static void TearDownTestSuite() { destroy_bitmap(world); }
  void SetUp() override {
    map.Init(world, 0, 0, 4096, 16, 0, 0, 1024, 16, 0, "The Map");
    map.Follow(&ship);
    map.SetScroll(0, 0);
    target = create_bitmap(1024, 16);
  }
  void TearDown() override {
    destroy_bitmap(target);
    ViewX = ViewY = 0;
  }
  static BITMAP* world;
  WorldMap map;
  Ship ship;
  BITMAP* target = nullptr;
};
BITMAP* WorldMapTest::world = nullptr;

TEST_F(WorldMapTest, HeadingRightTheViewSlidesUntilTheShipIs200FromTheLeft) {
  ship.SetHeading(1);
  ship.SetPosition(500, 400);
  int steps = 0;
  while (ship.GetX() - ViewX > 200) {
    map.Scroll(0, 0);
    ++steps;
    ASSERT_LT(steps, 100);
  }
  EXPECT_EQ(steps, 20);
  EXPECT_EQ(ViewX, 300);
  map.Scroll(0, 0);
  EXPECT_EQ(ViewX, 300);
}

TEST_F(WorldMapTest, HeadingLeftTheViewSlidesBackUntilTheShipIs700FromTheLeft) {
  ship.SetHeading(-1);
  map.SetScroll(1000, 0);
  ship.SetPosition(1200, 400);  // d = 200
  for (int i = 0; i < 33; ++i) map.Scroll(0, 0);
  EXPECT_EQ(ViewX, 505);  // 34 slides would pass 700
  EXPECT_GE(ship.GetX() - ViewX, 695);
  map.Scroll(0, 0);
  EXPECT_EQ(ship.GetX() - ViewX, 710);
  map.Scroll(0, 0);
  EXPECT_EQ(ViewX, 490);
}

TEST_F(WorldMapTest, TheDistanceToTheShipWrapsAcrossTheSeam) {
  ship.SetHeading(1);
  map.SetScroll(4000, 0);
  ship.SetPosition(50, 400);  // d = 146
  map.Scroll(0, 0);
  EXPECT_EQ(ViewX, 4000);
}

TEST_F(WorldMapTest, TheScrollFollowsTheShipsMotionAndWraps) {
  ship.SetHeading(1);
  ship.SetPosition(100, 400);
  map.SetScroll(10, 0);
  map.Scroll(-16, 0);
  EXPECT_EQ(map.GetScrollX(), 4090);
  EXPECT_EQ(ViewX, 4090);
  map.SetScroll(4090, 0);
  ship.SetPosition(4090 + 100, 400);
  map.Scroll(6, 0);
  EXPECT_EQ(ViewX, 4096);  // 4096 itself stays
  map.Scroll(5, 7);
  EXPECT_EQ(map.GetScrollY(), 0);  // the world is exactly as high as the view
}

TEST_F(WorldMapTest, AViewAcrossTheSeamIsDrawnInTwoPieces) {
  map.SetScroll(4090, 0);
  map.Draw(target);
  EXPECT_EQ(getpixel(target, 0, 5), ColumnColour(4090));
  EXPECT_EQ(getpixel(target, 5, 5), ColumnColour(4095));
  EXPECT_EQ(getpixel(target, 6, 5), ColumnColour(0));
  EXPECT_EQ(getpixel(target, 1023, 5), ColumnColour(1017));
}

TEST_F(WorldMapTest, AViewAt4096IsDrawnLikeTheStartOfTheWorld) {
  map.SetScroll(4096, 0);
  map.Draw(target);
  EXPECT_EQ(getpixel(target, 0, 5), ColumnColour(0));
  EXPECT_EQ(getpixel(target, 1023, 5), ColumnColour(1023));
  map.SetScroll(3072, 0);
  clear_bitmap(target);
  map.Draw(target);
  EXPECT_EQ(getpixel(target, 0, 5), ColumnColour(3072));
  EXPECT_EQ(getpixel(target, 1023, 5), ColumnColour(4095));
}

TEST_F(WorldMapTest, SetScrollPublishesTheViewOrigin) {
  map.SetScroll(1234, 0);
  EXPECT_EQ(ViewX, 1234);
  EXPECT_EQ(ViewY, 0);
}

}  // namespace
