#include "engine/screen_writer.h"

#include <allegro.h>
#include <allegro/internal/aintern.h>

#include <cstring>

ScreenWriter::~ScreenWriter() {
  if (updateSprite_) destroy_rle_sprite(updateSprite_);
}

int ScreenWriter::ScreenDepthFor(int desktopDepth) { return desktopDepth == 24 || desktopDepth == 32 ? 32 : 16; }

void ScreenWriter::BuildTable() {
  // Every 16-bit value once, through the library's converter: its output is
  // 0xRRGGBB whatever the screen's layout, so it is rearranged afterwards.
  std::vector<uint16_t> all(65536);
  for (int i = 0; i < 65536; ++i) all[i] = static_cast<uint16_t>(i);
  std::vector<uint32_t> rgb(65536);
  COLORCONV_BLITTER_FUNC* convert = _get_colorconv_blitter(16, 32);
  if (!convert) return;
  GRAPHICS_RECT from = {256, 256, 256 * 2, all.data()};
  GRAPHICS_RECT to = {256, 256, 256 * 4, rgb.data()};
  convert(&from, &to);
  _release_colorconv_blitter(convert);
  table_.resize(65536);
  arithmetic_ = _rgb_r_shift_32 == 16 && _rgb_g_shift_32 == 8 && _rgb_b_shift_32 == 0;
  for (int i = 0; i < 65536; ++i) {
    const uint32_t c = rgb[i];
    table_[i] = ((c >> 16) & 0xff) << _rgb_r_shift_32 | ((c >> 8) & 0xff) << _rgb_g_shift_32 |
                (c & 0xff) << _rgb_b_shift_32;
    arithmetic_ = arithmetic_ && (c & 0xffffff) == ConvertByArithmetic(static_cast<uint32_t>(i));
  }
}

// Plain loops over whole rows that the compiler turns into vector code, in a
// wider form too for processors that have it (GCC picks one when the game
// starts).
#if defined(__GNUC__) && !defined(__clang__) && defined(__x86_64__)
#define WIDER_WHERE_AVAILABLE __attribute__((target_clones("avx2", "default")))
#else
#define WIDER_WHERE_AVAILABLE
#endif

namespace {
WIDER_WHERE_AVAILABLE void ConvertRowByArithmetic(const uint16_t* from, uint32_t* to, int width) {
  for (int x = 0; x < width; ++x) to[x] = ScreenWriter::ConvertByArithmetic(from[x]);
}

WIDER_WHERE_AVAILABLE void ConvertAndDoubleRowByArithmetic(const uint16_t* from, uint32_t* to, int width) {
  for (int x = 0; x < width; ++x) {
    const uint32_t c = ScreenWriter::ConvertByArithmetic(from[x]);
    to[2 * x] = c;
    to[2 * x + 1] = c;
  }
}
}  // namespace

void ScreenWriter::Attach(BITMAP* screen, int scale) {
  screen_ = screen;
  scale_ = scale;
  current_ = false;
  direct_ = false;
  if (updateSprite_) destroy_rle_sprite(updateSprite_);
  updateSprite_ = nullptr;
  if (!screen) return;
  const int depth = bitmap_color_depth(screen);
  if (depth == 32) BuildTable();
  const bool x11 = system_driver && system_driver->id == SYSTEM_XWINDOWS;
  if (!x11 || !is_linear_bitmap(screen) || is_sub_bitmap(screen) || (depth != 16 && depth != 32)) return;
  if (depth == 32 && table_.size() != 65536) return;
  BITMAP* clear = create_bitmap_ex(depth, screen->w, screen->h);
  if (!clear) return;
  clear_to_color(clear, bitmap_mask_color(clear));
  updateSprite_ = get_rle_sprite(clear);
  destroy_bitmap(clear);
  direct_ = updateSprite_ != nullptr;
}

