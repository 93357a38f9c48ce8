// The pictures of the data file, drawn family by family. Each family adds its
// pictures, with their data-file index and a short description, to the list.
#pragma once

#include <string>
#include <vector>

#include "tools/art/picture.h"

namespace art {

struct Artwork {
  int index;
  std::string what;
  Picture picture;
};

using ArtList = std::vector<Artwork>;

void DrawEnemies(ArtList& out);     // 4..38
void DrawPlayer(ArtList& out);      // ship, beams, life and bomb icons
void DrawHumans(ArtList& out);      // 51..83
void DrawMissiles(ArtList& out);    // 107..114, 119..128
void DrawBoss(ArtList& out);        // 48, 92..106, 115..118
void DrawWorld(ArtList& out);       // 3 and the scanner background 129
void DrawScreens(ArtList& out);     // title, help, intro, plane, buttons, logo, spare slots
void DrawAstronauts(ArtList& out);  // 0..2 and 45..47

}  // namespace art
