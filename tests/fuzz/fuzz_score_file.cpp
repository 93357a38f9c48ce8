// Any bytes, of any length, as the score file. Reading must leave every name
// and score text terminated and within its buffer, take exactly the complete
// records the file holds and keep the defaults for the rest; the table must
// draw as the title screen draws it; and writing it back and reading that
// again must give the same table, with the complete records byte for byte as
// they were: a damaged file is never made worse. The same bytes as the
// table's replay list beside it give each line no replay or a plain replay
// file name, which survive writing and reading too.
#include <allegro.h>

#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "fuzz_support.h"
#include "game/high_scores.h"
#include "scene/scene_objects.h"

namespace {

constexpr int kRecord = 4 + kNameLength;
constexpr int kFileSize = kHighScoreCount * kRecord;

struct Table {
  int scores[kHighScoreCount];
  char texts[kHighScoreCount][16];
  char names[kHighScoreCount][kNameLength + 1];
  char replays[kHighScoreCount][kReplayNameSize];
};

Table Snapshot() {
  Table t;
  std::memcpy(t.scores, highScores, sizeof t.scores);
  std::memcpy(t.texts, highScoreTexts, sizeof t.texts);
  std::memcpy(t.names, highScoreNames, sizeof t.names);
  std::memcpy(t.replays, highScoreReplays, sizeof t.replays);
  return t;
}

bool PlainReplayName(const char* name) {
  const size_t length = std::strlen(name);
  if (length == 0) return true;
  if (length >= kReplayNameSize || length <= 7 || std::strcmp(name + length - 7, ".replay") != 0) return false;
  if (name[0] == '.') return false;
  for (const char* c = name; *c; ++c)
    if (!std::isalnum(static_cast<unsigned char>(*c)) && *c != '-' && *c != '_' && *c != '.') return false;
  return true;
}

bool SameTable(const Table& a, const Table& b) {
  for (int i = 0; i < kHighScoreCount; ++i) {
    if (a.scores[i] != b.scores[i]) return false;
    if (std::strcmp(a.texts[i], b.texts[i]) != 0) return false;
    // The name field keeps its bytes after the terminator too.
    if (std::memcmp(a.names[i], b.names[i], kNameLength) != 0) return false;
    if (std::strcmp(a.replays[i], b.replays[i]) != 0) return false;
  }
  return true;
}

bool WriteFile(const std::string& path, const uint8_t* data, size_t size) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool ok = (size == 0 || std::fwrite(data, 1, size, f) == size);
  return std::fclose(f) == 0 && ok;
}

std::string ReadFile(const std::string& path) {
  std::string bytes;
  if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
    char buffer[512];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, f)) > 0) bytes.append(buffer, got);
    std::fclose(f);
  }
  return bytes;
}

int LittleEndian(const uint8_t* p) {
  return static_cast<int>(static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                          static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24);
}

BITMAP* canvas = nullptr;

void ReleaseCanvas() {
  destroy_bitmap(canvas);
  canvas = nullptr;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::SetUpGame();
  canvas = create_bitmap(1024, 768);
  fuzz::Require(canvas != nullptr, "a canvas to draw the table on");
  std::atexit(ReleaseCanvas);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string file = fuzz::ScratchFolder() + "/KAVscores.sav";
  const std::string copy = fuzz::ScratchFolder() + "/copy.sav";
  if (!WriteFile(file, data, size) || !WriteFile(ReplayListFileFor(file), data, size)) return 0;

  ResetHighScores();
  const Table defaults = Snapshot();
  fuzz::Require(ReadScoresFrom(file.c_str()) == 1, "an existing file is read");

  const int complete = static_cast<int>(size / kRecord) < kHighScoreCount ? static_cast<int>(size / kRecord)
                                                                           : kHighScoreCount;
  for (int i = 0; i < kHighScoreCount; ++i) {
    fuzz::Require(std::memchr(highScoreNames[i], 0, sizeof highScoreNames[i]) != nullptr, "name terminated");
    fuzz::Require(std::strlen(highScoreNames[i]) <= kNameLength, "name at most 20 characters");
    fuzz::Require(std::memchr(highScoreTexts[i], 0, sizeof highScoreTexts[i]) != nullptr, "score text terminated");
    char expected[32];
    std::snprintf(expected, sizeof expected, "%08d", highScores[i]);
    fuzz::Require(std::strcmp(highScoreTexts[i], expected) == 0, "score text shows the score");
    fuzz::Require(std::memchr(highScoreReplays[i], 0, kReplayNameSize) != nullptr, "replay name terminated");
    fuzz::Require(PlainReplayName(highScoreReplays[i]), "no replay, or a plain replay file name");
    if (i < complete) {
      const uint8_t* record = data + i * kRecord;
      fuzz::Require(highScores[i] == LittleEndian(record), "score read little-endian");
      fuzz::Require(std::memcmp(highScoreNames[i], record + 4, kNameLength) == 0, "name bytes read as stored");
    } else {
      // A record cut short, and every one after it, keeps the default.
      fuzz::Require(highScores[i] == defaults.scores[i], "missing record keeps its score");
      fuzz::Require(std::strcmp(highScoreNames[i], defaults.names[i]) == 0, "missing record keeps its name");
    }
  }

  // The title screen draws these labels, which point at the table's texts.
  for (int k = 0; k < kHighScoreCount; ++k) {
    highScoreValueLabels[k].Draw(canvas);
    highScoreNameLabels[k].Draw(canvas);
  }

  const Table read = Snapshot();
  std::remove(copy.c_str());
  fuzz::Require(WriteScoresTo(copy.c_str()) == 1, "the table is written");
  const std::string written = ReadFile(copy);
  fuzz::Require(written.size() == kFileSize, "the written file is 240 bytes");
  fuzz::Require(std::memcmp(written.data(), data, complete * kRecord) == 0,
                "complete records are written back byte for byte");

  ResetHighScores();
  fuzz::Require(ReadScoresFrom(copy.c_str()) == 1, "the written file is read");
  fuzz::Require(SameTable(read, Snapshot()), "the table survives writing and reading");
  return 0;
}
