// The display's refreshes as an even grid of times. The display reports when
// each refresh happened (its counter and a time of the monotonic clock), but
// the reports wobble by a millisecond or so; a frame drawn for a time taken
// straight from them would move the scene unevenly. So the grid keeps the
// refresh period measured over a long stretch and a phase that follows the
// reports slowly, and frames are drawn for its times: a steady flight then
// moves the picture by the same amount at every refresh.
#pragma once

#include <cstdint>

class RefreshGrid {
 public:
  static constexpr long long kDefaultPeriodNs = 16666667;  // 60 Hz until measured

  // Refresh `counter` happened at `ns` (monotonic nanoseconds).
  void Report(uint64_t counter, long long ns);
  // Forgets everything but the period (a new window, a new mode).
  void Restart();

  bool Known() const { return reports_ > 0; }
  // When refresh `counter` happens, on the grid.
  long long TimeOf(uint64_t counter) const;
  long long PeriodNs() const { return static_cast<long long>(periodNs_ + 0.5); }
  // The last refresh reported.
  uint64_t LastCounter() const { return lastCounter_; }

 private:
  void Anchor(uint64_t counter, long long ns);

  // A point of the grid: refresh `anchorCounter_` at `anchorNs_`.
  uint64_t anchorCounter_ = 0;
  double anchorNs_ = 0;
  double periodNs_ = kDefaultPeriodNs;
  // The start of the stretch the period is measured over.
  uint64_t spanCounter_ = 0;
  double spanNs_ = 0;
  uint64_t lastCounter_ = 0;
  int reports_ = 0;
};
