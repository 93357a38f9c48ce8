// The sharp scaler against a plain reference worked out from what each screen
// pixel covers: every screen pixel of the full-screen sizes on pictures that
// make errors show (saturated checkerboards, gradients, random pixels), whole
// factors as pure repetition, the bars beside the picture left alone, rows
// written only where asked, the rows that read a source row, and the vector
// code against the portable loops.
#include "engine/sharp_scaler.h"

#include <allegro.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "engine/screen_writer.h"
#include "support/allegro_fixture.h"

namespace {

constexpr int kSourceW = 1024, kSourceH = 768;
// Written around every picture first, to show what the scaler touched.
constexpr uint32_t kMarker = 0xa5c3e1f7u;
constexpr int kBar = 5;

uint16_t Rgb565(int r, int g, int b) { return static_cast<uint16_t>((r & 31) << 11 | (g & 63) << 5 | (b & 31)); }

enum class Picture { kCheckerboard, kGradients, kRandom };

std::string NameOf(Picture p) {
  return p == Picture::kCheckerboard ? "checkerboard" : p == Picture::kGradients ? "gradients" : "random";
}

void Paint(BITMAP* frame, Picture picture) {
  // Saturated neighbours: every channel jumps from 0 to full between pixels.
  static const uint16_t kLoud[8] = {Rgb565(31, 0, 0),  Rgb565(0, 63, 31), Rgb565(0, 63, 0),  Rgb565(31, 0, 31),
                                    Rgb565(0, 0, 31),  Rgb565(31, 63, 0), Rgb565(31, 63, 31), Rgb565(0, 0, 0)};
  std::mt19937 random(20240611);
  for (int y = 0; y < frame->h; ++y) {
    uint16_t* row = reinterpret_cast<uint16_t*>(frame->line[y]);
    for (int x = 0; x < frame->w; ++x) {
      switch (picture) {
        case Picture::kCheckerboard:
          row[x] = (x / 7 + y / 5) % 3 == 0 ? kLoud[(x + y) % 2 ? 6 : 7] : kLoud[(x + 3 * y) % 8];
          break;
        case Picture::kGradients:
          row[x] = Rgb565(x / 3, y / 2 + x % 7, (x + y) / 5);
          break;
        case Picture::kRandom:
          row[x] = static_cast<uint16_t>(random());
          break;
      }
    }
  }
}

// The source pixels screen pixel i covers along one axis (n source, m screen
// pixels) and their shares, exactly: i spans [i n, (i + 1) n) and source pixel
// k spans [k m, (k + 1) m), both in 1/m of a source pixel.
struct Taps {
  int pixel[2];
  double share[2];
  int count;
};

std::vector<Taps> TapsOf(int n, int m) {
  std::vector<Taps> taps(m);
  for (int i = 0; i < m; ++i) {
    Taps& t = taps[i];
    t.count = 0;
    const int64_t from = static_cast<int64_t>(i) * n, to = static_cast<int64_t>(i + 1) * n;
    for (int k = static_cast<int>(from / m); k < n && static_cast<int64_t>(k) * m < to; ++k) {
      const int64_t overlap = std::min(to, static_cast<int64_t>(k + 1) * m) - std::max(from, static_cast<int64_t>(k) * m);
      if (overlap <= 0) continue;
      EXPECT_LT(t.count, 2) << "screen pixel " << i << " of " << m << " covers more than two source pixels";
      if (t.count == 2) break;
      t.pixel[t.count] = k;
      t.share[t.count] = static_cast<double>(overlap) / n;
      ++t.count;
    }
  }
  return taps;
}

uint32_t ColourOf(uint16_t pixel, const uint32_t* table) {
  return table ? table[pixel] & 0xffffff : ScreenWriter::ConvertByArithmetic(pixel);
}

class SharpScalerTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { kav_test::InitHeadlessAllegro(); }
  void TearDown() override {
    for (BITMAP* b : made_) destroy_bitmap(b);
  }

