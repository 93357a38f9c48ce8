#pragma once

struct MusicTrack;

// Lists the six game actions with their keys and lets the player assign new
// keys for the rest of the run.
void RunControlsScreen(MusicTrack* track);
