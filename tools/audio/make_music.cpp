// Renders one of the game's music tracks to a stereo WAV (lame then encodes it).
// Usage: make_music copper-sky|glass-harbour OUTPUT.wav
#include <cstdio>
#include <cstring>

#include "tools/audio/compositions.h"
#include "tools/audio/wav_file.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s copper-sky|glass-harbour OUTPUT.wav\n", argv[0]);
    return 2;
  }
  audio::PcmData pcm;
  if (std::strcmp(argv[1], "copper-sky") == 0) {
    pcm = audio::ComposeCopperSky();
  } else if (std::strcmp(argv[1], "glass-harbour") == 0) {
    pcm = audio::ComposeGlassHarbour();
  } else {
    std::fprintf(stderr, "make_music: no track called %s\n", argv[1]);
    return 2;
  }
  if (!audio::WriteWav(argv[2], pcm)) {
    std::perror(argv[2]);
    return 1;
  }
  return 0;
}