  BITMAP* Make(int depth, int w, int h) {
    BITMAP* b = create_bitmap_ex(depth, w, h);
    made_.push_back(b);
    return b;
  }
  BITMAP* Frame(Picture picture, int w = kSourceW, int h = kSourceH) {
    BITMAP* frame = Make(16, w, h);
    Paint(frame, picture);
    return frame;
  }
  // A screen with bars of kBar pixels (or `x`, `y`) around the picture, all marker.
  BITMAP* Screen(const SharpScaler& scaler, int x = kBar, int y = kBar) {
    BITMAP* screen = Make(32, scaler.DestWidth() + x + kBar, scaler.DestHeight() + y + kBar);
    for (int row = 0; row < screen->h; ++row)
      std::fill_n(reinterpret_cast<uint32_t*>(screen->line[row]), screen->w, kMarker);
    return screen;
  }
  static uint32_t At(const BITMAP* b, int x, int y) { return reinterpret_cast<const uint32_t*>(b->line[y])[x]; }

  // Empty when every picture pixel matches the reference (unblended ones
  // exactly, blended ones within 1 a channel) and nothing around it changed.
  static std::string AgainstReference(const BITMAP* frame, const BITMAP* screen, int dw, int dh,
                                      const uint32_t* table = nullptr, int x0 = kBar, int y0 = kBar) {
    const std::vector<Taps> columns = TapsOf(frame->w, dw), rows = TapsOf(frame->h, dh);
    int wrong = 0, outside = 0, blended = 0;
    std::string first;
    for (int y = 0; y < screen->h; ++y)
      for (int x = 0; x < screen->w; ++x) {
        const uint32_t shown = At(screen, x, y);
        const int i = x - x0, j = y - y0;
        if (i < 0 || j < 0 || i >= dw || j >= dh) {
          outside += shown != kMarker;
          continue;
        }
        const Taps &across = columns[i], &down = rows[j];
        double channel[3] = {0, 0, 0};
        for (int a = 0; a < down.count; ++a)
          for (int b = 0; b < across.count; ++b) {
            const uint16_t p = reinterpret_cast<const uint16_t*>(frame->line[down.pixel[a]])[across.pixel[b]];
            const uint32_t c = ColourOf(p, table);
            for (int k = 0; k < 3; ++k) channel[k] += down.share[a] * across.share[b] * ((c >> (8 * k)) & 0xff);
          }
        const bool mixed = down.count > 1 || across.count > 1;
        blended += mixed;
        bool ok = (shown >> 24) == 0;
        for (int k = 0; k < 3; ++k) {
          const int expected = static_cast<int>(channel[k] + 0.5);
          const int got = static_cast<int>((shown >> (8 * k)) & 0xff);
          ok = ok && (mixed ? std::abs(got - expected) <= 1 : got == expected);
        }
        if (!ok && wrong++ == 0) {
          char text[160];
          std::snprintf(text, sizeof text, "first at (%d, %d)%s: %06x, reference %02x%02x%02x", i, j,
                        mixed ? " (blended)" : "", shown, static_cast<int>(channel[2] + 0.5),
                        static_cast<int>(channel[1] + 0.5), static_cast<int>(channel[0] + 0.5));
          first = text;
        }
      }
    if (!wrong && !outside) return "";
    return std::to_string(wrong) + " pixels wrong of " + std::to_string(dw * dh) + " (" + std::to_string(blended) +
           " blended), " + std::to_string(outside) + " outside the picture changed; " + first;
  }

  static std::string Differing(const BITMAP* a, const BITMAP* b) {
    int count = 0;
    std::string first;
    for (int y = 0; y < a->h; ++y)
      for (int x = 0; x < a->w; ++x)
        if (At(a, x, y) != At(b, x, y) && count++ == 0) first = " first at " + std::to_string(x) + "," + std::to_string(y);
    return count ? std::to_string(count) + " pixels differ," + first : "";
  }

  std::vector<BITMAP*> made_;
};

struct Size {
  int w, h;
};

void PrintTo(const Size& size, std::ostream* out) { *out << size.w << " x " << size.h; }

