#include "engine/sharp_scaler.h"

#include <allegro.h>

#include <algorithm>
#include <cstring>

#include "engine/screen_writer.h"

#if defined(__GNUC__) && defined(__x86_64__)
#include <immintrin.h>
#define SHARP_SCALER_AVX2 1
#define AVX2_CODE __attribute__((target("avx2")))
#endif

namespace {

// Weights are fractions of 32768: the scale of the 16-bit multiply with
// rounding that the vector code blends with.
constexpr int kWeightBits = 15;
// The vector code widens 8 columns at a time from up to 9 converted pixels
// starting anywhere in the row, so the converted row has room past its end.
constexpr int kConvertedSlack = 16;
// Pictures only repeated, which take little work, go to the screen with plain
// stores up to this size (2048 x 1536 is 12 MB): while the picture fits well
// in the processor's cache these cost less than streaming ones.
constexpr size_t kPlainStoresUpTo = 16u << 20;

// a + (b - a) * weight / 32768 for each 8-bit channel, rounded half up:
// bit for bit what the vector code's multiply with rounding gives.
inline uint32_t BlendPixel(uint32_t a, uint32_t b, int weight) {
  uint32_t out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    const int from = static_cast<int>((a >> shift) & 0xff), to = static_cast<int>((b >> shift) & 0xff);
    const int channel = from + (((to - from) * weight + (1 << (kWeightBits - 1))) >> kWeightBits);
    out |= static_cast<uint32_t>(channel) << shift;
  }
  return out;
}

void ConvertRowByArithmetic(const uint16_t* from, uint32_t* to, int width) {
  for (int x = 0; x < width; ++x) to[x] = ScreenWriter::ConvertByArithmetic(from[x]);
}

void ConvertRowByTable(const uint16_t* from, uint32_t* to, int width, const uint32_t* table) {
  for (int x = 0; x < width; ++x) to[x] = table[from[x]];
}

void WidenRowPortable(const uint32_t* converted, uint32_t* to, int width, const int32_t* first, const int16_t* weight,
                      bool blends) {
  if (!blends) {
    for (int x = 0; x < width; ++x) to[x] = converted[first[x]];
    return;
  }
  for (int x = 0; x < width; ++x) {
    const uint32_t left = converted[first[x]];
    to[x] = weight[x] ? BlendPixel(left, converted[first[x] + 1], weight[x]) : left;
  }
}

void BlendRowsPortable(const uint32_t* a, const uint32_t* b, int weight, uint32_t* to, int width) {
  for (int x = 0; x < width; ++x) to[x] = BlendPixel(a[x], b[x], weight);
}

#ifdef SHARP_SCALER_AVX2
// ScreenWriter::ConvertByArithmetic on sixteen pixels at a time, in 16-bit
// lanes. Red and blue are r5 * 33 / 4: the five bits at the top of a lane
// times 264, keeping the high half. Green is the library's two tables added
// up, both in one byte lookup: the low three bits index the low byte's half
// of the table, the high three (already in the high byte) its other half, and
// a multiply-add of the byte pair by (1, 1) sums them.
AVX2_CODE void ConvertRowByArithmeticAvx2(const uint16_t* from, uint32_t* to, int width) {
  const __m256i redBits = _mm256_set1_epi16(static_cast<int16_t>(0xf800));
  const __m256i times264 = _mm256_set1_epi16(264);
  const __m256i lowGreen = _mm256_set1_epi16(0x0007), highGreen = _mm256_set1_epi16(0x0700);
  const __m256i secondHalf = _mm256_set1_epi16(0x0800), ones = _mm256_set1_epi8(1);
  const __m256i greens = _mm256_setr_epi8(0, 4, 8, 12, 16, 20, 24, 29, 0, 32, 64, 97, 129, 162, 194, 226,  //
                                          0, 4, 8, 12, 16, 20, 24, 29, 0, 32, 64, 97, 129, 162, 194, 226);
  int x = 0;
  for (; x + 16 <= width; x += 16) {
    // Pixels 0-3 and 8-11 in the low lane, 4-7 and 12-15 in the high one, so
    // that the in-lane interleaving at the end puts them in order.
    const __m256i p = _mm256_permute4x64_epi64(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(from + x)), 0xd8);
    const __m256i r = _mm256_mulhi_epu16(_mm256_and_si256(p, redBits), times264);
    const __m256i b = _mm256_mulhi_epu16(_mm256_slli_epi16(p, 11), times264);
    const __m256i index = _mm256_or_si256(_mm256_and_si256(_mm256_srli_epi16(p, 5), lowGreen),
                                          _mm256_or_si256(_mm256_and_si256(p, highGreen), secondHalf));
    const __m256i g = _mm256_maddubs_epi16(_mm256_shuffle_epi8(greens, index), ones);
    // Blue and green make the low half of each 32-bit pixel, red the high.
    const __m256i blueGreen = _mm256_or_si256(b, _mm256_slli_epi16(g, 8));
    const __m256i low = _mm256_unpacklo_epi16(blueGreen, r), high = _mm256_unpackhi_epi16(blueGreen, r);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(to + x), low);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(to + x + 8), high);
  }
  ConvertRowByArithmetic(from + x, to + x, width - x);
}

