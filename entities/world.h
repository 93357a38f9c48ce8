// Everything the entities share during a game: the game's random generator,
// the wave's counters, the ring of enemy missiles, which way the ship's
// picture faces, the view's scroll and the boss. Plain data (no pointers, no
// padding), held inside the game's state value, so that a new game resets it
// by assigning a fresh value and a checksum can read it byte by byte.
#pragma once

#include <cstdint>

#include "engine/random_generator.h"
#include "entities/boss_state.h"
#include "entities/enemy_types.h"

// The part of the world the view shows: its left edge in world x and its top.
struct ViewScroll {
  int32_t x = 0, y = 0;
};

struct World {
  RandomGenerator random;
  // Enemies of each type the current wave still owes.
  int32_t waveTypeCounts[kEnemyTypes] = {};
  // Enemies entered and not yet killed in the current wave.
  int32_t liveEnemies = 0;
  // Humans present (taking part in the wave).
  int32_t humansAlive = 0;
  // Spawn-in effects in progress; also the number of the implosion the next
  // one uses.
  int32_t pendingSpawns = 0;
  // The fire interval given to entered enemies (50 once a wave has been loaded).
  int32_t enemyFireInterval = 0;
  // The index of the wave whose enemies are entered (0..19).
  int32_t wave = 0;
  // The index the next enemy shot takes in the ring of missiles.
  int32_t nextMissile = 0;
  // Which ship picture is shown (+1 facing right, -1 facing left); it also
  // sets the direction of every shot.
  int32_t shipImageFacing = 1;
  ViewScroll scroll;
  BossState boss;
};

// The world the entities act on: the one inside the game's state value (the
// game points this at it before anything runs), or a world of its own for a
// program without a game.
extern World* world;

// One draw of the game's generator, 0..32767.
inline int RandomNumber() { return world->random.Draw(); }
