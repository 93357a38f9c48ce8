// The music player: the MP3 stream feeding a sound output, and the game's
// track functions reading the file block by block. Sound goes to a recorder
// instead of a sound card.
#include <gtest/gtest.h>

#include <allegro.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "music/music_track.h"
#include "music/music_track_record.h"
#include "support/allegro_fixture.h"
#include "tools/audio/tracks.h"

namespace {

// Stands in for the sound card: takes as many buffers as it has credit for
// (unlimited unless a test sets it, as a card infinitely fast would), and
// keeps a summary of what was written.
class RecordingOutput : public AudioOutput {
 public:
  struct Log {
    bool started = false;
    bool stopped = false;
    int framesPerBuffer = 0;
    int rate = 0;
    int volume = -1, pan = -1, adjustedRate = 0;
    int buffersFilled = 0;
    long audibleFrames = 0;  // frames not exactly silent
    double sumSquares = 0.0;
    long frames = 0;
    bool lastBufferSilent = false;  // every sample at Allegro's silent 0x8000
    long credit = -1;               // buffers it will still take; -1 for no limit
  };
  static Log log;
  static bool refuseToStart;

  bool Start(int framesPerBuffer, int rate, int volume, int pan) override {
    if (refuseToStart) return false;
    log.started = true;
    log.framesPerBuffer = framesPerBuffer;
    log.rate = rate;
    log.volume = volume;
    log.pan = pan;
    buffer_.assign(static_cast<size_t>(framesPerBuffer) * 2, 0);
    return true;
  }
  uint16_t* NextBuffer() override { return log.stopped || log.credit == 0 ? nullptr : buffer_.data(); }
  void BufferFilled() override {
    ++log.buffersFilled;
    if (log.credit > 0) --log.credit;
    log.lastBufferSilent = true;
    for (size_t i = 0; i < buffer_.size(); i += 2) {
      int left = static_cast<int>(buffer_[i]) - 0x8000;
      int right = static_cast<int>(buffer_[i + 1]) - 0x8000;
      log.sumSquares += static_cast<double>(left) * left + static_cast<double>(right) * right;
      if (left != 0 || right != 0) {
        ++log.audibleFrames;
        log.lastBufferSilent = false;
      }
      ++log.frames;
    }
  }
  void Adjust(int volume, int pan, int rate) override {
    log.volume = volume;
    log.pan = pan;
    log.adjustedRate = rate;
  }
  int QueueDepth() const override { return 2; }
  void Stop() override { log.stopped = true; }

 private:
  std::vector<uint16_t> buffer_;
};

RecordingOutput::Log RecordingOutput::log;
bool RecordingOutput::refuseToStart = false;

std::unique_ptr<AudioOutput> MakeRecorder() { return std::make_unique<RecordingOutput>(); }

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

std::string TrackPath(const audio::TrackPlan& plan) { return kav_test::DataDir() + "/" + plan.fileName; }

class MusicPlayer : public ::testing::Test {
 protected:
  void SetUp() override {
    kav_test::InitHeadlessAllegro();
    RecordingOutput::log = RecordingOutput::Log();
    RecordingOutput::refuseToStart = false;
    SetMusicOutputFactory(&MakeRecorder);
    scratch_ = ::testing::TempDir() + "kav_music_" + ::testing::UnitTest::GetInstance()->current_test_info()->name();
  }
  void TearDown() override {
    SetMusicOutputFactory(nullptr);
    std::remove(scratch_.c_str());
  }

  // Writes `bytes` to a scratch file and returns its name.
  const char* Scratch(const std::vector<unsigned char>& bytes) {
    FILE* f = std::fopen(scratch_.c_str(), "wb");
    if (f) {
      if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), f);
      std::fclose(f);
    }
    return scratch_.c_str();
  }

  // Polls as the screens do until the track says it has finished.
  static int PollUntilFinished(MusicTrack* track, int limit) {
    int polls = 0;
    while (PollTrack(track) == 0 && polls < limit) ++polls;
    return polls;
  }

  std::string scratch_;
};

TEST_F(MusicPlayer, NullTrackIsSilentAndHarmless) {
  PlayTrack(nullptr, 65536, 255, 128);
  SetTrackVolume(nullptr, 64);
  EXPECT_NE(PollTrack(nullptr), 0);
  CloseTrack(nullptr);
  EXPECT_FALSE(RecordingOutput::log.started);
}

