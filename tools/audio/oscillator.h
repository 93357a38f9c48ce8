// Band-limited oscillators. Each keeps its own phase (in cycles) so the pitch
// can glide from sample to sample without jumps.
#pragma once

namespace audio {

constexpr double kPi = 3.14159265358979323846;

enum class Wave { kSine, kTriangle, kSaw, kSquare };

class Oscillator {
 public:
  Oscillator() = default;
  Oscillator(Wave wave, double phase = 0.0) : wave_(wave), phase_(phase) {}

  void SetWave(Wave wave) { wave_ = wave; }
  // Pulse width of the square wave, 0..1 (0.5 is a plain square).
  void SetWidth(double width) { width_ = width; }
  // One output sample at `hz`, then advances the phase.
  float Next(double hz, double rate);
  double Phase() const { return phase_; }

 private:
  Wave wave_ = Wave::kSine;
  double phase_ = 0.0;
  double width_ = 0.5;
  float triangleState_ = 0.0f;
};

double NoteHz(double midiNote);

}  // namespace audio
