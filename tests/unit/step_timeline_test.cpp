#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "engine/clock.h"
#include "engine/step_timeline.h"

namespace {

// What a loop at the display's refresh does with the timeline: for each
// refresh, the steps due, then the fraction drawn. A thing that moves 16 px a
// step is drawn at its place between its last two steps.
struct Frames {
  std::vector<int> drawnX;       // per refresh
  std::vector<int> stepsBefore;  // steps taken when each frame was drawn
};

Frames RunAt(double hz, int refreshes, long long startNs = 3000000000LL) {
  StepTimeline timeline;
  Frames run;
  const double period = 1e9 / hz;
  for (int r = 0; r < refreshes; ++r) {
    const long long shownAt = startNs + std::llround(r * period);
    timeline.Follow(shownAt);
    while (timeline.StepDue(shownAt)) timeline.StepTaken();
    const double f = timeline.Fraction(shownAt);
    EXPECT_GE(f, 0.0);
    EXPECT_LT(f, 1.0);
    const long long last = timeline.Taken();
    run.drawnX.push_back(static_cast<int>(std::floor((last - 1) * 16 + 16 * f + 0.5)));
    run.stepsBefore.push_back(static_cast<int>(last));
  }
  return run;
}

}  // namespace

TEST(StepTimelineTest, FiftyStepsASecondWhateverTheRefresh) {
  for (double hz : {50.0, 60.0, 75.0, 120.0, 144.0, 165.0}) {
    const Frames run = RunAt(hz, static_cast<int>(hz * 10));
    EXPECT_NEAR(run.stepsBefore.back(), 500, 2) << hz << " Hz";
  }
}

TEST(StepTimelineTest, ASteadyFlightMovesTheSameAmountAtEveryRefresh) {
  for (double hz : {60.0, 75.0, 144.0}) {
    const Frames run = RunAt(hz, 300);
    const double expected = 16 * 50 / hz;
    for (size_t i = 1; i < run.drawnX.size(); ++i) {
      const int moved = run.drawnX[i] - run.drawnX[i - 1];
      EXPECT_GT(moved, 0) << hz << " Hz: no frame repeats the one before (frame " << i << ")";
      EXPECT_LE(std::fabs(moved - expected), 1.0) << hz << " Hz, frame " << i;
    }
  }
}

TEST(StepTimelineTest, AKeyShowsWithinAStepAndARefresh) {
  // A key pressed at time P is read by the first step taken after P; the
  // picture shows that step's change once it is drawn with a fraction above
  // zero. Frames are prepared at the refresh before the one they are seen at.
  const double hz = 60, period = 1e9 / hz;
  const long long start = 3000000000LL;
  for (long long pressed = start + 100000000LL; pressed < start + 140000000LL; pressed += 1000000) {
    StepTimeline timeline;
    long long readBy = -1;
    long long seenAt = -1;
    for (int r = 0; r < 200 && seenAt < 0; ++r) {
      const long long shownAt = start + std::llround(r * period);
      const long long preparedAt = shownAt - std::llround(period);
      timeline.Follow(shownAt);
      while (timeline.StepDue(shownAt)) {
        timeline.StepTaken();
        if (readBy < 0 && preparedAt >= pressed) readBy = timeline.Taken();
      }
      if (readBy > 0 && (timeline.Taken() > readBy || timeline.Fraction(shownAt) > 0)) seenAt = shownAt;
    }
    ASSERT_GT(seenAt, 0);
    EXPECT_LE(seenAt - pressed, StepTimeline::kStepNs + std::llround(period) + 1000000)
        << "pressed at +" << (pressed - start) / 1000000 << " ms";
  }
}

TEST(StepTimelineTest, DroppedStepsStartTheTimelineAgainFromTheSceneAsItStands) {
  StepTimeline timeline;
  timeline.Follow(1000000000LL);
  while (timeline.StepDue(1000000000LL)) timeline.StepTaken();
  EXPECT_EQ(timeline.Taken(), 1);
  // Ten seconds later (a question was open): without a drop 500 steps
  // would be owed; after one the loop goes on from where it stood.
  DropOwedFrames();
  const long long later = 11000000000LL;
  timeline.Follow(later);
  int steps = 0;
  while (timeline.StepDue(later)) {
    timeline.StepTaken();
    ++steps;
  }
  EXPECT_EQ(steps, 1);
  EXPECT_DOUBLE_EQ(timeline.Fraction(later), 0.0);
  // A machine that fell a second behind catches the steps up.
  const long long behind = later + 1000000000LL;
  timeline.Follow(behind);
  steps = 0;
  while (timeline.StepDue(behind)) {
    timeline.StepTaken();
    ++steps;
  }
  EXPECT_EQ(steps, 50);
}
