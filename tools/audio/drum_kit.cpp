#include "tools/audio/drum_kit.h"

#include <algorithm>
#include <cmath>

#include "tools/audio/envelope.h"
#include "tools/audio/filter.h"
#include "tools/audio/oscillator.h"
#include "tools/audio/random.h"

namespace audio {
namespace {

constexpr double kRate = 44100.0;

// Runs `voice(t)` for `seconds` and adds it into the buffer.
template <typename Voice>
void Add(std::vector<float>* out, double start, double seconds, Voice voice) {
  const std::size_t first = static_cast<std::size_t>(start * kRate);
  const std::size_t count = static_cast<std::size_t>(seconds * kRate);
  if (out->size() < first + count) out->resize(first + count, 0.0f);
  for (std::size_t i = 0; i < count; ++i) (*out)[first + i] += static_cast<float>(voice(i / kRate));
}

}  // namespace

void RenderKick(std::vector<float>* out, double start, double velocity, double punch) {
  Oscillator body(Wave::kSine);
  Random rng(7);
  Filter click;
  Add(out, start, 0.5, [&](double t) {
    double hz = 48.0 + 110.0 * punch * std::exp(-t / 0.035);
    double v = body.Next(hz, kRate) * Percussive(t, 0.001, 0.16);
    v += 0.3 * punch * click.Process(rng.Bipolar(), 3000.0, 0.1, kRate) * Percussive(t, 0.0005, 0.004);
    return std::tanh(1.4 * v) * velocity * (1.0 - SmoothStep(t, 0.45, 0.05));
  });
}

void RenderSnare(std::vector<float>* out, double start, double velocity, unsigned seed) {
  Oscillator tone(Wave::kTriangle);
  Random rng(seed);
  Filter rattle(Filter::kBandpass), bright(Filter::kHighpass);
  Add(out, start, 0.35, [&](double t) {
    double v = 0.5 * tone.Next(185.0 + 60.0 * std::exp(-t / 0.02), kRate) * Percussive(t, 0.001, 0.05);
    double n = rng.Bipolar();
    v += 0.7 * rattle.Process(static_cast<float>(n), 2500.0, 0.3, kRate) * Percussive(t, 0.001, 0.09);
    v += 0.4 * bright.Process(static_cast<float>(n), 6000.0, 0.0, kRate) * Percussive(t, 0.001, 0.05);
    return v * velocity * (1.0 - SmoothStep(t, 0.3, 0.05));
  });
}

void RenderClap(std::vector<float>* out, double start, double velocity, unsigned seed) {
  Random rng(seed);
  Filter band(Filter::kBandpass);
  Add(out, start, 0.3, [&](double t) {
    // Three quick slaps then the room: how a clap is heard.
    double env = 0.0;
    for (int k = 0; k < 3; ++k) env = std::max(env, Percussive(t - 0.011 * k, 0.0005, 0.006));
    env = std::max(env, 0.6 * Percussive(t - 0.033, 0.001, 0.07));
    return band.Process(rng.Bipolar(), 1400.0, 0.45, kRate) * env * velocity * 1.6;
  });
}

void RenderHat(std::vector<float>* out, double start, double velocity, double open, unsigned seed) {
  Random rng(seed);
  Filter high(Filter::kHighpass);
  Oscillator metal1(Wave::kSquare), metal2(Wave::kSquare);
  const double length = 0.05 + 0.35 * open;
  Add(out, start, length + 0.02, [&](double t) {
    double ring = 0.3 * (metal1.Next(5400.0, kRate) * metal2.Next(7900.0, kRate));
    double v = high.Process(static_cast<float>(rng.Bipolar() + ring), 7500.0, 0.2, kRate);
    return v * Percussive(t, 0.0005, 0.012 + 0.12 * open) * velocity * (1.0 - SmoothStep(t, length, 0.02));
  });
}

void RenderShaker(std::vector<float>* out, double start, double velocity, unsigned seed) {
  Random rng(seed);
  Filter band(Filter::kBandpass);
  Add(out, start, 0.09, [&](double t) {
    double env = SmoothStep(t, 0.0, 0.02) * (1.0 - SmoothStep(t, 0.02, 0.07));
    return band.Process(rng.Bipolar(), 9000.0, 0.3, kRate) * env * velocity;
  });
}

void RenderRiser(std::vector<float>* out, double start, double length, double velocity, unsigned seed) {
  Random rng(seed);
  Filter band(Filter::kBandpass);
  Add(out, start, length, [&](double t) {
    double u = t / length;
    double v = band.Process(rng.Bipolar(), 400.0 * std::pow(20.0, u), 0.6, kRate);
    return v * u * u * velocity;
  });
}

}  // namespace audio
