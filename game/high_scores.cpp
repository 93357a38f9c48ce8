#include "game/high_scores.h"

#include <cstdio>
#include <cstring>
#include <string>

#include <sys/stat.h>

#include "engine/atomic_file.h"
#include "engine/game_folders.h"

int highScores[kHighScoreCount];
char highScoreTexts[kHighScoreCount][16] = {"00000000", "00000000", "00000000", "00000000", "00000000",
                                            "00000000", "00000000", "00000000", "00000000", "00000000"};
char highScoreNames[kHighScoreCount][kNameLength + 1] = {"Ve Varn Holt", "Orm",  "Tav",    "Rollo", "Marisol",
                                                         "Dace",         "Fenn", "Ysolde", "Pim",   "Corwin"};
char highScoreReplays[kHighScoreCount][kReplayNameSize];

namespace {
constexpr const char* kDefaultNames[kHighScoreCount] = {"Ve Varn Holt", "Orm",  "Tav",    "Rollo", "Marisol",
                                                        "Dace",         "Fenn", "Ysolde", "Pim",   "Corwin"};
constexpr int kRecordSize = 4 + kNameLength;
bool unsaved = false;

void FormatScore(int i) { std::snprintf(highScoreTexts[i], sizeof highScoreTexts[i], "%08d", highScores[i]); }

// Scores are stored as 32-bit little-endian values whatever the machine.
void PutScore(unsigned char* out, int value) {
  unsigned int v = static_cast<unsigned int>(value);
  for (int b = 0; b < 4; ++b) out[b] = static_cast<unsigned char>(v >> (8 * b));
}
int GetScore(const unsigned char* in) {
  unsigned int v = 0;
  for (int b = 0; b < 4; ++b) v |= static_cast<unsigned int>(in[b]) << (8 * b);
  return static_cast<int>(v);
}

// A plain file name in the replays folder: letters, digits, '-', '_' and '.',
// ending in ".replay"; anything else in the list is not taken.
bool ReplayNameUsable(const std::string& name) {
  const std::string suffix = ".replay";
  if (name.size() <= suffix.size() || name.size() >= kReplayNameSize) return false;
  if (name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0 || name[0] == '.') return false;
  for (char c : name)
    if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_' ||
          c == '.'))
      return false;
  return true;
}

void SetReplay(int i, const std::string& name) {
  std::snprintf(highScoreReplays[i], kReplayNameSize, "%s", ReplayNameUsable(name) ? name.c_str() : "");
}

// One line a table line, in the table's order. The list is the game's own
// and small; a larger file is not one.
void ReadReplayList(const std::string& file) {
  for (int i = 0; i < kHighScoreCount; ++i) highScoreReplays[i][0] = '\0';
  std::FILE* in = std::fopen(file.c_str(), "rb");
  if (!in) return;
  char buffer[kHighScoreCount * (kReplayNameSize + 1) + 1];
  const size_t size = std::fread(buffer, 1, sizeof buffer, in);
  const bool whole = std::feof(in) && !std::ferror(in);
  std::fclose(in);
  if (!whole) return;
  std::string text(buffer, size);
  for (int i = 0; i < kHighScoreCount && !text.empty(); ++i) {
    const std::string::size_type end = text.find('\n');
    SetReplay(i, text.substr(0, end));
    text = end == std::string::npos ? "" : text.substr(end + 1);
  }
}

bool WriteReplayList(const std::string& file) {
  std::string text;
  for (int i = 0; i < kHighScoreCount; ++i) text += std::string(highScoreReplays[i]) + "\n";
  return WriteFileAtomically(file, text.data(), text.size());
}
}  // namespace

std::string ReplayListFileFor(const std::string& scoreFile) {
  const std::string suffix = ".sav";
  const std::string stem = scoreFile.size() > suffix.size() &&
                                   scoreFile.compare(scoreFile.size() - suffix.size(), suffix.size(), suffix) == 0
                               ? scoreFile.substr(0, scoreFile.size() - suffix.size())
                               : scoreFile;
  return stem + ".replays";
}

void ResetHighScores() {
  for (int i = 0; i < kHighScoreCount; ++i) {
    highScores[i] = 0;
    FormatScore(i);
    std::memset(highScoreNames[i], 0, sizeof highScoreNames[i]);
    std::snprintf(highScoreNames[i], sizeof highScoreNames[i], "%s", kDefaultNames[i]);
    highScoreReplays[i][0] = '\0';
  }
}

int ReadScoresFrom(const char* fileName) {
  std::FILE* file = std::fopen(fileName, "rb");
  if (!file) return 0;
  ReadReplayList(ReplayListFileFor(fileName));
  // A short file fills what it holds and leaves the rest of the table as it
  // was; a record cut in the middle is not used.
  for (int i = 0; i < kHighScoreCount; ++i) {
    unsigned char record[kRecordSize];
    if (std::fread(record, 1, kRecordSize, file) != kRecordSize) break;
    highScores[i] = GetScore(record);
    std::memcpy(highScoreNames[i], record + 4, kNameLength);
    highScoreNames[i][kNameLength] = '\0';
    FormatScore(i);
  }
  std::fclose(file);
  return 1;
}

int WriteScoresTo(const char* fileName) {
  unsigned char table[kHighScoreCount * kRecordSize];
  for (int i = 0; i < kHighScoreCount; ++i) {
    PutScore(table + i * kRecordSize, highScores[i]);
    std::memcpy(table + i * kRecordSize + 4, highScoreNames[i], kNameLength);
  }
  // A score file the player made read-only stays as it is.
  // (The permission bits are asked, not access(): the superuser may write
  // anything.)
  struct stat info;
  if (stat(fileName, &info) == 0 && (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return 0;
  // Written beside the real file and renamed over it only when everything is
  // on the disk, so neither a failure nor a power cut destroys the table
  // already saved.
  if (!WriteFileAtomically(fileName, table, sizeof table)) return 0;
  // The list only helps the replays' clean-up: the table stands without it.
  WriteReplayList(ReplayListFileFor(fileName));
  return 1;
}

int ReadScores() {
  const std::string file = gameFolders.ScoreFile();
  return file.empty() ? 0 : ReadScoresFrom(file.c_str());
}

int WriteScores() {
  // Without a place for the player's files the table lives for this run only.
  const std::string file = gameFolders.ScoreFile();
  if (file.empty() || !MakeFolderFor(file)) return 0;
  const int written = WriteScoresTo(file.c_str());
  if (written) unsaved = false;
  return written;
}

bool HighScoresUnsaved() { return unsaved; }

int InsertHighScore(int points, const std::string& replay) {
  for (int i = 0; i < kHighScoreCount; ++i) {
    if (points > highScores[i]) {
      for (int k = kHighScoreCount - 1; k > i; --k) {
        highScores[k] = highScores[k - 1];
        std::memcpy(highScoreTexts[k], highScoreTexts[k - 1], sizeof highScoreTexts[k]);
        std::memcpy(highScoreNames[k], highScoreNames[k - 1], sizeof highScoreNames[k]);
        std::memcpy(highScoreReplays[k], highScoreReplays[k - 1], sizeof highScoreReplays[k]);
      }
      highScores[i] = points;
      FormatScore(i);
      std::memset(highScoreNames[i], 0, sizeof highScoreNames[i]);
      SetReplay(i, replay);
      unsaved = true;
      return i;
    }
  }
  return -1;
}