TEST_F(MusicPlayer, MissingEmptyAndCorruptFilesGiveNoTrack) {
  EXPECT_EQ(OpenTrack(nullptr), nullptr);
  EXPECT_EQ(OpenTrack("/nonexistent/VeVarnHolt-CopperSky.mp3"), nullptr);
  EXPECT_EQ(OpenTrack(Scratch({})), nullptr) << "empty file";
  std::vector<unsigned char> noise(100000);
  std::srand(11);
  for (unsigned char& b : noise) b = static_cast<unsigned char>(std::rand() & 0xff);
  EXPECT_EQ(OpenTrack(Scratch(noise)), nullptr) << "random bytes";
  std::string text = "KAV high scores\n";
  EXPECT_EQ(OpenTrack(Scratch(std::vector<unsigned char>(text.begin(), text.end()))), nullptr) << "short text";
  EXPECT_EQ(OpenTrack(::testing::TempDir().c_str()), nullptr) << "a folder";
  EXPECT_FALSE(RecordingOutput::log.started);
}

TEST_F(MusicPlayer, WholeTrackIsReadInFullBlocksAndPlaysToItsEnd) {
  const std::string path = TrackPath(audio::kCopperSky);
  const long size = static_cast<long>(ReadFile(path).size());
  ASSERT_GT(size, 32768);
  MusicTrack* track = OpenTrack(path.c_str());
  ASSERT_NE(track, nullptr);
  EXPECT_EQ(track->stream->BlocksReceived(), 1);
  EXPECT_EQ(track->stream->BytesReceived(), kMusicBlockSize);
  EXPECT_FALSE(track->stream->LastBlockReceived());

  PlayTrack(track, 65536, 255, 128);
  EXPECT_EQ(RecordingOutput::log.volume, 255);
  EXPECT_EQ(RecordingOutput::log.pan, 128);
  EXPECT_EQ(RecordingOutput::log.rate, 44100);
  EXPECT_EQ(PollTrack(track), 0) << "playing after the first poll";
  PollUntilFinished(track, 100000);
  EXPECT_NE(PollTrack(track), 0) << "stays finished: a track is never restarted";

  EXPECT_EQ(track->stream->BytesReceived(), size);
  EXPECT_TRUE(track->stream->LastBlockReceived());
  // Full blocks, then the remainder (an empty read when the size divides evenly).
  EXPECT_EQ(track->stream->BlocksReceived(), size / kMusicBlockSize + 1);
  double heard = static_cast<double>(RecordingOutput::log.frames) / 44100.0;
  EXPECT_NEAR(heard, audio::kCopperSky.Seconds(), 1.0) << "plus at most a little padding";
  EXPECT_TRUE(RecordingOutput::log.stopped) << "the voice is released when the track ends";
  EXPECT_TRUE(RecordingOutput::log.lastBufferSilent) << "the end is padded with Allegro's silence";
  double rms = std::sqrt(RecordingOutput::log.sumSquares / (2.0 * RecordingOutput::log.frames)) / 32768.0;
  EXPECT_GT(rms, 0.08) << "audible";
  EXPECT_LT(rms, 0.35) << "centred on Allegro's unsigned midpoint, not offset by half the range";
  CloseTrack(track);
}

TEST_F(MusicPlayer, FileShorterThanABlockIsHandedOverWholeAndNeverReadAgain) {
  std::vector<unsigned char> bytes = ReadFile(TrackPath(audio::kGlassHarbour));
  ASSERT_GT(bytes.size(), 20000u);
  bytes.resize(20000);
  MusicTrack* track = OpenTrack(Scratch(bytes));
  ASSERT_NE(track, nullptr);
  EXPECT_EQ(track->stream->BlocksReceived(), 1);
  EXPECT_EQ(track->stream->BytesReceived(), 20000);
  EXPECT_TRUE(track->stream->LastBlockReceived()) << "a short first block carries the last-block flag";
  PlayTrack(track, 65536, 255, 128);
  PollUntilFinished(track, 10000);
  EXPECT_EQ(track->stream->BlocksReceived(), 1) << "no further reads";
  EXPECT_EQ(track->stream->BytesReceived(), 20000);
  // 20000 bytes at 160 kbit/s are a second of music.
  EXPECT_NEAR(RecordingOutput::log.audibleFrames / 44100.0, 1.0, 0.15);
  CloseTrack(track);
}

TEST_F(MusicPlayer, FileOfExactlyOneBlockEndsWithAnEmptyRead) {
  std::vector<unsigned char> bytes = ReadFile(TrackPath(audio::kGlassHarbour));
  ASSERT_GT(bytes.size(), static_cast<size_t>(kMusicBlockSize));
  bytes.resize(kMusicBlockSize);
  MusicTrack* track = OpenTrack(Scratch(bytes));
  ASSERT_NE(track, nullptr);
  EXPECT_FALSE(track->stream->LastBlockReceived()) << "a full block may be followed by more";
  PlayTrack(track, 65536, 255, 128);
  PollUntilFinished(track, 10000);
  EXPECT_EQ(track->stream->BlocksReceived(), 2);
  EXPECT_EQ(track->stream->BytesReceived(), kMusicBlockSize);
  EXPECT_TRUE(track->stream->LastBlockReceived());
  CloseTrack(track);
}

