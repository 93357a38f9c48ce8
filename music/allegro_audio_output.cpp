#include "music/allegro_audio_output.h"

#include <allegro.h>

#include <chrono>
#include <thread>

namespace {
constexpr int kVolumeGlideMs = 25;
}

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
  // Glide to the new volume over a few milliseconds: a jump in volume is
  // heard as a click.
  voice_ramp_volume(stream_->voice, kVolumeGlideMs, volume);
  voice_set_pan(stream_->voice, pan);
  voice_set_frequency(stream_->voice, rate);
}

int AllegroAudioOutput::QueueDepth() const {
  // The stream's sample is two halves of `bufcount` buffers each.
  return stream_ ? 2 * stream_->bufcount : 0;
}

void AllegroAudioOutput::Stop() {
  if (!stream_) return;
  // Cutting a sounding voice dead clicks. The screens ramp the volume down
  // before closing, but in a blink, before the mixer has played any of it,
  // so the voice is faded out here (waiting at most 100 ms).
  const int voice = stream_->voice;
  if (voice_get_volume(voice) > 0) {
    voice_ramp_volume(voice, kVolumeGlideMs, 0);
    for (int waited = 0; waited < 100 && voice_get_volume(voice) > 0; waited += 5)
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  stop_audio_stream(stream_);
  stream_ = nullptr;
}
