#include "entities/enemy_roster.h"

const int kEnemyScores[kEnemyTypes] = {100, 300, 150, 200, 500, 1000, 50, 150, 200, 100, 200, 300};

int waveTypeCounts[kEnemyTypes] = {};
int liveEnemies = 0;
int humansAlive = 0;
Entity* enemies[kMaxEnemies] = {};
int enemyCount = 0;
