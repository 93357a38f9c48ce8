// The arrangements of the two tracks, rendered to stereo PCM at 44.1 kHz.
#pragma once
#include "tools/audio/wav_file.h"

namespace audio {

PcmData ComposeCopperSky();
PcmData ComposeGlassHarbour();

}  // namespace audio
