#include "game/scoring.h"

#include <cstdio>

#include "engine/data_index.h"
#include "game/game_state.h"
#include "scene/scene_objects.h"
#include "scene/stage.h"

void AddScore(int points) {
  game.score += points;
  if (game.score > bestScore) bestScore = game.score;
  ShowScores();
  // One award per call: a jump over two thresholds pays the second at the
  // next call.
  if (game.score >= game.nextBonusScore) {
    game.nextBonusScore += 10000;
    if (game.lives < 4) stage.AddElement(&lifeIcons[game.lives]);
    game.lives += 1;
    if (game.bombs < 4) stage.AddElement(&bombIcons[game.bombs]);
    game.bombs += 1;
    engine.PlaySample(dat::kSndBonus, 0);
  }
}

void ShowScores() {
  std::snprintf(scoreText, sizeof scoreText, "%08d", game.score);
  std::snprintf(bestScoreText, sizeof bestScoreText, "%08d", bestScore);
}

void ShowLifeAndBombIcons() {
  for (int i = 0; i < game.lives && i < 4; ++i) stage.AddElement(&lifeIcons[i]);
  for (int i = 0; i < game.bombs && i < 4; ++i) stage.AddElement(&bombIcons[i]);
}

void TakeLifeIcon() {
  if (game.lives < 4 && game.lives >= 0) stage.RemoveElement(&lifeIcons[game.lives]);
}

void TakeBombIcon() {
  if (game.bombs < 4 && game.bombs >= 0) stage.RemoveElement(&bombIcons[game.bombs]);
}
