// The fixed-rate loop every paced screen uses: 50 logic steps a second,
// catching up when the machine falls behind.
//
// Where frames follow the display's refresh, the loop waits for each
// refresh, runs the steps due by then (see StepTimeline) and draws the scene
// between its last two steps for the moment that refresh is seen; the steps
// themselves only note where everything stands. Elsewhere (one frame a step:
// the player's choice, or no display at all) it runs one step per tick of
// the 50 Hz frame counter, each step drawing its own frame, and sleeps while
// nothing is owed.
#pragma once

#include "engine/clock.h"
#include "engine/graphics_engine.h"
#include "engine/step_timeline.h"
#include "scene/stage.h"

// One step a tick of the 50 Hz frame counter, until step() returns true.
template <typename Step>
void RunStepsByFrameClock(Step& step) {
  bool done = false;
  while (!done) {
    if (FrameCounter.load() <= 0) {
      engine.WaitForFrame();
      continue;
    }
    while (FrameCounter.load() > 0 && !done) {
      done = step();
      ConsumeFrame();
    }
  }
}

// Runs step() once per step due until it returns true.
template <typename Step>
void RunPacedLoop(Step step) {
  DropOwedFrames();
  long long shownAt = engine.WaitForRefresh();
  if (shownAt == 0) {
    RunStepsByFrameClock(step);
    return;
  }
  struct AtRefresh {
    AtRefresh() { stage.BeginFramesAtRefresh(); }
    ~AtRefresh() { stage.EndFramesAtRefresh(); }
  } atRefresh;
  StepTimeline timeline;
  for (;;) {
    timeline.Follow(shownAt);
    while (timeline.StepDue(shownAt)) {
      const bool done = step();
      timeline.StepTaken();
      if (done) return;
    }
    stage.DrawBetweenSteps(timeline.Fraction(shownAt));
    shownAt = engine.WaitForRefresh();
    if (shownAt == 0) {
      // Frames follow the steps from now on: each step draws its own.
      stage.EndFramesAtRefresh();
      RunStepsByFrameClock(step);
      stage.BeginFramesAtRefresh();
      return;
    }
  }
}

// A pause of exactly `steps` paced steps; step() runs once in each.
template <typename Step>
void RunPacedSteps(int steps, Step step) {
  int count = 0;
  RunPacedLoop([&] {
    step();
    return ++count >= steps;
  });
}
