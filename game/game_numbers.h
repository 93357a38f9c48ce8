// The numbers behind a game: shots and hits, enemies destroyed by kind,
// humans rescued and lost, smart bombs, lives lost. They are counted from the
// game's own events as they happen and kept apart from the game's state value:
// the rules never read them and the replays' checkpoints never see them, so
// counting them changes no game ever recorded, and a replay played again
// counts them again exactly.
#pragma once

#include <cstdint>
#include <string>

#include "entities/enemy_types.h"
#include "entities/play_events.h"

struct GameNumbers {
  int32_t shots = 0;
  // Beams that struck an enemy, an enemy missile or a part of the boss (a
  // human shot is a human lost, not a hit).
  int32_t hits = 0;
  // By the type each was created for.
  int32_t enemies[kEnemyTypes] = {};
  int32_t bosses = 0;
  int32_t humansRescued = 0;  // shot free from a lander holding them
  int32_t humansLost = 0;
  int32_t bombs = 0;
  int32_t livesLost = 0;
  // The highest wave begun (after wave 20 the game goes on from 11).
  int32_t highestWave = 0;

  // Every enemy destroyed, the boss too.
  int EnemiesDestroyed() const;
  // Whole percent of the shots that hit, 0 without a shot.
  int HitPercent() const;
};

// The numbers of the game being played (or of the last one); BeginGame makes
// them afresh beside the game's state.
extern GameNumbers gameNumbers;

// Counting, called where the events happen.
void CountShot();
void CountHit();
void CountEnemyDestroyed(int type);
void CountBomb();
void CountLifeLost();
void CountWaveBegun(int wave);
// What the entities report (installed as their sink at start-up).
void CountPlayEvent(PlayEvent event);

// A game as it ended: its result beside its numbers.
struct GameSummary {
  int32_t score = 0;
  int32_t wave = 1;  // the wave it ended on
  int32_t startWave = 1;
  bool practice = false;
  // Every step of the game, its wave intros and pauses after a cleared wave
  // included (the replay's own count holds only the steps with actions).
  uint32_t steps = 0;
  GameNumbers numbers;
};

// The game being played (or the last one) as it stands now.
GameSummary SummariseGame(bool practice, int startWave);

// Tenths of a second in `steps` of 1/50 s, rounded.
int64_t StepsToTenths(uint64_t steps);
// "0:57", "12:05", "1:02:05": the whole seconds of `steps`, rounded.
std::string FormatPlayTime(uint64_t steps);
// The enemy types' names as the numbers show them: "lander", "mutant", ...
const char* EnemyKindName(int type);
// "1 lander", "9 landers".
std::string EnemyCountText(int type, int count);

// One JSON object on one line, e.g. {"score": 4100, "wave": 2, "start_wave": 1,
// "steps": 2849, "seconds": 57.0, "shots": 212, "hits": 61, "enemies":
// {"lander": 9, ..., "boss": 0}, "humans_rescued": 1, "humans_lost": 2,
// "bombs": 1, "lives_lost": 1}; every kind is listed, destroyed or not.
std::string GameSummaryJson(const GameSummary& summary);
