#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>

#include "engine/refresh_grid.h"

namespace {

// A display of `hz` whose reports wobble by up to `wobbleNs` either way, as
// the simulated clock of the test X server does.
struct WobblyDisplay {
  double periodNs;
  long long wobbleNs;
  std::mt19937 random{20261209};
  long long TrueTime(uint64_t counter) const { return 5000000000LL + std::llround(counter * periodNs); }
  long long Reported(uint64_t counter) {
    std::uniform_int_distribution<long long> wobble(-wobbleNs, wobbleNs);
    return TrueTime(counter) + wobble(random);
  }
};

}  // namespace

TEST(RefreshGridTest, WobblyReportsGiveAnEvenGridAtEveryRate) {
  for (double hz : {60.0, 75.0, 120.0, 144.0}) {
    WobblyDisplay display{1e9 / hz, 800000};
    RefreshGrid grid;
    for (uint64_t c = 100; c < 400; ++c) grid.Report(c, display.Reported(c));
    EXPECT_NEAR(grid.PeriodNs(), display.periodNs, 20000) << hz << " Hz";
    // The refreshes to come, drawn for: evenly spaced, close to the truth.
    for (uint64_t c = 400; c < 410; ++c) {
      const long long step = grid.TimeOf(c + 1) - grid.TimeOf(c);
      EXPECT_NEAR(step, grid.PeriodNs(), 1) << hz << " Hz";
      EXPECT_NEAR(grid.TimeOf(c), display.TrueTime(c), 400000) << hz << " Hz, refresh " << c;
    }
  }
}

TEST(RefreshGridTest, TheFirstReportsMeasureARateOtherThanSixty) {
  WobblyDisplay display{1e9 / 144, 0};
  RefreshGrid grid;
  EXPECT_FALSE(grid.Known());
  EXPECT_EQ(grid.PeriodNs(), RefreshGrid::kDefaultPeriodNs);
  grid.Report(7, display.Reported(7));
  grid.Report(8, display.Reported(8));
  EXPECT_TRUE(grid.Known());
  EXPECT_NEAR(grid.PeriodNs(), display.periodNs, 1000);
  EXPECT_NEAR(grid.TimeOf(9), display.TrueTime(9), 1000);
}

TEST(RefreshGridTest, MissedRefreshesKeepTheGridAndAStalledDisplayStartsANewOne) {
  WobblyDisplay display{1e9 / 60, 300000};
  RefreshGrid grid;
  for (uint64_t c = 0; c < 100; ++c) grid.Report(c, display.Reported(c));
  // Every other refresh reported (frames that missed one): the same grid.
  for (uint64_t c = 100; c < 200; c += 2) grid.Report(c, display.Reported(c));
  EXPECT_NEAR(grid.TimeOf(201), display.TrueTime(201), 300000);
  // The display stood still for a second and a half: its clock moved on
  // without the counter.
  grid.Report(201, display.TrueTime(201) + 1500000000LL);
  EXPECT_EQ(grid.TimeOf(201), display.TrueTime(201) + 1500000000LL);
  EXPECT_NEAR(grid.TimeOf(202) - grid.TimeOf(201), display.periodNs, 20000);
  // A counter that went back (a new window) starts afresh too.
  grid.Report(5, 123456789);
  EXPECT_EQ(grid.TimeOf(5), 123456789);
  EXPECT_EQ(grid.LastCounter(), 5u);
}
