#pragma once

struct MusicTrack;

enum MenuResult { kMenuPlay = 0, kMenuQuit = 1 };

// The menu: Play, Controls, Help and Quit over the title picture, with its own
// music and the scrolling promotional line. Returns kMenuPlay or kMenuQuit.
int RunMenu();
void ShowMenu(MusicTrack* track);
void HideMenu(MusicTrack* track);
