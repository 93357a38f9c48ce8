// Where the MP3 stream sends decoded sound: a queue of fixed-size buffers of
// 16-bit stereo frames in Allegro's sample format (unsigned, 0x8000 silent).
// The game uses Allegro's audio stream; tests use a recorder.
#pragma once
#include <cstdint>

class AudioOutput {
 public:
  virtual ~AudioOutput() = default;

  // Starts playing silence; false when there is no sound device or no voice.
  virtual bool Start(int framesPerBuffer, int rate, int volume, int pan) = 0;
  // The next buffer to fill, or null while every buffer is still queued.
  virtual uint16_t* NextBuffer() = 0;
  // Hands back the buffer from NextBuffer, now filled.
  virtual void BufferFilled() = 0;
  // Volume and pan 0..255; `rate` in Hz changes the playback speed.
  virtual void Adjust(int volume, int pan, int rate) = 0;
  // How many filled buffers can stand in line before the one being filled is
  // heard: after that many buffers of silence, everything before has played.
  virtual int QueueDepth() const = 0;
  virtual void Stop() = 0;
};
