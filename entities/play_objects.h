// The objects of play: the ship, the pools of shots, humans and effects, the
// boss and the scanner. Globals with static storage, set up once at start-up
// and reused through their Init operations; only enemies are made on the heap
// (the enemy roster).
#pragma once

#include "entities/boss.h"
#include "entities/bullet.h"
#include "entities/enemy_roster.h"
#include "entities/explosion.h"
#include "entities/human.h"
#include "entities/implosion.h"
#include "entities/missile.h"
#include "entities/scanner.h"
#include "entities/ship.h"

extern Scanner scanner;
extern Ship ship;
extern Explosion shipExplosion;
extern Explosion explosions[kMaxEnemies];  // explosion i belongs to enemy slot i
extern Implosion implosions[kImplosionCount];
extern Bullet bullets[kBulletCount];
extern Boss boss;
extern Missile missiles[kMissileCount];
extern Human humans[kHumanCount];

// Frees the bitmaps the effects and the scanner made (at exit, while the
// library is still up).
void ReleasePlayBitmaps();
