#pragma once

struct MusicTrack;

// The story over the help picture, with five landers materialising; returns
// on a click or a key.
void RunHelp(MusicTrack* track);
