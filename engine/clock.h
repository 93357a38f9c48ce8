// The two clocks of the game. A timer thread advances them; the main thread
// reads, resets and decrements them, so both are atomics.
//   TickCounter:  +1 every 100 ms, wrapping 998 -> 0 (999 values). Animation
//                 and hover timing compare against a stamp taken from it.
//   FrameCounter: +1 fifty times a second; the logic steps still owed.
#pragma once

#include <atomic>

extern std::atomic<int> TickCounter;
extern std::atomic<int> FrameCounter;

constexpr int kTickWrap = 999;

// Timer callbacks: only the increment and the wrap.
void TickCallback();
void FrameCallback();

int TickNow();

// 1 once `interval` ticks have passed since `start` (a value of TickNow()).
// The target wraps like the counter, so an interval that crosses the wrap can
// end early while the counter is still below it; animation tolerates that.
int TickElapsed(int start, int interval);

// One logic step has been run: lower the counter, never below zero.
void ConsumeFrame();

// Without a timer thread the clocks are advanced from the monotonic clock by
// this pump, called whenever a loop waits.
class ClockPump {
 public:
  void Start();
  void Advance();

 private:
  long long startMs_ = 0;
  long long framesDone_ = 0;
  long long ticksDone_ = 0;
};
