// A small room: parallel damped comb filters into series all-passes, with
// slightly different delay lengths per side for width.
#pragma once
#include <cstddef>
#include <vector>

namespace audio {

class Reverb {
 public:
  // `size` 0..1 scales the feedback (tail length); `damping` 0..1 darkens it.
  Reverb(int rate, double size, double damping);
  // Feeds one mono sample; adds the wet signal to *left and *right.
  void Process(float in, float* left, float* right);

 private:
  struct Comb {
    std::vector<float> line;
    std::size_t pos = 0;
    float store = 0.0f;
  };
  struct AllPass {
    std::vector<float> line;
    std::size_t pos = 0;
  };
  float RunSide(std::vector<Comb>& combs, std::vector<AllPass>& passes, float in);

  std::vector<Comb> combsLeft_, combsRight_;
  std::vector<AllPass> passesLeft_, passesRight_;
  float feedback_;
  float damping_;
};

// Feedback echo of a fixed time, for the lead lines.
class Echo {
 public:
  Echo(int delaySamples, float feedback, float tone);
  float Process(float in);

 private:
  std::vector<float> line_;
  std::size_t pos_ = 0;
  float feedback_;
  float tone_;
  float lowpass_ = 0.0f;
};

}  // namespace audio
