// Runs the game's own verifier on a submitted replay, in a process of its own
// so that whatever the replay does to it cannot touch the server: the replay
// goes into a private temporary file, the verifier runs in its own folder
// (where a build's game finds kav.dat; an installed game finds its data by
// itself) with a CPU-time limit and a wall-clock deadline, and is killed with
// everything it started when it overruns.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "replay/replay_file.h"

struct VerifierVerdict {
  enum Kind {
    kVerified,  // `result` is what the replay played back to
    kRefused,   // the replay is bad: `message` says why (422)
    kFault,     // the verifier could not do its work: a server error, `message` for the log
  };
  Kind kind = kFault;
  ReplayResult result;
  std::string message;
};

// The sysexits codes of the game's verifier.
constexpr int kVerifierBadData = 65;
constexpr int kVerifierMissingData = 4;
constexpr int kVerifierCannotWrite = 74;

class ReplayVerifier {
 public:
  // `program` is the game; `scratchFolder` a private folder for the replay
  // files; a replay may take `baseSeconds` plus one second for every
  // kStepsPerLimitSecond steps it claims, of processor time and (with a
  // margin) of real time.
  ReplayVerifier(std::string program, std::string scratchFolder, int baseSeconds);

  VerifierVerdict Verify(const std::vector<uint8_t>& replay, uint32_t steps);

  // Kills every verifier running and refuses to start more: the server is
  // stopping. Their tokens stay unused.
  void Stop() { stopping_ = true; }

  // The processor seconds a replay of `steps` steps is allowed.
  int SecondsFor(uint32_t steps) const;

  const std::string& Program() const { return program_; }

 private:
  VerifierVerdict Run(const std::string& file, uint32_t steps);

  std::string program_;
  std::string folder_;  // where the verifier runs
  std::string scratch_;
  int baseSeconds_;
  std::atomic<bool> stopping_{false};
  std::atomic<uint64_t> fileNumber_{0};
};

// The game verifies some 40000 steps a second here; this leaves ten times
// that margin for a slow or busy machine.
constexpr uint32_t kStepsPerLimitSecond = 4500;
