#ifndef ENGINE_X11_INPUT_READER_H
#define ENGINE_X11_INPUT_READER_H

// The library's input thread reads the X11 display's events every 10 ms, and
// each time it first waits for a round trip to the display (XSync), events or
// not: a hundred round trips a second, a good share of the game's own work on
// a large screen. The reader put in its place looks at what has already
// arrived, without waiting, and hands the library its usual work only when
// there are events, and ten times a second in any case (the library's own
// bookkeeping, such as putting back a warped pointer). A key reaches the game
// as quickly as before.
//
// Only for the library's X11 drivers; both calls do nothing elsewhere.
void InstallQuietInputReader();
void RemoveQuietInputReader();

#endif
