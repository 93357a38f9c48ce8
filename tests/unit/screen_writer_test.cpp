// Frames on a 32-bit screen: the arithmetic that converts a row at memory
// speed gives exactly the library's own colours, and rows are doubled into
// 2 x 2 blocks at scale 2.
#include <gtest/gtest.h>

#include <allegro.h>
#include <allegro/internal/aintern.h>

#include <cstdint>
#include <vector>

#include "engine/screen_writer.h"
#include "support/allegro_fixture.h"

namespace {

class ScreenWriterTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { kav_test::InitHeadlessAllegro(); }
};

TEST_F(ScreenWriterTest, TheArithmeticGivesTheLibrarysColourForEverySixteenBitValue) {
  std::vector<uint16_t> all(65536);
  for (int i = 0; i < 65536; ++i) all[i] = static_cast<uint16_t>(i);
  std::vector<uint32_t> library(65536);
  COLORCONV_BLITTER_FUNC* convert = _get_colorconv_blitter(16, 32);
  ASSERT_NE(convert, nullptr);
  GRAPHICS_RECT from = {256, 256, 512, all.data()};
  GRAPHICS_RECT to = {256, 256, 1024, library.data()};
  convert(&from, &to);
  _release_colorconv_blitter(convert);
  int differing = 0;
  for (int i = 0; i < 65536; ++i) differing += (library[i] & 0xffffff) != ScreenWriter::ConvertByArithmetic(i);
  EXPECT_EQ(differing, 0);
}

TEST_F(ScreenWriterTest, RowsAreConvertedOnceOrDoubledIntoBlocks) {
  const int saved[3] = {_rgb_r_shift_32, _rgb_g_shift_32, _rgb_b_shift_32};
  for (bool standardLayout : {true, false}) {
    // The usual layout takes the arithmetic; another one the table.
    _rgb_r_shift_32 = standardLayout ? 16 : 0;
    _rgb_g_shift_32 = 8;
    _rgb_b_shift_32 = standardLayout ? 0 : 16;
    ScreenWriter writer;
    writer.BuildTable();
    EXPECT_EQ(writer.ArithmeticMatches(), standardLayout);
    BITMAP* frame = create_bitmap_ex(16, 64, 8);
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 64; ++x) reinterpret_cast<uint16_t*>(frame->line[y])[x] = static_cast<uint16_t>(x * 1031 + y * 7);
    BITMAP* once = create_bitmap_ex(32, 64, 8);
    BITMAP* doubled = create_bitmap_ex(32, 128, 16);
    clear_to_color(once, 0x123456);
    writer.ConvertRows(frame, 2, 3, once, 1);
    writer.ConvertRows(frame, 0, 8, doubled, 2);
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 64; ++x) {
        const uint16_t p = reinterpret_cast<uint16_t*>(frame->line[y])[x];
        const uint32_t c = ScreenWriter::ConvertByArithmetic(p);
        const uint32_t expected = ((c >> 16) & 0xff) << _rgb_r_shift_32 | ((c >> 8) & 0xff) << 8 |
                                  (c & 0xff) << _rgb_b_shift_32;
        EXPECT_EQ(writer.Convert(p), expected);
        const uint32_t shown = reinterpret_cast<uint32_t*>(once->line[y])[x];
        EXPECT_EQ(shown, y >= 2 && y < 5 ? expected : 0x123456u) << x << "," << y;
        for (int dy = 0; dy < 2; ++dy)
          for (int dx = 0; dx < 2; ++dx)
            EXPECT_EQ(reinterpret_cast<uint32_t*>(doubled->line[2 * y + dy])[2 * x + dx], expected);
      }
    destroy_bitmap(frame);
    destroy_bitmap(once);
    destroy_bitmap(doubled);
  }
  _rgb_r_shift_32 = saved[0];
  _rgb_g_shift_32 = saved[1];
  _rgb_b_shift_32 = saved[2];
}

