#pragma once

// The title screen: the title music, the logo sliding in, the high-score
// table with the entry of a qualifying score; closes on a click or a key and
// saves the table. After a practice game (`lastGameEnters` false) the table
// takes no score.
void RunTitleScreen(bool lastGameEnters = true);

// The names of the title music and of the menu's.
constexpr const char* kTitleTrackFile = "VeVarnHolt-CopperSky.mp3";
constexpr const char* kMenuTrackFile = "VeVarnHolt-GlassHarbour.mp3";

// The line of the high-score table whose name the title is asking for, or -1
// (a program ending meanwhile keeps the name typed so far).
int NameEntryOnTitle();
