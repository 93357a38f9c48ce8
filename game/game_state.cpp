#include "game/game_state.h"

int waveIndex = 0;
int score = 0;
int bestScore = 0;
int lives = 0;
int bombs = 0;
int nextBonusScore = 10000;
char scoreText[kScoreTextSize] = "00000000";
char bestScoreText[kScoreTextSize] = "00000000";
