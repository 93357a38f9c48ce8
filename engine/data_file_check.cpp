#include "engine/data_file_check.h"

#include <allegro.h>

#include <cstdint>

namespace {

// Generous limits, far above anything the game's data holds, that keep a
// damaged number from being taken at its word.
constexpr long kMaxObjects = 100000;
constexpr long kMaxObjectSize = 64L << 20;
constexpr long kMaxPropertySize = 1L << 16;
constexpr long kMaxSide = 16384;
constexpr long kMaxGlyphs = 0x110000;

// Reads one object's data, never past its declared size and never past the
// end of the file.
class ObjectReader {
 public:
  ObjectReader(PACKFILE* chunk, long size) : chunk_(chunk), left_(size) {}

  bool Bytes(unsigned char* out, long n) {
    if (!ok_ || n < 0 || n > left_) return ok_ = false;
    if (n > 0 && pack_fread(out, n, chunk_) != n) return ok_ = false;
    left_ -= n;
    return true;
  }
  long Word() {  // big-endian 16 bits, signed
    unsigned char b[2] = {};
    Bytes(b, 2);
    return static_cast<int16_t>(b[0] << 8 | b[1]);
  }
  long Long() {  // big-endian 32 bits, signed
    unsigned char b[4] = {};
    Bytes(b, 4);
    return static_cast<int32_t>(static_cast<uint32_t>(b[0]) << 24 | static_cast<uint32_t>(b[1]) << 16 |
                                static_cast<uint32_t>(b[2]) << 8 | b[3]);
  }
  long Byte() {
    unsigned char b = 0;
    Bytes(&b, 1);
    return b;
  }
  bool Skip(long n) {
    unsigned char scratch[4096];
    while (ok_ && n > 0) {
      const long part = n < static_cast<long>(sizeof scratch) ? n : static_cast<long>(sizeof scratch);
      Bytes(scratch, part);
      n -= part;
    }
    return ok_;
  }
  bool Fail() { return ok_ = false; }
  bool Ok() const { return ok_; }
  long Left() const { return left_; }

 private:
  PACKFILE* chunk_;
  long left_;
  bool ok_ = true;
};

long BytesPerPixel(long depth) {
  switch (depth) {
    case 8: return 1;
    case 15:
    case 16: return 2;
    case 24: return 3;
    case 32: return 4;
    default: return 0;
  }
}

// Bits, width and height, then the pixels.
bool CheckBitmap(ObjectReader& in) {
  const long bits = in.Word();
  const long w = in.Word(), h = in.Word();
  const long bytes = BytesPerPixel(bits < 0 ? -bits : bits);
  if (!in.Ok() || bytes == 0 || w < 1 || h < 1 || w > kMaxSide || h > kMaxSide) return in.Fail();
  return in.Skip(w * h * bytes) && in.Left() == 0;
}

// Bits (negative for stereo), frequency and length, then the sound.
bool CheckSample(ObjectReader& in) {
  long bits = in.Word();
  const long channels = bits < 0 ? 2 : 1;
  bits = bits < 0 ? -bits : bits;
  in.Word();
  const long length = in.Long();
  if (!in.Ok() || (bits != 8 && bits != 16) || length < 0 || length > kMaxObjectSize) return in.Fail();
  return in.Skip(length * channels * (bits / 8)) && in.Left() == 0;
}

// The font format of this library's 4.2 line: ranges of glyphs, monochrome
// (one bit a pixel, rows padded to bytes) or coloured (a depth's pixels).
bool CheckFont(ObjectReader& in) {
  if (in.Word() != 0) return in.Skip(in.Left());  // an older format: its size was checked
  const long ranges = in.Word();
  if (!in.Ok() || ranges < 1) return in.Fail();
  for (long r = 0; r < ranges; ++r) {
    const long depth = in.Byte();
    const long begin = in.Long(), end = in.Long();
    const bool mono = depth == 1 || depth == 255;
    if (!in.Ok() || (!mono && BytesPerPixel(depth) == 0) || begin < 0 || end < begin || end - begin >= kMaxGlyphs)
      return in.Fail();
    for (long g = begin; g <= end; ++g) {
      const long w = in.Word(), h = in.Word();
      if (!in.Ok() || w < 0 || h < 0 || w > kMaxSide || h > kMaxSide) return in.Fail();
      if (!in.Skip(mono ? (w + 7) / 8 * h : w * h * BytesPerPixel(depth))) return false;
    }
  }
  return in.Left() == 0;
}

bool CheckObjects(PACKFILE* file) {
  ObjectReader top(file, kMaxObjectSize * 64);
  if (top.Long() != DAT_MAGIC) return false;
  const long count = top.Long();
  if (!top.Ok() || count < 0 || count > kMaxObjects) return false;
  for (long done = 0; done < count;) {
    const long type = top.Long();
    if (!top.Ok()) return false;
    if (type == DAT_PROPERTY) {
      top.Long();
      const long size = top.Long();
      if (!top.Ok() || size < 0 || size > kMaxPropertySize || !top.Skip(size)) return false;
      continue;
    }
    // The loader has nothing to call for an end marker, and the game's data
    // holds no nested files.
    if (type == DAT_END || type == DAT_FILE) return false;
    PACKFILE* chunk = pack_fopen_chunk(file, FALSE);
    if (!chunk) return false;
    const long size = chunk->normal.todo;
    bool ok = size >= 0 && size <= kMaxObjectSize;
    if (ok) {
      ObjectReader in(chunk, size);
      if (type == DAT_BITMAP)
        ok = CheckBitmap(in);
      else if (type == DAT_SAMPLE)
        ok = CheckSample(in);
      else if (type == DAT_FONT)
        ok = CheckFont(in);
      else
        ok = in.Skip(size);
    }
    pack_fclose_chunk(chunk);
    if (!ok) return false;
    ++done;
  }
  return true;
}

}  // namespace

bool DataFileIntact(const char* fileName) {
  PACKFILE* file = pack_fopen(fileName, F_READ_PACKED);
  if (!file) return false;
  const bool intact = CheckObjects(file);
  pack_fclose(file);
  return intact;
}
