// Turns MP3 bytes, handed over in pieces as they are read from disk, into
// interleaved signed 16-bit stereo PCM. Knows nothing of files or sound
// hardware, so it runs in headless tests.
#pragma once
#include <cstddef>
#include <cstdint>

struct mpg123_handle_struct;

class Mp3Decoder {
 public:
  enum Status {
    kAudio,     // some frames were decoded
    kNeedMore,  // everything fed so far is decoded; more input is wanted
    kFinished,  // the input has ended and everything in it is decoded
    kError      // the data is not MP3 or is damaged beyond recovery
  };

  Mp3Decoder();
  ~Mp3Decoder();
  Mp3Decoder(const Mp3Decoder&) = delete;
  Mp3Decoder& operator=(const Mp3Decoder&) = delete;

  // False when the decoding library could not be set up.
  bool Ready() const { return handle_ != nullptr; }

  // Queues MP3 bytes; the decoder keeps its own copy.
  void Feed(const void* data, std::size_t bytes);
  // No more bytes will be fed: once they are used up, Decode reports kFinished.
  void EndOfInput() { inputEnded_ = true; }
  bool InputEnded() const { return inputEnded_; }

  // Decodes up to `maxFrames` stereo frames into `out`; *frames tells how
  // many were written (possibly 0 with kNeedMore or kFinished).
  Status Decode(int16_t* out, std::size_t maxFrames, std::size_t* frames);

  // Finds the stream's format in what was fed so far without using up any
  // audio. True once the first frame has been recognised.
  bool ProbeFormat();

  // Bytes fed but not yet parsed into frames.
  long PendingInput() const;

  // Sample rate in Hz; 0 until the first frame has been recognised.
  int Rate() const { return rate_; }

 private:
  mpg123_handle_struct* handle_ = nullptr;
  bool inputEnded_ = false;
  bool failed_ = false;
  int rate_ = 0;
  long fed_ = 0;
};
