#include "music/mp3_stream.h"

#include <algorithm>

#include "music/allegro_audio_output.h"

std::unique_ptr<Mp3Stream> Mp3Stream::Create(const void* firstBlock, int length, bool lastBlock,
                                             std::unique_ptr<AudioOutput> output) {
  if (!firstBlock || length <= 0) return nullptr;
  if (!output) output = std::make_unique<AllegroAudioOutput>();
  std::unique_ptr<Mp3Stream> stream(new Mp3Stream(length, std::move(output)));
  if (!stream->decoder_.Ready()) return nullptr;
  stream->Receive(firstBlock, length, lastBlock);
  // The first block must hold the first frame: a file that does not start
  // like an MP3 within it is refused rather than played as noise.
  if (!stream->decoder_.ProbeFormat()) return nullptr;
  stream->rate_ = stream->decoder_.Rate();
  return stream;
}

Mp3Stream::Mp3Stream(int blockSize, std::unique_ptr<AudioOutput> output)
    : output_(std::move(output)), block_(static_cast<std::size_t>(blockSize)) {}

Mp3Stream::~Mp3Stream() { output_->Stop(); }

void Mp3Stream::Receive(const void* data, int bytes, bool last) {
  if (bytes > 0) {
    decoder_.Feed(data, static_cast<std::size_t>(bytes));
    bytesReceived_ += bytes;
  }
  ++blocksReceived_;
  if (last) decoder_.EndOfInput();
  wantInput_ = false;
}

bool Mp3Stream::Play(int bufferLength, int volume, int pan) {
  if (playing_ || finished_) return playing_;
  // Two bytes a sample, two samples a frame: the screens' 65536 bytes are
  // 16384 frames, 0.37 s at 44.1 kHz. Allegro's stream holds two such
  // buffers and offers one for refilling as soon as it has been played, so
  // at least 0.37 s of music is always queued. That rides over the longest
  // pauses in polling (a fade's eight full-screen blends, building a screen,
  // a frame-paced loop catching up) with room to spare.
  int frames = std::max(bufferLength / 4, 1024);
  staging_.assign(static_cast<std::size_t>(frames) * 2, 0);
  stagingFrames_ = 0;
  playing_ = output_->Start(frames, rate_, volume, pan);
  return playing_;
}

void Mp3Stream::Adjust(int volume, int pan, int speed) {
  if (!playing_) return;
  output_->Adjust(volume, pan, static_cast<int>(static_cast<long>(rate_) * speed / 1000));
}

void* Mp3Stream::GetBuffer() {
  if (blockLent_ || !wantInput_ || decoder_.InputEnded()) return nullptr;
  blockLent_ = true;
  return block_.data();
}

void Mp3Stream::FreeBuffer(int bytesUsed) {
  if (!blockLent_) return;
  blockLent_ = false;
  bool full = bytesUsed < 0 || bytesUsed >= BlockSize();
  Receive(block_.data(), full ? BlockSize() : bytesUsed, !full);
}

void Mp3Stream::FillStaging() {
  const std::size_t capacity = staging_.size() / 2;
  while (!decodeDone_ && stagingFrames_ < capacity) {
    std::size_t frames = 0;
    Mp3Decoder::Status status = decoder_.Decode(&staging_[stagingFrames_ * 2], capacity - stagingFrames_, &frames);
    stagingFrames_ += frames;
    if (status == Mp3Decoder::kNeedMore) {
      wantInput_ = true;
      return;
    }
    // A damaged file ends the track where the damage starts.
    if (status == Mp3Decoder::kFinished || status == Mp3Decoder::kError) decodeDone_ = true;
  }
}

// Moves the staged frames (padded with silence at the end of the track) into
// the output's next free buffer. False when the output has no free buffer.
bool Mp3Stream::SendStaging() {
  uint16_t* out = output_->NextBuffer();
  if (!out) return false;
  const std::size_t samples = staging_.size();
  const std::size_t used = stagingFrames_ * 2;
  // Allegro's 16-bit samples are unsigned: flipping the top bit converts.
  for (std::size_t i = 0; i < used; ++i) out[i] = static_cast<uint16_t>(staging_[i]) ^ 0x8000u;
  std::fill(out + used, out + samples, static_cast<uint16_t>(0x8000));
  output_->BufferFilled();
  if (used == 0) ++silentBuffersSent_;
  stagingFrames_ = 0;
  return true;
}

int Mp3Stream::Poll() {
  if (finished_) return kFinished;
  if (!playing_) return kNotPlaying;
  const std::size_t capacity = staging_.size() / 2;
  // Keep a block of the file in hand: a screen that stops polling for a
  // while then only has to ride on the sound already queued, never wait for
  // the disk.
  if (!decoder_.InputEnded() && decoder_.PendingInput() < BlockSize()) wantInput_ = true;
  for (;;) {
    FillStaging();
    bool ready = stagingFrames_ == capacity || decodeDone_;
    if (!ready || !SendStaging()) break;
    // Once a whole queue of silence has followed the last sound, the last
    // sound has been heard: the track is over and its voice is released.
    if (decodeDone_ && silentBuffersSent_ >= output_->QueueDepth()) {
      output_->Stop();
      playing_ = false;
      finished_ = true;
      return kFinished;
    }
  }
  return kPlaying;
}
