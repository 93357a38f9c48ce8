// The player's record: the totals of every game played from the menu (Play
// and Practice), kept across runs in a small file beside the score table,
// "KAVrecord.sav". 52 bytes, the numbers big-endian:
//    0   8  signature 8B 'K' 'V' 'P' '\r' '\n' 1A '\n'
//    8   4  format version (1)
//   12   8  games
//   20   8  steps played, at 50 a second
//   28   8  enemies destroyed
//   36   8  humans rescued
//   44   4  the best wave reached (0 before the first game, else 1..20)
//   48   4  CRC-32 of the 48 bytes before it
// The file is written whole or not at all (a temporary file renamed over it).
// A file that is damaged, cut short or of any other kind reads as zeros with
// one line saying why, and the next game's end replaces it; a file of a newer
// format is left as it is, and this run's games are then not added.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "game/game_numbers.h"

constexpr int kRecordFormatVersion = 1;
constexpr size_t kRecordFileSize = 52;

struct PlayerRecord {
  uint64_t games = 0;
  uint64_t steps = 0;
  uint64_t enemies = 0;
  uint64_t humansRescued = 0;
  int32_t bestWave = 0;
};

bool operator==(const PlayerRecord& a, const PlayerRecord& b);

enum class RecordRead {
  kGood,
  kMissing,  // no file: a player who has not finished a game yet
  kDamaged,  // unreadable, the wrong size, kind or checksum, or numbers out of range
  kNewer,    // a newer format version: left alone
};

// Reads a record from memory; any bytes may come. `out` is written only when
// the result is kGood; `problem` says what was wrong otherwise.
RecordRead ParsePlayerRecord(const uint8_t* data, size_t size, PlayerRecord& out, std::string* problem = nullptr);
std::vector<uint8_t> SerializePlayerRecord(const PlayerRecord& record);

// A finished game added: one game more, its steps, its enemies (the boss
// counted), its rescues, and the best wave raised to the highest it began.
// The totals stop at their largest value rather than wrap.
void AddGameToRecord(PlayerRecord& record, const GameSummary& game);

// The same on a file: only a regular file of at most a few kilobytes is read.
RecordRead ReadPlayerRecordFile(const std::string& path, PlayerRecord& out, std::string* problem = nullptr);
// Atomically; false (the old file as it was) when anything fails.
bool WritePlayerRecordFile(const std::string& path, const PlayerRecord& record);

// The record of this player, read at start-up from the folder of the
// player's files (a problem is said on standard error) and written after
// every game played from the menu.
extern PlayerRecord playerRecord;
void LoadPlayerRecord();
// Adds the game to the record and writes it, when the player's files are
// kept and the file is neither of a newer format nor made read-only.
void RecordFinishedGame(const GameSummary& game);
