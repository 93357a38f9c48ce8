// Writes the game's sound effects as <out>/138.wav .. <out>/150.wav.
// Usage: make_sfx OUTPUT_DIR VOICE_WAV
#include <cstdio>
#include <string>

#include "tools/audio/sound_effects.h"
#include "tools/audio/wav_file.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s OUTPUT_DIR VOICE_WAV\n", argv[0]);
    return 2;
  }
  const std::string outDir = argv[1];
  audio::PcmData voice;
  if (!audio::ReadWav(argv[2], &voice)) {
    std::fprintf(stderr, "make_sfx: cannot read the spoken word from %s\n", argv[2]);
    return 1;
  }
  for (int index = audio::kFirstEffect; index <= audio::kLastEffect; ++index) {
    audio::PcmData pcm;
    if (!audio::MakeEffect(index, voice, &pcm)) {
      std::fprintf(stderr, "make_sfx: could not make sound %d\n", index);
      return 1;
    }
    const std::string path = outDir + "/" + std::to_string(index) + ".wav";
    if (!audio::WriteWav(path, pcm)) {
      std::perror(path.c_str());
      return 1;
    }
  }
  return 0;
}
