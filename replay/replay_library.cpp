#include "replay/replay_library.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>

#include "engine/game_folders.h"

namespace {

constexpr const char* kReplaySuffix = ".replay";

std::string Join(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  return folder.back() == '/' ? folder + name : folder + "/" + name;
}

bool IsReplayName(const std::string& name) {
  const size_t suffix = std::char_traits<char>::length(kReplaySuffix);
  return name.size() > suffix && name.compare(name.size() - suffix, suffix, kReplaySuffix) == 0;
}

// Calls `visit` with the name and status of every regular replay file right in
// the folder; links are not followed.
void ForEachReplayFile(const std::string& folder,
                       const std::function<void(const std::string&, const struct stat&)>& visit) {
  if (folder.empty()) return;  // no folder: the player's files are not kept
  DIR* dir = opendir(folder.c_str());
  if (!dir) return;
  while (const dirent* entry = readdir(dir)) {
    const std::string name = entry->d_name;
    if (!IsReplayName(name)) continue;
    struct stat info;
    if (lstat(Join(folder, name).c_str(), &info) != 0 || !S_ISREG(info.st_mode)) continue;
    visit(name, info);
  }
  closedir(dir);
}

struct ReplayOnDisk {
  std::string name;
  int64_t date = 0;
  int32_t score = 0;
  std::string player;
  bool keep = false;
};

// Newest first: by date, then by name.
bool MoreRecent(const ReplayOnDisk& a, const ReplayOnDisk& b) {
  return a.date != b.date ? a.date > b.date : a.name > b.name;
}

}  // namespace

std::string ReplayFileName(int64_t date, uint32_t seed) {
  const time_t when = static_cast<time_t>(date);
  struct tm utc = {};
  char stamp[32] = "00000000-000000";
  if (gmtime_r(&when, &utc))
    std::snprintf(stamp, sizeof stamp, "%04d%02d%02d-%02d%02d%02d", utc.tm_year + 1900, utc.tm_mon + 1, utc.tm_mday,
                  utc.tm_hour, utc.tm_min, utc.tm_sec);
  char name[64];
  std::snprintf(name, sizeof name, "%s-%08x%s", stamp, static_cast<unsigned>(seed), kReplaySuffix);
  return name;
}

bool EnsureFolder(const std::string& path) { return MakeFolders(path, gameFolders.anchor); }

void PruneReplays(const std::string& folder, const std::vector<ScoreTableEntry>& table, int keepRecent) {
  std::vector<ReplayOnDisk> replays;
  ForEachReplayFile(folder, [&](const std::string& name, const struct stat&) {
    Replay replay;
    // Whatever cannot be read as a replay of these rules is not ours to
    // remove: it may be a good file the game could not read just now.
    if (ReadReplayFile(Join(folder, name), replay) != ReplayError::kNone) return;
    if (replay.header.rulesVersion != kRulesVersion) return;
    ReplayOnDisk found;
    found.name = name;
    found.date = replay.header.date;
    found.score = replay.result.score;
    found.player = replay.header.name;
    replays.push_back(found);
  });

  // Oldest first, so that each line of the table claims the earliest game
  // that made it.
  std::sort(replays.begin(), replays.end(),
            [](const ReplayOnDisk& a, const ReplayOnDisk& b) { return MoreRecent(b, a); });
  for (const ScoreTableEntry& line : table) {
    if (!line.replay.empty()) {
      for (ReplayOnDisk& replay : replays)
        if (replay.name == line.replay) replay.keep = true;
      continue;
    }
    for (ReplayOnDisk& replay : replays) {
      if (!replay.keep && replay.score == line.score && replay.player == line.name) {
        replay.keep = true;
        break;
      }
    }
  }
  std::reverse(replays.begin(), replays.end());
  for (size_t i = 0; i < replays.size() && static_cast<int64_t>(i) < keepRecent; ++i) replays[i].keep = true;
  for (const ReplayOnDisk& replay : replays)
    if (!replay.keep) unlink(Join(folder, replay.name).c_str());
}

bool FindBestReplay(const std::string& folder, std::string& path, Replay* out) {
  bool found = false;
  ReplayOnDisk best;
  Replay bestReplay;
  ForEachReplayFile(folder, [&](const std::string& name, const struct stat&) {
    Replay replay;
    if (ReadReplayFile(Join(folder, name), replay) != ReplayError::kNone) return;
    if (replay.header.rulesVersion != kRulesVersion) return;
    ReplayOnDisk candidate;
    candidate.name = name;
    candidate.date = replay.header.date;
    candidate.score = replay.result.score;
    if (found && (candidate.score < best.score || (candidate.score == best.score && !MoreRecent(candidate, best))))
      return;
    found = true;
    best = candidate;
    if (out) bestReplay = std::move(replay);
  });
  if (!found) return false;
  path = Join(folder, best.name);
  if (out) *out = std::move(bestReplay);
  return true;
}
