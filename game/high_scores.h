// The ten best scores with a name each, and the 240-byte score file. Beside
// it, the table's replay list ("KAVscores.replays") names the replay of each
// line's game, so that the replays of the table are known for certain.
#pragma once

#include <string>

constexpr int kHighScoreCount = 10;
constexpr int kNameLength = 20;
// A replay's file name ("20261208-044214-1a2b3c4d.replay"), or empty.
constexpr int kReplayNameSize = 64;

extern int highScores[kHighScoreCount];
extern char highScoreTexts[kHighScoreCount][16];
extern char highScoreNames[kHighScoreCount][kNameLength + 1];
extern char highScoreReplays[kHighScoreCount][kReplayNameSize];

// Default names, zero-filled beyond each name; scores 0.
void ResetHighScores();
// 1 when "KAVscores.sav" (in the folder of the player's files) was read, 0
// when it can't be opened. The replay list is read with it; a missing or
// damaged list names no replays.
int ReadScores();
// Writes a temporary file beside it, flushes it to the disk and renames it
// over the old one only when the whole table was written: 1 when saved, 0
// otherwise (old file intact). The replay list is written the same way.
int WriteScores();
// The same on a file name of the caller's (for tests).
int ReadScoresFrom(const char* fileName);
int WriteScoresTo(const char* fileName);
// The replay list beside a score file.
std::string ReplayListFileFor(const std::string& scoreFile);

// True when the table changed since it was last written.
bool HighScoresUnsaved();

// Inserts a finished game's score and the file name of its replay (empty when
// none was kept): the index of the new entry, or -1 when the score doesn't
// qualify. An equal score goes below the entry it ties.
int InsertHighScore(int points, const std::string& replay = "");
