// How long the soak runs: a short run by default (CTest), a long one when the
// program is started with --steps=N (and --seed=N for another game).
#pragma once

namespace soak {

extern long playSteps;
extern unsigned seed;

// Long enough to see every wave, the boss and the return to wave 11.
constexpr long kFullRunSteps = 100000;

}  // namespace soak
