// Any bytes as the player's record file "KAVrecord.sav", and the same bytes
// as the numbers of a record whose signature, version and checksum are made
// right, so that the checks behind the checksum are reached. Reading never
// fails loudly: a record is either taken whole (and then written back byte
// for byte, since only well-formed records are accepted) or refused with a
// short printable reason and no number changed; the best wave of one taken
// is 0..20, and 0 exactly when no game was played; a game added afterwards
// never wraps a total; and whatever was read, written and read again is the
// same.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include <zlib.h>

#include "fuzz_support.h"
#include "game/player_record.h"

namespace {

bool WriteFile(const std::string& path, const uint8_t* data, size_t size) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool ok = size == 0 || std::fwrite(data, 1, size, f) == size;
  return std::fclose(f) == 0 && ok;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::SetUpGame();
  return 0;
}

namespace {

void CheckRecord(const uint8_t* data, size_t size);

// The input's first 36 bytes as the numbers of a sealed record.
void CheckSealed(const uint8_t* data, size_t size) {
  if (size < 36) return;
  std::vector<uint8_t> bytes = {0x8B, 'K', 'V', 'P', '\r', '\n', 0x1A, '\n', 0, 0, 0, 1};
  bytes.insert(bytes.end(), data, data + 36);
  const uint32_t crc = static_cast<uint32_t>(crc32(0L, bytes.data(), static_cast<uInt>(bytes.size())));
  for (int shift = 24; shift >= 0; shift -= 8) bytes.push_back(static_cast<uint8_t>(crc >> shift));
  const uint64_t games = [&] {
    uint64_t v = 0;
    for (int i = 0; i < 8; ++i) v = v << 8 | data[i];
    return v;
  }();
  const uint32_t wave = static_cast<uint32_t>(data[32]) << 24 | data[33] << 16 | data[34] << 8 | data[35];
  PlayerRecord read;
  const bool fits = wave <= 20 && (wave == 0) == (games == 0);
  fuzz::Require((ParsePlayerRecord(bytes.data(), bytes.size(), read) == RecordRead::kGood) == fits,
                "a sealed record is taken exactly when its best wave fits its games");
  CheckRecord(bytes.data(), bytes.size());
}

void CheckRecord(const uint8_t* data, size_t size) {
  PlayerRecord untouched;
  untouched.games = 7;
  PlayerRecord read = untouched;
  std::string problem;
  const RecordRead result = ParsePlayerRecord(data, size, read, &problem);
  if (result != RecordRead::kGood) {
    fuzz::Require(read == untouched, "a refused record changes nothing");
    fuzz::Require(!problem.empty() && problem.size() <= 100, "a refusal says why, briefly");
    for (char c : problem) fuzz::Require(c >= 0x20 && c < 0x7F, "the reason is printable");
    return;
  }
  fuzz::Require(size == kRecordFileSize, "only a whole record is taken");
  fuzz::Require(read.bestWave >= 0 && read.bestWave <= 20, "a best wave of the game's own");
  fuzz::Require((read.bestWave == 0) == (read.games == 0), "a best wave exactly when a game was played");
  const std::vector<uint8_t> again = SerializePlayerRecord(read);
  fuzz::Require(again.size() == size && std::memcmp(again.data(), data, size) == 0,
                "an accepted record is written back byte for byte");

  // The same through the file, and with a game added.
  const std::string file = fuzz::ScratchFolder() + "/KAVrecord.sav";
  if (!WriteFile(file, data, size)) return;
  PlayerRecord fromFile;
  fuzz::Require(ReadPlayerRecordFile(file, fromFile) == RecordRead::kGood && fromFile == read,
                "the file reads as the bytes do");
  GameSummary game;
  game.steps = std::numeric_limits<uint32_t>::max();
  game.wave = 20;
  game.numbers.enemies[0] = std::numeric_limits<int32_t>::max();
  game.numbers.humansRescued = 3;
  PlayerRecord added = read;
  AddGameToRecord(added, game);
  fuzz::Require(added.games >= read.games && added.steps >= read.steps && added.enemies >= read.enemies &&
                    added.humansRescued >= read.humansRescued,
                "no total wraps");
  fuzz::Require(added.bestWave == 20, "the best wave follows the game");
  fuzz::Require(WritePlayerRecordFile(file, added), "the record is written");
  PlayerRecord back;
  fuzz::Require(ReadPlayerRecordFile(file, back) == RecordRead::kGood && back == added,
                "what is written reads back the same");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CheckRecord(data, size);
  CheckSealed(data, size);
  return 0;
}
