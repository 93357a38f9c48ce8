// The version of the game's rules: how a recorded game plays from its seed and
// actions. Raise it with every change that makes a recorded game play
// differently (a new random stream, an enemy that moves otherwise, a different
// score), so that a replay of older rules is refused by name instead of
// failing to verify. A change of the game's state value (a member added,
// moved or resized) raises it too: the replays' checkpoints are checksums of
// its bytes.
//   1  version 1.0.0: the C library's rand()
//   2  version 1.1.0: the game's own generator, the boss's circling restarts
#pragma once

#include <cstdint>

constexpr uint32_t kRulesVersion = 2;
