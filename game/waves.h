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

// The wave's enemies owed (the table's counts) and their fire interval.
void LoadWave(int w);
void SpawnWave(int w);
// Starts the spawn-in of one enemy; w < 0 puts it in the help screen's row.
void MaterialiseEnemy(int type, int w, int j);
// Ends a wave or prepares its restart after a lost life.
void ClearWave();
