// The game's steps on the display's clock. The game takes 50 steps a second
// whatever the display does; a frame shown at a refresh shows the scene on
// its way between its last two steps. A step's place on the display's clock
// is one step after the moment it stands for: the frame for a refresh runs
// every step due up to one step past that refresh, so the player's key read
// in that step shows on the screen within a step and a refresh, and the
// frame is drawn at most a refresh ahead.
#pragma once

class StepTimeline {
 public:
  static constexpr long long kStepNs = 20000000;  // 50 steps a second
  // Behind by more than this (a machine that was asleep), nothing is caught up.
  static constexpr long long kLongestCatchUpNs = 2000000000LL;

  // A frame will be seen at `shownAt` (monotonic ns). The timeline starts
  // there the first time, and again after the steps owed were dropped (a
  // question, a pause, a new screen: DropOwedFrames).
  void Follow(long long shownAt);
  // Whether another step is due before the frame seen at `shownAt` is drawn.
  bool StepDue(long long shownAt) const { return StandsFor(taken_) <= shownAt; }
  void StepTaken() { ++taken_; }
  // How far between the step before last and the last step the frame seen
  // at `shownAt` is: 0..1.
  double Fraction(long long shownAt) const;
  long long Taken() const { return taken_; }

 private:
  // The moment the scene after `steps` steps stands for.
  long long StandsFor(long long steps) const { return origin_ + steps * kStepNs; }

  long long origin_ = 0;
  long long taken_ = 0;
  bool started_ = false;
  int drops_ = 0;
};
