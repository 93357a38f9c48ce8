#include "screens/wave_choice.h"

#include "game/waves.h"

WaveChoice::WaveChoice(int bestWave)
    : highest_(bestWave < 1 ? 1 : bestWave > kWaveCount ? kWaveCount : bestWave), wave_(highest_) {}

bool WaveChoice::Previous() {
  if (AtFirst()) return false;
  wave_ -= 1;
  return true;
}

bool WaveChoice::Next() {
  if (AtLast()) return false;
  wave_ += 1;
  return true;
}
