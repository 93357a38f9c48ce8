// A small deterministic noise source: the generators must give the same bytes
// on every build, so nothing here depends on the clock or the C library.
#pragma once
#include <cstdint>

namespace audio {

class Random {
 public:
  explicit Random(uint32_t seed) : state_(seed ? seed : 0x9e3779b9u) {}

  uint32_t Next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return state_;
  }

  // Uniform in [-1, 1).
  float Bipolar() { return static_cast<float>(Next() >> 8) / 8388608.0f - 1.0f; }
  // Uniform in [0, 1).
  float Unit() { return static_cast<float>(Next() >> 8) / 16777216.0f; }
  // Uniform integer in [0, n).
  int Below(int n) { return static_cast<int>(Next() % static_cast<uint32_t>(n)); }

 private:
  uint32_t state_;
};

}  // namespace audio
