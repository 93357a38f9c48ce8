#include "music/mp3_decoder.h"

#include <mpg123.h>

namespace {

// mpg123_init is a no-op on current versions and required on old ones.
bool LibraryReady() {
  static const bool ready = mpg123_init() == MPG123_OK;
  return ready;
}

}  // namespace

Mp3Decoder::Mp3Decoder() {
  if (!LibraryReady()) return;
  int err = MPG123_OK;
  mpg123_handle* mh = mpg123_new(nullptr, &err);
  if (!mh) return;
  // One output format whatever the file holds: the sound layer then deals
  // with a single layout. Mono files come out with both channels equal.
  mpg123_param(mh, MPG123_FLAGS, MPG123_QUIET | MPG123_GAPLESS | MPG123_FORCE_STEREO, 0.0);
  mpg123_format_none(mh);
  const long* rates = nullptr;
  size_t rateCount = 0;
  mpg123_rates(&rates, &rateCount);
  for (size_t i = 0; i < rateCount; ++i) mpg123_format(mh, rates[i], MPG123_STEREO, MPG123_ENC_SIGNED_16);
  if (mpg123_open_feed(mh) != MPG123_OK) {
    mpg123_delete(mh);
    return;
  }
  handle_ = mh;
}

Mp3Decoder::~Mp3Decoder() {
  if (handle_) {
    mpg123_close(handle_);
    mpg123_delete(handle_);
  }
}

void Mp3Decoder::Feed(const void* data, std::size_t bytes) {
  if (!handle_ || failed_ || bytes == 0) return;
  if (mpg123_feed(handle_, static_cast<const unsigned char*>(data), bytes) != MPG123_OK) failed_ = true;
  fed_ += static_cast<long>(bytes);
}

long Mp3Decoder::PendingInput() const {
  if (!handle_) return 0;
  off_t parsed = mpg123_tell_stream(handle_);
  if (parsed < 0) parsed = 0;
  return fed_ > parsed ? fed_ - static_cast<long>(parsed) : 0;
}

bool Mp3Decoder::ProbeFormat() {
  if (rate_ > 0) return true;
  if (!handle_ || failed_) return false;
  long rate = 0;
  int channels = 0, encoding = 0;
  // Reads frame headers only; nothing decoded is lost.
  if (mpg123_getformat(handle_, &rate, &channels, &encoding) == MPG123_OK && rate > 0) rate_ = static_cast<int>(rate);
  return rate_ > 0;
}

Mp3Decoder::Status Mp3Decoder::Decode(int16_t* out, std::size_t maxFrames, std::size_t* frames) {
  *frames = 0;
  if (!handle_ || failed_) return kError;
  size_t bytes = 0;
  int result = mpg123_read(handle_, reinterpret_cast<unsigned char*>(out), maxFrames * 4, &bytes);
  *frames = bytes / 4;
  if (result == MPG123_NEW_FORMAT) {
    ProbeFormat();
    return kAudio;
  }
  if (result == MPG123_OK) return kAudio;
  if (result == MPG123_NEED_MORE || result == MPG123_DONE) {
    if (*frames > 0) return kAudio;
    return inputEnded_ || result == MPG123_DONE ? kFinished : kNeedMore;
  }
  failed_ = true;
  return *frames > 0 ? kAudio : kError;
}
