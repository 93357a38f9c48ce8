// A recorded game: who played which version when, the keys held on every logic
// step, checksums of the game's state along the way, and how the game ended.
// Replaying the actions from the same seed under the same rules plays the same
// game again.
//
// The file is built like a PNG, to survive: an 8-byte signature, then chunks of
//   length (4 bytes, big-endian; the data only)  type (4 letters)  data  CRC-32 of type and data
// in the order HEAD, ACTS, RSLT, DONE (ACTS and RSLT may swap). Every format
// version keeps the signature and a first chunk HEAD whose data begins with the
// format version, so that an old game refuses a newer file by name.
//   HEAD  format version (u32), rules version (u32), seed (u32),
//         date (i64, seconds since 1970 UTC),
//         game version (u8 length, 0..31 printable ASCII bytes),
//         player's name (u8 length, 0..20 printable ASCII bytes),
//         kind (u8: 0 a game, 1 a practice game), starting wave (u8, 1..20)
//   ACTS  the action bytes, one a step, as one zlib stream
//   RSLT  score (i32), wave reached (i32, from 1), steps (u32)
//   chkp  checkpoints: the interval in steps (u32), then one checksum of the
//         game's state (u32) for every whole interval played, at most
//         steps / interval of them (optional)
//   DONE  empty
// A chunk whose type starts with a small letter is extra information that a
// game which does not know it skips; any other unknown chunk makes the file
// unreadable. Format 1 (version 1.0.0 of the game) had neither the rules
// version (its rules are version 1), the kind nor the starting wave; it is
// still read, so that such a replay is refused by its versions and kept.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "game/actions.h"
#include "game/rules_version.h"

constexpr int kReplayFormatVersion = 2;
// The first format, still read.
constexpr int kReplayOldestFormat = 1;

constexpr size_t kReplayGameVersionLength = 31;
constexpr size_t kReplayNameLength = 20;
constexpr int kReplayLastStartWave = 20;
// About 93 hours at 50 steps a second; a longer game is recorded up to here.
constexpr uint32_t kMaxReplaySteps = 1u << 24;
// A checkpoint every five seconds of play.
constexpr uint32_t kCheckpointInterval = 250;
// A replay file is read whole; anything larger is not one of ours.
constexpr size_t kMaxReplayFileSize = 16u << 20;
// Dates from 1970 to the end of year 9999, so a file name always has a
// four-digit year.
constexpr int64_t kMaxReplayDate = 253402300799;

struct ReplayHeader {
  // The version of the file read; files are always written in
  // kReplayFormatVersion.
  int formatVersion = kReplayFormatVersion;
  // The rules the game was played by (1 for a file of format 1).
  uint32_t rulesVersion = kRulesVersion;
  std::string gameVersion = KAV_VERSION;
  uint32_t seed = 0;
  int64_t date = 0;
  // Entered on the title when the score made the table, else empty.
  std::string name;
  // A practice game, started from `startWave`; a game starts from wave 1.
  bool practice = false;
  int startWave = 1;
};

struct ReplayResult {
  int32_t score = 0;
  int32_t wave = 1;
  uint32_t steps = 0;  // always actions.size()
};

struct Replay {
  ReplayHeader header;
  std::vector<uint8_t> actions;
  ReplayResult result;
  // The checksum of the game's state after each whole `checkpointInterval`
  // steps: checkpoints[k] after (k + 1) * checkpointInterval steps. Empty in a
  // file that has none.
  uint32_t checkpointInterval = kCheckpointInterval;
  std::vector<uint32_t> checkpoints;
};

bool operator==(const ReplayHeader& a, const ReplayHeader& b);
bool operator==(const ReplayResult& a, const ReplayResult& b);
bool operator==(const Replay& a, const Replay& b);

enum class ReplayError {
  kNone,
  kCannotOpen,
  kNotAReplay,  // a file of another kind
  kOtherFormatVersion,
  kTruncated,
  kDamaged,  // a checksum or a consistency check fails
  kTooLarge,
};

// One line without a newline, e.g. "not a replay file" or "damaged (checksum
// mismatch in the actions)"; the detail is what the reader said beside the
// error. The verify command prints "<file>: <message>".
std::string ReplayErrorMessage(ReplayError error, const std::string& detail = "");

// True when a replay keeps every rule of the file: the texts' lengths and
// characters, a date in range, a starting wave of 1..20 (1 for a game), score
// >= 0, wave >= 1, steps equal to the actions (at most kMaxReplaySteps), no
// action byte outside kActionMask, a checkpoint interval above 0 and no more
// checkpoints than whole intervals. The reader accepts exactly these (in
// either format), and only these in the current format are written.
bool ReplayWellFormed(const Replay& replay);

// Reads a replay from memory. Any bytes may come in: lengths are checked
// against what is left before use and the actions are inflated no further
// than the steps the file declares, so nothing is read out of bounds and the
// work and memory are bounded by the input's size and kMaxReplaySteps. `out`
// is only written on success; `detail`, when given, says what was wrong.
ReplayError ParseReplay(const uint8_t* data, size_t size, Replay& out, std::string* detail = nullptr);

// "recorded by version 1.0.0 of the game, whose rules differ from this version
// (1.1.0)" when the replay was played by other rules than this game's, else
// empty. Such a replay cannot be played back here.
std::string OtherRulesMessage(const ReplayHeader& header);

// The same on a file; only regular files up to kMaxReplayFileSize are read.
ReplayError ReadReplayFile(const std::string& path, Replay& out, std::string* detail = nullptr);

// The file's bytes; empty when the replay is not well formed.
std::vector<uint8_t> SerializeReplay(const Replay& replay);

// Writes a temporary file beside `path` ("<path>.tmp"), flushes it to disk and
// renames it over `path`. False, with whatever was at `path` left as it was,
// when anything fails or the replay is not well formed (or too large to be
// read back).
bool WriteReplayFile(const std::string& path, const Replay& replay);
