// The record behind a MusicTrack handle, and where its sound goes. Screens
// use only music_track.h; tests look inside to see what was read.
#pragma once
#include <memory>

#include "music/audio_output.h"
#include "music/mp3_stream.h"

struct PACKFILE;

struct MusicTrack {
  PACKFILE* file = nullptr;
  std::unique_ptr<Mp3Stream> stream;
  // The volume the screen asked for, before the player's music volume.
  int volume = 255;
};

// Blocks of the file handed to the stream, in bytes.
constexpr int kMusicBlockSize = 32768;

// Makes the sound output of each track opened from now on; null restores the
// default (Allegro's audio stream). Tests install a recorder here.
using MusicOutputFactory = std::unique_ptr<AudioOutput> (*)();
void SetMusicOutputFactory(MusicOutputFactory factory);
