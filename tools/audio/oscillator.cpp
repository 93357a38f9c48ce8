#include "tools/audio/oscillator.h"

#include <cmath>

namespace audio {
namespace {

// Polynomial correction that rounds off a waveform step lying within one
// sample of phase t: removes most of the aliasing of naive saw and square waves.
double PolyBlep(double t, double dt) {
  if (t < dt) {
    t /= dt;
    return t + t - t * t - 1.0;
  }
  if (t > 1.0 - dt) {
    t = (t - 1.0) / dt;
    return t * t + t + t + 1.0;
  }
  return 0.0;
}

}  // namespace

float Oscillator::Next(double hz, double rate) {
  double dt = hz / rate;
  if (dt < 0) dt = -dt;
  if (dt > 0.5) dt = 0.5;
  double out = 0.0;
  switch (wave_) {
    case Wave::kSine:
      out = std::sin(2.0 * kPi * phase_);
      break;
    case Wave::kSaw:
      out = 2.0 * phase_ - 1.0 - PolyBlep(phase_, dt);
      break;
    case Wave::kSquare:
    case Wave::kTriangle: {
      double second = phase_ + (1.0 - width_);
      if (second >= 1.0) second -= 1.0;
      out = (phase_ < width_ ? 1.0 : -1.0) + PolyBlep(phase_, dt) - PolyBlep(second, dt);
      if (wave_ == Wave::kTriangle) {
        // A leaky integral of the square: smooth and alias-free enough.
        triangleState_ = static_cast<float>(dt * 4.0 * out + (1.0 - dt * 0.05) * triangleState_);
        out = triangleState_;
      }
      break;
    }
  }
  phase_ += hz / rate;
  phase_ -= std::floor(phase_);
  return static_cast<float>(out);
}

double NoteHz(double midiNote) { return 440.0 * std::pow(2.0, (midiNote - 69.0) / 12.0); }

}  // namespace audio
