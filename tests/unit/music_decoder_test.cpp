// The MP3 decoder behind the music player, on the game's generated tracks and
// on files that are not MP3 at all.
#include <gtest/gtest.h>

#include <ostream>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "music/mp3_decoder.h"
#include "support/allegro_fixture.h"
#include "tools/audio/tracks.h"

namespace audio {
// Names the track in test listings instead of dumping its bytes.
void PrintTo(const TrackPlan& plan, std::ostream* out) { *out << plan.fileName; }
}  // namespace audio

namespace {

std::vector<unsigned char> ReadFile(const std::string& path) {
  std::vector<unsigned char> bytes;
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return bytes;
  unsigned char chunk[65536];
  size_t n;
  while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) bytes.insert(bytes.end(), chunk, chunk + n);
  std::fclose(f);
  return bytes;
}

struct Decoded {
  long frames = 0;
  double sumSquares = 0.0;
  int peak = 0;
  int rate = 0;
  Mp3Decoder::Status last = Mp3Decoder::kAudio;
};

// Feeds `bytes` in blocks of `blockSize` only when the decoder asks for more,
// as the player does, and decodes everything.
Decoded DecodeAll(const std::vector<unsigned char>& bytes, size_t blockSize) {
  Decoded result;
  Mp3Decoder decoder;
  size_t fed = 0;
  std::vector<int16_t> pcm(4096 * 2);
  for (int guard = 0; guard < 1000000; ++guard) {
    size_t frames = 0;
    Mp3Decoder::Status status = decoder.Decode(pcm.data(), 4096, &frames);
    for (size_t i = 0; i < frames * 2; ++i) {
      result.sumSquares += static_cast<double>(pcm[i]) * pcm[i];
      result.peak = std::max(result.peak, std::abs(static_cast<int>(pcm[i])));
    }
    result.frames += static_cast<long>(frames);
    result.last = status;
    if (status == Mp3Decoder::kNeedMore) {
      size_t n = std::min(blockSize, bytes.size() - fed);
      decoder.Feed(bytes.data() + fed, n);
      fed += n;
      if (fed == bytes.size()) decoder.EndOfInput();
    } else if (status == Mp3Decoder::kFinished || status == Mp3Decoder::kError) {
      break;
    }
  }
  result.rate = decoder.Rate();
  return result;
}

class GeneratedTrack : public ::testing::TestWithParam<audio::TrackPlan> {};

TEST_P(GeneratedTrack, DecodesToItsFullComposedLengthInBlocks) {
  const audio::TrackPlan plan = GetParam();
  std::vector<unsigned char> bytes = ReadFile(kav_test::DataDir() + "/" + plan.fileName);
  ASSERT_GT(bytes.size(), 100000u) << plan.fileName << " missing from " << kav_test::DataDir();
  Decoded d = DecodeAll(bytes, 32768);
  EXPECT_EQ(d.last, Mp3Decoder::kFinished);
  ASSERT_EQ(d.rate, 44100);
  double seconds = static_cast<double>(d.frames) / d.rate;
  EXPECT_NEAR(seconds, plan.Seconds(), plan.Seconds() * 0.02);
  EXPECT_GE(seconds, 90.0) << "a track lasts at least a minute and a half";
}

TEST_P(GeneratedTrack, HoldsMusicAtAHealthyLevelWithoutClipping) {
  const audio::TrackPlan plan = GetParam();
  std::vector<unsigned char> bytes = ReadFile(kav_test::DataDir() + "/" + plan.fileName);
  ASSERT_FALSE(bytes.empty());
  Decoded d = DecodeAll(bytes, 32768);
  ASSERT_GT(d.frames, 0);
  double rms = std::sqrt(d.sumSquares / (2.0 * d.frames)) / 32768.0;
  EXPECT_GT(rms, 0.08) << "too quiet to be heard over the menu";
  EXPECT_LT(rms, 0.35) << "mixed too hot";
  EXPECT_LT(d.peak, 32767) << "the mix clips";
}

TEST_P(GeneratedTrack, DecodesTheSameWhateverTheBlockSize) {
  const audio::TrackPlan plan = GetParam();
  std::vector<unsigned char> bytes = ReadFile(kav_test::DataDir() + "/" + plan.fileName);
  ASSERT_FALSE(bytes.empty());
  Decoded whole = DecodeAll(bytes, bytes.size());
  Decoded dribbled = DecodeAll(bytes, 1000);
  EXPECT_EQ(whole.frames, dribbled.frames);
  EXPECT_DOUBLE_EQ(whole.sumSquares, dribbled.sumSquares);
}