AVX2_CODE inline __m256i Load(const void* from) { return _mm256_loadu_si256(static_cast<const __m256i*>(from)); }

// Two vectors of 8 pixels blended per channel, a + (b - a) * w with the
// rounding multiply, on 16-bit lanes: the even channels (blue, red) masked in
// place and the odd ones (green, the unused top) shifted down, so no
// shuffling is needed to widen the channels or to put them back.
AVX2_CODE inline __m256i BlendVectors(__m256i a, __m256i b, __m256i weight) {
  const __m256i evenMask = _mm256_set1_epi16(0xff);
  const __m256i aEven = _mm256_and_si256(a, evenMask), bEven = _mm256_and_si256(b, evenMask);
  const __m256i aOdd = _mm256_srli_epi16(a, 8), bOdd = _mm256_srli_epi16(b, 8);
  const __m256i even = _mm256_add_epi16(aEven, _mm256_mulhrs_epi16(_mm256_sub_epi16(bEven, aEven), weight));
  const __m256i odd = _mm256_add_epi16(aOdd, _mm256_mulhrs_epi16(_mm256_sub_epi16(bOdd, aOdd), weight));
  return _mm256_or_si256(even, _mm256_slli_epi16(odd, 8));
}

// The same blend where every weight is a whole number of 64ths, as it is for
// most sizes (1440, 1920 or 2880 from 1024, and 1080, 1440 or 2160 from 768):
// the two pixels' channels interleaved, one multiply-add of the byte pairs by
// (64 - w, w), rounded to 64ths. Bit for bit the result of BlendVectors with
// the same weights, in fewer steps. The weights come as byte pairs for each
// channel of pixels 0, 1, 4, 5 (`low`) and 2, 3, 6, 7 (`high`), the way the
// interleaving splits them.
AVX2_CODE inline __m256i BlendVectorsIn64ths(__m256i a, __m256i b, __m256i low, __m256i high) {
  const __m256i toWhole = _mm256_set1_epi16(1 << (kWeightBits - 6));
  const __m256i lowSum = _mm256_maddubs_epi16(_mm256_unpacklo_epi8(a, b), low);
  const __m256i highSum = _mm256_maddubs_epi16(_mm256_unpackhi_epi8(a, b), high);
  return _mm256_packus_epi16(_mm256_mulhrs_epi16(lowSum, toWhole), _mm256_mulhrs_epi16(highSum, toWhole));
}

AVX2_CODE inline void Store(uint32_t* to, __m256i pixels) {
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(to), pixels);
}

// The picture goes to the display, never back to the game, so it is mostly
// written with streaming stores: they need not fetch each line of the screen
// into the cache before filling it, which is much of the cost of writing a
// large picture. They go by whole 64-byte cache lines (a line written both
// ways is slow).
AVX2_CODE inline void StreamLine(uint32_t* to, __m256i first, __m256i second) {
  _mm256_stream_si256(reinterpret_cast<__m256i*>(to), first);
  _mm256_stream_si256(reinterpret_cast<__m256i*>(to + 8), second);
}

