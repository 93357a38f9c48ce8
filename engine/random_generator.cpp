#include "engine/random_generator.h"

namespace {

uint32_t RotateLeft(uint32_t x, int k) { return (x << k) | (x >> (32 - k)); }

// SplitMix64 spreads a seed over the whole state; xoshiro's authors
// recommend it, and it never gives the all-zero state from 32 bits of seed.
uint64_t SplitMix64(uint64_t& x) {
  uint64_t z = (x += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

}  // namespace

void RandomGenerator::Seed(uint32_t seed) {
  uint64_t x = seed;
  const uint64_t a = SplitMix64(x);
  const uint64_t b = SplitMix64(x);
  state_[0] = static_cast<uint32_t>(a);
  state_[1] = static_cast<uint32_t>(a >> 32);
  state_[2] = static_cast<uint32_t>(b);
  state_[3] = static_cast<uint32_t>(b >> 32);
}

uint32_t RandomGenerator::Next() {
  const uint32_t result = RotateLeft(state_[1] * 5, 7) * 9;
  const uint32_t t = state_[1] << 9;
  state_[2] ^= state_[0];
  state_[3] ^= state_[1];
  state_[1] ^= state_[2];
  state_[0] ^= state_[3];
  state_[2] ^= t;
  state_[3] = RotateLeft(state_[3], 11);
  return result;
}
