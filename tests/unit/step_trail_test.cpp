#include <gtest/gtest.h>

#include "scene/step_trail.h"

namespace {

class StepTrailTest : public ::testing::Test {
 protected:
  void TearDown() override { StepTrail::DrawAsTheyStand(); }
};

}  // namespace

TEST_F(StepTrailTest, BetweenTwoStepsAThingIsDrawnOnItsWay) {
  StepTrail trail;
  trail.Note(100, 200, false);
  trail.Note(116, 192, false);
  StepTrail::DrawBetween(0.0);
  EXPECT_EQ(trail.X(116, false), 100);
  EXPECT_EQ(trail.Y(192), 200);
  StepTrail::DrawBetween(0.5);
  EXPECT_EQ(trail.X(116, false), 108);
  EXPECT_EQ(trail.Y(192), 196);
  StepTrail::DrawBetween(0.75);
  EXPECT_EQ(trail.X(116, false), 112);
  // Outside a frame between steps (a pause, a fade) it is where it stands.
  StepTrail::DrawAsTheyStand();
  EXPECT_EQ(trail.X(130, false), 130);
}

TEST_F(StepTrailTest, TheWorldsWrapIsCrossedTheShortWayInBothDirections) {
  StepTrail right, left;
  right.Note(4090, 0, false);
  right.Note(6, 0, false);
  left.Note(6, 0, false);
  left.Note(4090, 0, false);
  StepTrail::DrawBetween(0.25);
  EXPECT_EQ(right.X(6, true), 4093);
  EXPECT_EQ(left.X(4090, true), 3);
  StepTrail::DrawBetween(0.75);
  EXPECT_EQ(right.X(6, true), 3);
  EXPECT_EQ(left.X(4090, true), 4093);
  // On the screen nothing wraps.
  StepTrail screen;
  screen.Note(4090, 0, false);
  screen.Note(6, 0, false);
  EXPECT_EQ(screen.X(6, false), 6) << "a screen thing this far off jumped";
}

TEST_F(StepTrailTest, JumpsArrivalsAndCutsAreDrawnAtTheirNewPlace) {
  StepTrail::DrawBetween(0.5);
  StepTrail jump;
  jump.Note(500, 400, false);
  jump.Note(90, 400, false);  // farther than anything flies in a step
  EXPECT_EQ(jump.X(90, true), 90);
  StepTrail fresh;  // never noted: just arrived
  EXPECT_EQ(fresh.X(321, true), 321);
  StepTrail shown;
  shown.Note(10, 10, false);
  shown.Note(20, 20, false);
  shown.Forget();  // taken off and put on the screen again
  EXPECT_EQ(shown.X(700, true), 700);
  shown.Note(700, 300, false);
  EXPECT_EQ(shown.X(700, true), 700) << "the first step after arriving starts where it stands";
  StepTrail cut;
  cut.Note(0, 0, false);
  cut.Note(30, 30, true);
  EXPECT_EQ(cut.X(30, true), 30);
  EXPECT_EQ(cut.Y(30), 30);
}

TEST_F(StepTrailTest, WhatMovedAfterItsStepWasNotedIsDrawnWithTheSceneOfThatStep) {
  StepTrail trail;
  trail.Note(100, 100, false);
  trail.Note(110, 100, false);
  StepTrail::DrawBetween(1.0);
  // The ship put back at the start after the step: the frames before the
  // next step still show the scene that step left.
  EXPECT_EQ(trail.X(512, true), 110);
}
