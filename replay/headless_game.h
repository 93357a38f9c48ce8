// The game without a display, sound or clock, for the commands and tools that
// play recorded games as fast as the machine allows: the library with no
// system driver, the data file, every screen object built, and a machine that
// holds no key and never waits.
#pragma once

#include <string>

// False, with `error` set, when the library or the data file can't be had.
bool StartHeadlessGame(std::string& error);
// Frees what the game made; the library stays until the process ends.
void StopHeadlessGame();
