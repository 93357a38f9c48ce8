#include "screens/numbers_screen.h"

#include <allegro.h>

#include <cstdio>

#include "engine/data_index.h"
#include "engine/input.h"
#include "scene/paced_loop.h"
#include "game/waves.h"
#include "scene/scene_objects.h"
#include "scene/stage.h"
#include "screens/key_guard.h"
#include "screens/labelled_rows.h"

namespace {

constexpr int kKindsPerLine = 4;
constexpr int kMaxKindLines = 4;
constexpr int kLineLength = 95;

std::string WaveWithName(int wave) {
  if (wave < 1 || wave > kWaveCount) return std::to_string(wave);
  return std::to_string(wave) + "  \"" + kWaveTable[wave - 1].name + "\"";
}

}  // namespace

std::vector<NumbersRow> GameNumbersRows(const GameSummary& game, int bestWave) {
  const GameNumbers& n = game.numbers;
  return {
      {"Score", std::to_string(game.score)},
      {"Wave reached", WaveWithName(game.wave)},
      {"Time played", FormatPlayTime(game.steps)},
      {"Shots fired", std::to_string(n.shots) + ", " + std::to_string(n.hits) + " hit (" +
                          std::to_string(n.HitPercent()) + "%)"},
      {"Enemies destroyed", std::to_string(n.EnemiesDestroyed())},
      {"Humans rescued", std::to_string(n.humansRescued)},
      {"Humans lost", std::to_string(n.humansLost)},
      {"Smart bombs used", std::to_string(n.bombs)},
      {"Lives lost", std::to_string(n.livesLost)},
      {"Best wave so far", WaveWithName(bestWave)},
  };
}

std::vector<std::string> EnemyKindLines(const GameNumbers& numbers) {
  std::vector<std::string> kinds;
  for (int type = 0; type < kEnemyTypes; ++type)
    if (numbers.enemies[type] > 0) kinds.push_back(EnemyCountText(type, numbers.enemies[type]));
  if (numbers.bosses > 0) kinds.push_back(numbers.bosses == 1 ? "the boss" : std::to_string(numbers.bosses) + " bosses");
  std::vector<std::string> lines;
  for (size_t i = 0; i < kinds.size(); ++i) {
    if (i % kKindsPerLine == 0) lines.emplace_back();
    lines.back() += (i % kKindsPerLine == 0 ? "" : ", ") + kinds[i];
  }
  return lines;
}

void RunNumbersScreen(const GameSummary& game, int bestWave) {
  const int yellow = makecol(255, 252, 25), cyan = makecol(120, 220, 255), white = makecol(255, 255, 255);
  const int black = makecol(0, 0, 0);
  FONT* small = engine.Font(dat::kFontSmall);

  char heading[kLineLength + 1], kind[kLineLength + 1], hint[kLineLength + 1];
  std::snprintf(heading, sizeof heading, "%s", game.practice ? "Practice over" : "Game over");
  std::snprintf(kind, sizeof kind, "%s",
                game.practice ? ("A practice game from wave " + WaveWithName(game.startWave)).c_str() : "");
  std::snprintf(hint, sizeof hint, "Any key goes on");
  TextLabel headingLabel, kindLabel, hintLabel;
  headingLabel.Init(engine.Font(dat::kFontLarge), heading, 512, 30, 0, yellow, black, TextLabel::kCentre, 2);
  kindLabel.Init(small, kind, 512, 92, 0, cyan, black, TextLabel::kCentre, 2);
  hintLabel.Init(small, hint, 512, 712, 0, white, black, TextLabel::kCentre, 2);

  // Five rows, the enemies by kind under them, then the other five.
  const std::vector<NumbersRow> rows = GameNumbersRows(game, bestWave);
  LabelledRows upper, lower;
  upper.Open(engine.Font(dat::kFontMedium), 140, 38, 2);
  for (int k = 0; k < 5; ++k) upper.Set(k, rows[k].caption, rows[k].value);
  const std::vector<std::string> kinds = EnemyKindLines(game.numbers);
  char kindTexts[kMaxKindLines][kLineLength + 1] = {};
  TextLabel kindLabels[kMaxKindLines];
  const int kindsTop = upper.RowY(5);
  for (int k = 0; k < kMaxKindLines && k < static_cast<int>(kinds.size()); ++k) {
    std::snprintf(kindTexts[k], sizeof kindTexts[k], "%s", kinds[k].c_str());
    kindLabels[k].Init(small, kindTexts[k], 512, kindsTop + 28 * k, 0, cyan, black, TextLabel::kCentre, 2);
  }
  const int lines = kinds.size() < kMaxKindLines ? static_cast<int>(kinds.size()) : kMaxKindLines;
  lower.Open(engine.Font(dat::kFontMedium), kindsTop + 28 * lines + 16, 38, 2);
  for (int k = 5; k < static_cast<int>(rows.size()); ++k) lower.Set(k - 5, rows[k].caption, rows[k].value);

  stage.AddElement(&splashPicture);
  stage.AddElement(&headingLabel);
  if (game.practice) stage.AddElement(&kindLabel);
  stage.AddElement(&hintLabel);
  for (int k = 0; k < lines; ++k) stage.AddElement(&kindLabels[k]);
  KeyGuard keys;
  keys.Arm();
  stage.FadeIn(nullptr);

  int steps = 0;
  RunPacedLoop([&] {
    int keyValue, leftClick, rightClick, mouseX, mouseY;
    stage.PollInput(keyValue, leftClick, rightClick, mouseX, mouseY);
    stage.DrawFrame();
    if (leftClick || rightClick) {
      input.WaitMouseRelease();
      return true;
    }
    return keys.Filter(keyValue) != 0 || input.AnyPadPressed() || ++steps >= kNumbersScreenSteps;
  });

  stage.FadeOut(nullptr);
  upper.Close();
  lower.Close();
  for (TextLabel& label : kindLabels) stage.Hide(&label);
  stage.Hide(&headingLabel);
  stage.Hide(&kindLabel);
  stage.Hide(&hintLabel);
  stage.RemoveElement(&splashPicture);
}
