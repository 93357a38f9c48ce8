// A piece of music being rendered: a tempo grid, named mono buses (one per
// instrument) with level, pan and effect sends, and the final stereo mix.
#pragma once
#include <string>
#include <vector>

#include "tools/audio/wav_file.h"

namespace audio {

class Song {
 public:
  Song(double bpm, int bars, double tailSeconds);

  double SecondsPerBeat() const { return 60.0 / bpm_; }
  // Time in seconds of `beat` beats into bar `bar` (4 beats a bar).
  double At(int bar, double beat = 0.0) const { return (bar * 4 + beat) * SecondsPerBeat(); }
  double LengthSeconds() const;

  // Adds a bus and returns its number. `pan` -1 (left) .. 1 (right).
  int AddBus(const std::string& name, double level, double pan, double reverbSend, double echoSend);
  std::vector<float>* Bus(int bus) { return &buses_[bus].samples; }

  // Pumps a bus down briefly at each of the given times (the kick), by `depth`.
  void Duck(int bus, const std::vector<double>& times, double depth, double recovery);

  // Tempo-synced echo used by every echo send.
  void SetEcho(double beats, double feedback) { echoBeats_ = beats, echoFeedback_ = feedback; }
  void SetReverb(double size, double damping) { reverbSize_ = size, reverbDamping_ = damping; }

  // Sums the buses and effects to stereo, tames peaks, fades out over the tail.
  PcmData Mix(double peak) const;

 private:
  struct BusData {
    std::string name;
    std::vector<float> samples;
    double level, pan, reverbSend, echoSend;
  };
  double bpm_;
  int bars_;
  double tailSeconds_;
  double echoBeats_ = 0.75;
  double echoFeedback_ = 0.35;
  double reverbSize_ = 0.7;
  double reverbDamping_ = 0.5;
  std::vector<BusData> buses_;
};

}  // namespace audio
