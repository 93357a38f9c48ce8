#include "engine/clock.h"

#include <chrono>

std::atomic<int> TickCounter{0};
std::atomic<int> FrameCounter{0};

void TickCallback() {
  int next = TickCounter.load() + 1;
  TickCounter.store(next >= kTickWrap ? 0 : next);
}

void FrameCallback() { FrameCounter.fetch_add(1); }

int TickNow() { return TickCounter.load(); }

int TickElapsed(int start, int interval) {
  int target = start + interval;
  if (target >= kTickWrap) target -= kTickWrap;
  return TickCounter.load() >= target ? 1 : 0;
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
