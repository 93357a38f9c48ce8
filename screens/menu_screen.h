#pragma once

struct MusicTrack;

enum MenuResult { kMenuPlay = 0, kMenuQuit = 1 };

// The menu: Play, Controls, Help and Quit, and Online scores apart, over the
// title picture, with its own music and the scrolling promotional line.
// Returns kMenuPlay or kMenuQuit.
// Enter plays, Escape quits, C, H and O open the controls, help and online
// scores screens.
int RunMenu();
// Puts the menu on the render list (the logo words at their start positions)
// and fades it in.
void ShowMenu(MusicTrack* track);
// Fades the menu out and takes it off the render list.
void HideMenu(MusicTrack* track);
