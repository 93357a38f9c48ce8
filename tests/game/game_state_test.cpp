// A game is made of its seed and actions alone, by construction: one value
// holds its state and a new game assigns a fresh one; the checksum of the
// replays' checkpoints reads that value whole; games played back to back in
// one run each leave a replay the game's own --verify accepts; a replay that
// departs from its game says at which step; a game longer than a replay holds
// is recorded as a clean cut; and what the player does at the end of a
// program (a name typed on the title, the pointer on the quit question) is
// not lost to a game's clock.
#include <allegro.h>
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "app/program_loop.h"
#include "engine/clock.h"
#include "engine/data_index.h"
#include "engine/game_folders.h"
#include "entities/play_objects.h"
#include "game/game_flow.h"
#include "game/game_state.h"
#include "game/high_scores.h"
#include "game/player_actions.h"
#include "game/rules_version.h"
#include "game/state_checksum.h"
#include "game/waves.h"
#include "replay/game_recorder.h"
#include "replay/replay_player.h"
#include "scene/stage.h"
#include "scratch_folder.h"
#include "screen_script.h"
#include "screens/message_box.h"
#include "screens/title_screen.h"
#include "support/allegro_fixture.h"
#include "support/game_fixture.h"
#include "support/restless_pilot.h"

namespace {

class GameStateTest : public GameFixture {
 protected:
  void TearDown() override {
    SetActionSource(nullptr);
    SetActionObserver(nullptr);
    EndGame();
    RemoveGameObjects();
    stage.Hide(&ship);
    gameRecorder.SetStepLimit(kMaxReplaySteps);
    GameFixture::TearDown();
  }

  // A game from `seed` at `wave`, played by the pilot and recorded into the
  // working folder's replays; the file it left.
  std::string RecordGame(uint32_t seed, int wave, long steps, unsigned pilotSeed) {
    RestlessPilot pilot(pilotSeed, steps);
    gameRecorder.Begin(seed, 1796688000 + seed, wave != 1, wave);
    BeginGame(seed, wave);
    SetActionSource(&pilot);
    PlayGame();
    SetActionSource(nullptr);
    EXPECT_TRUE(gameRecorder.Finish(game.score, game.waveIndex + 1));
    EndGame();
    return gameRecorder.LastFile();
  }

