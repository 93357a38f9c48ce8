#include "game/scoring.h"

#include <cstdio>

#include "engine/data_index.h"
#include "game/game_state.h"
#include "scene/scene_objects.h"
#include "scene/stage.h"

void AddScore(int points) {
  score += points;
  if (score > bestScore) bestScore = score;
  std::snprintf(scoreText, sizeof scoreText, "%08d", score);
  std::snprintf(bestScoreText, sizeof bestScoreText, "%08d", bestScore);
  // One award per call: a jump over two thresholds pays the second at the
  // next call.
  if (score >= nextBonusScore) {
    nextBonusScore += 10000;
    if (lives < 4) stage.AddElement(&lifeIcons[lives]);
    lives += 1;
    if (bombs < 4) stage.AddElement(&bombIcons[bombs]);
    bombs += 1;
    engine.PlaySample(dat::kSndBonus, 0);
  }
}

void ShowLifeAndBombIcons() {
  for (int i = 0; i < lives && i < 4; ++i) stage.AddElement(&lifeIcons[i]);
  for (int i = 0; i < bombs && i < 4; ++i) stage.AddElement(&bombIcons[i]);
}

void TakeLifeIcon() {
  if (lives < 4 && lives >= 0) stage.RemoveElement(&lifeIcons[lives]);
}

void TakeBombIcon() {
  if (bombs < 4 && bombs >= 0) stage.RemoveElement(&bombIcons[bombs]);
}
