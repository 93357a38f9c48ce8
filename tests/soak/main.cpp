// The soak program. Without options it runs the short soak CTest uses; the
// long one is
//   kav_soak --steps=100000 [--seed=N] [--gtest_filter=SoakTest.*]
// Built with KAV_SANITIZE=ON, AddressSanitizer, UndefinedBehaviorSanitizer and
// LeakSanitizer watch the whole run; everything the game made is released
// before the process ends, so any leak reported at exit is real.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "entities/entity.h"
#include "game/game_flow.h"
#include "game/waves.h"
#include "scene/scene_objects.h"
#include "soak/soak_settings.h"
#include "support/allegro_fixture.h"
#include "support/game_fixture.h"

namespace soak {
long playSteps = 3000;
unsigned seed = 20240611;
}  // namespace soak

namespace {

bool ReadOption(const char* argument, const char* name, long& value) {
  const size_t length = std::strlen(name);
  if (std::strncmp(argument, name, length) != 0) return false;
  char* end = nullptr;
  value = std::strtol(argument + length, &end, 10);
  return end && *end == '\0' && end != argument + length;
}

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  for (int i = 1; i < argc; ++i) {
    long value = 0;
    if (ReadOption(argv[i], "--steps=", value) && value > 0) {
      soak::playSteps = value;
    } else if (ReadOption(argv[i], "--seed=", value)) {
      soak::seed = static_cast<unsigned>(value);
    } else {
      std::fprintf(stderr, "unknown option %s\nusage: %s [--steps=N] [--seed=N] [gtest options]\n", argv[i], argv[0]);
      return 2;
    }
  }
  kav_test::InitHeadlessAllegro();
  const int result = RUN_ALL_TESTS();
  kav_test::ReleaseEverything();
  return result;
}
