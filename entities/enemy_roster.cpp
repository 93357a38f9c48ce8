#include "entities/enemy_roster.h"

#include "entities/enemy_factory.h"
#include "entities/entity.h"
#include "entities/play_objects.h"
#include "scene/stage.h"

const int kEnemyScores[kEnemyTypes] = {100, 300, 150, 200, 500, 1000, 50, 150, 200, 100, 200, 300};

Entity* enemies[kMaxEnemies] = {};
int enemyCount = 0;

void EnterEnemy(int type, int x, int y) {
  if (enemyCount >= kMaxEnemies) return;
  Entity* e = CreateEnemy(type);
  if (!e) return;
  enemies[enemyCount] = e;
  e->Init(world->enemyFireInterval, 0, 1, 0, 0, 0, 1, "Baddie");
  e->SetScore(type >= 0 && type < kEnemyTypes ? kEnemyScores[type] : kEnemyScores[kLander]);
  e->SetPosition(x, y);
  // A lander that comes as a mutant (nobody left to abduct) is owed as a
  // mutant from now on: its kill lowers the mutants' count, and a restarted
  // wave must not bring back a lander that was already shot down.
  if (type >= 0 && type < kEnemyTypes && e->GetType() != type) {
    world->waveTypeCounts[type] -= 1;
    world->waveTypeCounts[e->GetType()] += 1;
  }
  stage.AddElement(e);
  enemyCount += 1;
  world->liveEnemies += 1;
}

void DeleteEnemies() {
  for (int i = 0; i < enemyCount; ++i) {
    if (!enemies[i]) continue;
    stage.Hide(enemies[i]);
    delete enemies[i];
    enemies[i] = nullptr;
  }
  enemyCount = 0;
  // An empty array holds no living enemy, whoever empties it (a new game set
  // up after a lost one too).
  world->liveEnemies = 0;
}

void CancelSpawnIns() {
  for (Implosion& implosion : implosions) stage.Hide(&implosion);
  world->pendingSpawns = 0;
}
