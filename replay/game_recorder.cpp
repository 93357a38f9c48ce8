#include "replay/game_recorder.h"

#include <cstdio>
#include <vector>

#include "engine/game_folders.h"
#include "game/game_state.h"
#include "game/high_scores.h"
#include "game/state_checksum.h"
#include "replay/replay_library.h"

GameRecorder gameRecorder;

namespace {
// An hour of play; longer games grow the buffer now and then.
constexpr size_t kReservedSteps = 50 * 60 * 60;
}  // namespace

void GameRecorder::Begin(uint32_t seed, int64_t date, bool practice, int startWave) {
  replay_ = Replay();
  replay_.header.seed = seed;
  replay_.header.date = date;
  replay_.header.practice = practice;
  replay_.header.startWave = startWave;
  replay_.actions.reserve(kReservedSteps);
  recording_ = true;
  cut_ = false;
  file_.clear();
  SetActionObserver(this);
}

void GameRecorder::Took(uint8_t actions) {
  if (!recording_ || cut_) return;
  const size_t steps = replay_.actions.size();
  if (steps >= stepLimit_) {
    // The game goes on, unrecorded: the replay ends here as if the player had
    // quit at this step, which is what playing it back gives.
    cut_ = true;
    resultAtCut_ = {game.score, game.waveIndex + 1, static_cast<uint32_t>(steps)};
    return;
  }
  AppendStep(replay_, actions);
}

void AppendStep(Replay& replay, uint8_t actions) {
  const size_t steps = replay.actions.size();
  if (steps > 0 && steps % replay.checkpointInterval == 0) replay.checkpoints.push_back(GameStateChecksum());
  replay.actions.push_back(actions & kActionMask);
}

bool GameRecorder::Finish(int score, int wave) {
  if (!recording_) return false;
  recording_ = false;
  SetActionObserver(nullptr);
  if (cut_) {
    replay_.result = resultAtCut_;
  } else {
    replay_.result.score = score;
    replay_.result.wave = wave;
    replay_.result.steps = static_cast<uint32_t>(replay_.actions.size());
  }
  const std::string folder = gameFolders.ReplayFolder();
  if (folder.empty() || !EnsureFolder(folder)) return false;
  const std::string file = folder + "/" + ReplayFileName(replay_.header.date, replay_.header.seed);
  if (!WriteReplayFile(file, replay_)) {
    std::fprintf(stderr, "vevarnholt: the game could not be recorded in %s\n", file.c_str());
    return false;
  }
  file_ = file;
  Prune();
  return true;
}

void GameRecorder::NameLastGame(const char* name) {
  if (file_.empty() || recording_ || replay_.header.name == name) return;
  replay_.header.name = name;
  if (!WriteReplayFile(file_, replay_))
    std::fprintf(stderr, "vevarnholt: the name could not be written into %s\n", file_.c_str());
  Prune();
}

void GameRecorder::Prune() const {
  std::vector<ScoreTableEntry> table;
  for (int i = 0; i < kHighScoreCount; ++i) table.push_back({highScores[i], highScoreNames[i], highScoreReplays[i]});
  PruneReplays(gameFolders.ReplayFolder(), table);
}
