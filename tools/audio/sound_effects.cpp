#include "tools/audio/sound_effects.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "tools/audio/envelope.h"
#include "tools/audio/filter.h"
#include "tools/audio/oscillator.h"
#include "tools/audio/random.h"
#include "tools/audio/reverb.h"

namespace audio {
namespace {

using Samples = std::vector<float>;
constexpr double kRate = kEffectRate;

size_t Frames(double seconds) { return static_cast<size_t>(seconds * kRate); }
double Time(size_t i) { return i / kRate; }

// Scales so the loudest sample sits at `peak`. Several effects overlap in play
// (shots over explosions over the background loop), so peaks stay well below
// full scale.
void Normalise(Samples* s, float peak) {
  float loudest = 0.0f;
  for (float v : *s) loudest = std::max(loudest, std::fabs(v));
  if (loudest <= 0.0f) return;
  for (float& v : *s) v *= peak / loudest;
}

// Short fades at both ends: a sample that starts or stops off zero clicks.
void SoftenEdges(Samples* s, double inSeconds, double outSeconds) {
  size_t in = std::min(Frames(inSeconds), s->size());
  size_t out = std::min(Frames(outSeconds), s->size());
  for (size_t i = 0; i < in; ++i) (*s)[i] *= static_cast<float>(SmoothStep(Time(i), 0.0, inSeconds));
  for (size_t i = 0; i < out; ++i)
    (*s)[s->size() - 1 - i] *= static_cast<float>(SmoothStep(Time(i), 0.0, outSeconds));
}

// Adds a room to a mono sound, folded back to mono (samples play centred).
void AddRoom(Samples* s, double size, double damping, float wet, double tailSeconds) {
  s->resize(s->size() + Frames(tailSeconds), 0.0f);
  Reverb room(kEffectRate, size, damping);
  for (float& v : *s) {
    float left = 0.0f, right = 0.0f;
    room.Process(v, &left, &right);
    v += wet * 0.5f * (left + right);
  }
}

Samples Seize() {
  // A lander's tractor grip: two warbling tones a fifth apart, wobbling
  // against each other while the grip rises in pitch.
  const double length = 1.15;
  Samples s(Frames(length));
  Oscillator low(Wave::kSquare), high(Wave::kSquare), wobble(Wave::kSine);
  low.SetWidth(0.3);
  high.SetWidth(0.42);
  Filter tone;
  for (size_t i = 0; i < s.size(); ++i) {
    double t = Time(i);
    double rise = std::pow(2.0, t / length);  // one octave over the sound
    double lfo = wobble.Next(15.5, kRate);
    double base = 250.0 * rise;
    double v = 0.55 * low.Next(base * std::pow(2.0, 0.3 * lfo), kRate) +
               0.4 * high.Next(base * 1.5 * std::pow(2.0, -0.25 * lfo), kRate);
    v = tone.Process(static_cast<float>(v), 1400.0 + 900.0 * lfo + 1200.0 * t, 0.55, kRate);
    double amp = (0.7 + 0.3 * lfo) * SmoothStep(t, 0.0, 0.03) * (1.0 - SmoothStep(t, length - 0.3, 0.3));
    s[i] = static_cast<float>(v * amp);
  }
  Normalise(&s, 0.45f);
  return s;
}

Samples Materialise() {
  // Energy gathering: a detuned chord sweeping up through an opening filter,
  // with glittering blips that climb with it, ending in a soft chime.
  const double length = 1.4;
  Samples s(Frames(length));
  Oscillator saws[3] = {Oscillator(Wave::kSaw, 0.0), Oscillator(Wave::kSaw, 0.33), Oscillator(Wave::kSaw, 0.71)};
  const double detune[3] = {1.0, 1.007, 0.994};
  Oscillator glitter(Wave::kSine), chime(Wave::kSine), chimeUpper(Wave::kSine);
  Filter sweep;
  Random rng(139);
  double blipHz = 0.0, blipStart = -1.0;
  for (size_t i = 0; i < s.size(); ++i) {
    double t = Time(i);
    double progress = std::min(t / 1.1, 1.0);
    double hz = 110.0 * std::pow(8.0, progress);
    double v = 0.0;
    for (int k = 0; k < 3; ++k) v += saws[k].Next(hz * detune[k], kRate);
    v = sweep.Process(static_cast<float>(v / 3.0), 250.0 + 5500.0 * progress * progress, 0.6, kRate);
    v *= SmoothStep(t, 0.0, 0.9) * (1.0 - SmoothStep(t, 1.05, 0.25));
    if (i % Frames(0.035) == 0 && t < 1.1) {
      blipStart = t;
      blipHz = 900.0 * std::pow(3.0, progress) * (1.0 + 0.5 * rng.Unit());
    }
    if (blipStart >= 0.0) v += 0.25 * glitter.Next(blipHz, kRate) * Percussive(t - blipStart, 0.002, 0.012) * progress;
    double ring = t - 1.1;
    if (ring >= 0.0) {
      double bell = Percussive(ring, 0.004, 0.12);
      v += 0.5 * bell * (chime.Next(1760.0, kRate) + 0.4 * chimeUpper.Next(2637.0, kRate));
    }
    s[i] = static_cast<float>(v);
  }
  SoftenEdges(&s, 0.005, 0.05);
  // A wave starts every enemy's materialisation in the same step: eight or
  // more copies play in unison at half volume, so one copy stays quiet.
  Normalise(&s, 0.25f);
  return s;
}

// An explosion: a noise body whose filter closes as it decays, a pitched
// thump underneath and scattered crackles. `weight` 0..1 sets size and depth.
Samples Explosion(double weight, uint32_t seed) {
  const double length = 0.7 + 2.2 * weight;
  Samples s(Frames(length));
  Random rng(seed);
  Filter body, crackleTone(Filter::kHighpass);
  Oscillator thump(Wave::kSine);
  const double bodyTau = 0.12 + 0.6 * weight;
  const double startCutoff = 5200.0 - 2800.0 * weight;
  const double floorCutoff = 260.0 - 150.0 * weight;
  // Later, smaller blasts make a big explosion roll on.
  const double blastTimes[] = {0.0, 0.22, 0.55, 0.9};
  const double blastLevels[] = {1.0, 0.6, 0.45, 0.3};
  const int blasts = weight > 0.5 ? 4 : 1;
  double crackle = 0.0;
  for (size_t i = 0; i < s.size(); ++i) {
    double t = Time(i);
    double amp = 0.0;
    for (int b = 0; b < blasts; ++b)
      amp += blastLevels[b] * Percussive(t - blastTimes[b], 0.003, bodyTau * (b == 0 ? 1.0 : 0.6));
    double cutoff = floorCutoff + startCutoff * std::exp(-t / (0.1 + 0.35 * weight));
    double v = body.Process(rng.Bipolar(), cutoff, 0.15, kRate) * amp;
    double thumpHz = (40.0 - 15.0 * weight) + (160.0 - 60.0 * weight) * std::exp(-t / (0.06 + 0.15 * weight));
    v += (0.8 + 0.8 * weight) * thump.Next(thumpHz, kRate) * Percussive(t, 0.002, 0.09 + 0.4 * weight);
    if (rng.Unit() < 0.0025 * std::exp(-t / (0.3 + weight))) crackle = 1.0;
    crackle *= 0.985;
    v += 0.5 * crackleTone.Process(static_cast<float>(crackle * rng.Bipolar()), 2500.0, 0.1, kRate);
    // Gentle saturation gives the blast some grit without hard clipping.
    s[i] = static_cast<float>(std::tanh((1.0 + weight) * v));
  }
  if (weight > 0.5) AddRoom(&s, 0.8, 0.5, 0.35f, 0.6);
  SoftenEdges(&s, 0.001, 0.2);
  // A smart bomb kills a screenful of enemies in one step, each playing its
  // bang in unison: the small explosion is kept lower than the big one.
  Normalise(&s, static_cast<float>(0.45 + 0.25 * weight));
  return s;
}

Samples FallingWhistle() {
  // The classic long descending whistle of something dropping from the sky.
  // Three voices of it play in unison, so it is mixed at a low level.
  const double length = 4.6;
  Samples s(Frames(length));
  Oscillator tone(Wave::kSine), vibrato(Wave::kSine);
  Filter wind(Filter::kBandpass);
  Random rng(141);
  for (size_t i = 0; i < s.size(); ++i) {
    double t = Time(i);
    double hz = 2300.0 * std::pow(0.2, t / length) * (1.0 + 0.006 * vibrato.Next(5.5, kRate));
    double v = tone.Next(hz, kRate);
    v += 0.12 * v * v;  // a touch of second harmonic, like a real whistle
    v += 0.12 * wind.Process(rng.Bipolar(), hz, 0.95, kRate);  // air rushing past
    double amp = SmoothStep(t, 0.0, 0.2) * (0.75 + 0.25 * t / length) * (1.0 - SmoothStep(t, length - 0.25, 0.25));
    s[i] = static_cast<float>(v * amp);
  }
  Normalise(&s, 0.24f);
  return s;
}

// Cubic interpolation of one channel at fractional position `pos`.
float Sample(const Samples& in, double pos) {
  long i = static_cast<long>(std::floor(pos));
  double f = pos - i;
  auto at = [&in](long k) { return k < 0 || k >= static_cast<long>(in.size()) ? 0.0f : in[k]; };
  double y0 = at(i - 1), y1 = at(i), y2 = at(i + 1), y3 = at(i + 2);
  double c1 = 0.5 * (y2 - y0);
  double c2 = y0 - 2.5 * y1 + 2.0 * y2 - 0.5 * y3;
  double c3 = 0.5 * (y3 - y0) + 1.5 * (y1 - y2);
  return static_cast<float>(((c3 * f + c2) * f + c1) * f + y1);
}

Samples Ow(const PcmData& voice) {
  Samples mono;
  for (size_t i = 0; i + voice.channels <= voice.samples.size(); i += voice.channels) {
    float sum = 0.0f;
    for (int c = 0; c < voice.channels; ++c) sum += voice.samples[i + c];
    mono.push_back(sum / voice.channels);
  }
  // Trim the silence the speech synthesiser leaves around the word.
  float loudest = 0.0f;
  for (float v : mono) loudest = std::max(loudest, std::fabs(v));
  size_t first = 0, last = mono.size();
  while (first < last && std::fabs(mono[first]) < 0.02f * loudest) ++first;
  while (last > first && std::fabs(mono[last - 1]) < 0.02f * loudest) --last;
  Samples word(mono.begin() + first, mono.begin() + last);
  // Up two semitones and a pitch that sags over the word: a yelp, not a
  // statement.
  Samples s;
  double step = voice.rate / kRate * std::pow(2.0, 2.0 / 12.0);
  for (double pos = 0.0; pos < word.size(); pos += step * (1.0 - 0.18 * pos / word.size()))
    s.push_back(Sample(word, pos));
  Filter warmth;
  for (float& v : s) v = static_cast<float>(std::tanh(1.6 * warmth.Process(v, 5000.0, 0.1, kRate)));
  AddRoom(&s, 0.4, 0.6, 0.25f, 0.3);
  SoftenEdges(&s, 0.004, 0.06);
  Normalise(&s, 0.6f);
  return s;
}

// A plucked synth note, for jingles.
void AddPluck(Samples* s, double start, double note, double length, double level) {
  Oscillator saw(Wave::kSaw), square(Wave::kSquare, 0.25);
  Filter tone;
  double hz = NoteHz(note);
  for (size_t i = Frames(start); i < std::min(s->size(), Frames(start + length)); ++i) {
    double t = Time(i) - start;
    double v = 0.6 * saw.Next(hz, kRate) + 0.4 * square.Next(hz * 1.002, kRate);
    v = tone.Process(static_cast<float>(v), 800.0 + 5000.0 * std::exp(-t / 0.08), 0.3, kRate);
    (*s)[i] += static_cast<float>(level * v * Percussive(t, 0.003, length * 0.35) *
                                  (1.0 - SmoothStep(t, length - 0.05, 0.05)));
  }
}

// A frequency-modulated bell: a bright strike that mellows as it rings.
void AddBell(Samples* s, double start, double note, double length, double level) {
  Oscillator carrier(Wave::kSine), modulator(Wave::kSine);
  double hz = NoteHz(note);
  for (size_t i = Frames(start); i < std::min(s->size(), Frames(start + length)); ++i) {
    double t = Time(i) - start;
    double index = 2.2 * std::exp(-t / 0.15) + 0.3;
    double mod = modulator.Next(hz * 3.5, kRate);
    double v = carrier.Next(hz * (1.0 + index * mod * 0.35), kRate);
    (*s)[i] += static_cast<float>(level * v * Percussive(t, 0.002, length * 0.3) *
                                  (1.0 - SmoothStep(t, length - 0.08, 0.08)));
  }
}

Samples WaveCleared() {
  // A rising arpeggio that lands on a bright major chord.
  Samples s(Frames(1.8));
  const double notes[] = {72, 76, 79, 84};
  for (int k = 0; k < 4; ++k) AddPluck(&s, 0.09 * k, notes[k], 0.3, 0.5);
  for (int k = 0; k < 4; ++k) {
    AddBell(&s, 0.4, notes[k], 1.35, 0.22);
    AddPluck(&s, 0.4, notes[k] - 12, 0.9, 0.18);
  }
  AddRoom(&s, 0.6, 0.4, 0.4f, 0.4);
  SoftenEdges(&s, 0.002, 0.15);
  Normalise(&s, 0.5f);
  return s;
}

Samples PlayLoop() {
  // The pulse under every wave. It loops for minutes, so everything in it
  // repeats exactly once per loop: each tone completes a whole number of
  // cycles, and the noise layer is filtered around the loop (run three
  // times, the last pass kept) so the filter's state meets itself at the seam.
  const double loop = 1.6;
  const size_t n = Frames(loop);
  Samples s(n, 0.0f);
  // Four pulses a loop, the first of each pair stronger: a heartbeat.
  auto pulse = [loop](double t) {
    double beat = loop / 4.0;
    double u = std::fmod(t, beat);
    int which = static_cast<int>(t / beat) % 2;
    double shape = Percussive(u, 0.02, 0.11);
    return (which == 0 ? 1.0 : 0.7) * shape;
  };
  // Whole cycles per loop: 88 and 132 cycles in 1.6 s are 55 and 82.5 Hz.
  const double drone[] = {88.0 / loop, 132.0 / loop, 176.0 / loop};
  const double droneLevel[] = {1.0, 0.45, 0.25};
  for (size_t i = 0; i < n; ++i) {
    double t = Time(i);
    double v = 0.0;
    for (int k = 0; k < 3; ++k) v += droneLevel[k] * std::sin(2.0 * kPi * drone[k] * t);
    s[i] = static_cast<float>(v * (0.25 + 0.75 * pulse(t)));
  }
  Random rng(144);
  Samples noise(n);
  for (float& v : noise) v = rng.Bipolar();
  Filter swish(Filter::kBandpass);
  Samples air(n);
  for (int pass = 0; pass < 3; ++pass) {
    for (size_t i = 0; i < n; ++i) {
      double t = Time(i);
      double cutoff = 500.0 + 300.0 * std::sin(2.0 * kPi * t / loop);
      air[i] = swish.Process(noise[i], cutoff, 0.7, kRate) * static_cast<float>(0.3 + pulse(t));
    }
  }
  for (size_t i = 0; i < n; ++i) s[i] += 0.35f * air[i];
  Normalise(&s, 0.3f);
  return s;
}

Samples Laser() {
  // The ship's shot: a fast-falling bright zap, short enough to repeat rapidly.
  const double length = 0.24;
  Samples s(Frames(length));
  Oscillator zap(Wave::kSquare), body(Wave::kSaw);
  zap.SetWidth(0.25);
  Filter tone;
  for (size_t i = 0; i < s.size(); ++i) {
    double t = Time(i);
    double hz = 320.0 + 2100.0 * std::exp(-t / 0.045);
    double v = 0.6 * zap.Next(hz, kRate) + 0.4 * body.Next(hz * 0.5, kRate);
    v = tone.Process(static_cast<float>(v), 7000.0 * std::exp(-t / 0.12) + 600.0, 0.2, kRate);
    s[i] = static_cast<float>(v * Percussive(t, 0.001, 0.06));
  }
  SoftenEdges(&s, 0.001, 0.03);
  Normalise(&s, 0.4f);
  return s;
}

Samples FighterMissile() {
  // A wobbling, falling "dwoo": lower and longer than the ship's shot, so an
  // incoming shot is told apart from one's own.
  const double length = 0.4;
  Samples s(Frames(length));
  Oscillator tone(Wave::kTriangle), vib(Wave::kSine);
  Filter soften;
  for (size_t i = 0; i < s.size(); ++i) {
    double t = Time(i);
    double hz = (240.0 + 700.0 * std::exp(-t / 0.12)) * (1.0 + 0.06 * vib.Next(26.0, kRate));
    double v = soften.Process(tone.Next(hz, kRate), 2500.0, 0.3, kRate);
    s[i] = static_cast<float>(v * Percussive(t, 0.003, 0.12));
  }
  SoftenEdges(&s, 0.001, 0.05);
  Normalise(&s, 0.38f);
  return s;
}

Samples BouncerMissile() {
  // An upward "bwip" through a resonant filter that follows the pitch.
  const double length = 0.26;
  Samples s(Frames(length));
  Oscillator tone(Wave::kSquare);
  Filter reso;
  for (size_t i = 0; i < s.size(); ++i) {
    double t = Time(i);
    double hz = 260.0 * std::pow(6.0, std::min(t / 0.16, 1.0));
    double v = reso.Process(tone.Next(hz, kRate), hz * 2.5, 0.8, kRate);
    s[i] = static_cast<float>(v * Percussive(t, 0.004, 0.08));
  }
  SoftenEdges(&s, 0.002, 0.04);
  Normalise(&s, 0.38f);
  return s;
}

Samples HeavyMissile() {
  // The boss's rocket: a low growl and a hiss sweeping up as it leaves.
  const double length = 0.6;
  Samples s(Frames(length));
  Oscillator growl(Wave::kSaw), sub(Wave::kSine);
  Filter hiss(Filter::kBandpass), dark;
  Random rng(148);
  for (size_t i = 0; i < s.size(); ++i) {
    double t = Time(i);
    double hz = 95.0 * std::exp(-t / 0.4) + 40.0;
    double v = 0.6 * dark.Process(growl.Next(hz, kRate), 900.0, 0.4, kRate) + 0.5 * sub.Next(hz, kRate);
    v *= Percussive(t, 0.005, 0.15);
    v += 0.9 * hiss.Process(rng.Bipolar(), 400.0 * std::pow(6.0, t / length), 0.5, kRate) *
         Percussive(t, 0.03, 0.2);
    s[i] = static_cast<float>(std::tanh(1.5 * v));
  }
  SoftenEdges(&s, 0.002, 0.08);
  Normalise(&s, 0.45f);
  return s;
}

Samples ExtraLife() {
  // A bright ascending chime, clearly a reward.
  Samples s(Frames(1.7));
  const double notes[] = {79, 84, 88, 91};
  for (int k = 0; k < 4; ++k) AddBell(&s, 0.11 * k, notes[k], 1.3 - 0.11 * k, 0.35);
  AddBell(&s, 0.44, 96, 0.9, 0.15);
  AddRoom(&s, 0.55, 0.3, 0.35f, 0.3);
  SoftenEdges(&s, 0.002, 0.15);
  Normalise(&s, 0.48f);
  return s;
}

}  // namespace

bool MakeEffect(int index, const PcmData& voice, PcmData* out) {
  Samples s;
  switch (index) {
    case 138: s = Seize(); break;
    case 139: s = Materialise(); break;
    case 140: s = Explosion(0.2, 140); break;
    case 141: s = FallingWhistle(); break;
    case 142:
      if (voice.samples.empty()) return false;
      s = Ow(voice);
      break;
    case 143: s = WaveCleared(); break;
    case 144: s = PlayLoop(); break;
    case 145: s = Laser(); break;
    case 146: s = FighterMissile(); break;
    case 147: s = BouncerMissile(); break;
    case 148: s = HeavyMissile(); break;
    case 149: s = ExtraLife(); break;
    case 150: s = Explosion(1.0, 150); break;
    default: return false;
  }
  out->samples = std::move(s);
  out->channels = 1;
  out->rate = kEffectRate;
  return true;
}

}  // namespace audio
