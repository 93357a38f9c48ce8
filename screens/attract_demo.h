// The attract demo of the title screen: a recorded game played by itself with
// "DEMO - press any key" over it. The best replay in the replays folder is
// shown, or else the demo made with the game and installed with its data. Any
// key, click or gamepad button ends it at once, and it lasts a minute at
// most. It touches nothing of the player's: not the score, the lives, the
// settings, the score file or the replays.
#pragma once

constexpr const char* kDemoReplayFile = "demo.replay";
constexpr int kDemoSteps = 60 * 50;

// False, having done nothing, when there is no replay to show.
bool RunAttractDemo();