void ScreenWriter::ConvertRows(const BITMAP* frame, int top, int rows, BITMAP* target, int scale) const {
  const int w = frame->w;
  for (int y = top; y < top + rows; ++y) {
    const uint16_t* from = reinterpret_cast<const uint16_t*>(frame->line[y]);
    uint32_t* to = reinterpret_cast<uint32_t*>(target->line[y * scale]);
    if (scale == 1) {
      if (arithmetic_)
        ConvertRowByArithmetic(from, to, w);
      else
        for (int x = 0; x < w; ++x) to[x] = table_[from[x]];
      continue;
    }
    if (arithmetic_)
      ConvertAndDoubleRowByArithmetic(from, to, w);
    else
      for (int x = 0; x < w; ++x) to[2 * x] = to[2 * x + 1] = table_[from[x]];
    std::memcpy(target->line[y * 2 + 1], to, 2 * w * sizeof(uint32_t));
  }
}

void ScreenWriter::CopyRows16(const BITMAP* frame, int top, int rows, BITMAP* target, int scale) {
  const int w = frame->w;
  for (int y = top; y < top + rows; ++y) {
    const uint16_t* from = reinterpret_cast<const uint16_t*>(frame->line[y]);
    if (scale == 1) {
      std::memcpy(target->line[y], from, w * sizeof(uint16_t));
      continue;
    }
    uint32_t* to = reinterpret_cast<uint32_t*>(target->line[2 * y]);
    for (int x = 0; x < w; ++x) to[x] = from[x] * 0x10001u;
    std::memcpy(target->line[2 * y + 1], to, w * sizeof(uint32_t));
  }
}

void ScreenWriter::CopyRows(BITMAP* frame, int top, int rows) {
  const int s = scale_;
  const bool fits = frame->w * s <= screen_->w && frame->h * s <= screen_->h && s <= 2;
  const int depth = bitmap_color_depth(screen_);
  if (direct_ && fits) {
    if (depth == 32)
      ConvertRows(frame, top, rows, screen_, s);
    else
      CopyRows16(frame, top, rows, screen_, s);
    set_clip_rect(screen_, 0, top * s, frame->w * s - 1, (top + rows) * s - 1);
    draw_rle_sprite(screen_, updateSprite_, 0, top * s);
    set_clip_rect(screen_, 0, 0, screen_->w - 1, screen_->h - 1);
  } else if (depth == 16) {
    if (s == 1)
      blit(frame, screen_, 0, top, 0, top, frame->w, rows);
    else
      stretch_blit(frame, screen_, 0, top, frame->w, rows, 0, top * s, frame->w * s, rows * s);
  } else if (depth == 32 && table_.size() == 65536) {
    // A 32-bit screen the library draws to itself (not seen on X11):
    // converted into a band first, then copied.
    BITMAP* band = create_bitmap_ex(32, frame->w * s, rows * s);
    BITMAP* part = create_sub_bitmap(frame, 0, top, frame->w, rows);
    if (band && part) {
      ConvertRows(part, 0, rows, band, s);
      blit(band, screen_, 0, 0, 0, top * s, band->w, band->h);
    }
    if (part) destroy_bitmap(part);
    if (band) destroy_bitmap(band);
  }
}

void ScreenWriter::Present(BITMAP* frame) {
  if (!screen_) return;
  CopyRows(frame, 0, frame->h);
  current_ = true;
}

void ScreenWriter::PresentChanges(BITMAP* frame, BITMAP* shown) {
  if (!current_ || !shown || shown->w != frame->w || shown->h != frame->h) {
    Present(frame);
    return;
  }
  // Runs of changed rows, each sent in one go; nothing at all while the
  // picture stands still.
  const size_t rowBytes = static_cast<size_t>(frame->w) * sizeof(uint16_t);
  int runStart = -1;
  for (int y = 0; y <= frame->h; ++y) {
    const bool changed = y < frame->h && std::memcmp(frame->line[y], shown->line[y], rowBytes) != 0;
    if (changed && runStart < 0) runStart = y;
    if (!changed && runStart >= 0) {
      CopyRows(frame, runStart, y - runStart);
      runStart = -1;
    }
  }
}
