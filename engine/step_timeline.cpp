#include "engine/step_timeline.h"

#include "engine/clock.h"

void StepTimeline::Follow(long long shownAt) {
  const bool dropped = OwedFramesDropped() != drops_;
  if (started_ && !dropped && shownAt - StandsFor(taken_) <= kLongestCatchUpNs) {
    // Steps owed on top of the clock's are due now.
    origin_ -= TakeExtraSteps() * kStepNs;
    return;
  }
  // The scene as it stands now is what this frame shows; the next step is
  // due at once.
  origin_ = shownAt - taken_ * kStepNs;
  drops_ = OwedFramesDropped();
  started_ = true;
}

double StepTimeline::Fraction(long long shownAt) const {
  if (taken_ < 1) return 1.0;
  const double fraction = static_cast<double>(shownAt - StandsFor(taken_ - 1)) / static_cast<double>(kStepNs);
  return fraction < 0 ? 0 : fraction > 1 ? 1 : fraction;
}
