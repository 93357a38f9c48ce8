#include "tools/audio/envelope.h"

#include <cmath>

#include "tools/audio/oscillator.h"

namespace audio {

double Adsr::Level(double t, double hold) const {
  if (t < 0.0) return 0.0;
  auto held = [this](double u) {
    if (u < attack) return u / attack;
    u -= attack;
    if (u < decay) return 1.0 - (1.0 - sustain) * (u / decay);
    return sustain;
  };
  if (t < hold) return held(t);
  double fromRelease = t - hold;
  if (fromRelease >= release) return 0.0;
  return held(hold) * (1.0 - fromRelease / release);
}

double Percussive(double t, double attack, double tau) {
  if (t < 0.0) return 0.0;
  if (t < attack) return t / attack;
  return std::exp(-(t - attack) / tau);
}

double SmoothStep(double t, double start, double length) {
  if (t <= start) return 0.0;
  if (t >= start + length) return 1.0;
  return 0.5 - 0.5 * std::cos(kPi * (t - start) / length);
}

}  // namespace audio
