// Practice: P in the menu opens the choice of the waves reached, which the
// arrows, the gamepad's stick and the mouse step through and stop at the
// ends; a practice game from wave F has wave F's enemies, humans and boss,
// the usual lives and bombs, is recorded as a practice game from F that the
// game's own --verify accepts ", from wave F", and takes no place in the
// score table; only games played from the menu raise the best wave.
#include <allegro.h>
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <random>
#include <string>

#include "engine/game_folders.h"
#include "engine/settings_store.h"
#include "entities/play_objects.h"
#include "game/game_flow.h"
#include "game/game_numbers.h"
#include "game/game_state.h"
#include "game/high_scores.h"
#include "game/player_actions.h"
#include "game/waves.h"
#include "replay/game_recorder.h"
#include "replay/replay_player.h"
#include "scene/scene_objects.h"
#include "scene/stage.h"
#include "scratch_folder.h"
#include "screen_script.h"
#include "screens/menu_screen.h"
#include "screens/title_screen.h"
#include "support/allegro_fixture.h"
#include "support/game_fixture.h"
#include "support/restless_pilot.h"

namespace {

class PracticeTest : public GameFixture {
 protected:
  void TearDown() override {
    SetActionSource(nullptr);
    SetActionObserver(nullptr);
    platform.OnWait(nullptr);
    EndGame();
    RemoveGameObjects();
    stage.Hide(&ship);
    GameFixture::TearDown();
  }

  void SetBestWave(int wave) {
    Settings settings = settingsStore.Current();
    settings.bestWave = wave;
    settingsStore.Change(settings);
  }

  // Runs the menu with the script; the result and the wave chosen.
  int RunMenuWith(std::function<void(long)> script, int& wave) {
    ScriptScreen(platform, std::move(script));
    wave = -1;
    return RunMenu(&wave);
  }