  // What the game's own program says of a replay: its exit code and output.
  static int Verify(const std::string& file, std::string& output) {
    const std::string command = "cd '" + kav_test::DataDir() + "' && DISPLAY= ./kav --verify '" + file + "' 2>&1";
    output.clear();
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return -1;
    char line[512];
    while (std::fgets(line, sizeof line, pipe)) output += line;
    const int status = pclose(pipe);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  static std::string StateBytes() { return std::string(reinterpret_cast<const char*>(&game), sizeof game); }
};

TEST_F(GameStateTest, ANewGameStartsFromTheSameStateWhateverWasPlayedBefore) {
  BeginGame(99);
  const std::string fresh = StateBytes();
  const uint32_t freshSum = GameStateChecksum();
  EndGame();

  // A game on the last wave leaves the boss circling, the generator drawn
  // on, the view scrolled, shots in flight and the standing changed.
  RestlessPilot pilot(5, 700);
  BeginGame(7, 20);
  SetActionSource(&pilot);
  PlayGame();
  SetActionSource(nullptr);
  EndGame();
  ASSERT_NE(world->boss.phase, 0);
  ASSERT_NE(StateBytes(), fresh);

  BeginGame(99);
  EXPECT_EQ(StateBytes(), fresh);
  EXPECT_EQ(GameStateChecksum(), freshSum);
}

TEST_F(GameStateTest, TheStatesLayoutChangesOnlyWithTheRulesVersion) {
  // The replays' checkpoints checksum the value's bytes: a replay recorded
  // with another layout departs from its game at its first checkpoint. A
  // change of the layout raises kRulesVersion, and both numbers change here.
  EXPECT_EQ(kRulesVersion, 2u);
  EXPECT_EQ(sizeof(GameState), 380u);
}

TEST_F(GameStateTest, EveryWordOfTheStateValueCountsInTheChecksum) {
  BeginGame(31);
  StartWave();
  RunLogicSteps(300);
  const uint32_t before = GameStateChecksum();
  uint32_t* words = reinterpret_cast<uint32_t*>(&game);
  for (size_t i = 0; i < sizeof game / sizeof(uint32_t); ++i) {
    words[i] ^= 0x00010000u;
    EXPECT_NE(GameStateChecksum(), before) << "word " << i;
    words[i] ^= 0x00010000u;
  }
  EXPECT_EQ(GameStateChecksum(), before);
}

TEST_F(GameStateTest, DrawingAFrameChangesNothingOfTheGame) {
  BeginGame(47, 20);
  StartWave();
  RunLogicSteps(400);
  ASSERT_TRUE(boss.IsOnList());
  const uint32_t before = GameStateChecksum();
  const std::string bytes = StateBytes();
  for (int i = 0; i < 5; ++i) stage.DrawStillFrame();
  EXPECT_EQ(GameStateChecksum(), before);
  EXPECT_EQ(StateBytes(), bytes);
}

TEST_F(GameStateTest, GamesPlayedBackToBackEachLeaveAReplayThatVerifies) {
  ScratchFolder folder;
  // The last wave twice, the second right after the first reached it, then
  // other waves, then the last one again.
  struct Plan {
    uint32_t seed;
    int wave;
    long steps;
  };
  const Plan plans[] = {{11, 20, 1200}, {12, 20, 900}, {13, 1, 800}, {14, 9, 700}, {15, 20, 600}};
  std::vector<std::string> files;
  unsigned pilot = 1;
  for (const Plan& plan : plans) {
    files.push_back(RecordGame(plan.seed, plan.wave, plan.steps, pilot++));
    if (plan.wave == 20) {
      EXPECT_NE(world->boss.phase, 0) << "the boss circled in game " << files.size();
    }
  }
  for (const std::string& file : files) {
    ASSERT_FALSE(file.empty());
    Replay replay;
    ASSERT_EQ(ReadReplayFile(file, replay), ReplayError::kNone) << file;
    EXPECT_FALSE(replay.checkpoints.empty()) << file;
    std::string output;
    EXPECT_EQ(Verify(folder.Path(file), output), 0) << file << ": " << output;
    EXPECT_NE(output.find("steps " + std::to_string(replay.result.steps)), std::string::npos) << output;
  }
}

TEST_F(GameStateTest, AReplayWithOneActionChangedNamesTheStepItDepartsAt) {
  ScratchFolder folder;
  Replay replay;
  ASSERT_EQ(ReadReplayFile(RecordGame(21, 1, 1100, 8), replay), ReplayError::kNone);
  ASSERT_EQ(replay.actions.size(), 1100u);
  ASSERT_EQ(replay.checkpoints.size(), 4u);  // after 250, 500, 750 and 1000 steps

  ReplaySource same(replay, false);
  PlayRecordedGame(replay, same);
  EXPECT_EQ(same.DepartedAt(), 0u);
  EXPECT_EQ(same.StepsPlayed(), 1100u);

  // Down instead of the recorded keys from step 300 on, for a while.
  Replay changed = replay;
  for (size_t i = 300; i < 330; ++i) changed.actions[i] = kActionDown;
  ReplaySource departing(changed, false);
  PlayRecordedGame(changed, departing);
  EXPECT_EQ(departing.DepartedAt(), 500u);

  std::string output;
  ASSERT_TRUE(WriteReplayFile(folder.Path("changed.replay"), changed));
  EXPECT_EQ(Verify(folder.Path("changed.replay"), output), 65);
  EXPECT_EQ(output, folder.Path("changed.replay") + ": replay departs from its game at step 500\n");
}

TEST_F(GameStateTest, AGameLongerThanAReplayHoldsIsRecordedAsAGameEndedThere) {
  ScratchFolder folder;
  gameRecorder.SetStepLimit(600);
  Replay replay;
  ASSERT_EQ(ReadReplayFile(RecordGame(33, 1, 1000, 4), replay), ReplayError::kNone);
  EXPECT_EQ(replay.result.steps, 600u);
  EXPECT_EQ(replay.checkpoints.size(), 2u);

  ReplaySource source(replay, false);
  const ReplayResult result = PlayRecordedGame(replay, source);
  EXPECT_EQ(result, replay.result);
  EXPECT_EQ(source.DepartedAt(), 0u);
}

// The element of the render list with this id, or null.
Element* FindById(Element* node, int id) {
  while (node) {
    if (node->GetId() == id) return node;
    if (Element* found = FindById(node->GetLeft(), id)) return found;
    node = node->GetRight();
  }
  return nullptr;
}

TEST_F(GameStateTest, TheQuitQuestionsButtonsLightUpUnderThePointerWhileTheGameStandsStill) {
  BeginGame(5);
  StartWave();
  RunLogicSteps(60);
  bool lit = false;
  platform.OnWait([&](long wait) {
    if (wait == 60) platform.Type(KEY_N);
    Element* yes = FindById(stage.Elements().Root(), MessageBox::kYesId);
    if (!yes) return;
    if (platform.MouseX() == 0) {
      for (int y = 0; y < 768 && platform.MouseY() == 0; y += 4) {
        for (int x = 0; x < 1024; x += 4) {
          if (yes->HitTest(x, y)) {
            platform.SetMouse(x, y, 0);
            break;
          }
        }
      }
    }
    lit = lit || yes->IsHighlighted();
  });
  EXPECT_FALSE(AskYesNo(dat::kShipRight, "Really Quit and Exit the program ?"));
  EXPECT_TRUE(lit);
}

TEST_F(GameStateTest, ANameTypedOnTheTitleReachesItsGamesReplayWhenTheProgramEndsThere) {
  ScratchFolder folder;
  ResetHighScores();
  const std::string file = RecordGame(41, 1, 300, 2);
  game.score = 4500;  // enough for the table
  const long base = platform.Waits();
  platform.OnWait([&](long waits) {
    const long wait = waits - base;
    static const int kName[3] = {KEY_A, KEY_N, KEY_N};
    if (wait >= 100 && wait < 103) platform.Type(kName[wait - 100]);
    // The program is asked to end while the name is still being typed.
    if (wait == 120) {
      KeepThePlayersWork();
      platform.Type(KEY_ENTER);
    }
    if (wait == 140) platform.Type(KEY_SPACE);
  });
  RunTitleScreen();
  Replay replay;
  ASSERT_EQ(ReadReplayFile(file, replay), ReplayError::kNone);
  EXPECT_EQ(replay.header.name, "ann");
  EXPECT_STREQ(highScoreNames[0], "ann");
  // The table's replay list names the game whatever its replay says.
  const std::string list = ReadWholeFile(ReplayListFileFor(gameFolders.ScoreFile()));
  EXPECT_EQ(list.substr(0, list.find('\n')), file.substr(file.find_last_of('/') + 1));
  ResetHighScores();
  game.score = 0;
}

}  // namespace
