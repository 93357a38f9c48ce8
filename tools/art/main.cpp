// Generates every picture and font of the game's data file.
//
//   kav_artgen <art folder> <contact sheet PNG> <sound index text>
//
// Writes <art folder>/NNN.bmp for the bitmaps 0..133 (24-bit, magenta where
// see-through) and for the fonts 134..137 (the 8-bit glyph grids the `dat`
// grabber turns into fonts). The build then packs them, with the sound
// effects, into kav.dat in index order. Everything is deterministic.
#include <cstdio>
#include <map>
#include <string>

#include "engine/data_index.h"
#include "tools/art/artwork.h"
#include "tools/art/contact_sheet.h"
#include "tools/art/typeface.h"

namespace {

struct SizeRule {
  int width, height;
  bool exact;  // false: at least this size
};

// Sizes the game draws or lays out; a picture of another size is a fault.
const std::map<int, SizeRule>& SizeRules() {
  static const std::map<int, SizeRule> rules = {
      {dat::kAstronaut1, {150, 320, true}},    {dat::kAstronaut2, {150, 340, true}},
      {dat::kAstronaut3, {150, 320, true}},    {dat::kWorld, {4096, 768, true}},
      {dat::kBeamRight, {445, 10, false}},     {dat::kBeamLeft, {445, 10, false}},
      {dat::kButtonControls, {256, 64, true}}, {dat::kButtonHelp, {256, 64, true}},
      {dat::kButtonPlay, {256, 64, true}},     {dat::kButtonQuit, {256, 64, true}},
      {dat::kFlatAstronaut1, {320, 150, true}}, {dat::kFlatAstronaut1 + 1, {340, 150, true}},
      {dat::kFlatAstronaut1 + 2, {320, 150, true}}, {dat::kHelpBackground, {1024, 768, true}},
      {dat::kIntroBackground, {1024, 768, true}}, {dat::kPlane, {1024, 300, true}},
      {dat::kLifeIcon, {62, 46, true}},        {dat::kLogoVe, {175, 122, true}},
      {dat::kLogoVarn, {293, 130, true}},      {dat::kLogoHolt, {446, 134, true}},
      {dat::kLogoSubtitle, {128, 28, true}},   {dat::kScannerBackground, {512, 48, false}},
      {dat::kShipRight, {124, 92, true}},      {dat::kShipLeft, {124, 92, true}},
      {dat::kBombIcon, {62, 46, true}},        {dat::kTitlePicture, {1024, 768, true}},
      {dat::kHumanKind0, {25, 50, false}},
  };
  return rules;
}

struct FontSpec {
  int index;
  const char* ttf;
  int pixelSize;
  int tracking;
  const char* use;
};

// Line heights: 134 and 137 sit in rows 30 px apart, 136 in rows 50 px apart.
const FontSpec kFonts[] = {
    {dat::kFontSmall, art::kSansFont, 20, 0, "tables, promotional line, controls, dialogs"},
    {dat::kFontSpare, art::kSansFont, 20, 0, "spare (same as 134)"},
    {dat::kFontLarge, art::kSansBoldFont, 38, 1, "wave messages"},
    {dat::kFontMedium, art::kSansBoldFont, 22, 0, "score, best score, story lines"},
};

std::string NumberedPath(const std::string& folder, int index) {
  char name[16];
  std::snprintf(name, sizeof name, "/%03d.bmp", index);
  return folder + name;
}

bool CheckSize(const art::Artwork& a) {
  auto it = SizeRules().find(a.index);
  if (it == SizeRules().end()) return true;
  const SizeRule& r = it->second;
  int w = a.picture.Width(), h = a.picture.Height();
  bool ok = r.exact ? (w == r.width && h == r.height) : (w >= r.width && h >= r.height);
  if (!ok) {
    std::fprintf(stderr, "kav_artgen: picture %d (%s) is %d x %d, needs %s%d x %d\n", a.index, a.what.c_str(), w,
                 h, r.exact ? "" : "at least ", r.width, r.height);
  }
  return ok;
}

bool WriteSoundIndex(const std::string& path) {
  static const char* const kUses[] = {
      "a lander seizes a human",
      "an enemy begins to materialise",
      "an enemy is destroyed",
      "fallers of the closing sequence (three voices at once)",
      "a faller lands (\"Ow!\")",
      "wave cleared",
      "background sound of play, looped for the whole wave",
      "the player's shot; also a kind-0 missile",
      "kind-1 missile launched",
      "kind-2 missile launched",
      "kind-3 and kind-4 missiles launched",
      "extra life and bomb awarded",
      "the ship explodes",
  };
  FILE* f = std::fopen(path.c_str(), "w");
  if (!f) return false;
  std::fprintf(f, "Sound effects in kav.dat (index: use)\n");
  for (int i = dat::kSndSeize; i < dat::kObjectCount; ++i) {
    std::fprintf(f, "%d: %s\n", i, kUses[i - dat::kSndSeize]);
  }
  return std::fclose(f) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: kav_artgen <art folder> <contact sheet PNG> <sound index text>\n");
    return 2;
  }
  const std::string folder = argv[1];

