// A small random generator with a published, fixed sequence (xoshiro128**,
// seeded through SplitMix64), so that a game drawn from it depends only on its
// seed: on any machine, with any C library, whatever else draws numbers
// elsewhere in the program. Plain data: copying it copies its place in the
// sequence.
#pragma once

#include <cstdint>

class RandomGenerator {
 public:
  void Seed(uint32_t seed);
  // The next 32 bits of the sequence.
  uint32_t Next();
  // One draw of 0..32767 (the top 15 bits of the next number): the game's
  // rules are written as "a draw mod n".
  int Draw() { return static_cast<int>(Next() >> 17); }

  // The four words of the state, in order (for the tests).
  uint32_t Word(int i) const { return state_[i]; }

 private:
  uint32_t state_[4] = {1, 2, 3, 4};
};
