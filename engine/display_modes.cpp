#include "engine/display_modes.h"

#include <cstdio>

int LargestScaleThatFits(int desktopWidth, int desktopHeight) {
  int scale = kMaxScale;
  while (scale > 1 && (kGameWidth * scale > desktopWidth || kGameHeight * scale > desktopHeight)) --scale;
  return scale;
}

std::vector<DisplayMode> CandidateModes(bool fullscreen, int scale, int desktopWidth, int desktopHeight,
                                        std::string* refusal) {
  const int fits = LargestScaleThatFits(desktopWidth, desktopHeight);
  int first = scale;
  if (scale < 1 || scale > kMaxScale) {
    first = fullscreen ? fits : 1;
  } else if (scale > fits) {
    if (refusal) {
      char text[160];
      std::snprintf(text, sizeof text, "scale %d needs a desktop of at least %dx%d; this one is %dx%d", scale,
                    kGameWidth * scale, kGameHeight * scale, desktopWidth, desktopHeight);
      *refusal = text;
    }
    first = fits;
  }
  std::vector<DisplayMode> modes;
  for (int s = first; s >= 1; --s) modes.push_back({fullscreen, s});
  if (fullscreen) modes.push_back({false, 1});
  return modes;
}

std::string DescribeMode(const DisplayMode& mode) {
  char text[48];
  std::snprintf(text, sizeof text, "%dx%d %s", mode.Width(), mode.Height(),
                mode.fullscreen ? "full screen" : "window");
  return text;
}
