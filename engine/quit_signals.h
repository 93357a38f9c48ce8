// Asked to end from outside (the desktop logging out, Ctrl+C in a terminal,
// the window's close button):
// the game finishes as after the quit question, at the next moment it waits
// for the clock, so the score table, the settings and the game being recorded
// are all kept. (The library's own handlers would shut it down inside the
// signal, which can hang with its input thread.)
#pragma once

// Called once the library is up: SIGTERM, SIGINT, SIGHUP and SIGQUIT ask the
// game to end, and so does closing its window. A second such signal ends the
// process at once.
void InstallQuitSignals();
bool QuitRequested();
