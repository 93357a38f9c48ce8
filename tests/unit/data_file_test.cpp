// The generated kav.dat, loaded the way the game loads it: every slot holds the
// kind of object the game reads from it, pictures have the sizes the screens
// lay out, the world wraps without a seam, the beams lead with their heads and
// the fonts hold every printable character.
#include <allegro.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "engine/data_index.h"
#include "support/allegro_fixture.h"

namespace {

class DataFileTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    kav_test::InitHeadlessAllegro();
    data_ = load_datafile((kav_test::DataDir() + "/kav.dat").c_str());
  }
  static void TearDownTestSuite() {
    if (data_) unload_datafile(data_);
    data_ = nullptr;
  }
  void SetUp() override { ASSERT_NE(data_, nullptr) << "kav.dat missing in " << kav_test::DataDir(); }

  static int Count() {
    int n = 0;
    while (data_[n].type != DAT_END) ++n;
    return n;
  }
  static BITMAP* Bitmap(int index) { return static_cast<BITMAP*>(data_[index].dat); }
  static FONT* Font(int index) { return static_cast<FONT*>(data_[index].dat); }

  static DATAFILE* data_;
};

DATAFILE* DataFileTest::data_ = nullptr;

int Red(int c) { return getr16(c); }
int Green(int c) { return getg16(c); }
int Blue(int c) { return getb16(c); }
int Brightness(int c) { return Red(c) + Green(c) + Blue(c); }
int ColourDistance(int a, int b) {
  return std::abs(Red(a) - Red(b)) + std::abs(Green(a) - Green(b)) + std::abs(Blue(a) - Blue(b));
}

// Rows (from `top` down) at which two columns of a picture clearly differ.
int RowsThatDiffer(BITMAP* b, int xa, int xb, int top) {
  int n = 0;
  for (int y = top; y < b->h; ++y) {
    if (ColourDistance(getpixel(b, xa, y), getpixel(b, xb, y)) > 60) ++n;
  }
  return n;
}

TEST_F(DataFileTest, HoldsEveryObjectInIndexOrderWithTheKindTheGameReads) {
  ASSERT_GE(Count(), dat::kObjectCount);
  for (int i = 0; i < dat::kObjectCount; ++i) {
    switch (dat::KindOf(i)) {
      case dat::kBitmap:
        EXPECT_EQ(data_[i].type, DAT_BITMAP) << "object " << i;
        break;
      case dat::kFont:
        EXPECT_EQ(data_[i].type, DAT_FONT) << "object " << i;
        break;
      case dat::kSample:
        EXPECT_EQ(data_[i].type, DAT_SAMPLE) << "object " << i;
        break;
      case dat::kAny:
        EXPECT_NE(data_[i].dat, nullptr) << "object " << i;
        break;
    }
  }
}

TEST_F(DataFileTest, PicturesAreSixteenBitColour) {
  for (int i = 0; i < dat::kFontSmall; ++i) {
    if (data_[i].type != DAT_BITMAP) continue;
    EXPECT_EQ(bitmap_color_depth(Bitmap(i)), 16) << "object " << i;
  }
}

