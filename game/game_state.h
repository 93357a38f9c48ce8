// The player's standing during a game.
#pragma once

extern int waveIndex;       // 0..19; the wave shown to the player is waveIndex + 1
extern int score;           // points of the current (or last) game
extern int bestScore;       // best since the program started
extern int lives;
extern int bombs;
extern int nextBonusScore;  // score at which the next extra life and bomb come

// "%08d" of the score and best score; a damaged score file can hold any 32-bit
// value, so the buffers take the longest such text.
constexpr int kScoreTextSize = 16;
extern char scoreText[kScoreTextSize];
extern char bestScoreText[kScoreTextSize];
