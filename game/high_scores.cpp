#include "game/high_scores.h"

#include <cstdio>
#include <cstring>
#include <string>

#include <sys/stat.h>

#include "engine/game_folders.h"

int highScores[kHighScoreCount];
char highScoreTexts[kHighScoreCount][16] = {"00000000", "00000000", "00000000", "00000000", "00000000",
                                            "00000000", "00000000", "00000000", "00000000", "00000000"};
char highScoreNames[kHighScoreCount][kNameLength + 1] = {"Ve Varn Holt", "Orm",  "Tav",    "Rollo", "Marisol",
                                                         "Dace",         "Fenn", "Ysolde", "Pim",   "Corwin"};

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
}  // namespace

void ResetHighScores() {
  for (int i = 0; i < kHighScoreCount; ++i) {
    highScores[i] = 0;
    FormatScore(i);
    std::memset(highScoreNames[i], 0, sizeof highScoreNames[i]);
    std::snprintf(highScoreNames[i], sizeof highScoreNames[i], "%s", kDefaultNames[i]);
  }
}

int ReadScoresFrom(const char* fileName) {
  std::FILE* file = std::fopen(fileName, "rb");
  if (!file) return 0;
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
  // Write beside the real file and rename over it only when everything is on
  // disk, so a failure never destroys the table already saved.
  std::string temporary = std::string(fileName) + ".tmp";
  std::FILE* file = std::fopen(temporary.c_str(), "wb");
  if (!file) return 0;
  bool ok = std::fwrite(table, 1, sizeof table, file) == sizeof table;
  ok = std::fflush(file) == 0 && ok;
  ok = std::fclose(file) == 0 && ok;
  if (!ok || std::rename(temporary.c_str(), fileName) != 0) {
    std::remove(temporary.c_str());
    return 0;
  }
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

int InsertHighScore(int points) {
  for (int i = 0; i < kHighScoreCount; ++i) {
    if (points > highScores[i]) {
      for (int k = kHighScoreCount - 1; k > i; --k) {
        highScores[k] = highScores[k - 1];
        std::memcpy(highScoreTexts[k], highScoreTexts[k - 1], sizeof highScoreTexts[k]);
        std::memcpy(highScoreNames[k], highScoreNames[k - 1], sizeof highScoreNames[k]);
      }
      highScores[i] = points;
      FormatScore(i);
      std::memset(highScoreNames[i], 0, sizeof highScoreNames[i]);
      unsaved = true;
      return i;
    }
  }
  return -1;
}