TEST_F(DataFileTest, PicturesHaveTheSizesTheScreensLayOut) {
  struct Size {
    int index, w, h;
  };
  const Size exact[] = {
      {dat::kAstronaut1, 150, 320},    {dat::kAstronaut2, 150, 340},       {dat::kAstronaut3, 150, 320},
      {dat::kWorld, 4096, 768},        {dat::kButtonControls, 256, 64},   {dat::kButtonHelp, 256, 64},
      {dat::kButtonPlay, 256, 64},     {dat::kButtonQuit, 256, 64},       {dat::kFlatAstronaut1, 320, 150},
      {dat::kFlatAstronaut1 + 1, 340, 150}, {dat::kFlatAstronaut1 + 2, 320, 150},
      {dat::kHelpBackground, 1024, 768}, {dat::kIntroBackground, 1024, 768}, {dat::kPlane, 1024, 300},
      {dat::kLifeIcon, 62, 46},        {dat::kLogoVe, 175, 122},          {dat::kLogoVarn, 293, 130},
      {dat::kLogoHolt, 446, 134},      {dat::kLogoSubtitle, 128, 28},     {dat::kShipRight, 124, 92},
      {dat::kShipLeft, 124, 92},       {dat::kBombIcon, 62, 46},          {dat::kTitlePicture, 1024, 768},
  };
  for (const Size& s : exact) {
    ASSERT_EQ(data_[s.index].type, DAT_BITMAP) << "object " << s.index;
    EXPECT_EQ(Bitmap(s.index)->w, s.w) << "object " << s.index;
    EXPECT_EQ(Bitmap(s.index)->h, s.h) << "object " << s.index;
  }
  // The scanner maps 8 world pixels to one column, so it must be 512 wide; it
  // sits in the heads-up strip above the life and bomb icons.
  EXPECT_EQ(Bitmap(dat::kScannerBackground)->w, 512);
  EXPECT_GE(Bitmap(dat::kScannerBackground)->h, 32);
  EXPECT_LE(Bitmap(dat::kScannerBackground)->h, 64);
  for (int beam : {dat::kBeamRight, dat::kBeamLeft}) {
    EXPECT_GE(Bitmap(beam)->w, 445) << "object " << beam;
    EXPECT_GE(Bitmap(beam)->h, 10) << "object " << beam;
  }
}

TEST_F(DataFileTest, HumansAreBigEnoughForTheirOutlineAndStandOnTheirBottomRow) {
  // The outline spans (3,1)-(24,49); the height decides y = 750 - height, so
  // the feet must reach the bitmap's last row to touch the ground line.
  for (int i = dat::kHumanKind0; i <= dat::kHumanKind8; ++i) {
    BITMAP* b = Bitmap(i);
    ASSERT_GE(b->w, 25) << "object " << i;
    ASSERT_GE(b->h, 50) << "object " << i;
    int feet = 0;
    for (int x = 0; x < b->w; ++x) feet += getpixel(b, x, b->h - 1) != MASK_COLOR_16;
    EXPECT_GT(feet, 2) << "object " << i << " floats above the ground";
  }
}

TEST_F(DataFileTest, SpritesAreSeeThroughAroundTheirBodies) {
  // Masked sprites: the corners of the ship and of the standard enemies are
  // empty, so the night sky shows around them.
  for (int i : {dat::kShipRight, dat::kShipLeft, dat::kLanderFrame0, dat::kMutant, dat::kBouncerFrame0,
                dat::kOrbiter, dat::kBossTorso, dat::kAstronaut1}) {
    BITMAP* b = Bitmap(i);
    EXPECT_EQ(getpixel(b, 0, 0), MASK_COLOR_16) << "object " << i;
    EXPECT_EQ(getpixel(b, b->w - 1, b->h - 1), MASK_COLOR_16) << "object " << i;
  }
}

TEST_F(DataFileTest, PicturesCopiedWholeHaveNoSeeThroughPixels) {
  // These are drawn with blit, which copies the mask colour as bright pink.
  for (int i : {dat::kWorld, dat::kHelpBackground, dat::kIntroBackground, dat::kTitlePicture,
                dat::kScannerBackground, dat::kButtonControls, dat::kButtonHelp, dat::kButtonPlay,
                dat::kButtonQuit}) {
    BITMAP* b = Bitmap(i);
    int pink = 0;
    for (int y = 0; y < b->h; ++y) {
      for (int x = 0; x < b->w; ++x) pink += getpixel(b, x, y) == MASK_COLOR_16;
    }
    EXPECT_EQ(pink, 0) << "object " << i;
  }
}

TEST_F(DataFileTest, WorldPictureWrapsWithoutASeam) {
  BITMAP* world = Bitmap(dat::kWorld);
  ASSERT_EQ(world->w, 4096);
  // Column 4095 continues into column 0 as smoothly as neighbouring columns
  // continue into each other; a few rows may differ by a star or a ridge pixel.
  int across = RowsThatDiffer(world, 4095, 0, 0);
  EXPECT_LE(across, 12);
  EXPECT_LE(RowsThatDiffer(world, 4094, 1, 0), 40);
  // The check does see a seam: two far-apart columns of the mountains differ.
  EXPECT_GT(RowsThatDiffer(world, 0, 1500, 0) + RowsThatDiffer(world, 700, 2900, 0), 24);
}

