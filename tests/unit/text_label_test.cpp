#include <allegro.h>
#include <gtest/gtest.h>

#include <cstring>

#include "scene/text_label.h"

namespace {

class TextLabelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    target = create_bitmap(400, 100);
    clear_bitmap(target);
  }
  void TearDown() override { destroy_bitmap(target); }
  int PaintedColumns(int fromX, int toX) {
    int n = 0;
    for (int x = fromX; x < toX; ++x)
      for (int y = 0; y < 100; ++y)
        if (getpixel(target, x, y)) {
          ++n;
          break;
        }
    return n;
  }
  int LeftmostPainted() {
    for (int x = 0; x < 400; ++x)
      for (int y = 0; y < 100; ++y)
        if (getpixel(target, x, y)) return x;
    return -1;
  }
  int RightmostPainted() {
    for (int x = 399; x >= 0; --x)
      for (int y = 0; y < 100; ++y)
        if (getpixel(target, x, y)) return x;
    return -1;
  }
  BITMAP* target = nullptr;
  char text[32] = "WWWW";
};

TEST_F(TextLabelTest, AFlashingLabelShowsEachColourForNineStepsAndCyclesIn144) {
  TextLabel label;
  label.Init(font, text, 0, 0, 1, makecol(1, 2, 3), 0, TextLabel::kLeft, 2);
  // A step of the scene moves the animation on, then the frame is drawn.
  const auto step = [&] {
    label.Advance();
    label.Draw(target);
  };
  for (int i = 0; i < 9; ++i) {
    step();
    ASSERT_EQ(label.GetColour(), makecol(255, 252, 25)) << i;
  }
  step();
  EXPECT_EQ(label.GetColour(), makecol(255, 191, 18));
  // Frames drawn between steps (the display refreshes faster than the game
  // steps) change nothing.
  for (int i = 0; i < 50; ++i) label.Draw(target);
  EXPECT_EQ(label.GetColour(), makecol(255, 191, 18));
  for (int i = 10; i < 144; ++i) step();
  step();  // step 145: the table's first colour again
  EXPECT_EQ(label.GetColour(), makecol(255, 252, 25));
}

TEST_F(TextLabelTest, ASteadyLabelKeepsItsColour) {
  TextLabel label;
  label.Init(font, text, 0, 0, 0, makecol(0, 255, 0), 0, TextLabel::kLeft, 1);
  label.Draw(target);
  EXPECT_EQ(label.GetColour(), makecol(0, 255, 0));
  bool green = false;
  for (int x = 0; x < 40; ++x)
    for (int y = 0; y < 8; ++y) green |= getpixel(target, x, y) == makecol(0, 255, 0);
  EXPECT_TRUE(green);
}

TEST_F(TextLabelTest, TheThreeAlignmentsAnchorTheLeftEndCentreAndRightEnd) {
  TextLabel label;
  const int w = text_length(font, text);
  label.Init(font, text, 200, 10, 0, makecol(255, 255, 255), 0, TextLabel::kLeft, 1);
  label.Draw(target);
  EXPECT_GE(LeftmostPainted(), 200);
  EXPECT_LE(RightmostPainted(), 200 + w);
  clear_bitmap(target);
  label.Init(font, text, 200, 10, 0, makecol(255, 255, 255), 0, TextLabel::kRight, 1);
  label.Draw(target);
  EXPECT_LE(RightmostPainted(), 200);
  EXPECT_GE(LeftmostPainted(), 200 - w);
  clear_bitmap(target);
  label.Init(font, text, 200, 10, 0, makecol(255, 255, 255), 0, TextLabel::kCentre, 1);
  label.Draw(target);
  EXPECT_LT(LeftmostPainted(), 200);
  EXPECT_GT(RightmostPainted(), 200);
}

TEST_F(TextLabelTest, AnUnknownAlignmentDrawsNothing) {
  TextLabel label;
  label.Init(font, text, 200, 10, 0, makecol(255, 255, 255), 0, 3, 1);
  label.Draw(target);
  EXPECT_EQ(PaintedColumns(0, 400), 0);
}

TEST_F(TextLabelTest, TheLabelShowsWhatItsOwnersBufferHoldsAtEachDraw) {
  TextLabel label;
  label.Init(font, text, 0, 0, 0, makecol(255, 255, 255), 0, TextLabel::kLeft, 1);
  label.Draw(target);
  const int four = PaintedColumns(0, 400);
  std::strcpy(text, "WWWWWWWW");
  clear_bitmap(target);
  label.Draw(target);
  EXPECT_GT(PaintedColumns(0, 400), four);
  text[0] = '\0';
  clear_bitmap(target);
  label.Draw(target);
  EXPECT_EQ(PaintedColumns(0, 400), 0);
}

}  // namespace
