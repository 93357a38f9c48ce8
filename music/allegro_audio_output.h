// The game's sound output for music: one Allegro AUDIOSTREAM.
#pragma once
#include "music/audio_output.h"

struct AUDIOSTREAM;

class AllegroAudioOutput : public AudioOutput {
 public:
  ~AllegroAudioOutput() override { Stop(); }

  // Fails, without touching the sound system, when no digital sound driver
  // is installed: the music then stays silent.
  bool Start(int framesPerBuffer, int rate, int volume, int pan) override;
  uint16_t* NextBuffer() override;
  void BufferFilled() override;
  void Adjust(int volume, int pan, int rate) override;
  int QueueDepth() const override;
  void Stop() override;

 private:
  AUDIOSTREAM* stream_ = nullptr;
};
