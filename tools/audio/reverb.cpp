#include "tools/audio/reverb.h"

namespace audio {
namespace {

// Classic tunings at 44.1 kHz, scaled for other rates.
const int kCombLengths[] = {1116, 1188, 1277, 1356, 1422, 1491, 1557, 1617};
const int kAllPassLengths[] = {556, 441, 341, 225};
const int kStereoSpread = 23;

}  // namespace

Reverb::Reverb(int rate, double size, double damping)
    : feedback_(static_cast<float>(0.7 + 0.28 * size)), damping_(static_cast<float>(damping * 0.4)) {
  double scale = rate / 44100.0;
  for (int len : kCombLengths) {
    Comb left, right;
    left.line.assign(static_cast<std::size_t>(len * scale), 0.0f);
    right.line.assign(static_cast<std::size_t>((len + kStereoSpread) * scale), 0.0f);
    combsLeft_.push_back(left);
    combsRight_.push_back(right);
  }
  for (int len : kAllPassLengths) {
    AllPass left, right;
    left.line.assign(static_cast<std::size_t>(len * scale), 0.0f);
    right.line.assign(static_cast<std::size_t>((len + kStereoSpread) * scale), 0.0f);
    passesLeft_.push_back(left);
    passesRight_.push_back(right);
  }
}

float Reverb::RunSide(std::vector<Comb>& combs, std::vector<AllPass>& passes, float in) {
  float out = 0.0f;
  for (Comb& c : combs) {
    float y = c.line[c.pos];
    c.store = y * (1.0f - damping_) + c.store * damping_;
    c.line[c.pos] = in + c.store * feedback_;
    if (++c.pos == c.line.size()) c.pos = 0;
    out += y;
  }
  for (AllPass& a : passes) {
    float buffered = a.line[a.pos];
    float y = buffered - out;
    a.line[a.pos] = out + buffered * 0.5f;
    if (++a.pos == a.line.size()) a.pos = 0;
    out = y;
  }
  return out;
}

void Reverb::Process(float in, float* left, float* right) {
  float scaled = in * 0.015f;  // the eight combs sum up loudly
  *left += RunSide(combsLeft_, passesLeft_, scaled);
  *right += RunSide(combsRight_, passesRight_, scaled);
}

Echo::Echo(int delaySamples, float feedback, float tone)
    : line_(static_cast<std::size_t>(delaySamples > 1 ? delaySamples : 1), 0.0f), feedback_(feedback), tone_(tone) {}

float Echo::Process(float in) {
  float delayed = line_[pos_];
  lowpass_ += tone_ * (delayed - lowpass_);
  line_[pos_] = in + lowpass_ * feedback_;
  if (++pos_ == line_.size()) pos_ = 0;
  return lowpass_;
}

}  // namespace audio
