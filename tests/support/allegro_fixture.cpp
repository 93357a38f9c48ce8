#include "support/allegro_fixture.h"

#include <allegro.h>

#include <cerrno>
#include <cstdlib>

namespace kav_test {

void InitHeadlessAllegro() {
  static bool done = false;
  if (done) return;
  done = true;
  install_allegro(SYSTEM_NONE, &errno, atexit);
  set_color_depth(16);
  set_color_conversion(COLORCONV_TOTAL);
}

std::string DataDir() {
  const char* env = std::getenv("KAV_DATA_DIR");
  if (env && *env) return env;
  return KAV_TEST_DATA_DIR;
}

}  // namespace kav_test
