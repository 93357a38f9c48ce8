#include "music/allegro_audio_output.h"

#include <allegro.h>

bool AllegroAudioOutput::Start(int framesPerBuffer, int rate, int volume, int pan) {
  Stop();
  if (!digi_driver || digi_driver->id == DIGI_NONE) return false;
  stream_ = play_audio_stream(framesPerBuffer, 16, TRUE, rate, volume, pan);
  return stream_ != nullptr;
}

uint16_t* AllegroAudioOutput::NextBuffer() {
  if (!stream_) return nullptr;
  return static_cast<uint16_t*>(get_audio_stream_buffer(stream_));
}

void AllegroAudioOutput::BufferFilled() {
  if (stream_) free_audio_stream_buffer(stream_);
}

void AllegroAudioOutput::Adjust(int volume, int pan, int rate) {
  if (!stream_) return;
  voice_set_volume(stream_->voice, volume);
  voice_set_pan(stream_->voice, pan);
  voice_set_frequency(stream_->voice, rate);
}

int AllegroAudioOutput::QueueDepth() const {
  // The stream's sample is two halves of `bufcount` buffers each.
  return stream_ ? 2 * stream_->bufcount : 0;
}

void AllegroAudioOutput::Stop() {
  if (stream_) stop_audio_stream(stream_);
  stream_ = nullptr;
}