TEST_F(MusicPlayer, VolumeRampKeepsCentrePanAndNormalSpeed) {
  MusicTrack* track = OpenTrack(TrackPath(audio::kGlassHarbour).c_str());
  ASSERT_NE(track, nullptr);
  PlayTrack(track, 65536, 255, 128);
  PollTrack(track);
  // The ramp runs with no waiting: hardly any sound is played meanwhile.
  RecordingOutput::log.credit = 4;
  for (int volume = 128; volume >= 1; --volume) {
    SetTrackVolume(track, volume);
    EXPECT_EQ(PollTrack(track), 0);
  }
  EXPECT_EQ(RecordingOutput::log.volume, 1);
  EXPECT_EQ(RecordingOutput::log.pan, 128);
  EXPECT_EQ(RecordingOutput::log.adjustedRate, 44100);
  CloseTrack(track);
  EXPECT_TRUE(RecordingOutput::log.stopped);
}

TEST_F(MusicPlayer, PlaybackBufferIsSizedFromTheByteLength) {
  // 65536 bytes of 16-bit stereo are 16384 frames: 0.37 s of music in each
  // buffer, which rides over the pauses of screen changes.
  MusicTrack* track = OpenTrack(TrackPath(audio::kCopperSky).c_str());
  ASSERT_NE(track, nullptr);
  PlayTrack(track, 65536, 255, 128);
  EXPECT_EQ(RecordingOutput::log.framesPerBuffer, 16384);
  CloseTrack(track);
}

TEST_F(MusicPlayer, NoSoundOutputMeansNoReadsAndAFinishedAnswer) {
  RecordingOutput::refuseToStart = true;
  MusicTrack* track = OpenTrack(TrackPath(audio::kCopperSky).c_str());
  ASSERT_NE(track, nullptr);
  PlayTrack(track, 65536, 255, 128);
  for (int i = 0; i < 50; ++i) EXPECT_NE(PollTrack(track), 0);
  SetTrackVolume(track, 100);
  EXPECT_EQ(track->stream->BlocksReceived(), 1) << "a silent track does not read its file";
  CloseTrack(track);
}

TEST_F(MusicPlayer, WithoutASoundDriverTheRealOutputStaysSilent) {
  // The headless test library has no digital sound driver: the game's own
  // output must refuse politely instead of crashing.
  SetMusicOutputFactory(nullptr);
  MusicTrack* track = OpenTrack(TrackPath(audio::kGlassHarbour).c_str());
  ASSERT_NE(track, nullptr);
  PlayTrack(track, 65536, 255, 128);
  SetTrackVolume(track, 128);
  EXPECT_NE(PollTrack(track), 0);
  CloseTrack(track);
}

TEST_F(MusicPlayer, StreamAsksForInputOnlyWhenItRunsShort) {
  std::vector<unsigned char> bytes = ReadFile(TrackPath(audio::kCopperSky));
  ASSERT_GT(bytes.size(), 4u * kMusicBlockSize);
  std::unique_ptr<Mp3Stream> stream = Mp3Stream::Create(bytes.data(), kMusicBlockSize, false, MakeRecorder());
  ASSERT_NE(stream, nullptr);
  EXPECT_EQ(stream->GetBuffer(), nullptr) << "not before it has played anything";
  ASSERT_TRUE(stream->Play(65536, 255, 128));
  // The first block holds 1.6 s; the stream plays it before asking for more.
  size_t offset = kMusicBlockSize;
  int requests = 0;
  for (int poll = 0; poll < 100; ++poll) {
    RecordingOutput::log.credit = 1;  // a card playing one buffer between polls
    if (void* buffer = stream->GetBuffer()) {
      EXPECT_EQ(stream->GetBuffer(), nullptr) << "one block lent at a time";
      size_t n = std::min<size_t>(kMusicBlockSize, bytes.size() - offset);
      std::copy(bytes.begin() + offset, bytes.begin() + offset + n, static_cast<unsigned char*>(buffer));
      stream->FreeBuffer(n == kMusicBlockSize ? -1 : static_cast<int>(n));
      offset += n;
      ++requests;
    }
    EXPECT_EQ(stream->Poll(), Mp3Stream::kPlaying);
  }
  // Each block of 32768 bytes lasts about 1.6 s: the stream does not hoard
  // the file, it asks about once per block played.
  double blockSeconds = kMusicBlockSize * 8 / 160000.0;
  double played = static_cast<double>(RecordingOutput::log.frames) / 44100.0;
  EXPECT_GT(requests, 0);
  EXPECT_LE(requests, static_cast<int>(played / blockSeconds) + 2);
  // Yet it keeps about a block of the file in hand beyond what it has
  // played, so a pause in polling never finds it waiting for the disk.
  double bytesPlayed = played * 160000 / 8;
  EXPECT_GE(stream->BytesReceived(), bytesPlayed + 0.5 * kMusicBlockSize);
}

}  // namespace