  // What the game's own program says of a replay: its exit code and output.
  static int Verify(const std::string& options, std::string& output) {
    const std::string command = "cd '" + kav_test::DataDir() + "' && DISPLAY= ./kav --verify " + options + " 2>&1";
    output.clear();
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return -1;
    char line[2048];
    while (std::fgets(line, sizeof line, pipe)) output += line;
    const int status = pclose(pipe);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
};

TEST_F(PracticeTest, PStartsAtTheBestWaveTheArrowsStopAtTheEndsAndEnterPlays) {
  SetBestWave(3);
  int wave = 0;
  const int result = RunMenuWith(
      [&](long w) {
        // P, then right (already the highest), left three times (stopping at
        // 1), right once: wave 2.
        const int keys[] = {KEY_P, KEY_RIGHT, KEY_LEFT, KEY_LEFT, KEY_LEFT, KEY_RIGHT, KEY_ENTER};
        if (w >= 5 && w < 5 + 7 * 10 && w % 10 == 5) platform.Type(keys[(w - 5) / 10]);
      },
      wave);
  EXPECT_EQ(result, kMenuPractice);
  EXPECT_EQ(wave, 2);
  EXPECT_FALSE(playBox.IsOnList()) << "the menu is gone for the game";
}

TEST_F(PracticeTest, EscapeGoesBackToTheMenuWhichStillPlays) {
  SetBestWave(9);
  int wave = 0;
  bool backOnMenu = false;
  const int result = RunMenuWith(
      [&](long w) {
        if (w == 5) platform.Type(KEY_P);
        if (w == 30) platform.Type(KEY_ESC);
        if (w > 30 && playBox.IsOnList()) backOnMenu = true;
        if (w == 60) platform.Type(KEY_ENTER);
      },
      wave);
  EXPECT_TRUE(backOnMenu);
  EXPECT_EQ(result, kMenuPlay);
}

TEST_F(PracticeTest, TheGamepadsStickStepsOncePerPushAndItsFireButtonPlays) {
  SetBestWave(20);
  int wave = 0;
  const int result = RunMenuWith(
      [&](long w) {
        if (w == 5) platform.Type(KEY_P);
        PadState pad;
        pad.present = true;
        // Held left for twenty steps: one wave down, not twenty.
        pad.left = w >= 20 && w < 40;
        pad.right = w >= 50 && w < 52;  // right again: 20
        pad.left = pad.left || (w >= 60 && w < 62) || (w >= 70 && w < 72);  // twice: 18
        if (w == 90) pad.buttons = 1u << settingsStore.Current().padFire;
        platform.SetPad(pad);
      },
      wave);
  EXPECT_EQ(result, kMenuPractice);
  EXPECT_EQ(wave, 18);
}

TEST_F(PracticeTest, TheArrowsAndTheWaveCanBeClicked) {
  SetBestWave(6);
  int wave = 0;
  const auto click = [this](int x, int y) {
    platform.SetMouse(x, y, 1);
    platform.ReleaseMouseAfter(2);
  };
  const int result = RunMenuWith(
      [&](long w) {
        if (w == 5) platform.Type(KEY_P);
        if (w == 20 || w == 30) click(240, 340);  // "<" twice: 4
        if (w == 40) click(784, 340);             // ">": 5
        if (w == 50) click(512, 330);             // the wave itself
      },
      wave);
  EXPECT_EQ(result, kMenuPractice);
  EXPECT_EQ(wave, 5);
}

TEST_F(PracticeTest, APracticeGameFromWaveFiveHasItsEnemiesHumansLivesAndBombs) {
  BeginGame(5, 5);
  EXPECT_EQ(game.waveIndex, 4);
  EXPECT_EQ(game.lives, 3);
  EXPECT_EQ(game.bombs, 3);
  EXPECT_EQ(game.score, 0);
  // One human began, one arrived after each of waves 1 to 4.
  EXPECT_EQ(world->humansAlive, 5);
  for (int i = 0; i < kHumanCount; ++i)
    EXPECT_EQ(humans[i].GetState(), i < 5 ? Human::kPresent : Human::kWaiting) << "human " << i;
  StartWave();
  for (int type = 0; type < kEnemyTypes; ++type)
    EXPECT_EQ(world->waveTypeCounts[type], kWaveTable[4].counts[type]) << "type " << type;
  EXPECT_EQ(world->pendingSpawns, 46);
  // Wave 20 (and every wave from 10 on) has all ten.
  EndGame();
  BeginGame(5, 20);
  EXPECT_EQ(world->humansAlive, 10);
}

TEST_F(PracticeTest, APracticeGameFromWaveTwentyMeetsTheBossAndItsReplayVerifiesFromThere) {
  ScratchFolder folder;
  constexpr uint32_t kSeed = 2020;
  RestlessPilot pilot(7, 1100, 400);
  bool bossInPlay = false;
  platform.OnWait([&](long) { bossInPlay = bossInPlay || (boss.IsOnList() && ship.IsOnList()); });
  gameRecorder.Begin(kSeed, 1796688000, true, 20);
  BeginGame(kSeed, 20);
  SetActionSource(&pilot);
  PlayGame();
  SetActionSource(nullptr);
  const GameSummary played = SummariseGame(true, 20);
  ASSERT_TRUE(gameRecorder.Finish(game.score, game.waveIndex + 1));
  EndGame();
  platform.OnWait(nullptr);
  EXPECT_TRUE(bossInPlay) << "the boss is there from the wave's first step";
  EXPECT_NE(world->boss.phase, 0) << "and circled";
  EXPECT_GT(played.numbers.shots, 100);

  Replay replay;
  ASSERT_EQ(ReadReplayFile(gameRecorder.LastFile(), replay), ReplayError::kNone);
  EXPECT_TRUE(replay.header.practice);
  EXPECT_EQ(replay.header.startWave, 20);
  std::string output;
  const std::string file = "'" + folder.Path(gameRecorder.LastFile()) + "'";
  ASSERT_EQ(Verify(file, output), 0) << output;
  char line[160];
  std::snprintf(line, sizeof line, "score %d, wave %d, steps %u, from wave 20\n", replay.result.score,
                replay.result.wave, replay.result.steps);
  EXPECT_EQ(output, line);
  // The numbers come out of the replay as they were counted in play.
  ASSERT_EQ(Verify("--stats " + file, output), 0) << output;
  EXPECT_EQ(output, line + GameSummaryJson(played) + "\n");
}

TEST_F(PracticeTest, APracticeScoreTakesNoPlaceInTheTable) {
  ScratchFolder folder;
  ResetHighScores();
  game.score = 99999;
  ScriptScreen(platform, [this](long w) {
    if (w == 30) platform.Type(KEY_SPACE);
  });
  RunTitleScreen(false);
  EXPECT_EQ(highScores[0], 0);
  EXPECT_EQ(NameEntryOnTitle(), -1);
  game.score = 0;
}

TEST_F(PracticeTest, OnlyAGameFromTheMenuRaisesTheBestWave) {
  SetBestWave(2);
  RestlessPilot pilot(3, 40, 400);
  // A demo or a replay played to wave 6 leaves the best as it was.
  BeginGame(11, 6);
  SetActionSource(&pilot);
  PlayGame();
  SetActionSource(nullptr);
  EndGame();
  EXPECT_EQ(settingsStore.Current().bestWave, 2);

  RestlessPilot player(3, 40, 400);
  BeginGame(11, 6);
  gameKeepsBestWave = true;
  SetActionSource(&player);
  PlayGame();
  SetActionSource(nullptr);
  EndGame();
  EXPECT_EQ(settingsStore.Current().bestWave, 6);
  EXPECT_FALSE(gameKeepsBestWave) << "the end of the game clears it";
  // Kept in the file for the next run.
  const Settings reread = LoadSettings(gameFolders.SettingsFile(), nullptr);
  EXPECT_EQ(reread.bestWave, 6);

  // A lower wave does not lower it.
  RestlessPilot again(3, 40, 400);
  BeginGame(11, 3);
  gameKeepsBestWave = true;
  SetActionSource(&again);
  PlayGame();
  SetActionSource(nullptr);
  EndGame();
  EXPECT_EQ(settingsStore.Current().bestWave, 6);
}

}  // namespace
