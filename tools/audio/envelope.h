// Amplitude shapes as functions of time, in seconds.
#pragma once

namespace audio {

// Attack-decay-sustain-release for a note held `hold` seconds.
struct Adsr {
  double attack = 0.005;
  double decay = 0.1;
  double sustain = 0.7;
  double release = 0.1;

  double Level(double t, double hold) const;
  // Seconds until the note has faded out completely.
  double Length(double hold) const { return hold + release; }
};

// Exponential fall to 1/e after `tau` seconds, with a short linear attack so
// the start never clicks.
double Percussive(double t, double attack, double tau);

// Raised-cosine fade from 0 to 1 over [start, start + length].
double SmoothStep(double t, double start, double length);

}  // namespace audio
