#include "music/music_track.h"

#include <allegro.h>

#include <new>

#include "music/music_track_record.h"

namespace {

MusicOutputFactory outputFactory = nullptr;

// Reads up to one block; a read error counts as the end of the file.
int ReadBlock(PACKFILE* file, void* buffer) {
  long got = pack_fread(buffer, kMusicBlockSize, file);
  return got > 0 ? static_cast<int>(got) : 0;
}

void Discard(MusicTrack* track) {
  if (track->file) pack_fclose(track->file);
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
  return track;
}

void PlayTrack(MusicTrack* track, int bufferLength, int volume, int pan) {
  if (track) track->stream->Play(bufferLength, volume, pan);
}

void SetTrackVolume(MusicTrack* track, int volume) {
  if (track) track->stream->Adjust(volume, 128, 1000);
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
  delete track;
}
