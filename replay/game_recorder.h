// Records the game being played: its seed, date and the actions of every step;
// at its end (game over, or the quit question answered yes) the result, and
// the whole is written as a replay into the replays folder. The name typed on
// the title for a score that made the table is written into it afterwards.
// Only games the player plays are recorded: not a demo, not a replay watched.
#pragma once

#include <cstdint>
#include <string>

#include "replay/replay_file.h"

class GameRecorder {
 public:
  void Begin(uint32_t seed, int64_t date);
  bool Recording() const { return recording_; }
  // Called once a step with that step's actions.
  void Record(uint8_t actions);
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

 private:
  void Prune() const;

  Replay replay_;
  bool recording_ = false;
  std::string file_;
};

extern GameRecorder gameRecorder;
