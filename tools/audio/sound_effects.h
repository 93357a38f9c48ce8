// The thirteen sound effects of the data file (samples 138..150), each made
// from oscillators, noise and filters; the "Ow!" is a recorded voice reworked.
#pragma once
#include "tools/audio/wav_file.h"

namespace audio {

constexpr int kEffectRate = 44100;
constexpr int kFirstEffect = 138;
constexpr int kLastEffect = 150;

// Fills *out with the sound for data-file index `index` (138..150), mono at
// kEffectRate. `voice` is the spoken "Ow!" used by 142 (any rate, mono or
// stereo). Returns false for an index that is not a sound effect or when 142
// gets an empty voice.
bool MakeEffect(int index, const PcmData& voice, PcmData* out);

}  // namespace audio