// Writes `width` pixels of a screen row, 8 at a time as make(x) gives them
// for columns x to x + 7. Streamed, the pixels before the row's first whole
// cache line and after its last are made in a small buffer and copied
// plainly; the plain way ends with the last 8 again, overlapping.
template <class Make>
AVX2_CODE void WriteRow(uint32_t* to, int width, const Make& make, bool stream) {
  const uintptr_t address = reinterpret_cast<uintptr_t>(to);
  if (width < 16 || (address & 3)) {
    make.Plainly(to, 0, width);
    return;
  }
  if (!stream) {
    for (int x = 0; x + 8 <= width; x += 8) Store(to + x, make(x));
    Store(to + width - 8, make(width - 8));
    return;
  }
  alignas(32) uint32_t edge[16];
  const int head = static_cast<int>((64 - (address & 63)) & 63) / 4;
  if (head) {
    Store(edge, make(0));
    Store(edge + 8, make(8));
    std::memcpy(to, edge, head * sizeof(uint32_t));
  }
  int x = head;
  for (; x + 16 <= width; x += 16) StreamLine(to + x, make(x), make(x + 8));
  if (x < width) {
    Store(edge, make(width - 16));
    Store(edge + 8, make(width - 8));
    std::memcpy(to + x, edge + 16 - (width - x), (width - x) * sizeof(uint32_t));
  }
}

struct CopyOf {
  const uint32_t* from;
  AVX2_CODE __m256i operator()(int x) const { return Load(from + x); }
  void Plainly(uint32_t* to, int x, int count) const { std::memcpy(to + x, from + x, count * sizeof(uint32_t)); }
};

struct BlendOf {
  const uint32_t *a, *b;
  int weight;
  __m256i weights;
  AVX2_CODE __m256i operator()(int x) const { return BlendVectors(Load(a + x), Load(b + x), weights); }
  void Plainly(uint32_t* to, int x, int count) const { BlendRowsPortable(a + x, b + x, weight, to + x, count); }
};

struct BlendIn64thsOf {
  const uint32_t *a, *b;
  int weight;
  __m256i weights;
  AVX2_CODE __m256i operator()(int x) const { return BlendVectorsIn64ths(Load(a + x), Load(b + x), weights, weights); }
  void Plainly(uint32_t* to, int x, int count) const { BlendRowsPortable(a + x, b + x, weight, to + x, count); }
};

// Eight destination columns from x on: their 8 left source pixels gathered
// from one load by a permute; 8 columns never reach more than 7 pixels past
// the first one's.
AVX2_CODE inline __m256i LeftPixels(const uint32_t* converted, const int32_t* first, int x) {
  const int32_t start = first[x];
  const __m256i index = _mm256_sub_epi32(Load(first + x), _mm256_set1_epi32(start));
  return _mm256_permutevar8x32_epi32(Load(converted + start), index);
}

struct RepeatedColumnsOf {
  const uint32_t* converted;
  const int32_t* first;
  AVX2_CODE __m256i operator()(int x) const { return LeftPixels(converted, first, x); }
  void Plainly(uint32_t* to, int x, int count) const {
    WidenRowPortable(converted, to + x, count, first + x, nullptr, false);
  }
};

AVX2_CODE void CopyRowAvx2(const uint32_t* from, uint32_t* to, int width) {
  WriteRow(to, width, CopyOf{from}, true);
}

AVX2_CODE void BlendRowsAvx2(const uint32_t* a, const uint32_t* b, int weight, uint32_t* to, int width, bool in64ths) {
  if (in64ths) {
    const int sixtyFourths = weight >> (kWeightBits - 6);
    const __m256i bytes = _mm256_set1_epi16(static_cast<int16_t>((64 - sixtyFourths) | sixtyFourths << 8));
    WriteRow(to, width, BlendIn64thsOf{a, b, weight, bytes}, true);
  } else {
    WriteRow(to, width, BlendOf{a, b, weight, _mm256_set1_epi16(static_cast<int16_t>(weight))}, true);
  }
}

AVX2_CODE void RepeatColumnsAvx2(const uint32_t* converted, const int32_t* first, uint32_t* to, int width,
                                 bool stream) {
  WriteRow(to, width, RepeatedColumnsOf{converted, first}, stream);
}

enum class Columns { kRepeated, kIn64ths, kFine };

