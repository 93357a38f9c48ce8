// The display shows the game's frames the same whichever way they reach it:
// the 32-bit screen written directly (each 16-bit pixel converted through the
// table) against the library's own 16-bit screen, read back from the X
// server pixel by pixel.
#include <gtest/gtest.h>

#include <allegro.h>

#include <cstdint>
#include <vector>

#include "engine/screen_writer.h"
#include "x_screen_grab.h"

namespace {

constexpr int kW = 1024, kH = 768;

std::vector<uint32_t> Grab() { return GrabXScreen(kW, kH); }

// Every 16-bit value in the first 64 rows, then a ramp of mixed ones.
void FillWithEveryColour(BITMAP* frame) {
  for (int y = 0; y < kH; ++y) {
    uint16_t* row = reinterpret_cast<uint16_t*>(frame->line[y]);
    for (int x = 0; x < kW; ++x) row[x] = static_cast<uint16_t>(y < 64 ? y * kW + x : (x * 37 + y * 101) * 7);
  }
}

TEST(ScreenWriterOnTheDisplay, AThirtyTwoBitScreenShowsEveryColourAsTheLibrarysSixteenBitScreen) {
  if (desktop_color_depth() < 24) GTEST_SKIP() << "the display is not 24 or 32 bits deep";
  set_color_depth(16);
  ASSERT_EQ(set_gfx_mode(GFX_AUTODETECT_WINDOWED, kW, kH, 0, 0), 0) << allegro_error;
  BITMAP* frame = create_bitmap(kW, kH);
  FillWithEveryColour(frame);
  blit(frame, screen, 0, 0, 0, 0, kW, kH);
  const std::vector<uint32_t> library = Grab();

  set_color_depth(32);
  ASSERT_EQ(set_gfx_mode(GFX_AUTODETECT_WINDOWED, kW, kH, 0, 0), 0) << allegro_error;
  set_color_depth(16);
  ASSERT_EQ(bitmap_color_depth(screen), 32);
  ScreenWriter writer;
  writer.Attach(screen, PictureArea());
  writer.Present(frame);
  const std::vector<uint32_t> direct = Grab();

  ASSERT_EQ(library.size(), static_cast<size_t>(kW * kH));
  ASSERT_EQ(direct.size(), library.size());
  size_t differing = 0;
  for (size_t i = 0; i < library.size(); ++i) differing += library[i] != direct[i];
  EXPECT_EQ(differing, 0u);

  // Only changed rows are sent: a frame differing in one band shows it, and
  // the rest of the screen keeps what it had.
  BITMAP* next = create_bitmap(kW, kH);
  blit(frame, next, 0, 0, 0, 0, kW, kH);
  rectfill(next, 100, 300, 900, 340, makecol(255, 0, 0));
  writer.PresentChanges(next, frame);
  const std::vector<uint32_t> changed = Grab();
  ASSERT_EQ(changed.size(), library.size());
  EXPECT_EQ(changed[320 * kW + 500], writer.Convert(static_cast<uint16_t>(makecol(255, 0, 0))) & 0xffffff);
  EXPECT_EQ(changed[10 * kW + 10], direct[10 * kW + 10]);

  destroy_bitmap(next);
  destroy_bitmap(frame);
  set_gfx_mode(GFX_TEXT, 0, 0, 0, 0);
}

}  // namespace
