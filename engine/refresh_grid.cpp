#include "engine/refresh_grid.h"

#include <cmath>

namespace {
// Refreshes before the period is taken from the stretch measured.
constexpr uint64_t kSpanForPeriod = 32;
// A stretch this long is started afresh from the grid, so the period follows
// a display that changes its rate.
constexpr uint64_t kLongestSpan = 1024;
// How much of each report's wobble moves the grid's phase.
constexpr double kPhaseFollow = 1.0 / 8;
}  // namespace

void RefreshGrid::Restart() { reports_ = 0; }

void RefreshGrid::Anchor(uint64_t counter, long long ns) {
  anchorCounter_ = counter;
  anchorNs_ = static_cast<double>(ns);
  spanCounter_ = counter;
  spanNs_ = anchorNs_;
}

void RefreshGrid::Report(uint64_t counter, long long ns) {
  if (reports_ == 0 || counter <= lastCounter_) {
    Anchor(counter, ns);
    lastCounter_ = counter;
    reports_ = 1;
    return;
  }
  ++reports_;
  lastCounter_ = counter;
  const uint64_t span = counter - spanCounter_;
  if (span < kSpanForPeriod && reports_ <= static_cast<int>(kSpanForPeriod)) {
    // Early on the period is whatever the reports so far say.
    const double measured = (static_cast<double>(ns) - spanNs_) / static_cast<double>(span);
    if (measured > 1e6 && measured < 1e9) periodNs_ = measured;
    anchorCounter_ = counter;
    anchorNs_ = static_cast<double>(ns);
    return;
  }
  const double predicted = static_cast<double>(TimeOf(counter));
  const double error = static_cast<double>(ns) - predicted;
  if (std::fabs(error) > periodNs_ / 2) {
    // The display stopped for a while or its clock jumped: a new grid.
    Anchor(counter, ns);
    reports_ = 1;
    return;
  }
  anchorCounter_ = counter;
  anchorNs_ = predicted + error * kPhaseFollow;
  if (span >= kSpanForPeriod) {
    const double measured = (anchorNs_ - spanNs_) / static_cast<double>(span);
    if (measured > 1e6 && measured < 1e9) periodNs_ = measured;
  }
  if (span >= kLongestSpan) {
    spanCounter_ = counter;
    spanNs_ = anchorNs_;
  }
}

long long RefreshGrid::TimeOf(uint64_t counter) const {
  const double steps = counter >= anchorCounter_ ? static_cast<double>(counter - anchorCounter_)
                                                 : -static_cast<double>(anchorCounter_ - counter);
  return static_cast<long long>(std::llround(anchorNs_ + steps * periodNs_));
}
