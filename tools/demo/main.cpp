// Records the demo the title shows when no replay of the player's exists:
// the pilot plays a minute of the game from a fixed seed, the game is written
// as a replay, then played back to check that it comes out the same.
//   kav_demogen <folder holding kav.dat> <replay file to write>
#include <cstdio>
#include <string>

#include "demo_pilot.h"
#include "engine/game_folders.h"
#include "game/game_flow.h"
#include "game/game_state.h"
#include "replay/headless_game.h"
#include "replay/replay_file.h"
#include "replay/replay_player.h"
#include "screens/attract_demo.h"

namespace {

constexpr uint32_t kSeed = 20261208;
constexpr int64_t kDate = 1796688000;  // 2026-12-08 00:00 UTC: the same file from every build
// The wave's name takes the first three seconds.
constexpr long kPilotSteps = kDemoSteps - 151;

// Keeps what the pilot did.
class Recording : public ActionSource {
 public:
  explicit Recording(ActionSource& pilot) : pilot_(pilot) {}
  bool Next(uint8_t& actions) override {
    if (!pilot_.Next(actions)) {
      if (!ended_) result_ = {score, waveIndex + 1, static_cast<uint32_t>(actions_.size())};
      ended_ = true;
      return false;
    }
    actions_.push_back(actions);
    return true;
  }
  std::vector<uint8_t> actions_;
  bool ended_ = false;
  ReplayResult result_;

 private:
  ActionSource& pilot_;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: kav_demogen <data folder> <replay file>\n");
    return 2;
  }
  gameFolders.portable = false;
  gameFolders.data = argv[1];
  std::string error;
  if (!StartHeadlessGame(error)) {
    std::fprintf(stderr, "kav_demogen: %s\n", error.c_str());
    return 1;
  }

  DemoPilot pilot(kPilotSteps);
  Recording recording(pilot);
  BeginGame(kSeed);
  SetActionSource(&recording);
  PlayGame();
  SetActionSource(nullptr);
  Replay replay;
  replay.header.seed = kSeed;
  replay.header.date = kDate;
  replay.header.name = "Demo Pilot";
  replay.actions = recording.actions_;
  replay.result = recording.ended_
                      ? recording.result_
                      : ReplayResult{score, waveIndex + 1, static_cast<uint32_t>(recording.actions_.size())};
  EndGame();

  ReplaySource source(replay, false);
  const ReplayResult again = PlayRecordedGame(replay, source);
  StopHeadlessGame();
  if (!(again == replay.result)) {
    std::fprintf(stderr, "kav_demogen: the demo plays back differently (score %d, wave %d, steps %u; recorded %d, %d, %u)\n",
                 again.score, again.wave, again.steps, replay.result.score, replay.result.wave, replay.result.steps);
    return 1;
  }
  if (!WriteReplayFile(argv[2], replay)) {
    std::fprintf(stderr, "kav_demogen: cannot write %s\n", argv[2]);
    return 1;
  }
  std::printf("demo: score %d, wave %d, steps %u\n", replay.result.score, replay.result.wave, replay.result.steps);
  return 0;
}
