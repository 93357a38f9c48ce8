#include "tools/art/contact_sheet.h"

#include <algorithm>
#include <cstdio>

namespace art {

namespace {

constexpr int kColumns = 8;
constexpr int kCellW = 240, kCellH = 190;
constexpr int kThumbW = 228, kThumbH = 150;
const Rgb kSheet = Hex(0x202632);
const Rgb kCell = Hex(0x2c3444);
const Rgb kSeeThrough = Hex(0x0e3a3a);  // masked pixels: tells them from night-blended edges
const Rgb kLabel = Hex(0xe8ecf4);

}  // namespace

bool WriteContactSheet(const std::vector<const Artwork*>& pictures, const std::vector<SheetFont>& fonts,
                       const std::string& path) {
  GlyphGrid labelFont;
  std::string error;
  if (!BuildGlyphGrid(kSansFont, 13, 0, labelFont, error)) return false;

  int rows = (static_cast<int>(pictures.size()) + kColumns - 1) / kColumns;
  int fontBlock = 0;
  for (const SheetFont& f : fonts) fontBlock += f.grid.lineHeight + 26;
  Picture sheet(kColumns * kCellW + 8, rows * kCellH + fontBlock + 16);
  sheet.FillRect(0, 0, sheet.Width() - 1, sheet.Height() - 1, kSheet);

  for (size_t n = 0; n < pictures.size(); ++n) {
    const Artwork& a = *pictures[n];
    int cx = 4 + static_cast<int>(n % kColumns) * kCellW, cy = 4 + static_cast<int>(n / kColumns) * kCellH;
    sheet.FillRect(cx + 2, cy + 2, cx + kCellW - 3, cy + kCellH - 3, kCell);
    const Picture& p = a.picture;
    float factor = std::min({static_cast<float>(kThumbW) / p.Width(), static_cast<float>(kThumbH) / p.Height(), 3.0f});
    if (factor > 1) factor = static_cast<float>(static_cast<int>(factor));  // whole-number zoom stays crisp
    int tw = static_cast<int>(p.Width() * factor), th = static_cast<int>(p.Height() * factor);
    sheet.Paste(p, cx + (kCellW - tw) / 2, cy + 6 + (kThumbH - th) / 2, factor, kSeeThrough);
    char label[96];
    std::snprintf(label, sizeof label, "%d  %dx%d  %s", a.index, p.Width(), p.Height(), a.what.c_str());
    Picture text = GlyphGridSample(labelFont, label, kLabel);
    sheet.Paste(text, cx + 6, cy + kCellH - 30, 1.0f, kCell);
  }
  int y = 8 + rows * kCellH;
  for (const SheetFont& f : fonts) {
    char label[128];
    std::snprintf(label, sizeof label, "%d  font, line height %d: %s", f.index, f.grid.lineHeight, f.use.c_str());
    sheet.Paste(GlyphGridSample(labelFont, label, kLabel), 8, y, 1.0f, kSheet);
    std::string sample;
    for (int c = 32; c <= 126; ++c) sample += static_cast<char>(c);
    Picture line = GlyphGridSample(f.grid, sample, Hex(0xfffc19));
    sheet.Paste(line, 8, y + 20, 1.0f, kSheet);
    y += f.grid.lineHeight + 26;
  }
  return sheet.WritePng(path, kSeeThrough);
}

}  // namespace art
