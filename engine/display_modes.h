// Which screen modes to ask the display for, best first. The game always
// draws 1024 x 768; the picture is shown once or with every pixel doubled.
//   Full screen: the largest whole scale that fits the desktop, centred on
//   black; a scale chosen by the player is taken when it fits.
//   Window: scale 1 unless the player chooses 2, which needs a desktop of at
//   least 2048 x 1536.
// A refused mode falls back to the next smaller scale, then to a window.
#pragma once

#include <string>
#include <vector>

constexpr int kGameWidth = 1024;
constexpr int kGameHeight = 768;
constexpr int kMaxScale = 2;

struct DisplayMode {
  bool fullscreen = true;
  int scale = 1;
  int Width() const { return kGameWidth * scale; }
  int Height() const { return kGameHeight * scale; }
  bool operator==(const DisplayMode& other) const {
    return fullscreen == other.fullscreen && scale == other.scale;
  }
};

// scale 0 lets the game choose. A desktop of 0 x 0 is unknown and taken to
// fit scale 1 only. `refusal` (may be null) is set when the player's scale
// can't be had on this desktop.
std::vector<DisplayMode> CandidateModes(bool fullscreen, int scale, int desktopWidth, int desktopHeight,
                                        std::string* refusal);

// The largest whole scale whose picture fits the desktop (at least 1).
int LargestScaleThatFits(int desktopWidth, int desktopHeight);

// A pointer position on the screen (0 .. 1024 * scale - 1) in the game's own
// coordinates, so that a click hits the same box at every scale.
inline int ScreenToGame(int coordinate, int scale) { return scale > 1 ? coordinate / scale : coordinate; }

// "1024x768 window", "2048x1536 full screen": for the trace.
std::string DescribeMode(const DisplayMode& mode);
