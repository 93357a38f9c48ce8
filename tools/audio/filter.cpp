#include "tools/audio/filter.h"

#include <cmath>

#include "tools/audio/oscillator.h"

namespace audio {

float Filter::Process(float in, double cutoffHz, double resonance, double rate) {
  double nyquistSafe = rate * 0.45;
  if (cutoffHz > nyquistSafe) cutoffHz = nyquistSafe;
  if (cutoffHz < 10.0) cutoffHz = 10.0;
  double g = std::tan(kPi * cutoffHz / rate);
  double k = 2.0 - 2.0 * resonance;
  double a1 = 1.0 / (1.0 + g * (g + k));
  double a2 = g * a1;
  double a3 = g * a2;
  double v3 = in - ic2_;
  double v1 = a1 * ic1_ + a2 * v3;
  double v2 = ic2_ + a2 * ic1_ + a3 * v3;
  ic1_ = 2.0 * v1 - ic1_;
  ic2_ = 2.0 * v2 - ic2_;
  switch (mode_) {
    case kBandpass:
      return static_cast<float>(v1);
    case kHighpass:
      return static_cast<float>(in - k * v1 - v2);
    case kLowpass:
    default:
      return static_cast<float>(v2);
  }
}

float OnePole::Process(float in, double seconds, double rate) {
  double a = seconds <= 0.0 ? 1.0 : 1.0 - std::exp(-1.0 / (seconds * rate));
  z_ += a * (in - z_);
  return static_cast<float>(z_);
}

}  // namespace audio
