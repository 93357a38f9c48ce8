// The fades' own translucent draw against the library's draw_trans_sprite with
// the same blender: every pixel must come out the same, on the game's real
// pictures through all eight steps of both fades, for every 16-bit colour, with
// masked sprites and with clipping.
#include "engine/translucent_blend.h"

#include <allegro.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "engine/data_index.h"
#include "support/allegro_fixture.h"

namespace {

class TranslucentBlendTest : public ::testing::Test {
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
  void TearDown() override {
    for (BITMAP* b : made_) destroy_bitmap(b);
  }

  static BITMAP* Picture(int index) { return static_cast<BITMAP*>(data_[index].dat); }

  BITMAP* Make(int w, int h, int depth = 16) {
    BITMAP* b = create_bitmap_ex(depth, w, h);
    made_.push_back(b);
    return b;
  }
  BITMAP* Copy(BITMAP* from) {
    BITMAP* b = Make(from->w, from->h, bitmap_color_depth(from));
    blit(from, b, 0, 0, 0, 0, from->w, from->h);
    return b;
  }
  BITMAP* Black(int w, int h) {
    BITMAP* b = Make(w, h);
    clear_to_color(b, makecol16(0, 0, 0));
    return b;
  }

  // The library's way, as the fades did it before.
  static void LibraryDraw(BITMAP* dst, BITMAP* src, int alpha) {
    set_trans_blender(0, 0, 0, alpha);
    draw_trans_sprite(dst, src, 0, 0);
  }

