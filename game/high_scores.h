// The ten best scores with a name each, and the 240-byte score file.
#pragma once

constexpr int kHighScoreCount = 10;
constexpr int kNameLength = 20;

extern int highScores[kHighScoreCount];
extern char highScoreTexts[kHighScoreCount][16];
extern char highScoreNames[kHighScoreCount][kNameLength + 1];

// Default names, zero-filled beyond each name; scores 0.
void ResetHighScores();
// 1 when "KAVscores.sav" (in the folder of the player's files) was read, 0
// when it can't be opened.
int ReadScores();
// Writes a temporary file beside it and renames it over the old one only when
// the whole table was written: 1 when saved, 0 otherwise (old file intact).
int WriteScores();
// The same on a file name of the caller's (for tests).
int ReadScoresFrom(const char* fileName);
int WriteScoresTo(const char* fileName);

// True when the table changed since it was last written.
bool HighScoresUnsaved();

// Inserts a finished game's score: the index of the new entry, or -1 when the
// score doesn't qualify. An equal score goes below the entry it ties.
int InsertHighScore(int points);
