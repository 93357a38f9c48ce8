// The display suite: Allegro with its real system driver under Xvfb, so
// timers, the keyboard and the sound system are present. Sound and keyboard
// may fail to install on a bare machine; tests that need them check.
#include <gtest/gtest.h>

#include <allegro.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (allegro_init() != 0) {
    std::fprintf(stderr, "display tests: allegro_init failed (no X display?)\n");
    return 1;
  }
  if (install_timer() != 0) std::fprintf(stderr, "display tests: no timer\n");
  if (install_keyboard() != 0) std::fprintf(stderr, "display tests: no keyboard\n");
  set_volume_per_voice(0);
  if (install_sound(DIGI_AUTODETECT, MIDI_NONE, "") != 0)
    std::fprintf(stderr, "display tests: no sound (%s)\n", allegro_error);
  std::srand(12345);
  return RUN_ALL_TESTS();
}
