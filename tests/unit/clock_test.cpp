#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "engine/clock.h"

namespace {

class ClockTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TickCounter.store(0);
    FrameCounter.store(0);
  }
  void TearDown() override { SetUp(); }
};

TEST_F(ClockTest, TheTickCounterRunsThrough999ValuesAndWraps) {
  TickCounter.store(997);
  TickCallback();
  EXPECT_EQ(TickNow(), 998);
  TickCallback();
  EXPECT_EQ(TickNow(), 0);
}

TEST_F(ClockTest, AnIntervalCrossingTheWrapCanEndEarly) {
  // The target 990 + 20 wraps to 11, so any counter above 11 already counts.
  TickCounter.store(995);
  EXPECT_EQ(TickElapsed(990, 20), 1);
  TickCounter.store(5);
  EXPECT_EQ(TickElapsed(990, 20), 0);
  TickCounter.store(11);
  EXPECT_EQ(TickElapsed(990, 20), 1);
}

TEST_F(ClockTest, ElapsedBecomesTrueAtTheTargetAndFalseAgainAfterTheWrap) {
  TickCounter.store(104);
  EXPECT_EQ(TickElapsed(100, 5), 0);
  TickCounter.store(105);
  EXPECT_EQ(TickElapsed(100, 5), 1);
  TickCounter.store(998);
  EXPECT_EQ(TickElapsed(100, 5), 1);
  TickCounter.store(0);
  EXPECT_EQ(TickElapsed(100, 5), 0);
}

TEST_F(ClockTest, ConsumingAFrameNeverGoesBelowZero) {
  FrameCallback();
  FrameCallback();
  ConsumeFrame();
  EXPECT_EQ(FrameCounter.load(), 1);
  ConsumeFrame();
  ConsumeFrame();
  EXPECT_EQ(FrameCounter.load(), 0);
}

// Without a timer thread the game still runs at its pace.
TEST_F(ClockTest, ThePumpAdvancesBothClocksFromTheSystemClock) {
  ClockPump pump;
  pump.Start();
  std::this_thread::sleep_for(std::chrono::milliseconds(130));
  pump.Advance();
  EXPECT_GE(FrameCounter.load(), 6);
  EXPECT_LE(FrameCounter.load(), 50);
  EXPECT_GE(TickNow(), 1);
  const int frames = FrameCounter.load();
  pump.Advance();  // no time has passed: nothing more is owed
  EXPECT_LE(FrameCounter.load(), frames + 1);
}

}  // namespace
