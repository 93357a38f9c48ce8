// The twelve enemy types.
#pragma once

constexpr int kEnemyTypes = 12;

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
