// Reading and writing 16-bit PCM WAV files for the sound generators.
#pragma once
#include <string>
#include <vector>

namespace audio {

// Interleaved samples in -1..1; values outside are clipped when written.
struct PcmData {
  std::vector<float> samples;
  int channels = 1;
  int rate = 44100;
};

// Writes a canonical 44-byte-header PCM WAV, 16 bits per sample. Returns false
// (with errno set by the C library) when the file cannot be written.
bool WriteWav(const std::string& path, const PcmData& pcm);

// Reads an 8- or 16-bit PCM WAV. Returns false for anything else, so a broken
// intermediate file stops the build instead of producing noise.
bool ReadWav(const std::string& path, PcmData* pcm);

}  // namespace audio
