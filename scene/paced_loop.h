// The fixed-rate loop every paced screen uses: one logic step for each pending
// tick of the 50 Hz frame counter, catching up without skipping any drawing.
// While nothing is owed the loop yields the processor.
#pragma once

#include "engine/clock.h"
#include "engine/graphics_engine.h"

// Runs step() once per pending frame until it returns true.
template <typename Step>
void RunPacedLoop(Step step) {
  DropOwedFrames();
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

// A pause of exactly `steps` paced steps; step() runs once in each.
template <typename Step>
void RunPacedSteps(int steps, Step step) {
  int count = 0;
  RunPacedLoop([&] {
    step();
    return ++count >= steps;
  });
}
