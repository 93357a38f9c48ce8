#include "engine/display_modes.h"

#include <algorithm>
#include <cstdio>

namespace {

bool Fits(int width, int height, int scale) { return kGameWidth * scale <= width && kGameHeight * scale <= height; }

DisplayMode WindowAt(int scale) {
  DisplayMode mode;
  mode.fullscreen = false;
  mode.screenWidth = kGameWidth * scale;
  mode.screenHeight = kGameHeight * scale;
  mode.picture = WholePicture(scale, mode.screenWidth, mode.screenHeight);
  return mode;
}

DisplayMode FullScreen(int width, int height, const PictureArea& picture) {
  DisplayMode mode;
  mode.fullscreen = true;
  mode.screenWidth = width;
  mode.screenHeight = height;
  mode.picture = picture;
  return mode;
}

void Add(std::vector<DisplayMode>& modes, const DisplayMode& mode) {
  if (std::find(modes.begin(), modes.end(), mode) == modes.end()) modes.push_back(mode);
}

void Refuse(std::string* refusal, int scale, int desktopWidth, int desktopHeight) {
  if (!refusal) return;
  char text[160];
  if (desktopWidth <= 0 || desktopHeight <= 0)
    std::snprintf(text, sizeof text, "scale %d needs a desktop of at least %dx%d; this one's size is unknown", scale,
                  kGameWidth * scale, kGameHeight * scale);
  else
    std::snprintf(text, sizeof text, "scale %d needs a desktop of at least %dx%d; this one is %dx%d", scale,
                  kGameWidth * scale, kGameHeight * scale, desktopWidth, desktopHeight);
  *refusal = text;
}

// Pixels of the picture per game pixel are picture / game; a screen pixel s
// of the picture shows game pixel floor(s * game / picture).
int ToGame(int screen, int origin, int pictureSize, int gameSize) {
  const long long inside = static_cast<long long>(screen) - origin;
  if (inside < 0) return 0;
  const long long game = inside * gameSize / pictureSize;
  return static_cast<int>(std::min<long long>(game, gameSize - 1));
}

int ToScreen(int game, int origin, int pictureSize, int gameSize) {
  // The first screen pixel whose game pixel is `game`.
  return origin + static_cast<int>((static_cast<long long>(game) * pictureSize + gameSize - 1) / gameSize);
}

}  // namespace

PictureArea FitPicture(int screenWidth, int screenHeight) {
  PictureArea picture;
  if (screenWidth < kGameWidth || screenHeight < kGameHeight) {
    picture.x = std::max(0, (screenWidth - kGameWidth) / 2);
    picture.y = std::max(0, (screenHeight - kGameHeight) / 2);
    return picture;
  }
  // Wider than 4:3: the height decides; taller: the width does.
  if (static_cast<long long>(screenWidth) * kGameHeight >= static_cast<long long>(screenHeight) * kGameWidth) {
    picture.height = screenHeight;
    picture.width = static_cast<int>((static_cast<long long>(screenHeight) * kGameWidth * 2 + kGameHeight) /
                                     (2 * kGameHeight));
  } else {
    picture.width = screenWidth;
    picture.height = static_cast<int>((static_cast<long long>(screenWidth) * kGameHeight * 2 + kGameWidth) /
                                      (2 * kGameWidth));
  }
  picture.width = std::min(picture.width, screenWidth);
  picture.height = std::min(picture.height, screenHeight);
  picture.x = (screenWidth - picture.width) / 2;
  picture.y = (screenHeight - picture.height) / 2;
  return picture;
}

PictureArea WholePicture(int scale, int screenWidth, int screenHeight) {
  PictureArea picture;
  picture.width = kGameWidth * scale;
  picture.height = kGameHeight * scale;
  picture.x = std::max(0, (screenWidth - picture.width) / 2);
  picture.y = std::max(0, (screenHeight - picture.height) / 2);
  return picture;
}

int LargestWholeScale(int width, int height) {
  int scale = kMaxScale;
  while (scale > 1 && !Fits(width, height, scale)) --scale;
  return scale;
}

int WindowScale(int desktopWidth, int desktopHeight) {
  // A window leaves room for the desktop's panels and the window's frame.
  return LargestWholeScale(desktopWidth, desktopHeight * 85 / 100);
}

std::vector<DisplayMode> CandidateModes(bool fullscreen, int scale, int desktopWidth, int desktopHeight,
                                        std::string* refusal) {
  const bool known = desktopWidth > 0 && desktopHeight > 0;
  const int fits = known ? LargestWholeScale(desktopWidth, desktopHeight) : 1;
  if (scale < kScaleFit || scale > kMaxScale) scale = kScaleFit;
  int whole = scale;
  if (scale != kScaleFit && scale > fits) {
    Refuse(refusal, scale, desktopWidth, desktopHeight);
    whole = fits;
  }

  std::vector<DisplayMode> modes;
  if (fullscreen) {
    if (known && desktopWidth >= kGameWidth && desktopHeight >= kGameHeight) {
      const PictureArea picture = scale == kScaleFit ? FitPicture(desktopWidth, desktopHeight)
                                                     : WholePicture(whole, desktopWidth, desktopHeight);
      Add(modes, FullScreen(desktopWidth, desktopHeight, picture));
    }
    // The old way: the library's full screen at the picture's own size.
    Add(modes, FullScreen(kGameWidth, kGameHeight, PictureArea()));
    Add(modes, WindowAt(1));
    return modes;
  }
  const int first = scale == kScaleFit ? (known ? WindowScale(desktopWidth, desktopHeight) : 1) : whole;
  for (int s = first; s >= 1; --s) Add(modes, WindowAt(s));
  return modes;
}

int ScreenToGameX(const PictureArea& picture, int screenX) {
  return ToGame(screenX, picture.x, picture.width, kGameWidth);
}

int ScreenToGameY(const PictureArea& picture, int screenY) {
  return ToGame(screenY, picture.y, picture.height, kGameHeight);
}

int GameToScreenX(const PictureArea& picture, int gameX) {
  return ToScreen(gameX, picture.x, picture.width, kGameWidth);
}

int GameToScreenY(const PictureArea& picture, int gameY) {
  return ToScreen(gameY, picture.y, picture.height, kGameHeight);
}

std::string DescribeMode(const DisplayMode& mode) {
  char text[96];
  const bool same = mode.picture.width == mode.screenWidth && mode.picture.height == mode.screenHeight;
  if (same)
    std::snprintf(text, sizeof text, "%dx%d %s", mode.screenWidth, mode.screenHeight,
                  mode.fullscreen ? "full screen" : "window");
  else
    std::snprintf(text, sizeof text, "%dx%d %s, picture %dx%d", mode.screenWidth, mode.screenHeight,
                  mode.fullscreen ? "full screen" : "window", mode.picture.width, mode.picture.height);
  return text;
}
