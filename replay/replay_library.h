// The replays folder beside the score file: the name a new replay is saved
// under, the clean-up after each game, and the best game for the title's demo.
// Only regular files named "*.replay" directly in the folder are ever looked
// at or removed; subfolders, links and other files are left alone. An empty
// folder name means no folder (not the working one).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "replay/replay_file.h"

// "20261208-044214-1a2b3c4d.replay": the game's start (UTC) and its seed, so
// the names sort by date.
std::string ReplayFileName(int64_t date, uint32_t seed);

// Creates the folder and the missing ones above it (never above the folder of
// the player's files, which must exist), private to the player. True when it
// exists afterwards.
bool EnsureFolder(const std::string& path);

// One line of the high-score table, with the file name of its game's replay
// when the table's replay list names one.
struct ScoreTableEntry {
  int32_t score = 0;
  std::string name;
  std::string replay;
};

// Keeps the replays of the games in the table and the `keepRecent` most recent
// ones, and removes the other replays of this game's rules. A line of the
// table keeps the replay its list names; a line without one keeps a replay
// whose score and name match it (of several alike the oldest, as the table
// keeps the earlier of equal scores). Recent is by the date in the file, then
// by file name. Only files read whole as replays of this game's rules are
// ever removed: one that cannot be opened or read, a damaged one, or one of
// other rules stays, and does not count among the recent. A missing or
// unreadable folder is left as it is.
void PruneReplays(const std::string& folder, const std::vector<ScoreTableEntry>& table, int keepRecent = 20);

// The replay of this game's rules with the highest score (of equal scores the
// most recent): its path and, when asked, the replay itself. False when there
// is none.
bool FindBestReplay(const std::string& folder, std::string& path, Replay* out = nullptr);
