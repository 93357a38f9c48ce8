#include "music_recorder.h"

#include <cstdint>
#include <cstdlib>
#include <memory>

#include "engine/clock.h"
#include "music/audio_output.h"
#include "music/music_track_record.h"

namespace {

MusicRecord record;

class RecordingOutput : public AudioOutput {
 public:
  bool Start(int framesPerBuffer, int rate, int volume, int pan) override {
    buffer_.assign(static_cast<std::size_t>(framesPerBuffer) * 2, 0x8000);
    bufferMs_ = rate > 0 ? framesPerBuffer * 1000L / rate : 1000;
    startTick_ = TickNow();
    ++record.starts;
    record.startVolume = volume;
    record.startPan = pan;
    return true;
  }
  // Like a sound card, it takes a buffer only when one has finished playing
  // by the (test's) clock, beyond the two that stand in line.
  uint16_t* NextBuffer() override {
    const long played = (TickNow() - startTick_) * 100L / bufferMs_;
    return filled_ < played + QueueDepth() ? buffer_.data() : nullptr;
  }
  void BufferFilled() override {
    ++filled_;
    ++record.buffers;
    for (uint16_t sample : buffer_)
      if (std::abs(static_cast<int>(sample) - 0x8000) > 64) ++record.loudSamples;
  }
  void Adjust(int volume, int, int) override { record.volumes.push_back(volume); }
  int QueueDepth() const override { return 2; }
  void Stop() override {
    if (!stopped_) ++record.stops;
    stopped_ = true;
  }

 private:
  std::vector<uint16_t> buffer_;
  long bufferMs_ = 1000;
  int startTick_ = 0;
  long filled_ = 0;
  bool stopped_ = false;
};

std::unique_ptr<AudioOutput> MakeRecordingOutput() { return std::make_unique<RecordingOutput>(); }

}  // namespace

MusicRecorder::MusicRecorder() {
  record = MusicRecord();
  SetMusicOutputFactory(MakeRecordingOutput);
}

MusicRecorder::~MusicRecorder() { SetMusicOutputFactory(nullptr); }

const MusicRecord& MusicRecorder::Record() const { return record; }
