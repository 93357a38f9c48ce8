#include "game/waves.h"

#include "engine/data_index.h"
#include "engine/graphics_engine.h"
#include "entities/enemy_factory.h"
#include "entities/entity.h"
#include "entities/play_objects.h"
#include "scene/stage.h"

// Counts per type: lander, mutant, fighter, bouncer, sentinel, pod, swarmer,
// bomber, mine, baiter, phantom, orbiter.
const WaveRow kWaveTable[kWaveCount] = {
    {"Initiation", {4, 0, 0, 0, 0, 0, 0, 4, 0, 0, 0, 0}},
    {"Second Wave", {10, 0, 2, 1, 0, 0, 0, 4, 0, 0, 0, 0}},
    {"Third Wave", {10, 0, 6, 2, 0, 1, 0, 4, 0, 0, 0, 0}},
    {"The Heat Is On", {12, 0, 6, 4, 0, 2, 0, 4, 0, 0, 0, 0}},
    {"D O G F I G H T", {0, 0, 38, 6, 0, 0, 0, 2, 0, 0, 0, 0}},
    {"heh heh heh", {16, 0, 9, 6, 0, 3, 0, 7, 0, 0, 0, 1}},
    {"Seventh Wave", {18, 0, 10, 7, 0, 4, 0, 9, 0, 0, 0, 2}},
    {"8", {22, 0, 14, 9, 0, 5, 0, 13, 0, 0, 0, 3}},
    {"Wave Nine", {14, 0, 9, 6, 0, 3, 8, 6, 3, 0, 0, 4}},
    {"M I N E F I E L D", {0, 0, 12, 6, 0, 6, 0, 30, 0, 0, 0, 0}},
    {"The 11th Hour", {16, 0, 12, 6, 0, 4, 0, 4, 0, 0, 0, 4}},
    {"Twelfth Wave", {16, 0, 12, 6, 0, 4, 0, 4, 0, 0, 0, 4}},
    {"Unlucky 13", {16, 0, 12, 6, 0, 4, 0, 4, 0, 0, 0, 4}},
    {"The Mutants Are Coming!", {0, 0, 12, 6, 0, 4, 0, 4, 0, 0, 0, 4}},
    {"P O D   A T T A C K", {0, 0, 12, 6, 0, 10, 0, 4, 0, 0, 0, 0}},
    {"D O G F I G H T  II", {0, 0, 70, 6, 0, 0, 0, 0, 0, 0, 0, 0}},
    {"Seventeen (Seconds)", {16, 0, 12, 6, 0, 4, 0, 4, 0, 0, 0, 6}},
    {"Age Of Consent", {16, 0, 12, 6, 0, 4, 0, 4, 0, 0, 0, 6}},
    {"Nnn Nn Nn Nineteen", {16, 0, 12, 6, 0, 4, 0, 4, 0, 0, 0, 6}},
    {"Vanguard", {0, 0, 0, 0, 0, 0, 0, 4, 0, 25, 0, 0}},
};

const char* const kNewHumanMessages[10] = {
    "A new human has arrived Uh huh huh!",
    "A new human has arrived EIOUUOUOUUUOU!",
    "You have a new punk to protect!",
    "A new smelly human has come as he was!",
    "A new human has arrived to kiss the sky!",
    "A new human has decided to beat it here!",
    "Oops a new human did it again!",
    "New humans have arrived for protection!",
    "A new human has arrived for redemption!",
    "A new human has arrived for protection!",
};

void LoadWave(int w) {
  world->wave = w;
  world->enemyFireInterval = 50;
  for (int t = 0; t < kEnemyTypes; ++t) world->waveTypeCounts[t] = kWaveTable[w].counts[t];
}

void SpawnWave(int w) {
  DeleteEnemies();
  world->liveEnemies = 0;
  CancelSpawnIns();
  for (int t = 0; t < kEnemyTypes; ++t)
    for (int j = 0; j < world->waveTypeCounts[t]; ++j) MaterialiseEnemy(t, w, j);
  for (Human& human : humans)
    if (human.GetState() == Human::kPresent) stage.Show(&human);
  if (w == kBossWave) {
    boss.Init(2048, 100, 2, "MM");
    stage.Show(&boss);
  } else {
    // An absent boss must never keep a wave from being cleared.
    boss.SetHeadHits(0);
  }
}

// Spawn-ins use the implosions as a stack: normally the first free one is
// number pendingSpawns. Taking the first free one keeps that true even if a
// burst starts while another is still converging.
static Implosion* FreeImplosion() {
  for (Implosion& implosion : implosions)
    if (!implosion.IsOnList()) return &implosion;
  return nullptr;
}

void MaterialiseEnemy(int type, int w, int j) {
  Implosion* implosion = FreeImplosion();
  if (!implosion) return;
  // A throw-away enemy gives the start position and the picture.
  Entity* e = CreateEnemy(type);
  if (!e) return;
  e->Init(50, 0, 1, 0, 0, 0, 1, "Baddie");
  if (w < 0)
    e->SetPosition(100 * j + 300, 80);
  else
    e->Place(w, j);
  implosion->Init(e->GetFrameBitmap(), type, e->GetX(), e->GetY(), 1, "Implosion");
  engine.PlaySample(dat::kSndMaterialise, 0);
  stage.AddElement(implosion);
  delete e;
  world->pendingSpawns += 1;
}

void ClearWave() {
  // Mines are not brought back when the wave restarts.
  world->waveTypeCounts[kMine] = 0;
  DeleteEnemies();
  for (Human& human : humans) {
    if (human.GetState() != Human::kPresent) continue;
    human.StandOnGround();
    human.SetWalk();
    stage.Hide(&human);
  }
  for (Bullet& bullet : bullets) stage.Hide(&bullet);
  for (Missile& missile : missiles) stage.Hide(&missile);
  stage.Hide(&boss);
  boss.HideExplosions();
  CancelSpawnIns();
}
