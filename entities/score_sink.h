// Points an entity earns the player (a lander shot with the human it held,
// each part of the boss): the game installs where they go (its scoring, with
// the extra lives and bombs).
#pragma once

void EarnPoints(int points);
// Null: points go nowhere.
void SetScoreSink(void (*sink)(int points));
