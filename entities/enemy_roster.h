// The enemies of the current wave and the counters the spawner, the main loop,
// the humans and the scanner share.
#pragma once

class Entity;

constexpr int kEnemyTypes = 12;
constexpr int kMaxEnemies = 200;

// Enemy type numbers: the column of the wave table, the index of the score
// table and the argument of CreateEnemy.
enum EnemyType {
  kLander = 0,
  kMutant = 1,
  kFighter = 2,
  kBouncer = 3,
  kSentinel = 4,
  kPod = 5,
  kSwarmer = 6,
  kBomber = 7,
  kMine = 8,
  kBaiter = 9,
  kPhantom = 10,
  kOrbiter = 11,
};

// Points for destroying an enemy, by the type it was created for.
extern const int kEnemyScores[kEnemyTypes];

// Enemies of each type the current wave still owes.
extern int waveTypeCounts[kEnemyTypes];
// Enemies entered and not yet killed in the current wave.
extern int liveEnemies;
// Humans present (taking part in the wave).
extern int humansAlive;

// Every enemy entered during the wave, in entry order; killed ones stay with
// their dead flag set until the wave is cleared.
extern Entity* enemies[kMaxEnemies];
extern int enemyCount;
