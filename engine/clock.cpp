#include "engine/clock.h"

#include <chrono>

std::atomic<int> TickCounter{0};
std::atomic<int> FrameCounter{0};

namespace {
// Main thread only: the timer thread never touches the step clock, so
// starting it can't race with a tick.
bool stepDriven = false;
int stepTick = 0;
int stepsSinceTick = 0;
constexpr int kStepsPerTick = 5;
}  // namespace

void TickCallback() {
  int next = TickCounter.load() + 1;
  TickCounter.store(next >= kTickWrap ? 0 : next);
}

void StartStepClock() {
  stepDriven = true;
  stepTick = 0;
  stepsSinceTick = 0;
}

void StopStepClock() { stepDriven = false; }

bool StepClockRunning() { return stepDriven; }

void AdvanceStepClock() {
  if (!stepDriven) return;
  if (++stepsSinceTick < kStepsPerTick) return;
  stepsSinceTick = 0;
  stepTick = stepTick + 1 >= kTickWrap ? 0 : stepTick + 1;
}

void FrameCallback() { FrameCounter.fetch_add(1); }

int TickNow() { return stepDriven ? stepTick : TickCounter.load(); }

int TickElapsed(int start, int interval) {
  int target = start + interval;
  if (target >= kTickWrap) target -= kTickWrap;
  return TickNow() >= target ? 1 : 0;
}

void ConsumeFrame() {
  int pending = FrameCounter.load();
  while (pending > 0 && !FrameCounter.compare_exchange_weak(pending, pending - 1)) {
  }
}

static long long NowMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void ClockPump::Start() {
  startMs_ = NowMs();
  framesDone_ = 0;
  ticksDone_ = 0;
}

void ClockPump::Advance() {
  long long elapsed = NowMs() - startMs_;
  long long frames = elapsed / 20;
  long long ticks = elapsed / 100;
  for (; framesDone_ < frames; ++framesDone_) FrameCallback();
  for (; ticksDone_ < ticks; ++ticksDone_) TickCallback();
}
