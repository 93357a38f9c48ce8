// Which screen modes to ask the display for, best first, and where the game's
// picture stands on them. The game always draws 1024 x 768; the display shows
// that picture enlarged:
//   Full screen, "fit" (the default): the screen at the desktop's own size,
//   the picture the largest 4:3 size that fits it, centred, black bars only on
//   the two sides that need them (1440 x 1080 on 1920 x 1080). A desktop no
//   larger than the picture keeps the picture at 1024 x 768.
//   Full screen at a whole scale: the picture 1024 x 768 times the scale,
//   centred on the desktop, when it fits.
//   Window: the largest whole scale that fits in 85 % of the desktop's
//   height, or the player's whole scale when it fits the desktop.
// A refused mode falls back to the picture at 1024 x 768 on a screen of that
// size, then to a 1024 x 768 window.
#pragma once

#include <string>
#include <vector>

constexpr int kGameWidth = 1024;
constexpr int kGameHeight = 768;
// The player's scale: 0 fits the picture to the screen, 1..kMaxScale whole.
constexpr int kScaleFit = 0;
constexpr int kMaxScale = 4;

// Where the game's picture stands on the screen, in screen pixels.
struct PictureArea {
  int x = 0, y = 0;
  int width = kGameWidth, height = kGameHeight;
  bool operator==(const PictureArea& o) const {
    return x == o.x && y == o.y && width == o.width && height == o.height;
  }
};

struct DisplayMode {
  bool fullscreen = true;
  // The screen asked of the library (the window's size, or the full screen's).
  int screenWidth = kGameWidth, screenHeight = kGameHeight;
  PictureArea picture;
  bool operator==(const DisplayMode& o) const {
    return fullscreen == o.fullscreen && screenWidth == o.screenWidth && screenHeight == o.screenHeight &&
           picture == o.picture;
  }
};

// The largest 4:3 picture inside a screen of w x h, centred; never smaller
// than the game's own 1024 x 768 (then placed at the screen's corner when the
// screen is smaller still).
PictureArea FitPicture(int screenWidth, int screenHeight);
// 1024 x 768 times `scale`, centred on the screen.
PictureArea WholePicture(int scale, int screenWidth, int screenHeight);
// The largest whole scale (1..kMaxScale) whose picture fits in w x h; 1 when
// none does.
int LargestWholeScale(int width, int height);
// The whole scale a window opens at: the largest whose picture fits the
// desktop's width and 85 % of its height (at least 1).
int WindowScale(int desktopWidth, int desktopHeight);

// `scale` is kScaleFit or 1..kMaxScale. A desktop of 0 x 0 is unknown: the
// picture then stays at 1024 x 768. `refusal` (may be null) is set when the
// player's whole scale can't be had on this desktop.
std::vector<DisplayMode> CandidateModes(bool fullscreen, int scale, int desktopWidth, int desktopHeight,
                                        std::string* refusal);

// A pointer position on the screen in the game's own coordinates (0..1023,
// 0..767), so that a click hits the same box at every size; positions on the
// bars beside the picture give its nearest edge.
int ScreenToGameX(const PictureArea& picture, int screenX);
int ScreenToGameY(const PictureArea& picture, int screenY);
// The screen pixel that shows the game's pixel (its top-left corner).
int GameToScreenX(const PictureArea& picture, int gameX);
int GameToScreenY(const PictureArea& picture, int gameY);

// "1024x768 window", "1920x1080 full screen, picture 1440x1080": for the
// trace (which adds where the picture stands).
std::string DescribeMode(const DisplayMode& mode);
