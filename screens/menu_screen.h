#pragma once

struct MusicTrack;

enum MenuResult { kMenuPlay = 0, kMenuQuit = 1, kMenuPractice = 2 };

// The menu: Play, Controls, Help and Quit, and Online scores and Practice
// apart, over the title picture, with its own music and the scrolling
// promotional line. Returns kMenuPlay, kMenuQuit or kMenuPractice (with the
// wave chosen on the Practice screen in `practiceWave`, when given).
// Enter plays, Escape quits, C, H, O and P open the controls, help, online
// scores and practice screens.
int RunMenu(int* practiceWave = nullptr);
// Puts the menu on the render list (the logo words at their start positions)
// and fades it in.
void ShowMenu(MusicTrack* track);
// Fades the menu out and takes it off the render list.
void HideMenu(MusicTrack* track);