TEST_F(DataFileTest, WorldGroundLineIsWhereTheHumansStand) {
  // The ground a human stands on begins at y = 750: above it (at the feet) the
  // picture is darker than the lit ground strip below it, along the whole world.
  BITMAP* world = Bitmap(dat::kWorld);
  int lit = 0;
  for (int x = 0; x < 4096; x += 64) {
    int ground = 0, above = 0;
    for (int y = 752; y < 760; ++y) ground += Brightness(getpixel(world, x, y));
    for (int y = 742; y < 750; ++y) above += Brightness(getpixel(world, x, y));
    lit += ground != above;
  }
  EXPECT_GT(lit, 48);
}

// Brightest pixel in columns x0..x1 of a picture.
int Brightest(BITMAP* b, int x0, int x1) {
  int best = 0;
  for (int y = 0; y < b->h; ++y) {
    for (int x = x0; x <= x1; ++x) {
      int c = getpixel(b, x, y);
      if (c != MASK_COLOR_16) best = std::max(best, Brightness(c));
    }
  }
  return best;
}

TEST_F(DataFileTest, BeamsLeadWithTheirBrightHead) {
  BITMAP* right = Bitmap(dat::kBeamRight);
  BITMAP* left = Bitmap(dat::kBeamLeft);
  // Right-flying beam: head at the right end, over its tip outline x 422..444.
  EXPECT_GT(Brightest(right, 422, 444), Brightest(right, 0, 100) + 20);
  EXPECT_NE(getpixel(right, 440, 7), MASK_COLOR_16);
  EXPECT_GT(Brightness(getpixel(right, 436, 7)), 150);
  // Left-flying beam: head at the left end, over x 3..25.
  EXPECT_GT(Brightest(left, 3, 25), Brightest(left, left->w - 101, left->w - 1) + 20);
  EXPECT_NE(getpixel(left, 7, 7), MASK_COLOR_16);
  EXPECT_GT(Brightness(getpixel(left, 11, 7)), 150);
}

TEST_F(DataFileTest, FontsHoldEveryPrintableCharacterAtUsableHeights) {
  struct Rule {
    int index, minHeight, maxHeight;
  };
  // 134 and 137 sit in rows 30 px apart, 136 in rows 50 px apart.
  const Rule rules[] = {{dat::kFontSmall, 16, 30},
                        {dat::kFontSpare, 12, 30},
                        {dat::kFontLarge, 32, 50},
                        {dat::kFontMedium, 18, 30}};
  BITMAP* canvas = create_bitmap(200, 80);
  ASSERT_NE(canvas, nullptr);
  const int ink = makecol(255, 252, 25);
  for (const Rule& r : rules) {
    FONT* f = Font(r.index);
    EXPECT_GE(text_height(f), r.minHeight) << "font " << r.index;
    EXPECT_LE(text_height(f), r.maxHeight) << "font " << r.index;
    EXPECT_GT(text_length(f, " "), 0) << "font " << r.index;
    for (int ch = 33; ch <= 126; ++ch) {
      char text[2] = {static_cast<char>(ch), 0};
      clear_to_color(canvas, makecol(0, 0, 0));
      textout_ex(canvas, f, text, 10, 10, ink, -1);
      int inked = 0, other = 0;
      for (int y = 0; y < canvas->h; ++y) {
        for (int x = 0; x < canvas->w; ++x) {
          int c = getpixel(canvas, x, y);
          inked += c == ink;
          other += c != ink && c != makecol(0, 0, 0);
        }
      }
      EXPECT_GT(inked, 0) << "font " << r.index << " has no glyph for '" << text << "'";
      // A one-colour font draws in exactly the colour asked for.
      EXPECT_EQ(other, 0) << "font " << r.index << " character '" << text << "'";
    }
  }
  destroy_bitmap(canvas);
}

TEST_F(DataFileTest, WaveMessageFontIsTheLargest) {
  EXPECT_GT(text_height(Font(dat::kFontLarge)), text_height(Font(dat::kFontSmall)) + 8);
  EXPECT_GT(text_length(Font(dat::kFontLarge), "Wave 20"), text_length(Font(dat::kFontMedium), "Wave 20"));
}

}  // namespace
