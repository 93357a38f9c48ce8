#include "music/music_track.h"

#include <allegro.h>

#include <new>

#include "music/music_track_record.h"

namespace {

MusicOutputFactory outputFactory = nullptr;

constexpr int kFullLevel = 8;
int musicLevel = kFullLevel;
// The tracks open now (a screen has at most one), so that a change of the
// music volume reaches them at once.
MusicTrack* openTracks[4] = {};

int Scaled(int volume) { return volume * musicLevel / kFullLevel; }

void Register(MusicTrack* track) {
  for (MusicTrack*& slot : openTracks)
    if (!slot) {
      slot = track;
      return;
    }
}

void Unregister(MusicTrack* track) {
  for (MusicTrack*& slot : openTracks)
    if (slot == track) slot = nullptr;
}

// Reads up to one block; a read error counts as the end of the file.
int ReadBlock(PACKFILE* file, void* buffer) {
  long got = pack_fread(buffer, kMusicBlockSize, file);
  return got > 0 ? static_cast<int>(got) : 0;
}

void Discard(MusicTrack* track) {
  if (track->file) pack_fclose(track->file);
  Unregister(track);
  delete track;
}

}  // namespace

void SetMusicOutputFactory(MusicOutputFactory factory) { outputFactory = factory; }

MusicTrack* OpenTrack(const char* fileName) {
  if (!fileName) return nullptr;
  MusicTrack* track = new (std::nothrow) MusicTrack;
  if (!track) return nullptr;
  track->file = pack_fopen(fileName, "r");
  if (!track->file) {
    Discard(track);
    return nullptr;
  }
  // The stream copies the block, so one buffer serves every track.
  static unsigned char firstBlock[kMusicBlockSize];
  int got = ReadBlock(track->file, firstBlock);
  if (got > 0) {
    // A block shorter than a full one is the whole file: no more reads follow.
    bool whole = got < kMusicBlockSize;
    track->stream = Mp3Stream::Create(firstBlock, got, whole, outputFactory ? outputFactory() : nullptr);
  }
  if (!track->stream) {
    Discard(track);
    return nullptr;
  }
  Register(track);
  return track;
}

void PlayTrack(MusicTrack* track, int bufferLength, int volume, int pan) {
  if (!track) return;
  track->volume = volume;
  track->stream->Play(bufferLength, Scaled(volume), pan);
}

void SetTrackVolume(MusicTrack* track, int volume) {
  if (!track) return;
  track->volume = volume;
  track->stream->Adjust(Scaled(volume), 128, 1000);
}

void SetMusicLevel(int level) {
  musicLevel = level < 0 ? 0 : level > kFullLevel ? kFullLevel : level;
  for (MusicTrack* track : openTracks)
    if (track) track->stream->Adjust(Scaled(track->volume), 128, 1000);
}

int PollTrack(MusicTrack* track) {
  if (!track) return Mp3Stream::kNotPlaying;
  if (void* buffer = track->stream->GetBuffer()) {
    int got = ReadBlock(track->file, buffer);
    track->stream->FreeBuffer(got == kMusicBlockSize ? -1 : got);
  }
  return track->stream->Poll();
}

void CloseTrack(MusicTrack* track) {
  if (!track) return;
  PollTrack(track);
  pack_fclose(track->file);
  track->file = nullptr;
  track->stream.reset();
  Unregister(track);
  delete track;
}