class SharpScalerAtSize : public SharpScalerTest, public ::testing::WithParamInterface<Size> {};

// The full-screen sizes of 1920 x 1080, 2560 x 1440 and 3840 x 2160 desktops,
// and two whose axes differ and whose weights are no whole 64ths.
INSTANTIATE_TEST_SUITE_P(FullScreenSizes, SharpScalerAtSize,
                         ::testing::Values(Size{1440, 1080}, Size{1920, 1440}, Size{2880, 2160}, Size{1130, 850},
                                           Size{2133, 1600}),
                         [](const ::testing::TestParamInfo<Size>& info) {
                           return std::to_string(info.param.w) + "x" + std::to_string(info.param.h);
                         });

TEST_P(SharpScalerAtSize, EveryScreenPixelMatchesTheReferenceAndTheVectorCodeTheLoops) {
  const Size size = GetParam();
  SharpScaler scaler;
  ASSERT_TRUE(scaler.Configure(kSourceW, kSourceH, size.w, size.h));
  const bool vector = scaler.UseVectorCode(true);
  for (Picture picture : {Picture::kCheckerboard, Picture::kGradients, Picture::kRandom}) {
    SCOPED_TRACE(NameOf(picture));
    BITMAP* frame = Frame(picture);
    BITMAP* portable = Screen(scaler);
    scaler.UseVectorCode(false);
    ASSERT_TRUE(scaler.Scale(frame, portable, kBar, kBar, 0, size.h - 1));
    EXPECT_EQ(AgainstReference(frame, portable, size.w, size.h), "");
    if (!vector) continue;
    // An odd column and row for the picture's corner: no row starts on a
    // cache line.
    BITMAP* vectorised = Screen(scaler);
    scaler.UseVectorCode(true);
    ASSERT_TRUE(scaler.Scale(frame, vectorised, kBar, kBar, 0, size.h - 1));
    EXPECT_EQ(Differing(portable, vectorised), "");
  }
  if (!vector) GTEST_SKIP() << "no AVX2 here: only the portable loops were checked";
}

TEST_P(SharpScalerAtSize, TheArithmeticAndAMatchingTableGiveTheSamePicture) {
  const Size size = GetParam();
  std::vector<uint32_t> table(65536);
  for (int i = 0; i < 65536; ++i) table[i] = ScreenWriter::ConvertByArithmetic(i);
  BITMAP* frame = Frame(Picture::kRandom);
  for (bool vector : {false, true}) {
    SharpScaler scaler;
    ASSERT_TRUE(scaler.Configure(kSourceW, kSourceH, size.w, size.h));
    if (scaler.UseVectorCode(vector) != vector) continue;
    BITMAP* byArithmetic = Screen(scaler);
    BITMAP* byTable = Screen(scaler);
    scaler.Scale(frame, byArithmetic, kBar, kBar, 0, size.h - 1);
    scaler.SetColours(table.data());
    scaler.Scale(frame, byTable, kBar, kBar, 0, size.h - 1);
    EXPECT_EQ(Differing(byArithmetic, byTable), "") << (vector ? "vector code" : "portable loops");
  }
}