INSTANTIATE_TEST_SUITE_P(BothTracks, GeneratedTrack, ::testing::Values(audio::kCopperSky, audio::kGlassHarbour),
                         [](const ::testing::TestParamInfo<audio::TrackPlan>& info) {
                           return std::string(info.param.bpm > 100 ? "CopperSky" : "GlassHarbour");
                         });

TEST(Mp3DecoderInput, TheFirstBlockOfATrackRevealsItsFormat) {
  std::vector<unsigned char> bytes = ReadFile(kav_test::DataDir() + "/" + audio::kCopperSky.fileName);
  ASSERT_GT(bytes.size(), 32768u);
  Mp3Decoder decoder;
  EXPECT_FALSE(decoder.ProbeFormat()) << "nothing fed yet";
  decoder.Feed(bytes.data(), 32768);
  EXPECT_TRUE(decoder.ProbeFormat());
  EXPECT_EQ(decoder.Rate(), 44100);
}

TEST(Mp3DecoderInput, CountsInputNotYetParsed) {
  std::vector<unsigned char> bytes = ReadFile(kav_test::DataDir() + "/" + audio::kCopperSky.fileName);
  ASSERT_GT(bytes.size(), 3u * 32768);
  Mp3Decoder decoder;
  decoder.Feed(bytes.data(), 3 * 32768);
  EXPECT_EQ(decoder.PendingInput(), 3 * 32768);
  std::vector<int16_t> pcm(44100 * 2);
  size_t frames = 0;
  long decoded = 0;
  while (decoded < 44100) {  // a second of music is about 20000 bytes
    ASSERT_EQ(decoder.Decode(pcm.data(), 4096, &frames), Mp3Decoder::kAudio);
    decoded += static_cast<long>(frames);
  }
  EXPECT_NEAR(decoder.PendingInput(), 3 * 32768 - 20000, 2000);
}

TEST(Mp3DecoderInput, RandomBytesAreNotTakenForAnMp3) {
  std::vector<unsigned char> noise(100000);
  std::srand(7);
  for (unsigned char& b : noise) b = static_cast<unsigned char>(std::rand() & 0xff);
  Mp3Decoder decoder;
  decoder.Feed(noise.data(), 32768);
  EXPECT_FALSE(decoder.ProbeFormat());
}

TEST(Mp3DecoderInput, TextIsNotTakenForAnMp3) {
  const std::string text = "This is a high-score table, not a piece of music.\n";
  std::string many;
  for (int i = 0; i < 200; ++i) many += text;
  Mp3Decoder decoder;
  decoder.Feed(many.data(), many.size());
  decoder.EndOfInput();
  EXPECT_FALSE(decoder.ProbeFormat());
  int16_t pcm[2048];
  size_t frames = 1;
  Mp3Decoder::Status status = decoder.Decode(pcm, 1024, &frames);
  EXPECT_EQ(frames, 0u);
  EXPECT_TRUE(status == Mp3Decoder::kFinished || status == Mp3Decoder::kError);
}

TEST(Mp3DecoderInput, ATruncatedTrackDecodesWhatIsThereAndEnds) {
  std::vector<unsigned char> bytes = ReadFile(kav_test::DataDir() + "/" + audio::kGlassHarbour.fileName);
  ASSERT_GT(bytes.size(), 50000u);
  bytes.resize(50000);  // cut in the middle of a frame
  Decoded d = DecodeAll(bytes, 32768);
  EXPECT_EQ(d.last, Mp3Decoder::kFinished);
  // 50000 bytes at 160 kbit/s hold about 2.5 s.
  EXPECT_NEAR(static_cast<double>(d.frames) / 44100.0, 50000 * 8 / 160000.0, 0.2);
}

TEST(Mp3DecoderInput, NothingFedAndEndedFinishesWithoutAudio) {
  Mp3Decoder decoder;
  ASSERT_TRUE(decoder.Ready());
  decoder.EndOfInput();
  int16_t pcm[64];
  size_t frames = 1;
  EXPECT_EQ(decoder.Decode(pcm, 32, &frames), Mp3Decoder::kFinished);
  EXPECT_EQ(frames, 0u);
  EXPECT_EQ(decoder.Rate(), 0);
}

}  // namespace