// A widened row into the row cache, 8 columns at a time from column 0 (as the
// weights in 64ths and the offsets are laid out): the left pixels and the
// right ones gathered by a permute each, then blended.
template <Columns kColumns>
AVX2_CODE void WidenRowAvx2(const uint32_t* converted, uint32_t* to, int width, const int32_t* first,
                            const int32_t* offsets, const int16_t* weight, const int32_t* weightPairs,
                            const int8_t* weightBytes) {
  int x = 0;
  for (; x + 8 <= width; x += 8) {
    const uint32_t* left = converted + first[x];
    const __m256i index = Load(offsets + x);
    __m256i pixels = _mm256_permutevar8x32_epi32(Load(left), index);
    if (kColumns != Columns::kRepeated) {
      const __m256i right = _mm256_permutevar8x32_epi32(Load(left + 1), index);
      if (kColumns == Columns::kFine)
        pixels = BlendVectors(pixels, right, Load(weightPairs + x));
      else
        pixels = BlendVectorsIn64ths(pixels, right, Load(weightBytes + 8 * x), Load(weightBytes + 8 * x + 32));
    }
    Store(to + x, pixels);
  }
  WidenRowPortable(converted, to + x, width - x, first + x, weight + x, kColumns != Columns::kRepeated);
}

// Streamed pixels are in the screen's memory once this returns.
AVX2_CODE void FinishStreaming() { _mm_sfence(); }
#endif

}  // namespace

SharpScaler::SharpScaler() {
#ifdef SHARP_SCALER_AVX2
  __builtin_cpu_init();
  vectorAvailable_ = __builtin_cpu_supports("avx2");
#endif
  vector_ = vectorAvailable_;
}

bool SharpScaler::UseVectorCode(bool wanted) {
  vector_ = wanted && vectorAvailable_;
  return vector_;
}

void SharpScaler::BuildAxis(int n, int m, Axis& axis) {
  axis.first.resize(m);
  axis.weight.resize(m);
  axis.in64ths = true;
  for (int i = 0; i < m; ++i) {
    // In destination pixels the border b lies at b m / n; pixel i spans
    // [i, i + 1), and the part past the border is the next pixel's weight.
    const int64_t left = static_cast<int64_t>(i) * n / m;
    const int64_t past = static_cast<int64_t>(i + 1) * n - (left + 1) * m;  // in 1/n of a pixel
    axis.first[i] = static_cast<int32_t>(left);
    axis.weight[i] = past > 0 ? static_cast<int16_t>(((past << (kWeightBits + 1)) + n) / (2 * n)) : 0;
    axis.in64ths = axis.in64ths && past * 64 % n == 0;
  }
}

