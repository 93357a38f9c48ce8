// Leaving a screen that plays music: the volume drops to half at once and
// ramps down to silence, then the track is closed.
#pragma once

struct MusicTrack;

void RampDownAndCloseTrack(MusicTrack* track);
