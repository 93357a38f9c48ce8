#include "tools/audio/synth_voice.h"

#include <algorithm>
#include <cmath>

#include "tools/audio/filter.h"
#include "tools/audio/oscillator.h"
#include "tools/audio/random.h"

namespace audio {
namespace {
constexpr double kRate = 44100.0;
}

void RenderNote(std::vector<float>* out, const Patch& patch, double start, double hold, double note,
                double velocity, unsigned seed) {
  Random rng(seed * 2654435761u + 17u);
  const int saws = std::max(1, std::min(patch.saws, 7));
  Oscillator sawOsc[7];
  double detune[7];
  for (int k = 0; k < saws; ++k) {
    sawOsc[k] = Oscillator(Wave::kSaw, rng.Unit());
    double spread = saws == 1 ? 0.0 : (2.0 * k / (saws - 1) - 1.0);
    detune[k] = std::pow(2.0, spread * patch.detuneCents / 1200.0);
  }
  Oscillator square(Wave::kSquare, rng.Unit()), sine(Wave::kSine), sub(Wave::kSquare, rng.Unit()),
      vibrato(Wave::kSine, rng.Unit());
  square.SetWidth(patch.squareWidth);
  Filter lowpass;
  const double baseHz = NoteHz(note);
  const double keyed = patch.cutoff * std::pow(baseHz / 261.6, patch.keyTrack);
  const std::size_t first = static_cast<std::size_t>(start * kRate);
  const std::size_t count = static_cast<std::size_t>(patch.amp.Length(hold) * kRate) + 1;
  if (out->size() < first + count) out->resize(first + count, 0.0f);
  for (std::size_t i = 0; i < count; ++i) {
    double t = i / kRate;
    double cents = patch.vibratoCents * SmoothStep(t, patch.vibratoDelay, 0.4) * vibrato.Next(patch.vibratoHz, kRate);
    double glide = patch.glideTime > 0.0 ? patch.glideFrom * std::max(0.0, 1.0 - t / patch.glideTime) : 0.0;
    double hz = baseHz * std::pow(2.0, (cents / 100.0 + glide) / 12.0);
    double v = 0.0;
    if (patch.sawLevel > 0.0) {
      double sum = 0.0;
      for (int k = 0; k < saws; ++k) sum += sawOsc[k].Next(hz * detune[k], kRate);
      v += patch.sawLevel * sum / std::sqrt(static_cast<double>(saws));
    }
    if (patch.squareLevel > 0.0) v += patch.squareLevel * square.Next(hz, kRate);
    if (patch.sineLevel > 0.0) v += patch.sineLevel * sine.Next(hz, kRate);
    if (patch.subLevel > 0.0) v += patch.subLevel * sub.Next(hz * 0.5, kRate);
    if (patch.noiseLevel > 0.0) v += patch.noiseLevel * rng.Bipolar();
    double cutoff = keyed + patch.filterEnv * std::exp(-t / patch.filterDecay) * velocity;
    v = lowpass.Process(static_cast<float>(v), cutoff, patch.resonance, kRate);
    (*out)[first + i] += static_cast<float>(v * patch.amp.Level(t, hold) * velocity);
  }
}

void RenderBell(std::vector<float>* out, double start, double note, double velocity, double ring,
                double brightness) {
  Oscillator carrier(Wave::kSine), modulator(Wave::kSine), shimmer(Wave::kSine);
  const double hz = NoteHz(note);
  const std::size_t first = static_cast<std::size_t>(start * kRate);
  const std::size_t count = static_cast<std::size_t>(ring * kRate);
  if (out->size() < first + count) out->resize(first + count, 0.0f);
  for (std::size_t i = 0; i < count; ++i) {
    double t = i / kRate;
    double index = brightness * (0.4 + 1.6 * std::exp(-t / 0.25));
    // A 3.5 ratio gives the slightly inharmonic partials of struck glass.
    double mod = modulator.Next(hz * 3.5, kRate) * index;
    double v = std::sin(2.0 * kPi * carrier.Phase() + mod);
    carrier.Next(hz, kRate);
    v += 0.25 * shimmer.Next(hz * 2.001, kRate) * std::exp(-t / 0.4);
    double env = Percussive(t, 0.002, ring * 0.28) * (1.0 - SmoothStep(t, ring - 0.05, 0.05));
    (*out)[first + i] += static_cast<float>(v * env * velocity);
  }
}

}  // namespace audio
