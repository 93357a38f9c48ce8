#include "screens/track_ramp.h"

#include "music/music_track.h"

void RampDownAndCloseTrack(MusicTrack* track) {
  for (int volume = 128; volume >= 1; --volume) {
    SetTrackVolume(track, volume);
    PollTrack(track);
  }
  CloseTrack(track);
}
