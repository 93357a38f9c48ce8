#include "tools/audio/song.h"

#include <algorithm>
#include <cmath>

#include "tools/audio/envelope.h"
#include "tools/audio/filter.h"
#include "tools/audio/oscillator.h"
#include "tools/audio/reverb.h"

namespace audio {
namespace {
constexpr int kRate = 44100;
}

Song::Song(double bpm, int bars, double tailSeconds) : bpm_(bpm), bars_(bars), tailSeconds_(tailSeconds) {}

double Song::LengthSeconds() const { return At(bars_) + tailSeconds_; }

int Song::AddBus(const std::string& name, double level, double pan, double reverbSend, double echoSend) {
  buses_.push_back({name, {}, level, pan, reverbSend, echoSend});
  return static_cast<int>(buses_.size()) - 1;
}

void Song::Duck(int bus, const std::vector<double>& times, double depth, double recovery) {
  std::vector<float>& s = buses_[bus].samples;
  std::vector<float> gain(s.size(), 1.0f);
  for (double t : times) {
    std::size_t first = static_cast<std::size_t>(t * kRate);
    std::size_t count = static_cast<std::size_t>(recovery * kRate);
    for (std::size_t i = 0; i < count && first + i < gain.size(); ++i) {
      // Falls in 5 ms (no click), then swells back over `recovery`.
      double u = static_cast<double>(i) / kRate;
      double dip = u < 0.005 ? u / 0.005 : 1.0 - SmoothStep(u, 0.005, recovery - 0.005);
      gain[first + i] = std::min(gain[first + i], static_cast<float>(1.0 - depth * dip));
    }
  }
  for (std::size_t i = 0; i < s.size(); ++i) s[i] *= gain[i];
}

PcmData Song::Mix(double peak) const {
  const std::size_t frames = static_cast<std::size_t>(LengthSeconds() * kRate);
  std::vector<float> left(frames, 0.0f), right(frames, 0.0f), reverbIn(frames, 0.0f), echoIn(frames, 0.0f);
  for (const BusData& bus : buses_) {
    // Constant-power pan.
    double angle = (bus.pan + 1.0) * kPi / 4.0;
    float gl = static_cast<float>(bus.level * std::cos(angle) * std::sqrt(2.0));
    float gr = static_cast<float>(bus.level * std::sin(angle) * std::sqrt(2.0));
    std::size_t n = std::min(frames, bus.samples.size());
    for (std::size_t i = 0; i < n; ++i) {
      float v = bus.samples[i];
      left[i] += gl * v;
      right[i] += gr * v;
      reverbIn[i] += static_cast<float>(bus.reverbSend * bus.level) * v;
      echoIn[i] += static_cast<float>(bus.echoSend * bus.level) * v;
    }
  }
  // Ping-pong echo: the left repeat lands half a step before the right one.
  int echoSamples = static_cast<int>(echoBeats_ * SecondsPerBeat() * kRate);
  Echo echoLeft(echoSamples, static_cast<float>(echoFeedback_), 0.5f);
  Echo echoRight(echoSamples + echoSamples / 2, static_cast<float>(echoFeedback_), 0.45f);
  Reverb room(kRate, reverbSize_, reverbDamping_);
  for (std::size_t i = 0; i < frames; ++i) {
    float el = echoLeft.Process(echoIn[i]);
    float er = echoRight.Process(echoIn[i]);
    left[i] += el;
    right[i] += er;
    room.Process(reverbIn[i] + 0.3f * (el + er), &left[i], &right[i]);
  }
  // Remove rumble below hearing, then a soft limiter so loud moments round
  // off instead of clipping.
  Filter lowCutLeft(Filter::kHighpass), lowCutRight(Filter::kHighpass);
  float loudest = 0.0f;
  for (std::size_t i = 0; i < frames; ++i) {
    left[i] = lowCutLeft.Process(left[i], 25.0, 0.0, kRate);
    right[i] = lowCutRight.Process(right[i], 25.0, 0.0, kRate);
    loudest = std::max({loudest, std::fabs(left[i]), std::fabs(right[i])});
  }
  PcmData pcm;
  pcm.channels = 2;
  pcm.rate = kRate;
  pcm.samples.resize(frames * 2);
  // Drive so the loudest moment sits a little into the limiter's curve.
  const double drive = loudest > 0.0f ? 1.3 / loudest : 1.0;
  const double norm = peak / std::tanh(1.3);
  const double fadeStart = LengthSeconds() - tailSeconds_ * 0.8;
  for (std::size_t i = 0; i < frames; ++i) {
    double t = static_cast<double>(i) / kRate;
    double fade = 1.0 - SmoothStep(t, fadeStart, tailSeconds_ * 0.8);
    pcm.samples[2 * i] = static_cast<float>(norm * std::tanh(drive * left[i]) * fade);
    pcm.samples[2 * i + 1] = static_cast<float>(norm * std::tanh(drive * right[i]) * fade);
  }
  return pcm;
}

}  // namespace audio
