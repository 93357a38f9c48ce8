// The game's two music tracks: file names and their planned lengths. The
// tests compare decoded lengths with these.
#pragma once

namespace audio {

struct TrackPlan {
  const char* fileName;
  double bpm;
  int bars;  // of four beats
  double tailSeconds;
  constexpr double Seconds() const { return bars * 4 * 60.0 / bpm + tailSeconds; }
};

// Title screen: driving and bright, A minor.
constexpr TrackPlan kCopperSky{"VeVarnHolt-CopperSky.mp3", 120.0, 52, 4.0};
// Menu, help and controls: calm and glassy, D major.
constexpr TrackPlan kGlassHarbour{"VeVarnHolt-GlassHarbour.mp3", 92.0, 40, 5.0};

}  // namespace audio
