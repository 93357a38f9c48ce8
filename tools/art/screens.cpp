// Full-screen pictures, menu buttons and the logo.
#include "engine/data_index.h"
#include "tools/art/artwork.h"
#include "tools/art/kit.h"
#include "tools/art/typeface.h"

namespace art {

namespace {

Picture Backdrop(int w, int h) {
  Canvas c(w, h, 1);
  c.Fill(VerticalGradient(0, pal::kSkyTop, h, pal::kSkyLow));
  return c.Reduce(false);
}

Picture Words(int w, int h, const char* text, float size, bool opaque) {
  Canvas c(w, h, 2);
  if (opaque) c.Fill(VerticalGradient(0, Hex(0x202a50), h, Hex(0x0a0e20)));
  Mask m = c.NewMask();
  float tw = MeasureText(kSansBoldFont, size, text);
  DrawText(m, kSansBoldFont, size, (w - tw) / 2, h * 0.5f + size * 0.36f, text);
  c.Paint(m, pal::kYellow, Glossy(1.5f));
  return c.Reduce(!opaque);
}

}  // namespace

void DrawScreens(ArtList& out) {
  out.push_back({dat::kButtonControls, "button Controls", Words(256, 64, "Controls", 34, true)});
  out.push_back({dat::kButtonHelp, "button Help", Words(256, 64, "Help", 34, true)});
  out.push_back({dat::kButtonPlay, "button Play", Words(256, 64, "Play", 34, true)});
  out.push_back({dat::kButtonQuit, "button Quit", Words(256, 64, "Quit", 34, true)});
  out.push_back({dat::kUnused49, "unused", Words(8, 8, "", 4, false)});
  out.push_back({dat::kHelpBackground, "help background", Backdrop(1024, 768)});
  out.push_back({dat::kIntroBackground, "intro background", Backdrop(1024, 768)});
  out.push_back({dat::kPlane, "plane", Words(1024, 300, "", 10, true)});
  out.push_back({dat::kLogoVe, "logo Ve", Words(175, 122, "Ve", 100, false)});
  out.push_back({dat::kLogoVarn, "logo Varn", Words(293, 130, "Varn", 100, false)});
  out.push_back({dat::kLogoHolt, "logo Holt", Words(446, 134, "Holt", 110, false)});
  out.push_back({dat::kLogoSubtitle, "logo subtitle", Words(128, 28, "The Game", 20, false)});
  out.push_back({dat::kUnused91, "unused", Words(8, 8, "", 4, false)});
  out.push_back({dat::kTitlePicture, "title", Backdrop(1024, 768)});
}

}  // namespace art
