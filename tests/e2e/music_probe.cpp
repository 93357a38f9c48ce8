// Plays one music track through the game's player, as the title and menu
// screens do, for the end-to-end sound tests.
// Usage: music_probe FILE SECONDS [GAP_MS]
//   Polls every 20 ms; with GAP_MS, once a second it stops polling for that
//   long (a slow screen change). Prints "playing" once the stream runs and
//   "finished" if the track ends; exits 0, or 1 when the track cannot be
//   opened or the sound cannot start.
#include <allegro.h>

#include <cstdio>
#include <cstdlib>

#include "music/music_track.h"

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s FILE SECONDS [GAP_MS]\n", argv[0]);
    return 2;
  }
  const double seconds = std::atof(argv[2]);
  const int gapMs = argc > 3 ? std::atoi(argv[3]) : 0;
  if (allegro_init() != 0 || install_timer() != 0) {
    std::printf("no allegro\n");
    return 1;
  }
  set_volume_per_voice(0);
  if (install_sound(DIGI_AUTODETECT, MIDI_NONE, "") != 0 || !digi_driver || digi_driver->id == DIGI_NONE) {
    std::printf("no sound driver\n");
    return 1;
  }
  std::printf("driver: %s\n", digi_driver->ascii_name);
  MusicTrack* track = OpenTrack(argv[1]);
  if (!track) {
    std::printf("no track\n");
    return 1;
  }
  PlayTrack(track, 65536, 255, 128);
  std::printf("playing\n");
  std::fflush(stdout);
  const int steps = static_cast<int>(seconds * 50);
  for (int step = 0; step < steps; ++step) {
    if (PollTrack(track) != 0) {
      std::printf("finished\n");
      break;
    }
    rest(gapMs > 0 && step % 50 == 49 ? gapMs : 20);
  }
  // Leaving the screen: the volume ramp the screens use.
  for (int volume = 128; volume >= 1; --volume) {
    SetTrackVolume(track, volume);
    PollTrack(track);
  }
  CloseTrack(track);
  std::printf("closed\n");
  std::fflush(stdout);
  // Let the sound device play out what it holds, so the recording has the
  // end of the music too.
  rest(500);
  return 0;
}
END_OF_MAIN()
