// Puts the game's finished 16-bit frames on the visible screen at the
// picture's place and size, writing only the rows that changed.
//
// On X11 the library keeps the screen as a picture in memory. With a display
// of 24 or 32 bits the screen is made 32 bits deep, so that this picture is
// the display's own (nothing is converted again behind it): each changed row
// of the frame is converted once through a table built from the library's
// own converter (the colours come out exactly as the library would show
// them) and enlarged straight into the screen (SharpScaler). Who sends the
// written rows to the display is the caller's choice: the presenter at the
// display's refresh, or the library at once (Send: a fully transparent
// run-length sprite clipped to the rows has the library send them; drawing
// it costs next to nothing). Elsewhere the frame is copied with the
// library's blits.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/display_modes.h"
#include "engine/sharp_scaler.h"

struct BITMAP;
struct RLE_SPRITE;

// Rows of the screen, inclusive; empty when top > bottom.
struct ScreenRows {
  int top = 1, bottom = 0;
  bool Empty() const { return top > bottom; }
};

class ScreenWriter {
 public:
  ScreenWriter() = default;
  ~ScreenWriter();
  ScreenWriter(const ScreenWriter&) = delete;
  ScreenWriter& operator=(const ScreenWriter&) = delete;

  // The colour depth to set the screen's mode in: 32 on a display of 24 or
  // 32 bits, else 16 (the game's own).
  static int ScreenDepthFor(int desktopDepth);

  // After each change of mode; the next frame goes out whole.
  void Attach(BITMAP* screen, const PictureArea& picture);
  // True when frames are written into the library's screen memory, which a
  // presenter can then send itself.
  bool WritesDirectly() const { return direct_; }
  // Frames go into a picture of the presenter's own instead (the picture's
  // size, its rows the picture's), or (no pixels) into the screen again; the
  // next frame goes out whole.
  void WriteInto(const PixelRows& own);
  // Writes the frame into the screen, the whole of it or (when `shown` holds
  // what the screen shows now) only what differs; returns the screen's rows
  // written. A screen the library draws to itself has them sent already.
  ScreenRows Write(BITMAP* frame, BITMAP* shown);
  // Has the library send the rows to the display.
  void Send(const ScreenRows& rows);
  // Write and Send.
  void Present(BITMAP* frame) { Send(Write(frame, nullptr)); }
  void PresentChanges(BITMAP* frame, BITMAP* shown) { Send(Write(frame, shown)); }

  // The converted colour of a 16-bit pixel, as the 32-bit screen stores it.
  uint32_t Convert(uint16_t pixel) const { return table_[pixel]; }

  // Rows of a 16-bit frame written into a 32-bit picture: converted, and at
  // scale 2 each pixel made a 2 x 2 block.
  void ConvertRows(const BITMAP* frame, int top, int rows, BITMAP* target, int scale) const;
  // The same into a 16-bit picture (no conversion, only doubling).
  static void CopyRows16(const BITMAP* frame, int top, int rows, BITMAP* target, int scale);

  // The conversion table of the library's 16-to-32-bit converter, arranged
  // for the current 32-bit pixel layout. Done by Attach when needed. It also
  // checks whether the arithmetic below gives the same colours (it does for
  // the library as built here), which converts a row at memory speed
  // instead of looking every pixel up.
  void BuildTable();
  bool ArithmeticMatches() const { return arithmetic_; }
  const uint32_t* Table() const { return table_.empty() ? nullptr : table_.data(); }

  // The library's 16-to-32-bit colours, worked out instead of looked up:
  // red and blue widened by repeating their top bits, green as the
  // library's two green tables add up. 0xRRGGBB.
  static uint32_t ConvertByArithmetic(uint32_t pixel) {
    const uint32_t r5 = pixel >> 11, b5 = pixel & 31, high = (pixel >> 8) & 7, low = (pixel >> 5) & 7;
    const uint32_t r = r5 << 3 | r5 >> 2, b = b5 << 3 | b5 >> 2;
    const uint32_t g = (high << 5) + (high >= 3) + (high >= 5) + (low << 2) + (low == 7);
    return r << 16 | g << 8 | b;
  }

 private:
  // Source rows [top, top + rows) written into the screen; the screen rows.
  ScreenRows WriteRows(BITMAP* frame, int top, int rows);
  void MakeUpdateSprite();

  BITMAP* screen_ = nullptr;
  PictureArea picture_;
  bool direct_ = false;
  bool current_ = false;
  // Nearly every row changed in the last frame compared.
  bool wholeLastTime_ = false;
  static constexpr int kSampleEvery = 8;
  bool scalerReady_ = false;
  SharpScaler scaler_;
  PixelRows own_;
  RLE_SPRITE* updateSprite_ = nullptr;
  std::vector<uint32_t> table_;
  bool arithmetic_ = false;
};
