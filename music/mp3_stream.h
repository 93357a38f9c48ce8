// A streamed MP3 track: the caller reads the file block by block and hands the
// blocks over when asked; the stream decodes them and keeps a sound output
// fed. Everything runs on the caller's thread, in Poll.
//
// Life of a stream: Create (with the first block) -> Play -> repeatedly
// { GetBuffer / FreeBuffer when it wants input; Poll } -> delete.
#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "music/audio_output.h"
#include "music/mp3_decoder.h"

class Mp3Stream {
 public:
  enum PollResult { kPlaying = 0, kFinished = 1, kNotPlaying = -1 };

  // Takes a copy of the first `length` bytes of the file; every later block is
  // requested with the same size. `lastBlock` says the whole file is in it.
  // Returns null when the block holds no recognisable MP3 frame. `output` is
  // where sound goes (Allegro's audio stream when null).
  static std::unique_ptr<Mp3Stream> Create(const void* firstBlock, int length, bool lastBlock,
                                           std::unique_ptr<AudioOutput> output = nullptr);
  ~Mp3Stream();

  // Starts the sound. `bufferLength` is the size in bytes of each transfer
  // buffer of 16-bit stereo sound; volume and pan 0..255. False when no sound
  // can be played (no driver, no free voice): the stream then stays silent.
  bool Play(int bufferLength, int volume, int pan);
  // `speed` in thousandths of normal (1000 plays as recorded).
  void Adjust(int volume, int pan, int speed);

  // A buffer of BlockSize() bytes to fill with the next bytes of the file, or
  // null when no input is wanted now (or ever again).
  void* GetBuffer();
  // Returns the buffer from GetBuffer with `bytesUsed` bytes in it; -1 means a
  // full block. Anything less than a full block marks the end of the file.
  void FreeBuffer(int bytesUsed);

  // Decodes what was fed and tops up the sound output. kPlaying while the
  // track is being heard, kFinished once its last sound has played (it is
  // never restarted), kNotPlaying before Play or when there is no sound.
  int Poll();

  int BlockSize() const { return static_cast<int>(block_.size()); }
  // What the stream has been given so far, for tests and diagnostics.
  long BytesReceived() const { return bytesReceived_; }
  int BlocksReceived() const { return blocksReceived_; }
  bool LastBlockReceived() const { return decoder_.InputEnded(); }

 private:
  Mp3Stream(int blockSize, std::unique_ptr<AudioOutput> output);
  void Receive(const void* data, int bytes, bool last);
  void FillStaging();
  bool SendStaging();

  Mp3Decoder decoder_;
  std::unique_ptr<AudioOutput> output_;
  std::vector<unsigned char> block_;      // the input buffer lent by GetBuffer
  std::vector<int16_t> staging_;          // one output buffer of decoded frames
  std::size_t stagingFrames_ = 0;         // frames decoded into staging_
  long bytesReceived_ = 0;
  int blocksReceived_ = 0;
  bool blockLent_ = false;
  bool wantInput_ = false;
  bool playing_ = false;
  bool finished_ = false;
  bool decodeDone_ = false;
  int silentBuffersSent_ = 0;
  int rate_ = 0;
};
