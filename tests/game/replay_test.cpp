// A game is a function of its seed and the player's actions: recorded as it
// is played through the real loop and played back from the recording, it
// passes through the same states; a fixed seed with fixed actions always
// ends the same; a watched replay goes four times as fast with the right
// arrow held; the attract demo leaves the player's standing alone.
#include <allegro.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "engine/clock.h"
#include "engine/game_folders.h"
#include "engine/graphics_engine.h"
#include "engine/settings_store.h"
#include "entities/entity.h"
#include "entities/play_objects.h"
#include "game/controls.h"
#include "game/game_flow.h"
#include "game/game_state.h"
#include "game/state_checksum.h"
#include "game/waves.h"
#include "replay/game_recorder.h"
#include "replay/replay_player.h"
#include "scene/stage.h"
#include "scene/view.h"
#include "screens/attract_demo.h"
#include "support/allegro_fixture.h"
#include "support/game_fixture.h"

namespace {

class ReplayTest : public GameFixture {
 protected:
  void SetUp() override {
    GameFixture::SetUp();
    // Nothing of these games is written anywhere.
    saved_ = gameFolders;
    gameFolders.unkept = true;
  }
  void TearDown() override {
    EndGame();
    SetActionSource(nullptr);
    platform.OnWait(nullptr);
    RemoveGameObjects();
    stage.Hide(&ship);
    gameFolders = saved_;
    GameFixture::TearDown();
  }

  // One step runs each time the loop waits for the clock: the state is taken
  // every hundredth wait, before the step it lets run.
  void HashEvery100Waits(std::vector<uint32_t>& hashes) {
    platform.OnWait([&hashes, this](long wait) {
      if (wait % 100 == 0) hashes.push_back(GameStateChecksum());
      if (bot_) bot_(wait);
    });
  }

  std::function<void(long)> bot_;
  GameFolders saved_;
};

// A restless player at the keys: directions held for a while, the fire key
// tapped, now and then a smart bomb.
class KeyBot {
 public:
  KeyBot(ScriptedPlatform& platform, unsigned seed) : platform_(platform), random_(seed) {}
  void operator()(long) {
    if (--hold_ <= 0) {
      for (int key : {KEY_UP, KEY_DOWN, KEY_LEFT, KEY_RIGHT}) platform_.Hold(key, false);
      const int which = Below(6);
      if (which < 4) platform_.Hold(kDirections[which]);
      if (Below(3) == 0) platform_.Hold(kDirections[Below(4)]);
      hold_ = 3 + Below(40);
    }
    platform_.Hold(KEY_Z, Below(3) == 0);
    platform_.Hold(KEY_SPACE, Below(400) == 0);
  }

 private:
  static constexpr int kDirections[4] = {KEY_UP, KEY_DOWN, KEY_LEFT, KEY_RIGHT};
  int Below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }
  ScriptedPlatform& platform_;
  std::mt19937 random_;
  int hold_ = 0;
};

constexpr uint32_t kSeed = 777;
constexpr long kSteps = 20000;

TEST_F(ReplayTest, AGameRecordedAtTheKeysPlaysBackThroughTheSameStatesEvery100Steps) {
  // Recorded through the real loop, the keys read by the game as a player
  // presses them. Many lives keep one game going for the whole run.
  std::vector<uint32_t> played, replayed;
  KeyBot bot(platform, 2026);
  bot_ = [&bot](long wait) { bot(wait); };
  HashEvery100Waits(played);
  gameRecorder.Begin(kSeed, 1796688000);
  BeginGame(kSeed);
  game.lives = 99;
  gameStepLimit = kSteps;
  PlayGame();
  gameRecorder.Finish(game.score, game.waveIndex + 1);
  const Replay recording = gameRecorder.LastReplay();
  const int playedScore = game.score, playedWave = game.waveIndex;
  EndGame();
  ASSERT_GT(recording.actions.size(), 15000u);
  ASSERT_GT(playedScore, 0);

  // Played back with no key held, from the recording alone.
  bot_ = nullptr;
  platform.ReleaseAllKeys();
  const long waitsBefore = platform.Waits();
  platform.OnWait([&](long wait) {
    if ((wait - waitsBefore) % 100 == 0) replayed.push_back(GameStateChecksum());
  });
  ReplaySource source(recording, false);
  BeginGame(recording.header.seed);
  game.lives = 99;
  gameStepLimit = kSteps;
  SetActionSource(&source);
  PlayGame();
  SetActionSource(nullptr);

  EXPECT_EQ(game.score, playedScore);
  EXPECT_EQ(game.waveIndex, playedWave);
  EXPECT_EQ(source.StepsPlayed(), recording.actions.size());
  ASSERT_EQ(replayed.size(), played.size());
  for (size_t i = 0; i < played.size(); ++i) ASSERT_EQ(replayed[i], played[i]) << "first difference at step " << 100 * i;
}

