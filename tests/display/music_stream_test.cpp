// The music player against Allegro's real sound system under Xvfb. Which
// digital driver the machine offers decides what is expected: with a real
// one the track streams in step with the clock, with none it stays silent.
#include <gtest/gtest.h>

#include <allegro.h>

#include <string>

#include "music/allegro_audio_output.h"
#include "music/music_track.h"
#include "music/music_track_record.h"
#include "support/allegro_fixture.h"
#include "tools/audio/tracks.h"

namespace {

bool HaveDigitalSound() { return digi_driver && digi_driver->id != DIGI_NONE; }

std::string TrackPath(const audio::TrackPlan& plan) { return kav_test::DataDir() + "/" + plan.fileName; }

TEST(MusicOnTheSoundSystem, OutputStartsOnlyWithARealDriver) {
  AllegroAudioOutput output;
  bool started = output.Start(16384, 44100, 255, 128);
  EXPECT_EQ(started, HaveDigitalSound());
  if (started) {
    EXPECT_GE(output.QueueDepth(), 2);
    output.Adjust(128, 128, 44100);
  } else {
    EXPECT_EQ(output.NextBuffer(), nullptr);
    EXPECT_EQ(output.QueueDepth(), 0);
  }
  output.Stop();
  output.Stop();  // stopping twice is harmless
}

TEST(MusicOnTheSoundSystem, TrackStreamsInStepWithTheClockOrStaysSilent) {
  MusicTrack* track = OpenTrack(TrackPath(audio::kGlassHarbour).c_str());
  ASSERT_NE(track, nullptr) << "generated track missing from " << kav_test::DataDir();
  PlayTrack(track, 65536, 255, 128);
  // Two seconds of screen frames.
  int playingPolls = 0;
  for (int frame = 0; frame < 100; ++frame) {
    if (PollTrack(track) == 0) ++playingPolls;
    rest(20);
  }
  if (HaveDigitalSound()) {
    EXPECT_EQ(playingPolls, 100) << "the track plays through";
    // Two seconds of 160 kbit/s music are 40000 bytes; the stream reads
    // ahead by a few blocks at most, never the whole file.
    EXPECT_LE(track->stream->BlocksReceived(), 6);
  } else {
    EXPECT_EQ(playingPolls, 0) << "without a sound driver the track reports it is not playing";
    EXPECT_EQ(track->stream->BlocksReceived(), 1) << "and reads nothing more";
  }
  for (int volume = 128; volume >= 1; --volume) {
    SetTrackVolume(track, volume);
    PollTrack(track);
  }
  CloseTrack(track);
}

TEST(MusicOnTheSoundSystem, MissingTrackLeavesTheSoundSystemUsable) {
  MusicTrack* missing = OpenTrack("no-such-music.mp3");
  EXPECT_EQ(missing, nullptr);
  PlayTrack(missing, 65536, 255, 128);
  EXPECT_NE(PollTrack(missing), 0);
  CloseTrack(missing);
  // A real track still opens afterwards.
  MusicTrack* track = OpenTrack(TrackPath(audio::kCopperSky).c_str());
  ASSERT_NE(track, nullptr);
  PlayTrack(track, 65536, 255, 128);
  PollTrack(track);
  CloseTrack(track);
}

}  // namespace