bool SharpScaler::Configure(int sourceWidth, int sourceHeight, int destWidth, int destHeight) {
  sourceWidth_ = sourceHeight_ = destWidth_ = destHeight_ = 0;
  if (sourceWidth < 1 || sourceHeight < 1 || destWidth < sourceWidth || destHeight < sourceHeight ||
      destWidth > kMaxSide || destHeight > kMaxSide)
    return false;
  BuildAxis(sourceWidth, destWidth, columns_);
  BuildAxis(sourceHeight, destHeight, rows_);
  columnsBlend_ = std::any_of(columns_.weight.begin(), columns_.weight.end(), [](int16_t w) { return w != 0; });
  columnsAsTheyAre_ = destWidth == sourceWidth;

  firstReader_.assign(sourceHeight, destHeight);
  lastReader_.assign(sourceHeight, -1);
  for (int i = 0; i < destHeight; ++i) {
    const int row = rows_.first[i];
    const int lastRead = rows_.weight[i] ? row + 1 : row;
    for (int r = row; r <= lastRead; ++r) {
      firstReader_[r] = std::min(firstReader_[r], i);
      lastReader_[r] = std::max(lastReader_[r], i);
    }
  }

  // The vector code blends both 16-bit halves of a pixel by its weight, or,
  // in 64ths, each channel's byte pair by (64 - w, w), for the pixels of each
  // group of 8 in the order the interleaving takes them.
  columnWeightPairs_.resize(destWidth);
  columnWeightBytes_.assign(8 * static_cast<size_t>((destWidth + 7) / 8 * 8), 0);
  static constexpr int kPlaceInGroup[8] = {0, 1, 4, 5, 2, 3, 6, 7};
  columnOffsets_.assign(static_cast<size_t>((destWidth + 7) / 8 * 8), 0);
  for (int x = 0; x < destWidth; ++x) {
    columnOffsets_[x] = columns_.first[x] - columns_.first[x - x % 8];
    const int w = columns_.weight[x];
    columnWeightPairs_[x] = static_cast<int32_t>(static_cast<uint32_t>(w) * 0x10001u);
    const int place = x - x % 8 + kPlaceInGroup[x % 8];
    for (int c = 0; c < 4; ++c) {
      columnWeightBytes_[8 * place + 2 * c] = static_cast<int8_t>(64 - (w >> (kWeightBits - 6)));
      columnWeightBytes_[8 * place + 2 * c + 1] = static_cast<int8_t>(w >> (kWeightBits - 6));
    }
  }

  const bool rowsBlend = std::any_of(rows_.weight.begin(), rows_.weight.end(), [](int16_t w) { return w != 0; });
  plainStores_ = !columnsBlend_ && !rowsBlend &&
                 static_cast<size_t>(destWidth) * destHeight * sizeof(uint32_t) <= kPlainStoresUpTo;

  converted_.assign(sourceWidth + kConvertedSlack, 0);
  convertedRow_ = -1;
  for (std::vector<uint32_t>& row : cache_) row.assign(destWidth, 0);
  cached_[0] = cached_[1] = -1;
  sourceWidth_ = sourceWidth;
  sourceHeight_ = sourceHeight;
  destWidth_ = destWidth;
  destHeight_ = destHeight;
  return true;
}

void SharpScaler::SetColours(const uint32_t* table) {
  arithmetic_ = table == nullptr;
  if (arithmetic_) {
    table_.clear();
    return;
  }
  table_.resize(65536);
  for (int i = 0; i < 65536; ++i) table_[i] = table[i] & 0xffffff;
}

void SharpScaler::DestinationRowsOf(int firstSource, int lastSource, int* first, int* last) const {
  firstSource = std::max(firstSource, 0);
  lastSource = std::min(lastSource, sourceHeight_ - 1);
  if (firstSource > lastSource) {
    *first = 0;
    *last = -1;
    return;
  }
  *first = firstReader_[firstSource];
  *last = lastReader_[lastSource];
}

const uint32_t* SharpScaler::ConvertedRow(const BITMAP* frame, int row) {
  if (convertedRow_ == row) return converted_.data();
  convertedRow_ = row;
  ConvertRow(frame, row, converted_.data());
  return converted_.data();
}

void SharpScaler::ConvertRow(const BITMAP* frame, int row, uint32_t* to) const {
  const uint16_t* from = reinterpret_cast<const uint16_t*>(frame->line[row]);
  if (!arithmetic_)
    ConvertRowByTable(from, to, sourceWidth_, table_.data());
#ifdef SHARP_SCALER_AVX2
  else if (vector_)
    ConvertRowByArithmeticAvx2(from, to, sourceWidth_);
#endif
  else
    ConvertRowByArithmetic(from, to, sourceWidth_);
}

void SharpScaler::WidenRow(const uint32_t* converted, uint32_t* to, bool toScreen) const {
  const int32_t* first = columns_.first.data();
  const int16_t* weight = columns_.weight.data();
#ifdef SHARP_SCALER_AVX2
  if (vector_) {
    const int32_t* pairs = columnWeightPairs_.data();
    const int8_t* bytes = columnWeightBytes_.data();
    const int32_t* offsets = columnOffsets_.data();
    if (!columnsBlend_ && toScreen)
      RepeatColumnsAvx2(converted, first, to, destWidth_, !plainStores_);
    else if (!columnsBlend_)
      WidenRowAvx2<Columns::kRepeated>(converted, to, destWidth_, first, offsets, weight, pairs, bytes);
    else if (columns_.in64ths)
      WidenRowAvx2<Columns::kIn64ths>(converted, to, destWidth_, first, offsets, weight, pairs, bytes);
    else
      WidenRowAvx2<Columns::kFine>(converted, to, destWidth_, first, offsets, weight, pairs, bytes);
    return;
  }
#endif
  WidenRowPortable(converted, to, destWidth_, first, weight, columnsBlend_);
}

