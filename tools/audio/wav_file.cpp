#include "tools/audio/wav_file.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace audio {
namespace {

void PutU32(std::vector<unsigned char>* out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out->push_back(static_cast<unsigned char>(v >> (8 * i)));
}

void PutU16(std::vector<unsigned char>* out, uint16_t v) {
  out->push_back(static_cast<unsigned char>(v & 0xff));
  out->push_back(static_cast<unsigned char>(v >> 8));
}

uint32_t GetU32(const unsigned char* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

uint16_t GetU16(const unsigned char* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

}  // namespace

bool WriteWav(const std::string& path, const PcmData& pcm) {
  const uint32_t dataBytes = static_cast<uint32_t>(pcm.samples.size() * 2);
  std::vector<unsigned char> bytes;
  bytes.reserve(44 + dataBytes);
  bytes.insert(bytes.end(), {'R', 'I', 'F', 'F'});
  PutU32(&bytes, 36 + dataBytes);
  bytes.insert(bytes.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
  PutU32(&bytes, 16);
  PutU16(&bytes, 1);  // PCM
  PutU16(&bytes, static_cast<uint16_t>(pcm.channels));
  PutU32(&bytes, static_cast<uint32_t>(pcm.rate));
  PutU32(&bytes, static_cast<uint32_t>(pcm.rate * pcm.channels * 2));
  PutU16(&bytes, static_cast<uint16_t>(pcm.channels * 2));
  PutU16(&bytes, 16);
  bytes.insert(bytes.end(), {'d', 'a', 't', 'a'});
  PutU32(&bytes, dataBytes);
  for (float s : pcm.samples) {
    float clipped = s > 1.0f ? 1.0f : (s < -1.0f ? -1.0f : s);
    long v = std::lround(clipped * 32767.0f);
    PutU16(&bytes, static_cast<uint16_t>(static_cast<int16_t>(v)));
  }
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  ok = (std::fclose(f) == 0) && ok;
  return ok;
}

bool ReadWav(const std::string& path, PcmData* pcm) {
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return false;
  std::vector<unsigned char> bytes;
  unsigned char chunk[65536];
  size_t n;
  while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) bytes.insert(bytes.end(), chunk, chunk + n);
  std::fclose(f);
  if (bytes.size() < 12 || std::memcmp(bytes.data(), "RIFF", 4) != 0 ||
      std::memcmp(bytes.data() + 8, "WAVE", 4) != 0)
    return false;
  int bits = 0;
  bool haveFormat = false;
  size_t pos = 12;
  while (pos + 8 <= bytes.size()) {
    const unsigned char* head = bytes.data() + pos;
    uint32_t size = GetU32(head + 4);
    size_t body = pos + 8;
    // Streaming writers (espeak-ng on a pipe) leave the data size at 0x7fffffff.
    size_t avail = bytes.size() - body;
    size_t len = size > avail ? avail : size;
    if (std::memcmp(head, "fmt ", 4) == 0 && len >= 16) {
      if (GetU16(bytes.data() + body) != 1) return false;
      pcm->channels = GetU16(bytes.data() + body + 2);
      pcm->rate = static_cast<int>(GetU32(bytes.data() + body + 4));
      bits = GetU16(bytes.data() + body + 14);
      haveFormat = pcm->channels > 0 && (bits == 8 || bits == 16);
    } else if (std::memcmp(head, "data", 4) == 0) {
      if (!haveFormat) return false;
      pcm->samples.clear();
      if (bits == 16) {
        for (size_t i = 0; i + 1 < len; i += 2)
          pcm->samples.push_back(static_cast<int16_t>(GetU16(bytes.data() + body + i)) / 32768.0f);
      } else {
        for (size_t i = 0; i < len; ++i) pcm->samples.push_back((bytes[body + i] - 128) / 128.0f);
      }
      return true;
    }
    pos = body + len + (len & 1);
  }
  return false;
}

}  // namespace audio
