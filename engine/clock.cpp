#include "engine/clock.h"

#include <time.h>

#include <cerrno>

std::atomic<int> TickCounter{0};
std::atomic<int> FrameCounter{0};

namespace {
// Main thread only: the timer thread never touches the step clock, so
// starting it can't race with a tick.
bool stepDriven = false;
int stepTick = 0;
constexpr int kStepsPerTick = 5;
}  // namespace

void TickCallback() {
  int next = TickCounter.load() + 1;
  TickCounter.store(next >= kTickWrap ? 0 : next);
}

void RunStepClock(long steps) {
  stepDriven = true;
  stepTick = static_cast<int>(steps / kStepsPerTick % kTickWrap);
}

void StopStepClock() { stepDriven = false; }

bool StepClockRunning() { return stepDriven; }

void FrameCallback() { FrameCounter.fetch_add(1); }

int TickNow() { return stepDriven ? stepTick : TickCounter.load(); }

int WallTickNow() { return TickCounter.load(); }

namespace {
int Elapsed(int now, int start, int interval) {
  int target = start + interval;
  if (target >= kTickWrap) target -= kTickWrap;
  return now >= target ? 1 : 0;
}
}  // namespace

int TickElapsed(int start, int interval) { return Elapsed(TickNow(), start, interval); }

int WallTickElapsed(int start, int interval) { return Elapsed(WallTickNow(), start, interval); }

void ConsumeFrame() {
  int pending = FrameCounter.load();
  while (pending > 0 && !FrameCounter.compare_exchange_weak(pending, pending - 1)) {
  }
}

ClockPump clockPump;

namespace {
constexpr long long kFrameNs = 20000000;  // 50 frames a second
constexpr long long kTickNs = 100000000;

long long NowNs() {
  timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  return now.tv_sec * 1000000000LL + now.tv_nsec;
}
}  // namespace

void ClockPump::Start() {
  startNs_ = NowNs();
  framesDone_ = 0;
  ticksDone_ = 0;
  started_ = true;
}

void ClockPump::Advance() {
  if (!started_) return;
  const long long elapsed = NowNs() - startNs_;
  const long long frames = elapsed / kFrameNs;
  const long long ticks = elapsed / kTickNs;
  for (; framesDone_ < frames; ++framesDone_) FrameCallback();
  for (; ticksDone_ < ticks; ++ticksDone_) TickCallback();
}

void ClockPump::SleepUntilNextFrame() {
  if (!started_) return;
  const long long due = startNs_ + (framesDone_ + 1) * kFrameNs;
  timespec until;
  until.tv_sec = due / 1000000000LL;
  until.tv_nsec = due % 1000000000LL;
  while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, nullptr) == EINTR) {
  }
  Advance();
}

void ClockPump::Forget() {
  if (!started_) return;
  framesDone_ = (NowNs() - startNs_) / kFrameNs;
}

namespace {
int owedDrops = 0;
int extraSteps = 0;
}  // namespace

void DropOwedFrames() {
  clockPump.Forget();
  FrameCounter.store(0);
  extraSteps = 0;
  ++owedDrops;
}

void OweExtraStep() {
  FrameCounter.fetch_add(1);
  ++extraSteps;
}

int TakeExtraSteps() {
  const int owed = extraSteps;
  extraSteps = 0;
  return owed;
}

int OwedFramesDropped() { return owedDrops; }