void SharpScaler::BlendRows(const uint32_t* a, const uint32_t* b, int weight, uint32_t* to) const {
#ifdef SHARP_SCALER_AVX2
  if (vector_) {
    BlendRowsAvx2(a, b, weight, to, destWidth_, rows_.in64ths);
    return;
  }
#endif
  BlendRowsPortable(a, b, weight, to, destWidth_);
}

void SharpScaler::CopyRow(const uint32_t* from, uint32_t* to) const {
#ifdef SHARP_SCALER_AVX2
  if (vector_) {
    CopyRowAvx2(from, to, destWidth_);
    return;
  }
#endif
  std::memcpy(to, from, static_cast<size_t>(destWidth_) * sizeof(uint32_t));
}

const uint32_t* SharpScaler::WidenedRow(const BITMAP* frame, int row, int keep) {
  for (int slot = 0; slot < 2; ++slot)
    if (cached_[slot] == row) return cache_[slot].data();
  // Rows are asked for in rising order: the older one goes.
  const int slot = cached_[0] == keep ? 1 : cached_[1] == keep ? 0 : cached_[0] <= cached_[1] ? 0 : 1;
  WidenRow(ConvertedRow(frame, row), cache_[slot].data(), false);
  cached_[slot] = row;
  return cache_[slot].data();
}

bool SharpScaler::Scale(const BITMAP* frame, BITMAP* target, int targetX, int targetY, int firstDest, int lastDest) {
  if (!Configured() || !frame || !target) return false;
  if (bitmap_color_depth(const_cast<BITMAP*>(frame)) != 16 || bitmap_color_depth(target) != 32) return false;
  if (frame->w != sourceWidth_ || frame->h != sourceHeight_) return false;
  if (targetX < 0 || targetY < 0 || targetX > target->w - destWidth_ || targetY > target->h - destHeight_)
    return false;
  ScaleRows(
      frame, [&](int i) { return reinterpret_cast<uint32_t*>(target->line[targetY + i]) + targetX; }, firstDest,
      lastDest);
  return true;
}

bool SharpScaler::Scale(const BITMAP* frame, const PixelRows& target, int targetX, int targetY, int firstDest,
                        int lastDest) {
  if (!Configured() || !frame || !target.pixels) return false;
  if (bitmap_color_depth(const_cast<BITMAP*>(frame)) != 16) return false;
  if (frame->w != sourceWidth_ || frame->h != sourceHeight_) return false;
  if (targetX < 0 || targetY < 0 || targetX > target.width - destWidth_ || targetY > target.height - destHeight_ ||
      target.pitch < static_cast<long>(target.width) * 4)
    return false;
  ScaleRows(
      frame,
      [&](int i) { return reinterpret_cast<uint32_t*>(target.pixels + target.pitch * (targetY + i)) + targetX; },
      firstDest, lastDest);
  return true;
}

template <typename RowOf>
void SharpScaler::ScaleRows(const BITMAP* frame, RowOf rowOf, int firstDest, int lastDest) {
  firstDest = std::max(firstDest, 0);
  lastDest = std::min(lastDest, destHeight_ - 1);
  // The frame has changed since the last call.
  convertedRow_ = cached_[0] = cached_[1] = -1;
  for (int i = firstDest; i <= lastDest; ++i) {
    uint32_t* to = rowOf(i);
    const int row = rows_.first[i];
    const int weight = rows_.weight[i];
    if (weight) {
      const uint32_t* above = WidenedRow(frame, row, row + 1);
      BlendRows(above, WidenedRow(frame, row + 1, row), weight, to);
    } else if (columnsBlend_) {
      CopyRow(WidenedRow(frame, row, -1), to);
    } else if (columnsAsTheyAre_) {
      // The picture's own width: each row converted straight into the screen.
      ConvertRow(frame, row, to);
    } else {
      // Whole columns are only repeated, as cheap to redo as to copy.
      WidenRow(ConvertedRow(frame, row), to, true);
    }
  }
#ifdef SHARP_SCALER_AVX2
  if (vector_) FinishStreaming();
#endif
}
