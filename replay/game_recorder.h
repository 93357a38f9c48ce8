// Records the game being played: its seed, date and the actions of every step,
// a checksum of the game's state every few seconds, and at its end (game over,
// or the quit question answered yes) the result; the whole is written as a
// replay into the replays folder. The name typed on the title for a score that
// made the table is written into it afterwards. Only games the player plays
// are recorded: not a demo, not a replay watched.
#pragma once

#include <cstdint>
#include <string>

#include "game/player_actions.h"
#include "replay/replay_file.h"

class GameRecorder : public ActionObserver {
 public:
  // Starts recording the game about to begin (it watches the game's actions
  // from now on): a game from wave 1, or a practice game from `startWave`.
  void Begin(uint32_t seed, int64_t date, bool practice = false, int startWave = 1);
  bool Recording() const { return recording_; }
  // Each step's actions as the game takes them, before they act.
  void Took(uint8_t actions) override;
  // Ends the recording and writes the replay (when the player's files are
  // kept); then keeps the replays folder to its size. False when nothing
  // could be written.
  bool Finish(int score, int wave);
  // Writes the last finished game again with the name entered for it.
  void NameLastGame(const char* name);
  // Where the last game was written, empty when it wasn't.
  const std::string& LastFile() const { return file_; }
  // The game recorded last (or being recorded).
  const Replay& LastReplay() const { return replay_; }

  // A game longer than this many steps is recorded up to here, as a game the
  // player ended there (a replay may hold kMaxReplaySteps).
  void SetStepLimit(uint32_t steps) { stepLimit_ = steps; }

 private:
  void Prune() const;

  Replay replay_;
  bool recording_ = false;
  bool cut_ = false;
  ReplayResult resultAtCut_;
  uint32_t stepLimit_ = kMaxReplaySteps;
  std::string file_;
};

extern GameRecorder gameRecorder;

// Adds one step's actions, taken by the game being played now, to a replay
// being made: before them, at every whole checkpoint interval, the checksum
// of the game's state.
void AppendStep(Replay& replay, uint8_t actions);
