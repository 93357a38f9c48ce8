#include <allegro.h>
#include <gtest/gtest.h>

#include "scene/polygon_shape.h"

namespace {

// An outline that must not be copied (it is an element) is built in place.
struct Square : PolygonShape {
  explicit Square(int size) {
    AddVertex(0, 0);
    AddVertex(size, 0);
    AddVertex(size, size);
    AddVertex(0, size);
  }
};

TEST(PolygonTest, ASquareContainsItsInsideButNotItsBottomRowNorItsLeftEdge) {
  Square square(10);
  EXPECT_EQ(square.HitTest(5, 5), 1);
  EXPECT_EQ(square.HitTest(5, 10), 0);  // lo <= py < hi leaves the bottom row out
  EXPECT_EQ(square.HitTest(0, 5), 0);   // a crossing at x = 0 counts only for px > 0
  EXPECT_EQ(square.HitTest(1, 5), 1);
  EXPECT_EQ(square.HitTest(5, 0), 1);
  EXPECT_EQ(square.HitTest(10, 5), 1);  // the right edge crosses at 10, not left of 10
  EXPECT_EQ(square.HitTest(11, 5), 0);
  EXPECT_EQ(square.HitTest(-1, 5), 0);
}

TEST(PolygonTest, AnOutlineWithFewerThanThreeCornersHasNoInside) {
  PolygonShape line;
  line.AddVertex(0, 0);
  line.AddVertex(10, 10);
  for (int x = -2; x < 12; ++x)
    for (int y = -2; y < 12; ++y) ASSERT_EQ(line.HitTest(x, y), 0) << x << "," << y;
  PolygonShape empty;
  EXPECT_EQ(empty.HitTest(0, 0), 0);
}

TEST(PolygonTest, AnEdgeStartingAtXZeroCountsAsCrossedAtXZero) {
  PolygonShape triangle;
  triangle.AddVertex(0, 0);
  triangle.AddVertex(20, 10);
  triangle.AddVertex(0, 20);
  // Heights 0..9: the first edge starts at x = 0 and is taken as crossed there,
  // as is the closing edge, so a point truly inside tests outside.
  EXPECT_EQ(triangle.HitTest(5, 3), 0);
  EXPECT_EQ(triangle.HitTest(5, 12), 1);
}

TEST(PolygonTest, TheShipsNoseFillsTheAreaInFrontOfItsFirstEdge) {
  PolygonShape nose;
  for (auto [x, y] : {std::pair{0, 36}, {57, 30}, {52, 1}, {69, 0}, {89, 31}, {114, 32}, {114, 52}, {90, 54},
                      {69, 91}, {53, 91}, {57, 53}, {26, 48}, {6, 59}, {1, 58}, {1, 55}, {8, 42}, {0, 39}})
    nose.AddVertex(x, y);
  EXPECT_EQ(nose.HitTest(20, 33), 1);  // between x = 0 and the nose edge
  EXPECT_EQ(nose.HitTest(100, 40), 1);
  EXPECT_EQ(nose.HitTest(100, 10), 0);
}

TEST(PolygonTest, AVertexJustAcrossTheSeamIsFoundInsideTheOtherOutline) {
  PolygonShape a;
  a.AddVertex(5, 5);
  Square b(10);
  // 5 + 4094 - 2 = 4097, wrapped to 1: inside B.
  EXPECT_EQ(a.AnyVertexInside(4094, 0, b, 2, 0), -1);
  // And the other way round: A at 2, B at 4094: 5 + 2 - 4094 < 0, wrapped to 9.
  EXPECT_EQ(a.AnyVertexInside(2, 0, b, 4094, 0), -1);
  EXPECT_EQ(a.AnyVertexInside(100, 0, b, 2, 0), 0);
}

TEST(PolygonTest, TwoOutlinesThatCrossWithoutACornerInsideDoNotTouch) {
  PolygonShape tall;
  tall.AddVertex(4, 0);
  tall.AddVertex(6, 0);
  tall.AddVertex(6, 30);
  tall.AddVertex(4, 30);
  PolygonShape wide;
  wide.AddVertex(0, 14);
  wide.AddVertex(30, 14);
  wide.AddVertex(30, 16);
  wide.AddVertex(0, 16);
  EXPECT_EQ(tall.AnyVertexInside(0, 0, wide, 0, 0), 0);
  EXPECT_EQ(wide.AnyVertexInside(0, 0, tall, 0, 0), 0);
}

TEST(PolygonTest, VerticesArePlacedAtTheirOwnersPositions) {
  Square a(4);
  Square b(10);
  EXPECT_EQ(a.AnyVertexInside(100, 200, b, 98, 198), -1);
  EXPECT_EQ(a.AnyVertexInside(100, 200, b, 98, 220), 0);
}

class RectangleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    target = create_bitmap(200, 200);
    clear_bitmap(target);
    box.Init(3, white, black, 31, 10, 20, 100, 80, 1, "Play");
  }
  void TearDown() override { destroy_bitmap(target); }
  // A step of the scene: the animation moves on, then the frame is drawn.
  void Step() {
    box.Advance();
    box.Draw(target);
  }
  const int white = makecol(255, 255, 255);
  const int black = makecol(0, 0, 0);
  const int red = makecol(255, 0, 0);
  RectangleShape box;
  BITMAP* target = nullptr;
};

TEST_F(RectangleTest, TheBorderIsInsideAndAnUnclickableBoxHasNoInside) {
  EXPECT_EQ(box.HitTest(100, 80), 1);
  EXPECT_EQ(box.HitTest(10, 20), 1);
  EXPECT_EQ(box.HitTest(101, 50), 0);
  EXPECT_EQ(box.HitTest(50, 19), 0);
  box.SetClickable(0);
  EXPECT_EQ(box.HitTest(50, 50), 0);
}

TEST_F(RectangleTest, AFlashingBoxAlternates31And32StepsHoweverOftenItIsDrawn) {
  std::vector<int> runs;
  int last = -1, run = 0;
  for (int i = 0; i < 63 * 3 + 1; ++i) {
    Step();
    if (box.LastColour() == last) {
      ++run;
    } else {
      if (last != -1) runs.push_back(run);
      last = box.LastColour();
      run = 1;
    }
  }
  ASSERT_GE(runs.size(), 4u);
  // After the first partial run: flash 32, normal 31, flash 32...
  EXPECT_EQ(runs[1], 32);
  EXPECT_EQ(runs[2], 31);
  EXPECT_EQ(runs[3], 32);
  EXPECT_EQ(getpixel(target, 10, 20), box.LastColour());
  EXPECT_EQ(getpixel(target, 100, 80), box.LastColour());
  EXPECT_EQ(getpixel(target, 50, 50), 0);
  // Frames drawn between steps show the same colour.
  const int colour = box.LastColour();
  for (int i = 0; i < 100; ++i) box.Draw(target);
  EXPECT_EQ(box.LastColour(), colour);
}

TEST_F(RectangleTest, AHighlightedBoxIsRedWhateverItsPhaseAndThenResumesFlashing) {
  for (int i = 0; i < 40; ++i) Step();  // in the flash half now
  box.Highlight();
  for (int i = 0; i < 50; ++i) {
    Step();
    ASSERT_EQ(box.LastColour(), red);
  }
  box.Unhighlight();
  // The counter ran on to 91 while red; the next flashing step starts a new
  // cycle from 0: 31 white steps, then black.
  for (int i = 0; i < 31; ++i) {
    Step();
    ASSERT_EQ(box.LastColour(), white) << i;
  }
  Step();
  EXPECT_EQ(box.LastColour(), black);
}

}  // namespace