  art::ArtList pictures;
  art::DrawWorld(pictures);
  art::DrawPlayer(pictures);
  art::DrawEnemies(pictures);
  art::DrawHumans(pictures);
  art::DrawMissiles(pictures);
  art::DrawBoss(pictures);
  art::DrawScreens(pictures);
  art::DrawAstronauts(pictures);

  std::map<int, const art::Artwork*> byIndex;
  bool ok = true;
  for (const art::Artwork& a : pictures) {
    if (a.index < 0 || a.index >= dat::kFontSmall || byIndex.count(a.index)) {
      std::fprintf(stderr, "kav_artgen: picture index %d (%s) is out of place or drawn twice\n", a.index,
                   a.what.c_str());
      ok = false;
      continue;
    }
    byIndex[a.index] = &a;
    ok = CheckSize(a) && ok;
  }
  for (int i = 0; i < dat::kFontSmall; ++i) {
    if (!byIndex.count(i)) {
      std::fprintf(stderr, "kav_artgen: no picture for index %d\n", i);
      ok = false;
    }
  }
  if (!ok) return 1;

  for (art::Artwork& a : pictures) {
    a.picture.QuantiseTo16Bit();
    if (!a.picture.WriteBmp(NumberedPath(folder, a.index))) {
      std::fprintf(stderr, "kav_artgen: cannot write %s\n", NumberedPath(folder, a.index).c_str());
      return 1;
    }
  }

  std::vector<art::SheetFont> fonts;
  for (const FontSpec& face : kFonts) {
    art::GlyphGrid grid;
    std::string error;
    if (!art::BuildGlyphGrid(face.ttf, face.pixelSize, face.tracking, grid, error)) {
      std::fprintf(stderr, "kav_artgen: font %d: %s\n", face.index, error.c_str());
      return 1;
    }
    if (!art::WriteGlyphGridBmp(grid, NumberedPath(folder, face.index))) {
      std::fprintf(stderr, "kav_artgen: cannot write %s\n", NumberedPath(folder, face.index).c_str());
      return 1;
    }
    fonts.push_back({face.index, face.use, grid});
  }

  std::vector<const art::Artwork*> ordered;
  for (auto& entry : byIndex) ordered.push_back(entry.second);
  if (!art::WriteContactSheet(ordered, fonts, argv[2])) {
    std::fprintf(stderr, "kav_artgen: cannot write the contact sheet %s\n", argv[2]);
    return 1;
  }
  if (!WriteSoundIndex(argv[3])) {
    std::fprintf(stderr, "kav_artgen: cannot write %s\n", argv[3]);
    return 1;
  }
  return 0;
}
