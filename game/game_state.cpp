#include "game/game_state.h"

GameState game;
int bestScore = 0;
char scoreText[kScoreTextSize] = "00000000";
char bestScoreText[kScoreTextSize] = "00000000";

namespace {
// The entities act on the world inside the game's value from the start.
[[maybe_unused]] const bool worldBound = (world = &game.world, true);
}  // namespace

GameState NewGameState(uint32_t seed) {
  GameState state;
  state.world.random.Seed(seed);
  return state;
}