TEST_P(SharpScalerAtSize, DestinationRowsAreThoseThatCoverTheSourceRows) {
  const Size size = GetParam();
  SharpScaler scaler;
  ASSERT_TRUE(scaler.Configure(kSourceW, kSourceH, size.w, size.h));
  const std::vector<Taps> rows = TapsOf(kSourceH, size.h);
  // From the definition: the first and last screen rows covering source row r.
  std::vector<int> firstOf(kSourceH, size.h), lastOf(kSourceH, -1);
  for (int i = 0; i < size.h; ++i)
    for (int t = 0; t < rows[i].count; ++t) {
      firstOf[rows[i].pixel[t]] = std::min(firstOf[rows[i].pixel[t]], i);
      lastOf[rows[i].pixel[t]] = std::max(lastOf[rows[i].pixel[t]], i);
    }
  int first = 0, last = 0;
  for (int r = 0; r < kSourceH; ++r) {
    scaler.DestinationRowsOf(r, r, &first, &last);
    ASSERT_EQ(first, firstOf[r]) << "source row " << r;
    ASSERT_EQ(last, lastOf[r]) << "source row " << r;
  }
  scaler.DestinationRowsOf(0, kSourceH - 1, &first, &last);
  EXPECT_EQ(first, 0);
  EXPECT_EQ(last, size.h - 1);
  scaler.DestinationRowsOf(-20, 3, &first, &last);
  EXPECT_EQ(first, 0);
  EXPECT_EQ(last, lastOf[3]);
  scaler.DestinationRowsOf(kSourceH - 2, kSourceH + 40, &first, &last);
  EXPECT_EQ(first, firstOf[kSourceH - 2]);
  EXPECT_EQ(last, size.h - 1);
  scaler.DestinationRowsOf(300, 299, &first, &last);
  EXPECT_GT(first, last);
  scaler.DestinationRowsOf(kSourceH, kSourceH + 5, &first, &last);
  EXPECT_GT(first, last);
}

TEST_F(SharpScalerTest, ChangedSourceRowsChangeOnlyTheirDestinationRows) {
  SharpScaler scaler;
  ASSERT_TRUE(scaler.Configure(kSourceW, kSourceH, 2133, 1600));
  BITMAP* frame = Frame(Picture::kRandom);
  BITMAP* before = Screen(scaler);
  BITMAP* after = Screen(scaler);
  scaler.Scale(frame, before, kBar, kBar, 0, 1599);
  for (const auto& band : {std::pair<int, int>{0, 0}, {1, 1}, {100, 109}, {384, 384}, {766, 767}, {767, 767}}) {
    for (int y = band.first; y <= band.second; ++y)
      for (int x = 0; x < kSourceW; ++x) reinterpret_cast<uint16_t*>(frame->line[y])[x] ^= 0xffff;
    scaler.Scale(frame, after, kBar, kBar, 0, 1599);
    int first = 0, last = 0;
    scaler.DestinationRowsOf(band.first, band.second, &first, &last);
    int changedFirst = 1600, changedLast = -1;
    for (int y = 0; y < 1600; ++y)
      if (std::memcmp(before->line[y + kBar], after->line[y + kBar], (2133 + 2 * kBar) * 4) != 0) {
        changedFirst = std::min(changedFirst, y);
        changedLast = std::max(changedLast, y);
      }
    EXPECT_EQ(changedFirst, first) << "rows " << band.first << " to " << band.second;
    EXPECT_EQ(changedLast, last) << "rows " << band.first << " to " << band.second;
    for (int y = band.first; y <= band.second; ++y)
      for (int x = 0; x < kSourceW; ++x) reinterpret_cast<uint16_t*>(frame->line[y])[x] ^= 0xffff;
  }
}

TEST_F(SharpScalerTest, WholeFactorsRepeatEachPixelAsABlockAndOneIsThePlainConversion) {
  BITMAP* frame = Frame(Picture::kRandom, 256, 192);
  for (int factor = 1; factor <= 4; ++factor)
    for (bool vector : {false, true}) {
      SharpScaler scaler;
      ASSERT_TRUE(scaler.Configure(256, 192, 256 * factor, 192 * factor));
      if (scaler.UseVectorCode(vector) != vector) continue;
      BITMAP* screen = Screen(scaler);
      ASSERT_TRUE(scaler.Scale(frame, screen, kBar, kBar, 0, 192 * factor - 1));
      int wrong = 0;
      for (int y = 0; y < 192 * factor; ++y)
        for (int x = 0; x < 256 * factor; ++x) {
          const uint16_t p = reinterpret_cast<uint16_t*>(frame->line[y / factor])[x / factor];
          wrong += At(screen, x + kBar, y + kBar) != ScreenWriter::ConvertByArithmetic(p);
        }
      EXPECT_EQ(wrong, 0) << "factor " << factor << (vector ? ", vector code" : ", portable loops");
      EXPECT_EQ(AgainstReference(frame, screen, 256 * factor, 192 * factor), "") << "factor " << factor;
    }
}

