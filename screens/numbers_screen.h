// After a game that ended with its last life, a short screen of what the game
// was: its score, the wave it reached, the time played, the shots and the
// share that hit, the enemies destroyed by kind, the humans rescued and lost,
// the smart bombs, the lives lost and the best wave so far. Any key, click or
// gamepad button, or 8 seconds, go on to the closing sequence.
#pragma once

#include <string>
#include <vector>

#include "game/game_numbers.h"

constexpr int kNumbersScreenSteps = 8 * 50;

struct NumbersRow {
  std::string caption;
  std::string value;
};

// The screen's rows, in order, for the game and the best wave so far.
std::vector<NumbersRow> GameNumbersRows(const GameSummary& game, int bestWave);
// The enemies destroyed by kind, a few kinds a line ("9 landers, 4 bombers,
// 1 bouncer"); none: no line.
std::vector<std::string> EnemyKindLines(const GameNumbers& numbers);

void RunNumbersScreen(const GameSummary& game, int bestWave);
