#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/display_modes.h"

namespace {

std::vector<DisplayMode> Modes(bool fullscreen, int scale, int w, int h, std::string* refusal = nullptr) {
  return CandidateModes(fullscreen, scale, w, h, refusal);
}

}  // namespace

TEST(DisplayModesTest, FullScreenTakesTheLargestWholeScaleThatFitsTheDesktop) {
  EXPECT_EQ(Modes(true, 0, 3840, 2160).front(), (DisplayMode{true, 2}));
  EXPECT_EQ(Modes(true, 0, 2048, 1536).front(), (DisplayMode{true, 2}));
  EXPECT_EQ(Modes(true, 0, 1920, 1080).front(), (DisplayMode{true, 1}));
  EXPECT_EQ(Modes(true, 0, 2560, 1440).front(), (DisplayMode{true, 1}));  // 1536 rows don't fit
  EXPECT_EQ(Modes(true, 0, 0, 0).front(), (DisplayMode{true, 1}));         // desktop unknown
}

TEST(DisplayModesTest, ARefusedModeFallsBackToTheNextSmallerScaleThenAWindow) {
  const std::vector<DisplayMode> modes = Modes(true, 0, 3840, 2160);
  ASSERT_EQ(modes.size(), 3u);
  EXPECT_EQ(modes[1], (DisplayMode{true, 1}));
  EXPECT_EQ(modes[2], (DisplayMode{false, 1}));
  const std::vector<DisplayMode> window = Modes(false, 2, 3840, 2160);
  ASSERT_EQ(window.size(), 2u);
  EXPECT_EQ(window[0], (DisplayMode{false, 2}));
  EXPECT_EQ(window[1], (DisplayMode{false, 1}));
}

TEST(DisplayModesTest, AWindowIsScaleOneUnlessThePlayerChoosesTwo) {
  EXPECT_EQ(Modes(false, 0, 3840, 2160).front(), (DisplayMode{false, 1}));
  EXPECT_EQ(Modes(false, 1, 3840, 2160).front(), (DisplayMode{false, 1}));
  EXPECT_EQ(Modes(false, 2, 3840, 2160).front(), (DisplayMode{false, 2}));
}

TEST(DisplayModesTest, ScaleTwoOnASmallDesktopIsRefusedWithAClearMessage) {
  std::string refusal;
  const std::vector<DisplayMode> modes = Modes(false, 2, 1920, 1080, &refusal);
  EXPECT_EQ(modes.front(), (DisplayMode{false, 1}));
  EXPECT_NE(refusal.find("2048x1536"), std::string::npos) << refusal;
  EXPECT_NE(refusal.find("1920x1080"), std::string::npos) << refusal;
  refusal.clear();
  Modes(true, 0, 1920, 1080, &refusal);
  EXPECT_TRUE(refusal.empty()) << "an automatic scale is never refused";
}

TEST(DisplayModesTest, APointerOnADoubledPictureHitsTheSameGamePixel) {
  // The Play box spans (382, 348)-(641, 415) in the game's coordinates.
  EXPECT_EQ(ScreenToGame(764, 2), 382);
  EXPECT_EQ(ScreenToGame(765, 2), 382);
  EXPECT_EQ(ScreenToGame(1283, 2), 641);
  EXPECT_EQ(ScreenToGame(1284, 2), 642);
  EXPECT_EQ(ScreenToGame(2047, 2), 1023);
  EXPECT_EQ(ScreenToGame(640, 1), 640);
}

TEST(DisplayModesTest, ModesAreDescribedForTheTrace) {
  EXPECT_EQ(DescribeMode({true, 2}), "2048x1536 full screen");
  EXPECT_EQ(DescribeMode({false, 1}), "1024x768 window");
}
