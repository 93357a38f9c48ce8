#include "game/player_record.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <limits>

#include "engine/atomic_file.h"
#include "engine/game_folders.h"
#include "game/waves.h"

PlayerRecord playerRecord;

namespace {

constexpr uint8_t kSignature[8] = {0x8B, 'K', 'V', 'P', '\r', '\n', 0x1A, '\n'};
constexpr size_t kCheckedSize = kRecordFileSize - 4;
// Anything larger is not a record, and is not read into memory.
constexpr off_t kMaxFileSize = 4096;

// A file of a newer format stays as it is: this run adds nothing to it.
bool recordWritable = true;

uint64_t GetBig(const uint8_t* p, int bytes) {
  uint64_t value = 0;
  for (int i = 0; i < bytes; ++i) value = value << 8 | p[i];
  return value;
}

void PutBig(std::vector<uint8_t>& out, uint64_t value, int bytes) {
  for (int shift = 8 * (bytes - 1); shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(value >> shift));
}

uint32_t Checksum(const uint8_t* data, size_t size) {
  return static_cast<uint32_t>(crc32(0L, data, static_cast<uInt>(size)));
}

uint64_t Saturated(uint64_t total, uint64_t more) {
  return total > std::numeric_limits<uint64_t>::max() - more ? std::numeric_limits<uint64_t>::max() : total + more;
}

RecordRead Fail(RecordRead result, std::string* problem, const std::string& why) {
  if (problem) *problem = why;
  return result;
}

}  // namespace

bool operator==(const PlayerRecord& a, const PlayerRecord& b) {
  return a.games == b.games && a.steps == b.steps && a.enemies == b.enemies && a.humansRescued == b.humansRescued &&
         a.bestWave == b.bestWave;
}

RecordRead ParsePlayerRecord(const uint8_t* data, size_t size, PlayerRecord& out, std::string* problem) {
  if (size < sizeof kSignature + 4 || std::memcmp(data, kSignature, sizeof kSignature) != 0)
    return Fail(RecordRead::kDamaged, problem, "not a record file");
  const uint64_t version = GetBig(data + 8, 4);
  if (version > static_cast<uint64_t>(kRecordFormatVersion))
    return Fail(RecordRead::kNewer, problem, "written by a newer version of the game (format " +
                                                 std::to_string(version) + ")");
  if (version != static_cast<uint64_t>(kRecordFormatVersion))
    return Fail(RecordRead::kDamaged, problem, "unknown format version " + std::to_string(version));
  if (size != kRecordFileSize)
    return Fail(RecordRead::kDamaged, problem, size < kRecordFileSize ? "cut short" : "longer than a record");
  if (Checksum(data, kCheckedSize) != GetBig(data + kCheckedSize, 4))
    return Fail(RecordRead::kDamaged, problem, "damaged (checksum mismatch)");
  PlayerRecord record;
  record.games = GetBig(data + 12, 8);
  record.steps = GetBig(data + 20, 8);
  record.enemies = GetBig(data + 28, 8);
  record.humansRescued = GetBig(data + 36, 8);
  const uint64_t bestWave = GetBig(data + 44, 4);
  if (bestWave > static_cast<uint64_t>(kWaveCount) || (bestWave == 0) != (record.games == 0))
    return Fail(RecordRead::kDamaged, problem, "best wave " + std::to_string(bestWave) + " does not fit the games");
  record.bestWave = static_cast<int32_t>(bestWave);
  out = record;
  return RecordRead::kGood;
}

std::vector<uint8_t> SerializePlayerRecord(const PlayerRecord& record) {
  std::vector<uint8_t> bytes(kSignature, kSignature + sizeof kSignature);
  PutBig(bytes, kRecordFormatVersion, 4);
  PutBig(bytes, record.games, 8);
  PutBig(bytes, record.steps, 8);
  PutBig(bytes, record.enemies, 8);
  PutBig(bytes, record.humansRescued, 8);
  PutBig(bytes, static_cast<uint32_t>(record.bestWave), 4);
  PutBig(bytes, Checksum(bytes.data(), bytes.size()), 4);
  return bytes;
}

