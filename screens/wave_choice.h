// Which wave a practice game starts from: one of the waves the player has
// reached, 1 to the best, starting at the best; stepping stops at both ends.
#pragma once

class WaveChoice {
 public:
  // `bestWave` as the settings keep it; anything outside 1..20 is taken as
  // the nearest end.
  explicit WaveChoice(int bestWave);

  int Wave() const { return wave_; }
  int Highest() const { return highest_; }
  bool AtFirst() const { return wave_ == 1; }
  bool AtLast() const { return wave_ == highest_; }
  // One wave down or up; false (and the choice unchanged) at the end.
  bool Previous();
  bool Next();

 private:
  int highest_;
  int wave_;
};