TEST_F(SharpScalerTest, EverySixteenBitColourConvertsAsTheScreenWriterDoes) {
  // All 65536 values once, unscaled, by both ways of converting.
  BITMAP* frame = Make(16, 256, 256);
  for (int y = 0; y < 256; ++y)
    for (int x = 0; x < 256; ++x) reinterpret_cast<uint16_t*>(frame->line[y])[x] = static_cast<uint16_t>(y * 256 + x);
  for (bool vector : {false, true}) {
    SharpScaler scaler;
    ASSERT_TRUE(scaler.Configure(256, 256, 256, 256));
    if (scaler.UseVectorCode(vector) != vector) continue;
    BITMAP* screen = Screen(scaler, 0, 0);
    scaler.Scale(frame, screen, 0, 0, 0, 255);
    int wrong = 0;
    for (int i = 0; i < 65536; ++i) wrong += At(screen, i % 256, i / 256) != ScreenWriter::ConvertByArithmetic(i);
    EXPECT_EQ(wrong, 0) << (vector ? "vector code" : "portable loops");
  }
}

TEST_F(SharpScalerTest, AnotherPixelLayoutTakesItsColoursFromTheTable) {
  // Red and blue swapped, and a top byte the scaler must clear.
  std::vector<uint32_t> table(65536);
  for (int i = 0; i < 65536; ++i) {
    const uint32_t c = ScreenWriter::ConvertByArithmetic(i);
    table[i] = 0xff000000u | (c & 0xff) << 16 | (c & 0xff00) | c >> 16;
  }
  BITMAP* frame = Frame(Picture::kCheckerboard);
  for (bool vector : {false, true}) {
    SharpScaler scaler;
    ASSERT_TRUE(scaler.Configure(kSourceW, kSourceH, 1440, 1080));
    if (scaler.UseVectorCode(vector) != vector) continue;
    scaler.SetColours(table.data());
    BITMAP* screen = Screen(scaler);
    scaler.Scale(frame, screen, kBar, kBar, 0, 1079);
    EXPECT_EQ(AgainstReference(frame, screen, 1440, 1080, table.data()), "") << (vector ? "vector" : "portable");
    // And back to the arithmetic.
    scaler.SetColours(nullptr);
    scaler.Scale(frame, screen, kBar, kBar, 0, 1079);
    EXPECT_EQ(AgainstReference(frame, screen, 1440, 1080), "");
  }
}

TEST_F(SharpScalerTest, ARangeOfRowsWritesExactlyThoseRows) {
  BITMAP* frame = Frame(Picture::kGradients);
  for (const Size size : {Size{1440, 1080}, Size{2048, 1536}, Size{2133, 1600}})
    for (bool vector : {false, true}) {
      SharpScaler scaler;
      ASSERT_TRUE(scaler.Configure(kSourceW, kSourceH, size.w, size.h));
      if (scaler.UseVectorCode(vector) != vector) continue;
      BITMAP* whole = Screen(scaler);
      scaler.Scale(frame, whole, kBar, kBar, 0, size.h - 1);
      const int ranges[][2] = {{0, 0}, {1, 1}, {0, 4}, {7, 7}, {500, 537}, {size.h - 1, size.h - 1},
                               {size.h - 3, size.h + 10}, {-5, 2}, {40, 39}};
      for (const auto& range : ranges) {
        BITMAP* part = Screen(scaler);
        ASSERT_TRUE(scaler.Scale(frame, part, kBar, kBar, range[0], range[1]));
        int wrong = 0;
        for (int y = 0; y < part->h; ++y) {
          const int row = y - kBar;
          const bool written = row >= std::max(range[0], 0) && row <= std::min(range[1], size.h - 1);
          for (int x = 0; x < part->w; ++x) wrong += At(part, x, y) != (written ? At(whole, x, y) : kMarker);
        }
        EXPECT_EQ(wrong, 0) << size.w << "x" << size.h << " rows " << range[0] << " to " << range[1]
                            << (vector ? ", vector code" : ", portable loops");
      }
    }
}

