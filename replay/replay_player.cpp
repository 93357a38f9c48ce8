#include "replay/replay_player.h"

#include <allegro.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "engine/clock.h"
#include "engine/command_line.h"
#include "engine/graphics_engine.h"
#include "game/game_flow.h"
#include "game/game_numbers.h"
#include "game/game_state.h"
#include "game/state_checksum.h"
#include "replay/headless_game.h"
#include "entities/play_objects.h"
#include "engine/input.h"
#include "scene/stage.h"

namespace {

constexpr int kFastForward = 4;

void PrintReplayError(const std::string& file, ReplayError error, const std::string& detail) {
  std::fprintf(stderr, "%s: %s\n", file.c_str(), ReplayErrorMessage(error, detail).c_str());
}

}  // namespace

bool ReplaySource::Next(uint8_t& actions) {
  if (next_ > 0 && next_ % replay_.checkpointInterval == 0) {
    const size_t checkpoint = next_ / replay_.checkpointInterval - 1;
    if (checkpoint < replay_.checkpoints.size() && replay_.checkpoints[checkpoint] != GameStateChecksum()) {
      departedAt_ = static_cast<uint32_t>(next_);
      return false;
    }
  }
  if (next_ >= replay_.actions.size()) {
    if (!ranOut_) {
      ranOut_ = true;
      resultWhenRanOut_.score = game.score;
      resultWhenRanOut_.wave = game.waveIndex + 1;
      resultWhenRanOut_.steps = StepsPlayed();
    }
    return false;
  }
  actions = replay_.actions[next_++];
  // Held right arrow: three more steps are owed for every frame of the
  // clock, so that four run in the time of one.
  if (watched_ && input.KeyHeld(KEY_RIGHT)) {
    if (++stepOfFrame_ < kFastForward)
      OweExtraStep();
    else
      stepOfFrame_ = 0;
  } else {
    stepOfFrame_ = 0;
  }
  return true;
}

ReplayResult PlayRecordedGame(const Replay& replay, ReplaySource& source) {
  BeginGame(replay.header.seed, replay.header.startWave);
  SetActionSource(&source);
  PlayGame();
  SetActionSource(nullptr);
  ReplayResult result;
  if (source.RanOut()) {
    result = source.ResultWhenRanOut();
  } else {
    result.score = game.score;
    result.wave = game.waveIndex + 1;
    result.steps = source.StepsPlayed();
  }
  EndGame();
  return result;
}

int VerifyReplayFile(const std::string& file, bool stats) {
  Replay replay;
  if (!LoadReplayToWatch(file, replay)) return kExitBadData;

  std::string problem;
  if (!StartHeadlessGame(problem)) {
    std::fprintf(stderr, "vevarnholt: %s\n", problem.c_str());
    return 4;
  }
  ReplaySource source(replay, false);
  const ReplayResult result = PlayRecordedGame(replay, source);
  const GameSummary summary = SummariseGame(replay.header.practice, replay.header.startWave);
  StopHeadlessGame();

  if (source.DepartedAt() > 0) {
    std::fprintf(stderr, "%s: replay departs from its game at step %u\n", file.c_str(), source.DepartedAt());
    return kExitBadData;
  }
  if (!(result == replay.result)) {
    std::fprintf(stderr,
                 "%s: the result does not match the recording: recorded score %d, wave %d, steps %u; "
                 "played score %d, wave %d, steps %u\n",
                 file.c_str(), replay.result.score, replay.result.wave, replay.result.steps, result.score,
                 result.wave, result.steps);
    return kExitBadData;
  }
  // A practice game says so, and so never passes for a game from wave 1.
  if (replay.header.practice)
    std::printf("score %d, wave %d, steps %u, from wave %d\n", result.score, result.wave, result.steps,
                replay.header.startWave);
  else
    std::printf("score %d, wave %d, steps %u\n", result.score, result.wave, result.steps);
  if (stats) std::printf("%s\n", GameSummaryJson(summary).c_str());
  // A result nobody receives is no verification.
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
    std::fprintf(stderr, "%s: the result could not be written: %s\n", file.c_str(), std::strerror(errno));
    return kExitIoError;
  }
  return 0;
}

bool LoadReplayToWatch(const std::string& file, Replay& replay) {
  std::string detail;
  const ReplayError error = ReadReplayFile(file, replay, &detail);
  if (error != ReplayError::kNone) {
    PrintReplayError(file, error, detail);
    return false;
  }
  const std::string otherRules = OtherRulesMessage(replay.header);
  if (!otherRules.empty()) {
    std::fprintf(stderr, "%s: %s\n", file.c_str(), otherRules.c_str());
    return false;
  }
  return true;
}

void WatchReplay(const Replay& replay) {
  ReplaySource source(replay, true);
  PlayRecordedGame(replay, source);
  stage.Hide(&ship);
  RemoveGameObjects();
  stage.DrawFrame();
}
