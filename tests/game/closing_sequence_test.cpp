// The closing sequence after each game: the fall, the landings with their
// bursts and sounds, its natural end, and a key that cuts it short cleanly.
#include <allegro.h>

#include <string>

#include "engine/data_index.h"
#include "engine/graphics_engine.h"
#include "scene/view.h"
#include "screens/closing_sequence.h"
#include "screen_script.h"
#include "support/game_fixture.h"

namespace {

class ClosingSequenceTest : public GameFixture {};

TEST_F(ClosingSequenceTest, TheFallersLandAtSteps79_119And199AndItEndsWhenTheLastBurstIsOver) {
  ViewX = 2000;  // left by the game
  ClosingSequence closing;
  closing.Open();
  int landed[3] = {-1, -1, -1};
  int landingY[3] = {0, 0, 0};
  int step = 0;
  bool done = false;
  while (!done && step < 2000) {
    done = closing.Step();
    ++step;
    for (int i = 0; i < 3; ++i)
      if (landed[i] < 0 && closing.FallSpeed(i) == 0) {
        landed[i] = step;
        landingY[i] = closing.Faller(i).GetY();
      }
  }
  closing.Close();

  EXPECT_EQ(ViewX, 0);
  EXPECT_EQ(landed[2], 79);
  EXPECT_EQ(landingY[2], 475);
  EXPECT_EQ(landed[1], 119);
  EXPECT_EQ(landed[0], 199);
  // The first faller's burst starts ageing in its landing step and ends on
  // its 101st step.
  EXPECT_EQ(step, 299);
  EXPECT_EQ(closing.Flattened(2).GetY(), 475 + 120);
  EXPECT_EQ(closing.Flattened(2).GetX(), 550);
  EXPECT_EQ(closing.Flattened(0).GetY(), closing.Faller(0).GetY() + 60);
  EXPECT_EQ(ElementsOnList(), 0);
}

TEST_F(ClosingSequenceTest, TheWhistlesStartTogetherEachLandingSaysOwAndTheWhistlesStopAtTheEnd) {
  RunClosingSequence();
  EXPECT_EQ(platform.Plays(dat::kSndFalling), 3);
  EXPECT_EQ(platform.Plays(dat::kSndOw), 3);
  EXPECT_EQ(platform.Stops(dat::kSndFalling), 1);
  const auto& calls = platform.SampleCalls();
  ASSERT_GE(calls.size(), 3u);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(calls[i].index, dat::kSndFalling) << "the three whistles come first";
  EXPECT_TRUE(calls.back().stop);
}

TEST_F(ClosingSequenceTest, AFallerTurnsBy8Of256EachStepAndStartsAgainAfterAFullTurn) {
  ClosingSequence closing;
  closing.Open();
  closing.Step();
  EXPECT_EQ(closing.Faller(0).GetAngle(), 20 << 16);
  EXPECT_EQ(closing.Faller(1).GetAngle(), 120 << 16);
  EXPECT_EQ(closing.Faller(2).GetAngle(), 200 << 16);
  for (int i = 0; i < 6; ++i) closing.Step();
  EXPECT_EQ(closing.Faller(2).GetAngle(), 248 << 16);
  // 248 + 8 passes 255: the next step shows 0, the one after 8.
  closing.Step();
  EXPECT_EQ(closing.Faller(2).GetAngle(), 0);
  closing.Step();
  EXPECT_EQ(closing.Faller(2).GetAngle(), 8 << 16);
  closing.Close();
}

TEST_F(ClosingSequenceTest, AKeyWhileFallersAreInTheAirEndsItCleanly) {
  ScriptScreen(platform, [this](long w) {
    if (w == 100) platform.Type(KEY_SPACE);
  });
  testing::internal::CaptureStdout();
  RunClosingSequence();
  const std::string log = testing::internal::GetCapturedStdout();

  EXPECT_EQ(platform.Waits(), 101);
  EXPECT_EQ(ElementsOnList(), 0) << "nothing of the sequence is left for the title screen";
  EXPECT_EQ(log.find("ERROR"), std::string::npos) << log;
  EXPECT_EQ(platform.Stops(dat::kSndFalling), 1);
}

TEST_F(ClosingSequenceTest, AClickDoesNotEndIt) {
  ScriptScreen(platform, [this](long w) {
    if (w == 20) {
      platform.SetMouse(500, 400, 1);
      platform.ReleaseMouseAfter(2);
    }
  });
  RunClosingSequence();
  EXPECT_EQ(platform.Waits(), 299);
}

}  // namespace
