// Damaged data files: whatever the start-up check takes must load without
// harm, so the library's loader never sees a file it would trip over.
//
// Input: a first byte with its low bit set makes the rest the whole file.
// Otherwise the file is a small copy of the game's own (a picture, a font and
// a sample taken from "kav.dat", each compressed as there), cut to the length
// the next three bytes give, with the byte at each following pair's place
// (scaled over the file) changed by the third byte of a triple.
#include <allegro.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "engine/data_file_check.h"
#include "fuzz_support.h"
#include "support/allegro_fixture.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes base;

uint32_t BigEndian(const Bytes& b, size_t at) {
  return static_cast<uint32_t>(b[at]) << 24 | static_cast<uint32_t>(b[at + 1]) << 16 |
         static_cast<uint32_t>(b[at + 2]) << 8 | b[at + 3];
}

// Objects 132 (a picture), 134 (a font) and 145 (a sample) of the game's file,
// each with the properties stored before it, under a new head.
Bytes SmallDataFile(const Bytes& file) {
  Bytes out(file.begin(), file.begin() + 12);
  out[8] = out[9] = out[10] = 0;
  out[11] = 3;
  size_t at = 12, start = 12;
  int index = 0;
  while (at + 12 <= file.size()) {
    if (BigEndian(file, at) == static_cast<uint32_t>(DAT_PROPERTY)) {
      at += 12 + BigEndian(file, at + 8);
      continue;
    }
    at += 12 + BigEndian(file, at + 4);
    if (index == 132 || index == 134 || index == 145) out.insert(out.end(), file.begin() + start, file.begin() + at);
    start = at;
    ++index;
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  kav_test::InitHeadlessAllegro();
  std::ifstream in(kav_test::DataDir() + "/kav.dat", std::ios::binary);
  const Bytes whole((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  fuzz::Require(whole.size() > 1000, "the game's kav.dat (set KAV_DATA_DIR to the game folder)");
  base = SmallDataFile(whole);
  const std::string path = fuzz::ScratchFolder() + "/base.dat";
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(base.data()),
                                               static_cast<std::streamsize>(base.size()));
  fuzz::Require(DataFileIntact(path.c_str()), "the small copy of the game's file is intact");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Bytes file;
  if (size > 0 && (data[0] & 1)) {
    file.assign(data + 1, data + size);
  } else {
    file = base;
    if (size >= 4) {
      const size_t length = (static_cast<size_t>(data[1]) << 16 | static_cast<size_t>(data[2]) << 8 | data[3]) %
                            (base.size() + 1);
      if (length > 0) file.resize(length);
    }
    for (size_t at = 4; at + 3 <= size && !file.empty(); at += 3) {
      const size_t place = ((static_cast<size_t>(data[at]) << 8 | data[at + 1]) * file.size()) >> 16;
      file[place] ^= data[at + 2];
    }
  }
  const std::string path = fuzz::ScratchFolder() + "/kav.dat";
  std::FILE* out = std::fopen(path.c_str(), "wb");
  if (!out) return 0;
  if (!file.empty()) std::fwrite(file.data(), 1, file.size(), out);
  std::fclose(out);

  if (!DataFileIntact(path.c_str())) return 0;
  DATAFILE* loaded = load_datafile(path.c_str());
  fuzz::Require(loaded != nullptr, "a file the check takes loads");
  unload_datafile(loaded);
  return 0;
}