void AddGameToRecord(PlayerRecord& record, const GameSummary& game) {
  record.games = Saturated(record.games, 1);
  record.steps = Saturated(record.steps, game.steps);
  const int enemies = game.numbers.EnemiesDestroyed();
  record.enemies = Saturated(record.enemies, enemies > 0 ? static_cast<uint64_t>(enemies) : 0);
  const int rescued = game.numbers.humansRescued;
  record.humansRescued = Saturated(record.humansRescued, rescued > 0 ? static_cast<uint64_t>(rescued) : 0);
  int highestWave = game.numbers.highestWave > game.wave ? game.numbers.highestWave : game.wave;
  if (highestWave > kWaveCount) highestWave = kWaveCount;
  if (highestWave < 1) highestWave = 1;
  if (highestWave > record.bestWave) record.bestWave = highestWave;
}

RecordRead ReadPlayerRecordFile(const std::string& path, PlayerRecord& out, std::string* problem) {
  // Non-blocking: a named pipe in its place must not hang the start.
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    if (errno == ENOENT) return RecordRead::kMissing;
    return Fail(RecordRead::kDamaged, problem, std::string("cannot be read: ") + std::strerror(errno));
  }
  struct stat info;
  std::string why;
  uint8_t bytes[kMaxFileSize];
  size_t size = 0;
  if (fstat(fd, &info) != 0) {
    why = std::string("cannot be read: ") + std::strerror(errno);
  } else if (!S_ISREG(info.st_mode)) {
    why = "not a regular file";
  } else if (info.st_size > kMaxFileSize) {
    why = "longer than a record";
  } else {
    for (;;) {
      const ssize_t got = read(fd, bytes + size, sizeof bytes - size);
      if (got < 0 && errno == EINTR) continue;
      if (got < 0) {
        why = std::string("cannot be read: ") + std::strerror(errno);
        break;
      }
      if (got == 0) break;
      size += static_cast<size_t>(got);
      if (size == sizeof bytes) {  // grew while it was read
        why = "longer than a record";
        break;
      }
    }
  }
  close(fd);
  if (!why.empty()) return Fail(RecordRead::kDamaged, problem, why);
  return ParsePlayerRecord(bytes, size, out, problem);
}

bool WritePlayerRecordFile(const std::string& path, const PlayerRecord& record) {
  const std::vector<uint8_t> bytes = SerializePlayerRecord(record);
  return WriteFileAtomically(path, bytes.data(), bytes.size());
}

void LoadPlayerRecord() {
  playerRecord = PlayerRecord();
  recordWritable = true;
  const std::string file = gameFolders.RecordFile();
  if (file.empty()) return;
  std::string problem;
  const RecordRead read = ReadPlayerRecordFile(file, playerRecord, &problem);
  if (read == RecordRead::kDamaged)
    std::fprintf(stderr, "vevarnholt: %s: %s; the record starts again from zero\n", file.c_str(), problem.c_str());
  if (read == RecordRead::kNewer) {
    recordWritable = false;
    std::fprintf(stderr, "vevarnholt: %s: %s; it is left as it is and this run's games are not added\n",
                 file.c_str(), problem.c_str());
  }
}

void RecordFinishedGame(const GameSummary& game) {
  AddGameToRecord(playerRecord, game);
  const std::string file = gameFolders.RecordFile();
  if (file.empty() || !recordWritable) return;
  // A record the player made read-only stays as it is (the bits are asked:
  // the superuser may write anything).
  struct stat info;
  if (stat(file.c_str(), &info) == 0 && (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return;
  if (!MakeFolderFor(file)) return;
  if (!WritePlayerRecordFile(file, playerRecord))
    std::fprintf(stderr, "vevarnholt: the record could not be saved to %s\n", file.c_str());
}
