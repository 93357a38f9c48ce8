// Whole games played by a restless bot, with the render list and the wave's
// counters audited after every step; and the audit's own tests, so that a
// quiet soak means a healthy game and not a blind checker.
#include <gtest/gtest.h>

#include <cstdio>

#include "entities/entity.h"
#include "entities/play_objects.h"
#include "game/game_flow.h"
#include "game/game_state.h"
#include "game/waves.h"
#include "scene/scene_objects.h"
#include "scene/stage.h"
#include "soak/play_audit.h"
#include "soak/soak_run.h"
#include "soak/soak_settings.h"
#include "support/game_fixture.h"

namespace {

bool Mentions(const AuditResult& result, const std::string& text) {
  for (const std::string& fault : result.faults)
    if (fault.find(text) != std::string::npos) return true;
  return false;
}

class PlayAuditTest : public GameFixture {
 protected:
  void StartFirstWave() {
    SetUpGame();
    StartWave();
  }
};

TEST_F(PlayAuditTest, AFreshWorldAndAFreshWavePassTheAudit) {
  AuditResult quiet = AuditPlay(PlayPhase::kOutOfGame);
  EXPECT_TRUE(quiet.Clean()) << quiet.Describe();
  EXPECT_EQ(quiet.listed, 0);

  StartFirstWave();
  AuditResult wave = AuditPlay(PlayPhase::kInWave);
  EXPECT_TRUE(wave.Clean()) << wave.Describe();
  EXPECT_TRUE(wave.strangers.empty());
  EXPECT_GT(wave.listed, 8 + 1 + 1);  // eight spawn-ins, the ship, human 0 and the display
  RunLogicSteps(150);
  wave = AuditPlay(PlayPhase::kInWave);
  EXPECT_TRUE(wave.Clean()) << wave.Describe();
}

TEST_F(PlayAuditTest, AnElementFlaggedOnTheListButNotInTheTreeIsCaught) {
  StartFirstWave();
  humans[4].SetOnList(1);
  AuditResult result = AuditPlay(PlayPhase::kInWave);
  humans[4].SetOnList(0);
  EXPECT_TRUE(Mentions(result, "flagged on the list but not in the tree")) << result.Describe();
}

TEST_F(PlayAuditTest, AnElementInTheTreeWithoutItsFlagIsCaught) {
  StartFirstWave();
  ship.SetOnList(0);
  AuditResult result = AuditRenderList();
  ship.SetOnList(1);
  EXPECT_TRUE(Mentions(result, "in the render list without its flag")) << result.Describe();
  EXPECT_TRUE(Mentions(result, "in the tree but not flagged")) << result.Describe();
}

TEST_F(PlayAuditTest, AnElementReachableTwiceIsCaughtAndTheWalkEnds) {
  stage.AddElement(&bigLabel);
  stage.AddElement(&middleLabel);  // same layer: the right child of the big label
  ASSERT_EQ(bigLabel.GetRight(), &middleLabel);
  middleLabel.SetRight(&bigLabel);  // a loop back up the tree
  AuditResult result = AuditRenderList();
  middleLabel.SetRight(nullptr);
  EXPECT_TRUE(Mentions(result, "reachable twice")) << result.Describe();
  EXPECT_EQ(result.listed, 2);
}

TEST_F(PlayAuditTest, AnElementOutOfLayerOrderIsCaught) {
  stage.AddElement(&bigLabel);  // layer 2
  stage.AddElement(&worldMap);  // layer 0: left of it
  ASSERT_EQ(bigLabel.GetLeft(), &worldMap);
  bigLabel.SetLeft(nullptr);
  bigLabel.SetRight(&worldMap);
  AuditResult result = AuditRenderList();
  bigLabel.SetRight(nullptr);
  bigLabel.SetLeft(&worldMap);
  EXPECT_TRUE(Mentions(result, "out of layer order")) << result.Describe();
}

TEST_F(PlayAuditTest, AnOffListElementThatKeepsItsLinksIsCaught) {
  missiles[7].SetLeft(&missiles[8]);
  AuditResult result = AuditRenderList();
  missiles[7].SetLeft(nullptr);
  EXPECT_TRUE(Mentions(result, "off the list but still linked")) << result.Describe();
}

TEST_F(PlayAuditTest, CountersThatDisagreeWithWhatTheyCountAreCaught) {
  StartFirstWave();
  RunLogicSteps(101);  // the eight enemies are in
  ASSERT_EQ(world->liveEnemies, 8);

  world->liveEnemies += 1;
  EXPECT_TRUE(Mentions(AuditPlay(PlayPhase::kInWave), "liveEnemies is 9, the array holds 8"));
  world->liveEnemies -= 1;

  world->pendingSpawns = 1;
  EXPECT_TRUE(Mentions(AuditPlay(PlayPhase::kInWave), "pendingSpawns is 1, 0 spawn-ins"));
  world->pendingSpawns = 0;

  world->humansAlive = 2;
  EXPECT_TRUE(Mentions(AuditPlay(PlayPhase::kInWave), "humansAlive is 2, 1 humans are present"));
  world->humansAlive = 1;

  world->waveTypeCounts[kBomber] = -1;
  EXPECT_TRUE(Mentions(AuditPlay(PlayPhase::kInWave), "waveTypeCounts[7] is negative"));
  world->waveTypeCounts[kBomber] = 4;

  AuditResult healthy = AuditPlay(PlayPhase::kInWave);
  EXPECT_TRUE(healthy.Clean()) << healthy.Describe();
}

TEST_F(PlayAuditTest, ALivingEnemyOffTheScreenAndADeadOneOnItAreCaught) {
  StartFirstWave();
  RunLogicSteps(101);
  Entity* first = enemies[0];
  stage.Hide(first);
  EXPECT_TRUE(Mentions(AuditPlay(PlayPhase::kInWave), "a living enemy is missing from the screen"));
  first->Kill();
  stage.Show(first);
  EXPECT_TRUE(Mentions(AuditPlay(PlayPhase::kInWave), "a dead enemy is on the screen"));
  stage.Hide(first);
}

TEST_F(PlayAuditTest, LifeIconsThatDisagreeWithTheLivesAreCaught) {
  StartFirstWave();
  game.lives = 2;
  EXPECT_TRUE(Mentions(AuditPlay(PlayPhase::kInWave), "life icon 2 shown with 2 lives"));
  game.lives = 3;
}

TEST_F(PlayAuditTest, AnElementTheGameDoesNotKnowIsReportedAsAStranger) {
  TextLabel stray;
  stray.Init(nullptr, "stray", 0, 0, 0, 0, 0, TextLabel::kLeft, 5);
  stage.AddElement(&stray);
  AuditResult result = AuditRenderList();
  stage.RemoveElement(&stray);
  EXPECT_TRUE(result.Clean()) << result.Describe();
  ASSERT_EQ(result.strangers.size(), 1u);
  EXPECT_EQ(result.strangers[0], &stray);
  EXPECT_FALSE(StrangersAreTheQuitQuestion(result));
}

class SoakTest : public GameFixture {};

TEST_F(SoakTest, BotPlaysWholeGamesFromTheFirstWaveWithEveryStepAudited) {
  SoakOptions options;
  options.playSteps = soak::playSteps;
  options.seed = soak::seed;
  const SoakReport report = RunSoak(platform, options);
  std::printf("%s\n", report.Summary().c_str());
  ASSERT_TRUE(report.faults.empty()) << report.faults.front();
  EXPECT_EQ(report.playSteps, options.playSteps);
  EXPECT_GE(report.wavesStarted[0], 1);
  EXPECT_GT(report.pauseSteps, 0);
  if (options.playSteps >= soak::kFullRunSteps) {
    // A long run must have seen the whole game, not one wave over and over.
    for (int w = 0; w < kWaveCount; ++w) EXPECT_GE(report.wavesCleared[w], 1) << "wave " << w + 1;
    EXPECT_GE(report.bossesBeaten, 1);
    EXPECT_GE(report.laps, 1);
    EXPECT_GE(report.gamesOver, 1);
    EXPECT_GE(report.questionsAnswered, 1);
    EXPECT_GE(report.bombsDetonated, 1);
  }
}

TEST_F(SoakTest, BotPlaysTheLastWavesThroughTheBossAndBackToWaveEleven) {
  SoakOptions options;
  options.playSteps = 20000;  // a budget, not the expected length
  options.seed = soak::seed + 1;
  options.firstWave = 18;
  options.stepsAfterLap = 300;
  const SoakReport report = RunSoak(platform, options);
  std::printf("%s\n", report.Summary().c_str());
  ASSERT_TRUE(report.faults.empty()) << report.faults.front();
  EXPECT_GE(report.wavesCleared[18], 1);
  EXPECT_EQ(report.bossesBeaten, 1);
  EXPECT_EQ(report.laps, 1);
  EXPECT_GE(report.wavesStarted[10], 1);
  EXPECT_LT(report.playSteps, options.playSteps);
}

}  // namespace
