#pragma once

struct MusicTrack;

// Lists the six game actions with their keys and lets the player assign new
// keys for the rest of the run: click the red box beside an action, then
// press the key. Escape, or the Quit button, goes back to the menu; Escape
// can never be assigned. `track` is the menu's music, which plays on.
void RunControlsScreen(MusicTrack* track);

// Ids of the six key boxes: 100 + the action's entry in the control table.
constexpr int kKeyBoxFirstId = 100;
