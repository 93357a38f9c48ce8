#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/display_modes.h"

namespace {

std::vector<DisplayMode> Modes(bool fullscreen, int scale, int w, int h, std::string* refusal = nullptr) {
  return CandidateModes(fullscreen, scale, w, h, refusal);
}

PictureArea Area(int x, int y, int w, int h) {
  PictureArea a;
  a.x = x;
  a.y = y;
  a.width = w;
  a.height = h;
  return a;
}

}  // namespace

TEST(DisplayModesTest, FullScreenFitsTheLargestFourByThreePictureOnTheCommonDesktops) {
  struct Case {
    int w, h;
    PictureArea picture;
  };
  const Case cases[] = {
      {1024, 768, Area(0, 0, 1024, 768)},         {1280, 1024, Area(0, 32, 1280, 960)},
      {1366, 768, Area(171, 0, 1024, 768)},       {1600, 900, Area(200, 0, 1200, 900)},
      {1920, 1080, Area(240, 0, 1440, 1080)},     {1920, 1200, Area(160, 0, 1600, 1200)},
      {2560, 1440, Area(320, 0, 1920, 1440)},     {2560, 1600, Area(213, 0, 2133, 1600)},
      {3440, 1440, Area(760, 0, 1920, 1440)},     {3840, 2160, Area(480, 0, 2880, 2160)},
      {5120, 2880, Area(640, 0, 3840, 2880)},     {1080, 1920, Area(0, 555, 1080, 810)},
      {1440, 2560, Area(0, 740, 1440, 1080)},     {2048, 1536, Area(0, 0, 2048, 1536)},
  };
  for (const Case& c : cases) {
    const DisplayMode mode = Modes(true, kScaleFit, c.w, c.h).front();
    EXPECT_TRUE(mode.fullscreen);
    EXPECT_EQ(mode.screenWidth, c.w);
    EXPECT_EQ(mode.screenHeight, c.h);
    EXPECT_EQ(mode.picture, c.picture) << c.w << "x" << c.h << ": " << mode.picture.x << "," << mode.picture.y
                                       << " " << mode.picture.width << "x" << mode.picture.height;
    // Black bars on two opposite sides only, and the picture never leaves the screen.
    EXPECT_TRUE(mode.picture.x == 0 || mode.picture.y == 0);
    EXPECT_LE(mode.picture.x + mode.picture.width, c.w);
    EXPECT_LE(mode.picture.y + mode.picture.height, c.h);
  }
}

TEST(DisplayModesTest, ADesktopNoLargerThanThePictureKeepsItsOwnSize) {
  EXPECT_EQ(FitPicture(800, 600), Area(0, 0, 1024, 768));
  EXPECT_EQ(FitPicture(1280, 720), Area(128, 0, 1024, 768));
  // Unknown: the library's full screen at the picture's size, as ever.
  const DisplayMode unknown = Modes(true, kScaleFit, 0, 0).front();
  EXPECT_EQ(unknown.screenWidth, 1024);
  EXPECT_EQ(unknown.picture, Area(0, 0, 1024, 768));
}

TEST(DisplayModesTest, AWholeScaleInFullScreenIsCentredWhenItFitsAndRefusedWhenNot) {
  DisplayMode mode = Modes(true, 2, 3840, 2160).front();
  EXPECT_EQ(mode.screenWidth, 3840);
  EXPECT_EQ(mode.picture, Area(896, 312, 2048, 1536));
  std::string refusal;
  mode = Modes(true, 3, 2560, 1440, &refusal).front();
  EXPECT_EQ(mode.picture, Area(768, 336, 1024, 768));
  EXPECT_NE(refusal.find("3072x2304"), std::string::npos) << refusal;
  EXPECT_NE(refusal.find("2560x1440"), std::string::npos) << refusal;
  refusal.clear();
  Modes(true, kScaleFit, 1920, 1080, &refusal);
  EXPECT_TRUE(refusal.empty()) << "fitting is never refused";
}

