// The "Practice" screen, opened from the menu with P: one of the waves the
// player has reached, chosen with the arrows (or the gamepad's stick), played
// with Enter (or the fire button) from its start, with the usual lives and
// bombs. A practice game is recorded, but enters no score table.
#pragma once

#include <string>

struct MusicTrack;

// Runs the screen over the menu's music: the wave chosen (1..20), or 0 when
// the player went back to the menu (Escape, or a click away from the boxes).
int RunPracticeScreen(MusicTrack* track);

// What a wave brings, as the screen shows it: "4 landers and 4 bombers",
// "4 bombers, 25 baiters and the boss".
std::string WaveLineUp(int wave);
