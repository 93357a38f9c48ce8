// Reads the X server's picture back, for tests of what the player sees.
// (Kept apart: Xlib's macros clash with the test framework's names.)
#pragma once

#include <cstdint>
#include <vector>

// The top-left width x height pixels of the X screen as 0xRRGGBB, once every
// request of the library's own connection has been carried out; empty when
// the display can't be read.
std::vector<uint32_t> GrabXScreen(int width, int height);
