#include <allegro.h>
#include <gtest/gtest.h>

#include "engine/clock.h"
#include "scene/animated_sprite.h"
#include "scene/image_element.h"
#include "scene/timed_sprite.h"
#include "scene/view.h"

namespace {

// Column c of a test bitmap gets a colour of its own (distinct in 16 bits for
// c < 128), so a drawn pixel tells which source column it came from.
int ColumnColour(int c) { return makecol((c & 7) * 32, (c >> 3) * 16, 200); }

BITMAP* ColumnCoded(int w, int h) {
  BITMAP* b = create_bitmap(w, h);
  for (int x = 0; x < w; ++x) vline(b, x, 0, h - 1, ColumnColour(x));
  return b;
}

class SpriteTest : public ::testing::Test {
 protected:
  void SetUp() override {
    target = create_bitmap(1024, 768);
    clear_bitmap(target);
    ViewX = ViewY = 0;
    TickCounter.store(0);
  }
  void TearDown() override {
    destroy_bitmap(target);
    ViewX = ViewY = 0;
  }
  int At(int x, int y) { return getpixel(target, x, y); }
  bool Painted(int x, int y) { return getpixel(target, x, y) != 0; }
  BITMAP* target = nullptr;
};

TEST_F(SpriteTest, MoveWrapsXIntoTheWorldAndClampsY) {
  AnimatedSprite s;
  s.SetPosition(4090, 0);
  s.SetVelocity(10, 0);
  s.Move();
  EXPECT_EQ(s.GetX(), 4);
  s.SetPosition(2, 0);
  s.SetVelocity(-5, 0);
  s.Move();
  EXPECT_EQ(s.GetX(), 4093);
  s.SetPosition(4096, 0);
  s.SetVelocity(0, 0);
  s.Move();
  EXPECT_EQ(s.GetX(), 4096);
  s.SetPosition(0, 715);
  s.SetVelocity(0, 10);
  s.Move();
  EXPECT_EQ(s.GetY(), 718);
  s.SetPosition(0, -35);
  s.SetVelocity(0, -10);
  s.Move();
  EXPECT_EQ(s.GetY(), -40);
}

TEST_F(SpriteTest, AWorldSpriteAtTheStartOfTheWorldShowsRightOfTheSeam) {
  BITMAP* bmp = ColumnCoded(40, 20);
  AnimatedSprite s;
  s.Init(bmp, 10, 100, 40, 20, 0, 1, "s");
  s.SetViewport(0, 0, 1023, 767);
  ViewX = 3500;  // sx = -3490, wholly left of the view
  s.Draw(target);
  EXPECT_TRUE(Painted(606, 105));
  EXPECT_EQ(At(606, 105), ColumnColour(0));
  EXPECT_FALSE(Painted(605, 105));
  EXPECT_TRUE(Painted(645, 105));
  EXPECT_FALSE(Painted(646, 105));

  clear_bitmap(target);
  ViewX = 3000;  // the view doesn't show the seam: not drawn at all
  s.Draw(target);
  for (int x = 0; x < 1024; x += 2) ASSERT_FALSE(Painted(x, 105)) << x;
  destroy_bitmap(bmp);
}

TEST_F(SpriteTest, ASpritePartlyLeftOfTheViewIsClippedFromItsSourceColumn) {
  BITMAP* bmp = ColumnCoded(40, 20);
  AnimatedSprite s;
  s.Init(bmp, 0, 300, 40, 20, 0, 1, "s");
  s.SetViewport(0, 0, 1023, 767);
  ViewX = 500;
  s.SetPosition(ViewX - 10, 300);
  s.Draw(target);
  EXPECT_EQ(At(0, 305), ColumnColour(10));
  EXPECT_EQ(At(29, 305), ColumnColour(39));
  EXPECT_FALSE(Painted(30, 305));
  destroy_bitmap(bmp);
}

TEST_F(SpriteTest, AWorldSpriteIsDrawnAtItsPositionMinusTheViewOrigin) {
  BITMAP* bmp = ColumnCoded(8, 8);
  AnimatedSprite s;
  s.Init(bmp, 0, 20, 8, 8, 0, 1, "s");
  s.SetViewport(0, 0, 1023, 767);
  ViewX = 1000;
  s.SetPosition(ViewX + 10, 20);
  s.Draw(target);
  EXPECT_EQ(At(10, 20), ColumnColour(0));
  EXPECT_EQ(At(17, 27), ColumnColour(7));
  EXPECT_FALSE(Painted(9, 20));
  destroy_bitmap(bmp);
}

TEST_F(SpriteTest, CentringMovesAScreenSpriteByHalfItsSizeButNotAWorldSprite) {
  BITMAP* bmp = ColumnCoded(41, 21);
  AnimatedSprite s;
  s.Init(bmp, 100, 100, 41, 21, 1, 1, "s");
  s.Draw(target);
  EXPECT_EQ(At(80, 90), ColumnColour(0));  // 100 - 41/2, 100 - 21/2
  EXPECT_FALSE(Painted(79, 90));
  clear_bitmap(target);
  s.SetViewport(0, 0, 1023, 767);
  s.Draw(target);
  EXPECT_EQ(At(100, 100), ColumnColour(0));
  EXPECT_FALSE(Painted(99, 100));
  destroy_bitmap(bmp);
}

TEST_F(SpriteTest, TheMaskColourIsTransparentInBothSpaces) {
  BITMAP* bmp = create_bitmap(10, 10);
  clear_to_color(bmp, makecol(255, 0, 255));
  putpixel(bmp, 5, 5, makecol(0, 255, 0));
  clear_to_color(target, makecol(0, 0, 50));
  AnimatedSprite s;
  s.Init(bmp, 0, 0, 10, 10, 0, 1, "s");
  s.Draw(target);
  EXPECT_EQ(getpixel(target, 0, 0), makecol(0, 0, 50));
  EXPECT_EQ(getpixel(target, 5, 5), makecol(0, 255, 0));
  s.SetViewport(0, 0, 1023, 767);
  s.SetPosition(100, 100);
  s.Draw(target);
  EXPECT_EQ(getpixel(target, 100, 100), makecol(0, 0, 50));
  EXPECT_EQ(getpixel(target, 105, 105), makecol(0, 255, 0));
  destroy_bitmap(bmp);
}

TEST_F(SpriteTest, AnImageElementCopiesOpaquely) {
  BITMAP* bmp = create_bitmap(20, 20);
  clear_to_color(bmp, makecol(255, 0, 255));
  ImageElement image;
  image.Init(bmp, 0, 0, 50, 60, 20, 20, 0, "Splash");
  image.Draw(target);
  EXPECT_EQ(getpixel(target, 50, 60), makecol(255, 0, 255));
  destroy_bitmap(bmp);
}

TEST_F(SpriteTest, ATimedSpriteStepsAtMostOnceAPeriodAndOnlyInFramesOfTheScene) {
  BITMAP* frames[4];
  for (int i = 0; i < 4; ++i) frames[i] = create_bitmap(4, 4);
  TimedSprite s;
  s.Init(4, frames, 0, 2, 0, 0, 0, 1, "t");
  std::vector<int> seen;
  for (int tick = 0; tick < 12; ++tick) {
    s.Advance();
    s.Advance();  // a second frame in the same tick changes nothing
    s.Draw(target);  // drawing alone changes nothing either
    seen.push_back(s.GetFrame());
    TickCallback();
  }
  EXPECT_EQ(seen, (std::vector<int>{0, 0, 1, 1, 2, 2, 3, 3, 0, 0, 1, 1}));
  EXPECT_EQ(s.GetBitmap(), frames[1]);
  // Off the screen, the clock runs on but the frame stays.
  for (int tick = 0; tick < 10; ++tick) TickCallback();
  EXPECT_EQ(s.GetFrame(), 1);
  s.Advance();
  EXPECT_EQ(s.GetFrame(), 2);  // one step only, however long it waited
  for (BITMAP* b : frames) destroy_bitmap(b);
}

TEST_F(SpriteTest, ATimedSpriteWithOneFrameKeepsShowingIt) {
  BITMAP* only = create_bitmap(4, 4);
  TimedSprite s;
  s.Init(1, &only, 0, 1, 0, 0, 0, 1, "t");
  for (int i = 0; i < 5; ++i) {
    TickCallback();
    s.Advance();
    EXPECT_EQ(s.GetFrame(), 0);
    EXPECT_EQ(s.GetBitmap(), only);
  }
  destroy_bitmap(only);
}

TEST_F(SpriteTest, DriftMovesWithoutWrapOrClamp) {
  BITMAP* only = create_bitmap(4, 4);
  TimedSprite s;
  s.Init(1, &only, 0, 1, 4094, 717, 0, 1, "t");
  EXPECT_EQ(s.GetDriftX(), 0);
  s.SetDrift(5, 3);
  s.Drift();
  EXPECT_EQ(s.GetX(), 4099);
  EXPECT_EQ(s.GetY(), 720);
  EXPECT_TRUE(s.IsClickable());
  destroy_bitmap(only);
}

}  // namespace

namespace {

TEST_F(SpriteTest, ARotatedSpritePartlyAboveAndLeftOfTheTargetDrawsItsVisiblePart) {
  BITMAP* bmp = create_bitmap(40, 40);
  clear_to_color(bmp, makecol(0, 255, 0));
  AnimatedSprite s;
  s.Init(bmp, -20, -20, 40, 40, 0, 1, "astro");
  s.SetAngle(128 << 16);  // half a turn: the square covers the same place
  s.Draw(target);
  EXPECT_TRUE(Painted(5, 5));
  EXPECT_FALSE(Painted(30, 30));
  s.SetPosition(-100, -4500);  // far above: nothing, and no fault
  clear_bitmap(target);
  s.Draw(target);
  EXPECT_FALSE(Painted(0, 0));
  destroy_bitmap(bmp);
}

}  // namespace