TEST_F(SharpScalerTest, SmallAndOddPicturesAtAnyPlaceMatchTheReference) {
  // Narrow rows are written by the loops alone; odd places start the rows
  // anywhere within a cache line.
  const int sizes[][4] = {{1, 1, 1, 1}, {1, 1, 5, 3}, {3, 2, 7, 5}, {5, 4, 16, 9}, {17, 9, 40, 23}, {64, 48, 93, 70},
                          {100, 75, 317, 230}};
  for (const auto& s : sizes)
    for (int place = 0; place < 16; place += 3) {
      BITMAP* frame = Frame(Picture::kCheckerboard, s[0], s[1]);
      SharpScaler scaler;
      ASSERT_TRUE(scaler.Configure(s[0], s[1], s[2], s[3]));
      BITMAP* portable = Screen(scaler, place, place % 4);
      scaler.UseVectorCode(false);
      ASSERT_TRUE(scaler.Scale(frame, portable, place, place % 4, 0, s[3] - 1));
      EXPECT_EQ(AgainstReference(frame, portable, s[2], s[3], nullptr, place, place % 4), "")
          << s[0] << "x" << s[1] << " to " << s[2] << "x" << s[3] << " at " << place;
      if (!scaler.UseVectorCode(true)) continue;
      BITMAP* vectorised = Screen(scaler, place, place % 4);
      ASSERT_TRUE(scaler.Scale(frame, vectorised, place, place % 4, 0, s[3] - 1));
      EXPECT_EQ(Differing(portable, vectorised), "") << s[2] << "x" << s[3] << " at " << place;
    }
}

TEST_F(SharpScalerTest, SizesItCannotDoAndPicturesThatDoNotFitAreRefused) {
  SharpScaler scaler;
  EXPECT_FALSE(scaler.Configured());
  EXPECT_FALSE(scaler.Configure(1024, 768, 1023, 768));  // smaller
  EXPECT_FALSE(scaler.Configure(1024, 768, 1024, 700));
  EXPECT_FALSE(scaler.Configure(0, 768, 1024, 768));
  EXPECT_FALSE(scaler.Configure(1024, -1, 1024, 768));
  EXPECT_FALSE(scaler.Configure(1024, 768, SharpScaler::kMaxSide + 1, 768));
  EXPECT_FALSE(scaler.Configured());
  BITMAP* frame = Frame(Picture::kGradients);
  BITMAP* screen = Make(32, 1500, 1100);
  EXPECT_FALSE(scaler.Scale(frame, screen, 0, 0, 0, 10));  // not configured
  int first = 0, last = 0;
  scaler.DestinationRowsOf(0, 767, &first, &last);
  EXPECT_GT(first, last);

  ASSERT_TRUE(scaler.Configure(1024, 768, 1440, 1080));
  for (int y = 0; y < screen->h; ++y) std::fill_n(reinterpret_cast<uint32_t*>(screen->line[y]), screen->w, kMarker);
  EXPECT_FALSE(scaler.Scale(frame, screen, 61, 0, 0, 1079));   // past the right edge
  EXPECT_FALSE(scaler.Scale(frame, screen, 0, 21, 0, 1079));   // past the bottom
  EXPECT_FALSE(scaler.Scale(frame, screen, -1, 0, 0, 1079));
  EXPECT_FALSE(scaler.Scale(Frame(Picture::kGradients, 1024, 767), screen, 0, 0, 0, 1079));
  EXPECT_FALSE(scaler.Scale(Make(32, 1024, 768), screen, 0, 0, 0, 1079));  // not a 16-bit frame
  EXPECT_FALSE(scaler.Scale(frame, Make(16, 1500, 1100), 0, 0, 0, 1079));  // not a 32-bit screen
  int touched = 0;
  for (int y = 0; y < screen->h; ++y)
    for (int x = 0; x < screen->w; ++x) touched += At(screen, x, y) != kMarker;
  EXPECT_EQ(touched, 0);
  EXPECT_TRUE(scaler.Scale(frame, screen, 60, 20, 0, 1079));
}

}  // namespace