TEST(DisplayModesTest, AWindowOpensAtTheLargestWholeScaleWithinMostOfTheDesktopsHeight) {
  EXPECT_EQ(WindowScale(1920, 1080), 1);  // 1536 rows are more than 918
  EXPECT_EQ(WindowScale(2560, 1440), 1);
  EXPECT_EQ(WindowScale(3840, 2160), 2);
  EXPECT_EQ(WindowScale(5120, 2880), 3);
  EXPECT_EQ(WindowScale(1366, 768), 1);  // never below the picture's own size
  EXPECT_EQ(WindowScale(7680, 4320), 4);
  const DisplayMode window = Modes(false, kScaleFit, 3840, 2160).front();
  EXPECT_FALSE(window.fullscreen);
  EXPECT_EQ(window.screenWidth, 2048);
  EXPECT_EQ(window.picture, Area(0, 0, 2048, 1536));
  // The player's whole scale when it fits the desktop at all.
  EXPECT_EQ(Modes(false, 2, 2560, 1600).front().screenWidth, 2048);
  std::string refusal;
  EXPECT_EQ(Modes(false, 2, 1920, 1080, &refusal).front().screenWidth, 1024);
  EXPECT_NE(refusal.find("2048x1536"), std::string::npos) << refusal;
}

TEST(DisplayModesTest, ARefusedModeFallsBackToThePicturesOwnSizeThenAWindow) {
  const std::vector<DisplayMode> modes = Modes(true, kScaleFit, 1920, 1080);
  ASSERT_EQ(modes.size(), 3u);
  EXPECT_EQ(modes[1].screenWidth, 1024);
  EXPECT_TRUE(modes[1].fullscreen);
  EXPECT_FALSE(modes[2].fullscreen);
  EXPECT_EQ(modes[2].screenWidth, 1024);
  // On a 1024 x 768 desktop the first two are one.
  EXPECT_EQ(Modes(true, kScaleFit, 1024, 768).size(), 2u);
  const std::vector<DisplayMode> window = Modes(false, 3, 5120, 2880);
  ASSERT_EQ(window.size(), 3u);
  EXPECT_EQ(window[1].screenWidth, 2048);
  EXPECT_EQ(window[2].screenWidth, 1024);
}

TEST(DisplayModesTest, ThePointerMapsBackToTheSameGamePixelAtEverySize) {
  const PictureArea pictures[] = {Area(0, 0, 1024, 768), Area(0, 0, 2048, 1536), Area(240, 0, 1440, 1080),
                                  Area(213, 0, 2133, 1600), Area(480, 0, 2880, 2160), Area(0, 555, 1080, 810)};
  for (const PictureArea& p : pictures) {
    for (int g = 0; g < 1024; ++g) {
      const int s = GameToScreenX(p, g);
      EXPECT_EQ(ScreenToGameX(p, s), g) << p.width << " game " << g;
      // The screen pixel before the first of g belongs to g - 1.
      if (g > 0) {
        EXPECT_EQ(ScreenToGameX(p, s - 1), g - 1) << p.width << " game " << g;
      }
    }
    for (int g = 0; g < 768; ++g) EXPECT_EQ(ScreenToGameY(p, GameToScreenY(p, g)), g) << p.height;
    // The bars give the picture's nearest edge.
    EXPECT_EQ(ScreenToGameX(p, p.x - 5), 0);
    EXPECT_EQ(ScreenToGameX(p, p.x + p.width + 5), 1023);
    EXPECT_EQ(ScreenToGameY(p, p.y + p.height), 767);
  }
  // The Play box's corners at 1440 x 1080 on 1920 x 1080: (382, 348) and (641, 415).
  const PictureArea fit = Area(240, 0, 1440, 1080);
  EXPECT_EQ(ScreenToGameX(fit, 240 + 538), 382);
  EXPECT_EQ(ScreenToGameX(fit, 240 + 537), 381);
  EXPECT_EQ(ScreenToGameY(fit, 490), 348);
}

TEST(DisplayModesTest, ModesAreDescribedForTheTrace) {
  EXPECT_EQ(DescribeMode(Modes(true, kScaleFit, 1920, 1080).front()), "1920x1080 full screen, picture 1440x1080");
  EXPECT_EQ(DescribeMode(Modes(false, kScaleFit, 1920, 1080).front()), "1024x768 window");
  EXPECT_EQ(DescribeMode(Modes(true, kScaleFit, 1024, 768).front()), "1024x768 full screen");
}
