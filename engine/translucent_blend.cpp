#include "engine/translucent_blend.h"

#include <allegro.h>

#include <algorithm>
#include <cstdint>

namespace {

// The library's 16-bit translucency blender: the 5-6-5 channels are spread
// out (green moved up 16 bits) so one multiply moves all three, and the
// destination goes (alpha + 1) / 8 thirty-seconds of the way toward the
// source. The library computes in unsigned long; only the low 27 bits survive
// the mask, and those are the same in 32-bit arithmetic.
constexpr uint32_t kSpread = 0x07E0F81F;

inline uint32_t Spread(uint32_t c) { return (c | c << 16) & kSpread; }

inline uint16_t Blend(uint32_t src, uint32_t dst, uint32_t n) {
  const uint32_t x = Spread(src), y = Spread(dst);
  const uint32_t r = ((x - y) * n / 32 + y) & kSpread;
  return static_cast<uint16_t>((r & 0xFFFF) | (r >> 16));
}

// Blocks of a fixed length let the compiler blend several pixels per
// instruction; the select keeps mask-coloured pixels as they were.
constexpr int kBlock = 16;

inline uint16_t BlendOrKeep(uint32_t c, uint32_t d, uint32_t n, uint32_t mask) {
  const uint16_t blended = Blend(c, d, n);
  return c == mask ? static_cast<uint16_t>(d) : blended;
}

void BlendRow(uint16_t* __restrict d, const uint16_t* __restrict s, int w, uint32_t n, uint32_t mask) {
  int x = 0;
  for (; x + kBlock <= w; x += kBlock)
    for (int i = 0; i < kBlock; ++i) d[x + i] = BlendOrKeep(s[x + i], d[x + i], n, mask);
  for (; x < w; ++x) d[x] = BlendOrKeep(s[x], d[x], n, mask);
}

}  // namespace

void DrawTranslucent(BITMAP* dst, BITMAP* src, int alpha) {
  set_trans_blender(0, 0, 0, alpha);
  if (bitmap_color_depth(dst) != 16 || bitmap_color_depth(src) != 16 || !is_memory_bitmap(dst) ||
      !is_memory_bitmap(src) || is_same_bitmap(dst, src)) {
    draw_trans_sprite(dst, src, 0, 0);
    return;
  }
  // Drawn at (0, 0), clipped to the destination's clip rectangle as the
  // library clips a sprite, and never past the destination's edges.
  int x0 = 0, y0 = 0, x1 = std::min(src->w, dst->w), y1 = std::min(src->h, dst->h);
  if (dst->clip) {
    x0 = std::max(0, dst->cl);
    y0 = std::max(0, dst->ct);
    x1 = std::min(x1, dst->cr);
    y1 = std::min(y1, dst->cb);
  }
  if (x1 <= x0 || y1 <= y0) return;
  const uint32_t n = alpha ? static_cast<uint32_t>(alpha + 1) / 8 : 0;
  const uint32_t mask = static_cast<uint32_t>(bitmap_mask_color(src));
  for (int y = y0; y < y1; ++y)
    BlendRow(reinterpret_cast<uint16_t*>(dst->line[y]) + x0, reinterpret_cast<const uint16_t*>(src->line[y]) + x0,
             x1 - x0, n, mask);
}