TEST_F(ScreenWriterTest, SixteenBitRowsAreDoubledIntoBlocks) {
  BITMAP* frame = create_bitmap_ex(16, 32, 4);
  BITMAP* doubled = create_bitmap_ex(16, 64, 8);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 32; ++x) reinterpret_cast<uint16_t*>(frame->line[y])[x] = static_cast<uint16_t>(x * 2053 + y);
  ScreenWriter::CopyRows16(frame, 0, 4, doubled, 2);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 64; ++x)
      EXPECT_EQ(reinterpret_cast<uint16_t*>(doubled->line[y])[x], reinterpret_cast<uint16_t*>(frame->line[y / 2])[x / 2]);
  destroy_bitmap(frame);
  destroy_bitmap(doubled);
}

// A frame written into the writer's own picture (as the presenter's), the
// picture 1440 x 1080 on a 1920 x 1080 screen.
TEST_F(ScreenWriterTest, OnlyTheRowsThatChangedAreWrittenAfterAFrameThatChangedThemAll) {
  BITMAP* screenBitmap = create_bitmap_ex(32, 1920, 1080);
  clear_to_color(screenBitmap, 0);  // new bitmaps hold whatever the memory held
  std::vector<uint32_t> own(1440 * 1080, 0x00abcdef);
  PictureArea picture;
  picture.x = 240;
  picture.width = 1440;
  picture.height = 1080;
  ScreenWriter writer;
  writer.Attach(screenBitmap, picture);
  PixelRows rows;
  rows.pixels = reinterpret_cast<uint8_t*>(own.data());
  rows.pitch = 1440 * 4;
  rows.width = 1440;
  rows.height = 1080;
  writer.WriteInto(rows);
  BITMAP* frames[3] = {create_bitmap_ex(16, 1024, 768), create_bitmap_ex(16, 1024, 768), create_bitmap_ex(16, 1024, 768)};
  for (int f = 0; f < 3; ++f)
    for (int y = 0; y < 768; ++y)
      for (int x = 0; x < 1024; ++x) reinterpret_cast<uint16_t*>(frames[f]->line[y])[x] = static_cast<uint16_t>(x + y * 3 + f * 977);
  // The first frame goes out whole, and so does one that changed every row.
  ScreenRows written = writer.Write(frames[0], nullptr);
  EXPECT_EQ(written.top, 0);
  EXPECT_EQ(written.bottom, 1079);
  written = writer.Write(frames[1], frames[0]);
  EXPECT_EQ(written.top, 0);
  EXPECT_EQ(written.bottom, 1079);
  EXPECT_EQ(own[0], writer.Convert(reinterpret_cast<uint16_t*>(frames[1]->line[0])[0]));
  // Then one row changes: a scrolling frame's guess must not hide it, and
  // the rest is not written again.
  blit(frames[1], frames[2], 0, 0, 0, 0, 1024, 768);
  reinterpret_cast<uint16_t*>(frames[2]->line[401])[500] ^= 0xffff;
  const int screenRow = (401 * 1080 + 540) / 768, screenColumn = (500 * 1440 + 720) / 1024;
  const uint32_t before = own[screenRow * 1440 + screenColumn];
  written = writer.Write(frames[2], frames[1]);
  EXPECT_LE(written.top, 401 * 1080 / 768);
  EXPECT_GE(written.bottom, 402 * 1080 / 768 - 1);
  EXPECT_LT(written.bottom - written.top, 4);
  EXPECT_NE(own[screenRow * 1440 + screenColumn], before) << "the changed pixel shows";
  // Nothing written beside the own picture.
  EXPECT_EQ(reinterpret_cast<uint32_t*>(screenBitmap->line[500])[1000], 0u);
  for (BITMAP* frame : frames) destroy_bitmap(frame);
  destroy_bitmap(screenBitmap);
}

}  // namespace
