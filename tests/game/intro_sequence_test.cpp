// The intro before each game: the astronauts' walk, their bobbing, its length
// and the key that cuts it short.
#include <allegro.h>

#include <algorithm>

#include "engine/graphics_engine.h"
#include "screens/intro_sequence.h"
#include "screen_script.h"
#include "support/game_fixture.h"

namespace {

class IntroSequenceTest : public GameFixture {};

TEST_F(IntroSequenceTest, WithoutAKeyItEndsAtStep84WithAstronaut1At404) {
  IntroSequence intro;
  intro.Open();
  int steps = 0;
  while (!intro.Step() && steps < 1000) ++steps;
  ++steps;
  intro.Close();

  EXPECT_EQ(steps, 84);
  EXPECT_EQ(intro.Astronaut(0).GetX(), 404);
  EXPECT_EQ(intro.Astronaut(1).GetX(), 504);
  EXPECT_EQ(intro.Astronaut(2).GetX(), 604);
}

TEST_F(IntroSequenceTest, TheAstronautsBobBetweenTheirOwnHeights) {
  IntroSequence intro;
  intro.Open();
  int low[3] = {10000, 10000, 10000}, high[3] = {-10000, -10000, -10000};
  int turns = 0, lastY = intro.Astronaut(1).GetY(), lastStep = 1;
  bool done = false;
  for (int steps = 0; !done && steps < 1000; ++steps) {
    done = intro.Step();
    for (int i = 0; i < 3; ++i) {
      low[i] = std::min(low[i], intro.Astronaut(i).GetY());
      high[i] = std::max(high[i], intro.Astronaut(i).GetY());
    }
    const int step = intro.Astronaut(1).GetY() - lastY;
    if (step != lastStep) ++turns;
    lastStep = step;
    lastY = intro.Astronaut(1).GetY();
  }
  intro.Close();

  // A step turns once the bound is passed, so each overshoots it by one.
  EXPECT_EQ(low[0], 404);
  EXPECT_EQ(high[0], 421);
  EXPECT_EQ(low[1], 384);
  EXPECT_EQ(high[1], 401);
  EXPECT_EQ(low[2], 404);
  EXPECT_EQ(high[2], 421);
  EXPECT_GE(turns, 4);
}

TEST_F(IntroSequenceTest, AKeyEndsItAtTheEndOfThatStep) {
  ScriptScreen(platform, [this](long w) {
    if (w == 10) platform.Type(KEY_SPACE);
  });
  RunIntro();
  EXPECT_EQ(platform.Waits(), 11);
  EXPECT_EQ(ElementsOnList(), 0);
}

TEST_F(IntroSequenceTest, AClickDoesNotEndIt) {
  ScriptScreen(platform, [this](long w) {
    if (w == 10) {
      platform.SetMouse(500, 400, 1);
      platform.ReleaseMouseAfter(2);
    }
  });
  RunIntro();
  EXPECT_EQ(platform.Waits(), 84);
}

TEST_F(IntroSequenceTest, AKeyHeldSinceThePlayChoiceDoesNotCutItShort) {
  platform.Hold(KEY_ENTER);
  ScriptScreen(platform, [this](long w) {
    if (w >= 2 && w < 30) platform.Type(KEY_ENTER);  // auto-repeat of the held Enter
  });
  RunIntro();
  EXPECT_EQ(platform.Waits(), 84);
}

TEST_F(IntroSequenceTest, ItLeavesNothingOnTheRenderList) {
  RunIntro();
  EXPECT_EQ(ElementsOnList(), 0);
  EXPECT_EQ(platform.FramesPresented(), 8 + 84 + 8) << "a fade in, 84 steps, a fade out";
}

}  // namespace
