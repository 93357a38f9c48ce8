// Records the demo the title shows when no replay of the player's exists:
// the pilot plays a minute of the game from a fixed seed, the game is written
// as a replay, then played back to check that it comes out the same.
//   kav_demogen <folder holding kav.dat> <replay file to write>
//               [--seed N] [--steps N] [--date SECONDS] [--name TEXT]
// The options record another game of the pilot's (the score server's tests
// play it from the seeds the server hands out).
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "demo_pilot.h"
#include "engine/game_folders.h"
#include "game/game_flow.h"
#include "game/game_state.h"
#include "replay/game_recorder.h"
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
      if (!ended_) result_ = {game.score, game.waveIndex + 1, static_cast<uint32_t>(replay_.actions.size())};
      ended_ = true;
      return false;
    }
    AppendStep(replay_, actions);
    return true;
  }
  Replay replay_;
  bool ended_ = false;
  ReplayResult result_;

 private:
  ActionSource& pilot_;
};

bool ParseNumber(const char* text, long long low, long long high, long long& value) {
  errno = 0;
  char* end = nullptr;
  const long long parsed = std::strtoll(text, &end, 10);
  if (errno != 0 || end == text || *end != '\0' || parsed < low || parsed > high) return false;
  value = parsed;
  return true;
}

int Usage() {
  std::fprintf(stderr,
               "usage: kav_demogen <data folder> <replay file> [--seed N] [--steps N] [--date SECONDS] "
               "[--name TEXT]\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3 || argc % 2 == 0) return Usage();
  long long seed = kSeed, steps = kPilotSteps, date = kDate;
  std::string name = "Demo Pilot";
  for (int i = 3; i + 1 < argc; i += 2) {
    const char* option = argv[i];
    const char* value = argv[i + 1];
    bool ok = true;
    if (std::strcmp(option, "--seed") == 0)
      ok = ParseNumber(value, 0, 0xFFFFFFFFll, seed);
    else if (std::strcmp(option, "--steps") == 0)
      ok = ParseNumber(value, 1, kMaxReplaySteps, steps);
    else if (std::strcmp(option, "--date") == 0)
      ok = ParseNumber(value, 0, kMaxReplayDate, date);
    else if (std::strcmp(option, "--name") == 0)
      name = value;
    else
      ok = false;
    if (!ok) return Usage();
  }
  gameFolders.portable = false;
  gameFolders.data = argv[1];
  std::string error;
  if (!StartHeadlessGame(error)) {
    std::fprintf(stderr, "kav_demogen: %s\n", error.c_str());
    return 1;
  }

  DemoPilot pilot(static_cast<long>(steps));
  Recording recording(pilot);
  BeginGame(static_cast<uint32_t>(seed));
  SetActionSource(&recording);
  PlayGame();
  SetActionSource(nullptr);
  Replay replay = recording.replay_;
  replay.header.seed = static_cast<uint32_t>(seed);
  replay.header.date = date;
  replay.header.name = name;
  replay.result = recording.ended_ ? recording.result_
                                   : ReplayResult{game.score, game.waveIndex + 1,
                                                  static_cast<uint32_t>(replay.actions.size())};
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
