// Background music for the title and menu screens: one MP3 file streamed
// from disk while its screen runs. The screen owns the track between
// OpenTrack and CloseTrack and must call PollTrack every frame (and between
// fade steps) to keep the sound fed.
//
// Every function accepts a null track and then does nothing: a screen whose
// music file is missing simply runs in silence.
#pragma once

struct MusicTrack;  // heap record: the open file and its stream

// Opens the file and primes the stream with its first block. Null when the
// file is missing, empty, unreadable or not an MP3.
MusicTrack* OpenTrack(const char* fileName);

// Starts the sound; the screens pass (65536, 255, 128). Silently plays nothing
// when there is no sound device.
void PlayTrack(MusicTrack* track, int bufferLength, int volume, int pan);

// Volume 0..255, centre pan, normal speed: the screens ramp it down on leaving.
void SetTrackVolume(MusicTrack* track, int volume);

// Reads the next block of the file when the stream asks for one, then keeps
// the sound output fed. 0 while playing, non-zero once the track has ended
// (a track plays once) or when it cannot be heard at all.
int PollTrack(MusicTrack* track);

// One last poll, then closes the file, stops the sound and frees the record.
void CloseTrack(MusicTrack* track);

// The player's music volume, 0 (silent) to 8 (full): scales every volume a
// screen asks for, on the tracks playing now and those opened later.
void SetMusicLevel(int level);
