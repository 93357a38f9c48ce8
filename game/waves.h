// The twenty named waves and the operations that bring enemies in and out.
#pragma once

#include "entities/enemy_roster.h"

constexpr int kWaveCount = 20;
constexpr int kBossWave = 19;

struct WaveRow {
  const char* name;
  int counts[kEnemyTypes];
};
extern const WaveRow kWaveTable[kWaveCount];

// Shown in the bottom line after waves 1 to 10 are cleared.
extern const char* const kNewHumanMessages[10];

// Spawn-in effects in progress; also the number of the implosion the next one
// uses.
extern int pendingSpawns;
// The fire interval given to entered enemies (50 once a wave has been loaded).
extern int enemyFireInterval;

void LoadWave(int w);
void SpawnWave(int w);
// Starts the spawn-in of one enemy; w < 0 puts it in the help screen's row.
void MaterialiseEnemy(int type, int w, int j);
// Creates a real enemy now, unless the array is full.
void EnterEnemy(int type, int x, int y);
// Ends a wave or prepares its restart after a lost life.
void ClearWave();
// Takes every running spawn-in off the render list (none outlives its wave).
void CancelSpawnIns();
// Takes every enemy off the render list and deletes it; none is then alive.
void DeleteEnemies();
