// The enemies of the current wave: every enemy entered, in entry order, owned
// here until the wave is cleared. The wave's counters live in the world
// (entities/world.h).
#pragma once

#include "entities/enemy_types.h"
#include "entities/world.h"

class Entity;

constexpr int kMaxEnemies = 200;

// Killed enemies stay with their dead flag set until the wave is cleared.
extern Entity* enemies[kMaxEnemies];
extern int enemyCount;

// Creates a real enemy now, unless the array is full: on the stage, counted
// as alive, firing at the wave's interval.
void EnterEnemy(int type, int x, int y);
// Takes every enemy off the stage and deletes it; none is then alive.
void DeleteEnemies();
// Takes every running spawn-in off the stage (none outlives its wave).
void CancelSpawnIns();
