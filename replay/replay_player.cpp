#include "replay/replay_player.h"

#include <allegro.h>

#include <cstdio>

#include "engine/clock.h"
#include "engine/command_line.h"
#include "engine/graphics_engine.h"
#include "game/game_flow.h"
#include "game/game_state.h"
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
  if (next_ >= replay_.actions.size()) {
    if (!ranOut_) {
      ranOut_ = true;
      resultWhenRanOut_.score = score;
      resultWhenRanOut_.wave = waveIndex + 1;
      resultWhenRanOut_.steps = StepsPlayed();
    }
    return false;
  }
  actions = replay_.actions[next_++];
  // Held right arrow: three more steps are owed for every frame of the
  // clock, so that four run in the time of one.
  if (watched_ && input.KeyHeld(KEY_RIGHT)) {
    if (++stepOfFrame_ < kFastForward)
      FrameCounter.fetch_add(1);
    else
      stepOfFrame_ = 0;
  } else {
    stepOfFrame_ = 0;
  }
  return true;
}

ReplayResult PlayRecordedGame(const Replay& replay, ReplaySource& source) {
  BeginGame(replay.header.seed);
  SetActionSource(&source);
  PlayGame();
  SetActionSource(nullptr);
  ReplayResult result;
  if (source.RanOut()) {
    result = source.ResultWhenRanOut();
  } else {
    result.score = score;
    result.wave = waveIndex + 1;
    result.steps = source.StepsPlayed();
  }
  EndGame();
  return result;
}

int VerifyReplayFile(const std::string& file) {
  Replay replay;
  std::string detail;
  const ReplayError error = ReadReplayFile(file, replay, &detail);
  if (error != ReplayError::kNone) {
    PrintReplayError(file, error, detail);
    return kExitBadData;
  }

  std::string problem;
  if (!StartHeadlessGame(problem)) {
    std::fprintf(stderr, "vevarnholt: %s\n", problem.c_str());
    return 4;
  }
  ReplaySource source(replay, false);
  const ReplayResult result = PlayRecordedGame(replay, source);
  StopHeadlessGame();

  if (!(result == replay.result)) {
    std::fprintf(stderr,
                 "%s: the result does not match the recording: recorded score %d, wave %d, steps %u; "
                 "played score %d, wave %d, steps %u\n",
                 file.c_str(), replay.result.score, replay.result.wave, replay.result.steps, result.score,
                 result.wave, result.steps);
    return kExitBadData;
  }
  std::printf("score %d, wave %d, steps %u\n", result.score, result.wave, result.steps);
  return 0;
}

bool LoadReplayToWatch(const std::string& file, Replay& replay) {
  std::string detail;
  const ReplayError error = ReadReplayFile(file, replay, &detail);
  if (error == ReplayError::kNone) return true;
  PrintReplayError(file, error, detail);
  return false;
}

void WatchReplay(const Replay& replay) {
  ReplaySource source(replay, true);
  PlayRecordedGame(replay, source);
  stage.Hide(&ship);
  RemoveGameObjects();
  stage.DrawFrame();
}
