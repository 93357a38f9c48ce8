// Pitched instruments for the music: one subtractive voice whose patch sets
// the sound (bass, lead, pad, pluck, arpeggio), and an FM bell.
#pragma once
#include <vector>

#include "tools/audio/envelope.h"

namespace audio {

struct Patch {
  int saws = 1;              // detuned sawtooth oscillators
  double sawLevel = 1.0;
  double detuneCents = 0.0;  // spread across the saws
  double squareLevel = 0.0;
  double squareWidth = 0.5;
  double sineLevel = 0.0;    // at the note's pitch
  double subLevel = 0.0;     // square an octave down
  double noiseLevel = 0.0;
  Adsr amp;
  double cutoff = 2000.0;     // Hz, before the envelope and key tracking
  double filterEnv = 0.0;     // Hz added at the start, decaying
  double filterDecay = 0.2;   // seconds
  double keyTrack = 0.0;      // 1: cutoff follows the pitch fully
  double resonance = 0.2;
  double vibratoCents = 0.0;
  double vibratoHz = 5.5;
  double vibratoDelay = 0.3;  // seconds before the vibrato fades in
  double glideFrom = 0.0;     // semitones below/above to slide in from
  double glideTime = 0.0;
};

// Adds one note of `patch` to the mono buffer `out` (44.1 kHz) at `start`
// seconds, held `hold` seconds (the release rings on after), pitch in MIDI
// note numbers, velocity 0..1. `seed` varies oscillator phases and noise.
void RenderNote(std::vector<float>* out, const Patch& patch, double start, double hold, double note,
                double velocity, unsigned seed);

// A frequency-modulated bell or glass tone ringing for `ring` seconds.
void RenderBell(std::vector<float>* out, double start, double note, double velocity, double ring,
                double brightness);

}  // namespace audio
