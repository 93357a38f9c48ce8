// Resonant state-variable filter (the trapezoidal "TPT" form, stable under
// fast cutoff sweeps) and a one-pole smoother.
#pragma once

namespace audio {

class Filter {
 public:
  enum Mode { kLowpass, kBandpass, kHighpass };

  explicit Filter(Mode mode = kLowpass) : mode_(mode) {}
  // `resonance` 0 (none) .. 0.95 (close to ringing).
  float Process(float in, double cutoffHz, double resonance, double rate);
  void Reset() { ic1_ = ic2_ = 0.0; }

 private:
  Mode mode_;
  double ic1_ = 0.0;
  double ic2_ = 0.0;
};

class OnePole {
 public:
  // Lowpass with a time constant of `seconds`.
  float Process(float in, double seconds, double rate);
  float Value() const { return static_cast<float>(z_); }

 private:
  double z_ = 0.0;
};

}  // namespace audio
