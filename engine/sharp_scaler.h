// Enlarges the game's 16-bit frames into a 32-bit screen at any size at least
// as large, keeping the pixels sharp and even ("sharp bilinear"): as if each
// pixel were first repeated by the whole factor and the result then enlarged
// by the remaining fraction with a filter that blends only where two pixels
// meet.
//
// Per axis, with n source and m destination pixels, destination pixel i
// covers the source interval [i n / m, (i + 1) n / m). Inside one source
// pixel it is that pixel's colour exactly; across the border b between
// pixels b - 1 and b it is their blend, b weighted by the share of the
// interval it covers. Rows and columns are handled apart: every source row
// is converted and widened once into a short row cache, and each destination
// row is either a copy of one widened row or the blend of two, written as it
// is made. Blends are per 8-bit channel and land within 1 of the exact value;
// unblended pixels are the converted colours bit for bit.
//
// The colours are the screen's own, as ScreenWriter gives them: its 65536-entry
// table, or the arithmetic it checks against that table.
//
// Scale reads the frame and writes the target through their row pointers, so
// both must be linear bitmaps (memory bitmaps, or the X11 screen ScreenWriter
// writes directly). Most of the picture is written with streaming stores (it
// goes to the display, not back to the processor); rows that start on a
// 64-byte boundary, as the X11 screen's do, are written fastest. Configure
// allocates; Scale doesn't. Main thread only.
#pragma once

#include <cstdint>
#include <vector>

struct BITMAP;

// A 32-bit picture in memory the library does not own (shared with the X
// server): its first pixel, the bytes from one row to the next, its size.
struct PixelRows {
  uint8_t* pixels = nullptr;
  long pitch = 0;
  int width = 0, height = 0;
};

class SharpScaler {
 public:
  // The largest picture side handled; larger sizes are refused by Configure.
  static constexpr int kMaxSide = 16384;

  SharpScaler();

  // Tables for a source of sw x sh shown as dw x dh (dw >= sw, dh >= sh, each
  // side at most kMaxSide). False, leaving the scaler unconfigured, for sizes
  // it can't do.
  bool Configure(int sourceWidth, int sourceHeight, int destWidth, int destHeight);
  bool Configured() const { return destWidth_ > 0; }
  int SourceWidth() const { return sourceWidth_; }
  int SourceHeight() const { return sourceHeight_; }
  int DestWidth() const { return destWidth_; }
  int DestHeight() const { return destHeight_; }

  // The colours: a table of 65536 32-bit values (copied, the unused top byte
  // cleared), or null for ScreenWriter::ConvertByArithmetic.
  void SetColours(const uint32_t* table);

  // The destination rows [first, last] that read any of the source rows
  // [firstSource, lastSource] (clipped to the source). An empty range gives
  // first > last.
  void DestinationRowsOf(int firstSource, int lastSource, int* first, int* last) const;

  // Writes the destination rows [firstDest, lastDest] (clipped to the picture)
  // of the enlarged `frame` (16-bit, the configured source size) into the
  // 32-bit `target`, with the picture's top-left corner at (targetX, targetY).
  // Only those rows and the picture's own columns are written. False, writing
  // nothing, when the frame or the target doesn't fit the configuration.
  bool Scale(const BITMAP* frame, BITMAP* target, int targetX, int targetY, int firstDest, int lastDest);
  // The same into a picture of plain rows.
  bool Scale(const BITMAP* frame, const PixelRows& target, int targetX, int targetY, int firstDest, int lastDest);

  // The AVX2 code is used where the processor has it; this turns it off (and
  // on again) so that both can be compared. Returns whether it is now in use.
  bool UseVectorCode(bool wanted);
  bool VectorCode() const { return vector_; }

 private:
  // One axis of the enlargement: for each destination pixel the first source
  // pixel it reads and the weight of the next one, in 1/32768ths (0: not
  // blended).
  struct Axis {
    std::vector<int32_t> first;
    std::vector<int16_t> weight;
    // Every weight a whole number of 64ths, which the vector code blends faster.
    bool in64ths = true;
  };
  static void BuildAxis(int n, int m, Axis& axis);

  // The converted, widened source row `row`, from the cache when it holds it;
  // `keep` is a row the caller still needs, never evicted for this one.
  const uint32_t* WidenedRow(const BITMAP* frame, int row, int keep);
  // The converted source row `row`, converted again only for another row.
  const uint32_t* ConvertedRow(const BITMAP* frame, int row);
  // The rows, once the target is known to fit.
  template <typename RowOf>
  void ScaleRows(const BITMAP* frame, RowOf rowOf, int firstDest, int lastDest);
  void ConvertRow(const BITMAP* frame, int row, uint32_t* to) const;
  // Into the row cache, or (`toScreen`) into the target.
  void WidenRow(const uint32_t* converted, uint32_t* to, bool toScreen) const;
  void CopyRow(const uint32_t* from, uint32_t* to) const;
  void BlendRows(const uint32_t* a, const uint32_t* b, int weight, uint32_t* to) const;

  int sourceWidth_ = 0, sourceHeight_ = 0;
  int destWidth_ = 0, destHeight_ = 0;
  Axis columns_, rows_;
  bool columnsBlend_ = false;
  // As many columns as the frame has: nothing to widen.
  bool columnsAsTheyAre_ = false;
  // Whether the vector code writes the screen with plain stores rather than
  // streaming ones (see kPlainStoresUpTo).
  bool plainStores_ = false;
  // Per source row, the first and last destination rows that read it.
  std::vector<int32_t> firstReader_, lastReader_;

  // The column weights as the vector code reads them: one per 16-bit half of
  // each pixel, and in 64ths as byte pairs for each channel.
  std::vector<int32_t> columnWeightPairs_;
  std::vector<int8_t> columnWeightBytes_;
  // For each group of 8 columns from a multiple of 8, each column's first
  // source pixel counted from the group's first column's.
  std::vector<int32_t> columnOffsets_;

  std::vector<uint32_t> table_;
  bool arithmetic_ = true;
  bool vectorAvailable_ = false;
  bool vector_ = false;

  // One converted source row (with room for the vector code's reads past its
  // end) and two widened rows, each tagged with the source row it holds.
  std::vector<uint32_t> converted_;
  int convertedRow_ = -1;
  std::vector<uint32_t> cache_[2];
  int cached_[2] = {-1, -1};
};