  std::vector<BITMAP*> made_;
  static DATAFILE* data_;
};

DATAFILE* TranslucentBlendTest::data_ = nullptr;

// Empty when both bitmaps hold the same pixels, else where they first differ.
std::string Difference(BITMAP* a, BITMAP* b) {
  if (a->w != b->w || a->h != b->h) return "sizes differ";
  int count = 0;
  std::string first;
  for (int y = 0; y < a->h; ++y)
    for (int x = 0; x < a->w; ++x) {
      const int pa = getpixel(a, x, y), pb = getpixel(b, x, y);
      if (pa == pb) continue;
      if (count++ == 0)
        first = "at (" + std::to_string(x) + ", " + std::to_string(y) + ") library " + std::to_string(pa) +
                " ours " + std::to_string(pb);
    }
  return count ? std::to_string(count) + " pixels differ, first " + first : "";
}

TEST_F(TranslucentBlendTest, FadingInEachFullScreenPictureMatchesTheLibraryAtEveryStep) {
  for (int index : {dat::kTitlePicture, dat::kHelpBackground, dat::kIntroBackground}) {
    BITMAP* scene = Picture(index);
    BITMAP* library = Black(scene->w, scene->h);
    BITMAP* ours = Black(scene->w, scene->h);
    for (int step = 0; step < 8; ++step) {
      LibraryDraw(library, scene, 80);
      DrawTranslucent(ours, scene, 80);
      ASSERT_EQ(Difference(library, ours), "") << "picture " << index << ", step " << step + 1;
    }
  }
}

TEST_F(TranslucentBlendTest, FadingOutTheWorldAndTheTitleMatchesTheLibraryAtEveryStep) {
  for (int index : {dat::kTitlePicture, dat::kWorld}) {
    BITMAP* library = Copy(Picture(index));
    BITMAP* ours = Copy(Picture(index));
    BITMAP* black = Black(library->w, library->h);
    for (int step = 0; step < 8; ++step) {
      LibraryDraw(library, black, 80);
      DrawTranslucent(ours, black, 80);
      ASSERT_EQ(Difference(library, ours), "") << "picture " << index << ", step " << step + 1;
    }
  }
}

// All 65536 colours as sources over shuffled destinations, at the fades'
// strength and at the edges of the blender's range.
TEST_F(TranslucentBlendTest, EverySixteenBitColourBlendsAsInTheLibraryAtAnyStrength) {
  BITMAP* source = Make(256, 256);
  std::vector<int> colours(65536);
  std::iota(colours.begin(), colours.end(), 0);
  for (int c = 0; c < 65536; ++c) putpixel(source, c % 256, c / 256, c);
  std::mt19937 random(2024);
  for (int alpha : {80, 0, 1, 7, 8, 127, 128, 254, 255}) {
    std::shuffle(colours.begin(), colours.end(), random);
    BITMAP* library = Make(256, 256);
    for (int c = 0; c < 65536; ++c) putpixel(library, c % 256, c / 256, colours[c]);
    BITMAP* ours = Copy(library);
    LibraryDraw(library, source, alpha);
    DrawTranslucent(ours, source, alpha);
    ASSERT_EQ(Difference(library, ours), "") << "alpha " << alpha;
  }
}

TEST_F(TranslucentBlendTest, MaskColouredPixelsOfASpriteLeaveTheDestinationAlone) {
  BITMAP* sprite = Picture(dat::kFighterLeft);
  int masked = 0;
  for (int y = 0; y < sprite->h; ++y)
    for (int x = 0; x < sprite->w; ++x) masked += getpixel(sprite, x, y) == bitmap_mask_color(sprite);
  ASSERT_GT(masked, 0) << "the fighter picture should have a transparent background";

  BITMAP* library = Make(300, 200);
  blit(Picture(dat::kTitlePicture), library, 400, 300, 0, 0, 300, 200);
  BITMAP* ours = Copy(library);
  BITMAP* before = Copy(library);
  LibraryDraw(library, sprite, 80);
  DrawTranslucent(ours, sprite, 80);
  EXPECT_EQ(Difference(library, ours), "");
  for (int y = 0; y < sprite->h; ++y) {
    for (int x = 0; x < sprite->w; ++x) {
      if (getpixel(sprite, x, y) != bitmap_mask_color(sprite)) continue;
      ASSERT_EQ(getpixel(ours, x, y), getpixel(before, x, y)) << "at (" << x << ", " << y << ")";
    }
  }
}

TEST_F(TranslucentBlendTest, DrawsOnlyInsideTheDestinationsClipRectangle) {
  BITMAP* scene = Picture(dat::kTitlePicture);
  BITMAP* library = Copy(Picture(dat::kHelpBackground));
  BITMAP* ours = Copy(Picture(dat::kHelpBackground));
  for (BITMAP* b : {library, ours}) set_clip_rect(b, 100, 50, 899, 700);
  LibraryDraw(library, scene, 80);
  DrawTranslucent(ours, scene, 80);
  for (BITMAP* b : {library, ours}) set_clip_rect(b, 0, 0, b->w - 1, b->h - 1);
  EXPECT_EQ(Difference(library, ours), "");
  EXPECT_EQ(getpixel(ours, 99, 300), getpixel(Picture(dat::kHelpBackground), 99, 300));

  // A source larger than the destination is cut at the destination's edge.
  BITMAP* small = Make(200, 120);
  clear_to_color(small, makecol16(40, 90, 200));
  BITMAP* smallOurs = Copy(small);
  LibraryDraw(small, scene, 80);
  DrawTranslucent(smallOurs, scene, 80);
  EXPECT_EQ(Difference(small, smallOurs), "");
}

TEST_F(TranslucentBlendTest, OtherColourDepthsAreLeftToTheLibrary) {
  BITMAP* scene = Make(320, 200, 32);
  blit(Picture(dat::kTitlePicture), scene, 200, 200, 0, 0, 320, 200);
  BITMAP* library = Make(320, 200, 32);
  clear_to_color(library, makeacol32(10, 20, 30, 255));
  BITMAP* ours = Copy(library);
  LibraryDraw(library, scene, 80);
  DrawTranslucent(ours, scene, 80);
  EXPECT_EQ(Difference(library, ours), "");
}

TEST_F(TranslucentBlendTest, LeavesTheBlenderSetAsTheFadesPromise) {
  set_trans_blender(0, 0, 0, 200);
  BITMAP* scratch = Black(64, 64);
  DrawTranslucent(scratch, Picture(dat::kFighterLeft), 80);

  // A later draw_trans_sprite behaves as under set_trans_blender(0, 0, 0, 80).
  BITMAP* after = Copy(Picture(dat::kTitlePicture));
  draw_trans_sprite(after, Picture(dat::kHelpBackground), 0, 0);
  BITMAP* expected = Copy(Picture(dat::kTitlePicture));
  LibraryDraw(expected, Picture(dat::kHelpBackground), 80);
  EXPECT_EQ(Difference(expected, after), "");
}

}  // namespace
