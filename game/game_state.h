// One value holds a game's state: the player's standing, the wave's progress,
// the player's controls and the world the entities share (with the game's
// random generator). A new game assigns a fresh value, so nothing a previous
// game, the title or a demo left behind can reach it; the demo keeps the
// player's standing by copying the value; the replays' checkpoints read it.
// Plain data without padding, so that its bytes are the state.
#pragma once

#include <cstdint>
#include <type_traits>

#include "entities/world.h"

// State local to the wave being played.
struct WaveProgress {
  int32_t deathCounter = 0;          // steps counted while the ship is destroyed
  int32_t clearedCounter = 0;        // steps counted while nothing hostile is left
  int32_t reinforcementCounter = 0;  // steps since the last reinforcement
  int32_t reinforcementLimit = 1500;
  int32_t waveDone = 0;
  int32_t gameOver = 0;
};

struct GameState {
  // The player's standing.
  int32_t waveIndex = 0;  // 0..19; the wave shown to the player is waveIndex + 1
  int32_t score = 0;      // points of the current (or last) game
  int32_t lives = 3;
  int32_t bombs = 3;
  int32_t nextBonusScore = 10000;  // score at which the next extra life and bomb come
  WaveProgress waveProgress;
  // The player's controls: the next beam of the ring, and whether the fire
  // and bomb keys were let go since they last acted.
  int32_t nextBullet = 0;
  int32_t fireArmed = 0;
  int32_t bombArmed = 0;
  // Steps of the game so far (its wave intros and pauses included); the
  // animation of the game follows them.
  int32_t steps = 0;
  World world;
};

static_assert(std::is_trivially_copyable_v<GameState>, "a game's state is copied as plain data");
static_assert(std::has_unique_object_representations_v<GameState>,
              "a game's state has no padding: its bytes are its checksum's input");

// The game being played (or the last one played).
extern GameState game;

// The state a game from `seed` starts in.
GameState NewGameState(uint32_t seed);

// The best score since the program started (the program's, not a game's).
extern int bestScore;

// "%08d" of the score and best score; a damaged score file can hold any 32-bit
// value, so the buffers take the longest such text.
constexpr int kScoreTextSize = 16;
extern char scoreText[kScoreTextSize];
extern char bestScoreText[kScoreTextSize];