// Fixed actions: a slow sweep up and down, left and right, firing on every
// fourth step.
Replay FixedGame(uint32_t steps, uint32_t seed = 4242) {
  Replay replay;
  replay.header.seed = seed;
  for (uint32_t i = 0; i < steps; ++i) {
    uint8_t actions = (i / 97) % 2 ? kActionUp : kActionDown;
    actions |= (i / 331) % 3 == 0 ? kActionLeft : kActionRight;
    if (i % 4 == 0) actions |= kActionFire;
    if (i % 1500 == 700) actions |= kActionBomb;
    replay.actions.push_back(actions);
  }
  replay.result.steps = steps;
  return replay;
}

TEST_F(ReplayTest, AFixedSeedWithFixedActionsEndsWithAKnownScoreAfter10000Steps) {
  // A change of the game's rules that moves these numbers must be deliberate.
  // Lives enough for all of it.
  const Replay fixed = FixedGame(10000);
  ReplaySource source(fixed, false);
  BeginGame(fixed.header.seed);
  game.lives = 50;
  SetActionSource(&source);
  PlayGame();
  SetActionSource(nullptr);
  ASSERT_TRUE(source.RanOut());
  const ReplayResult& result = source.ResultWhenRanOut();
  EXPECT_EQ(result.steps, 10000u);
  EXPECT_EQ(result.score, 20200);
  EXPECT_EQ(result.wave, 4);
  EXPECT_EQ(game.lives, 31);
}

TEST_F(ReplayTest, TheSameRecordingPlaysTheSameGameTwiceInARow) {
  const Replay fixed = FixedGame(3000);
  ReplaySource first(fixed, false);
  const ReplayResult a = PlayRecordedGame(fixed, first);
  RemoveGameObjects();
  ReplaySource second(fixed, false);
  const ReplayResult b = PlayRecordedGame(fixed, second);
  EXPECT_EQ(a, b);
  EXPECT_GT(a.score, 0);
}

TEST_F(ReplayTest, HoldingTheRightArrowPlaysAWatchedReplayFourTimesAsFast) {
  // A seed whose game outlasts the 2000 steps with its three lives.
  const Replay fixed = FixedGame(2000, 3);
  ReplaySource source(fixed, true);
  platform.Hold(KEY_RIGHT);
  const long waitsBefore = platform.Waits();
  const ReplayResult result = PlayRecordedGame(fixed, source);
  const long waits = platform.Waits() - waitsBefore;
  // Each wave's name (151 steps) takes one wait a step; the 2000 steps that
  // read the recording a quarter of that.
  EXPECT_LE(waits, 151 * result.wave + 2000 / 4 + 10);
  EXPECT_GT(waits, 151 * result.wave + 2000 / 4 - 10);
  EXPECT_EQ(source.StepsPlayed(), 2000u);
}

TEST_F(ReplayTest, EscapeStopsAWatchedReplay) {
  const Replay fixed = FixedGame(2000);
  ReplaySource source(fixed, true);
  platform.OnWait([this](long wait) {
    if (wait == 400) platform.Hold(KEY_ESC);
  });
  PlayRecordedGame(fixed, source);
  EXPECT_LT(source.StepsPlayed(), 400u);
}

TEST_F(ReplayTest, TheAttractDemoEndsAtAKeyAndLeavesThePlayersStandingAlone) {
  // The build's demo from the game folder (a portable copy).
  gameFolders = saved_;
  gameFolders.data = kav_test::DataDir();
  gameFolders.user = "/nonexistent";  // no replays of the player's
  game.score = 12345;
  game.lives = 2;
  bestScore = 50000;
  std::snprintf(bestScoreText, sizeof bestScoreText, "%08d", bestScore);
  const Settings settings = settingsStore.Current();
  long demoSteps = 0;
  platform.OnWait([&](long wait) {
    demoSteps = wait;
    if (wait == 600) platform.Type(KEY_SPACE);
  });
  ASSERT_TRUE(RunAttractDemo());
  EXPECT_LT(demoSteps, 610);
  EXPECT_EQ(game.score, 12345);
  EXPECT_EQ(game.lives, 2);
  EXPECT_EQ(bestScore, 50000);
  EXPECT_STREQ(bestScoreText, "00050000");
  EXPECT_TRUE(settingsStore.Current() == settings);
  EXPECT_FALSE(ship.IsOnList());
  EXPECT_EQ(ElementsOnList(), 0);
  EXPECT_FALSE(StepClockRunning());
}

TEST_F(ReplayTest, TheAttractDemoLastsAMinuteAtMost) {
  gameFolders = saved_;
  gameFolders.data = kav_test::DataDir();
  gameFolders.user = "/nonexistent";
  const long waitsBefore = platform.Waits();
  ASSERT_TRUE(RunAttractDemo());
  EXPECT_LE(platform.Waits() - waitsBefore, kDemoSteps + 2);
}

}  // namespace
