// Brings Allegro up without a display for tests: memory bitmaps, makecol,
// drawing, blitting and data files work; keyboard, timers and key names do not.
#pragma once
#include <string>

namespace kav_test {

// Installs the library with the "none" system driver in 16-bit colour. Safe to
// call more than once.
void InitHeadlessAllegro();

// Folder holding the generated kav.dat (and the music tracks).
std::string DataDir();

}  // namespace kav_test
