#include "engine/screen_writer.h"

#include <allegro.h>
#include <allegro/internal/aintern.h>

#include <algorithm>
#include <cstdlib>
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

void ScreenWriter::WriteInto(const PixelRows& own) {
  own_ = own.width == picture_.width && own.height == picture_.height ? own : PixelRows();
  current_ = false;
}

void ScreenWriter::Attach(BITMAP* screen, const PictureArea& picture) {
  own_ = PixelRows();
  screen_ = screen;
  picture_ = picture;
  current_ = false;
  direct_ = false;
  if (updateSprite_) destroy_rle_sprite(updateSprite_);
  updateSprite_ = nullptr;
  if (!screen) return;
  const int depth = bitmap_color_depth(screen);
  if (depth == 32) BuildTable();
  scalerReady_ = scaler_.Configure(kGameWidth, kGameHeight, picture.width, picture.height);
  scaler_.SetColours(arithmetic_ ? nullptr : Table());
  const bool x11 = system_driver && system_driver->id == SYSTEM_XWINDOWS;
  const bool inside = picture.x >= 0 && picture.y >= 0 && picture.x + picture.width <= screen->w &&
                      picture.y + picture.height <= screen->h;
  if (!x11 || !is_linear_bitmap(screen) || is_sub_bitmap(screen) || depth != 32 || !inside || !scalerReady_) return;
  if (table_.size() != 65536) return;
  MakeUpdateSprite();
  direct_ = updateSprite_ != nullptr;
}

// A sprite as wide and high as the picture with every pixel transparent.
// Each line of a run-length sprite is coded on its own, so one line made by
// the library is repeated for every row (no picture-sized bitmap is needed
// to make it).
void ScreenWriter::MakeUpdateSprite() {
  BITMAP* line = create_bitmap_ex(32, picture_.width, 1);
  if (!line) return;
  clear_to_color(line, bitmap_mask_color(line));
  RLE_SPRITE* one = get_rle_sprite(line);
  destroy_bitmap(line);
  if (!one) return;
  const size_t lineSize = static_cast<size_t>(one->size);
  RLE_SPRITE* all =
      static_cast<RLE_SPRITE*>(std::malloc(sizeof(RLE_SPRITE) + lineSize * static_cast<size_t>(picture_.height)));
  if (all) {
    all->w = one->w;
    all->h = picture_.height;
    all->color_depth = one->color_depth;
    all->size = static_cast<int>(lineSize) * picture_.height;
    for (int y = 0; y < picture_.height; ++y)
      std::memcpy(reinterpret_cast<char*>(all->dat) + lineSize * y, one->dat, lineSize);
  }
  destroy_rle_sprite(one);
  updateSprite_ = all;
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

ScreenRows ScreenWriter::WriteRows(BITMAP* frame, int top, int rows) {
  ScreenRows written;
  if (!scalerReady_) return written;
  int first = 0, last = -1;
  scaler_.DestinationRowsOf(top, top + rows - 1, &first, &last);
  if (first > last) return written;
  written.top = picture_.y + first;
  written.bottom = picture_.y + last;
  const int depth = bitmap_color_depth(screen_);
  if (own_.pixels) {
    scaler_.Scale(frame, own_, 0, 0, first, last);
  } else if (direct_) {
    scaler_.Scale(frame, screen_, picture_.x, picture_.y, first, last);
  } else if (depth == 16) {
    // The library's own copy, which sends what it drew.
    if (picture_.width == frame->w && picture_.height == frame->h)
      blit(frame, screen_, 0, top, picture_.x, picture_.y + top, frame->w, rows);
    else
      stretch_blit(frame, screen_, 0, 0, frame->w, frame->h, picture_.x, picture_.y, picture_.width,
                   picture_.height);
  } else if (depth == 32 && table_.size() == 65536) {
    // A 32-bit screen the library draws to itself (not seen on X11):
    // enlarged into a band first, then copied.
    BITMAP* band = create_bitmap_ex(32, picture_.width, last - first + 1);
    if (band) {
      scaler_.Scale(frame, band, 0, -first, first, last);
      blit(band, screen_, 0, 0, picture_.x, picture_.y + first, band->w, band->h);
      destroy_bitmap(band);
    }
  }
  return written;
}

void ScreenWriter::Send(const ScreenRows& rows) {
  if (!direct_ || rows.Empty()) return;
  set_clip_rect(screen_, picture_.x, rows.top, picture_.x + picture_.width - 1, rows.bottom);
  draw_rle_sprite(screen_, updateSprite_, picture_.x, rows.top);
  set_clip_rect(screen_, 0, 0, screen_->w - 1, screen_->h - 1);
}

ScreenRows ScreenWriter::Write(BITMAP* frame, BITMAP* shown) {
  if (!screen_) return ScreenRows();
  if (!current_ || !shown || shown->w != frame->w || shown->h != frame->h) {
    current_ = true;
    wholeLastTime_ = false;
    return WriteRows(frame, 0, frame->h);
  }
  const size_t rowBytes = static_cast<size_t>(frame->w) * sizeof(uint16_t);
  // A scrolling picture changes nearly every row of every frame: then a
  // sample of the rows says so, and the whole frame goes out without the
  // rest being compared.
  if (wholeLastTime_) {
    int sampled = 0, changedRows = 0;
    for (int y = 0; y < frame->h; y += kSampleEvery, ++sampled)
      changedRows += std::memcmp(frame->line[y], shown->line[y], rowBytes) != 0;
    if (changedRows * 10 >= sampled * 9) return WriteRows(frame, 0, frame->h);
  }
  // Runs of changed rows, each written in one go; nothing at all while the
  // picture stands still.
  ScreenRows all;
  int runStart = -1, changedRows = 0;
  for (int y = 0; y <= frame->h; ++y) {
    const bool changed = y < frame->h && std::memcmp(frame->line[y], shown->line[y], rowBytes) != 0;
    changedRows += changed;
    if (changed && runStart < 0) runStart = y;
    if (!changed && runStart >= 0) {
      const ScreenRows rows = WriteRows(frame, runStart, y - runStart);
      if (!rows.Empty()) {
        all.top = all.Empty() ? rows.top : std::min(all.top, rows.top);
        all.bottom = std::max(all.bottom, rows.bottom);
      }
      runStart = -1;
    }
  }
  wholeLastTime_ = changedRows * 10 >= frame->h * 9;
  return all;
}
