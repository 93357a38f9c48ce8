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

// During a game the 100 ms tick follows the game's own steps, one tick every
// five steps, instead of the timer: the animation then depends only on the
// steps played, so a recorded game plays back the same, paused games stand
// still, and a game played without a display or a clock looks exactly as it
// did. While it runs TickNow reads it; the timer's counter goes on beside it.
// Main thread only.
// The game has played `steps` steps: the tick is steps / 5 (wrapping).
void RunStepClock(long steps);
void StopStepClock();
bool StepClockRunning();
// The tick of the wall clock whatever a game does: what the player's hand
// does (the pointer resting on a button) is timed by it.
int WallTickNow();
int WallTickElapsed(int start, int interval);

// The running game's clocks follow the system's monotonic clock through this
// pump: whenever a loop waits, it sleeps until the next frame is due (never
// in short polls, so the process wakes only when there is work), then counts
// the frames and ticks that have come due since.
class ClockPump {
 public:
  void Start();
  // Counts what has come due, without sleeping.
  void Advance();
  // Sleeps until the next frame is due (at once when one already is), then
  // Advance.
  void SleepUntilNextFrame();
  // The frames due so far are not owed: the next one is counted from now.
  void Forget();

 private:
  long long startNs_ = 0;
  long long framesDone_ = 0;
  long long ticksDone_ = 0;
  bool started_ = false;
};

// The pump of the running game (idle until started).
extern ClockPump clockPump;

// Drops the logic steps owed (after a question, a pause, a new screen): none
// is caught up.
void DropOwedFrames();
// One more step owed at once (a replay played four times as fast).
void OweExtraStep();
// The extra steps owed since the last call (a loop at the display's refresh
// runs them on top of the steps due by the clock).
int TakeExtraSteps();
// How many times they were dropped so far (a loop at the display's refresh
// starts its steps afresh when this changes).
int OwedFramesDropped();
