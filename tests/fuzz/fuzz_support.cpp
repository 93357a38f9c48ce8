#include "fuzz_support.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include "engine/graphics_engine.h"
#include "game/screen_objects.h"
#include "entities/play_objects.h"
#include "support/allegro_fixture.h"
#include "support/scripted_platform.h"

namespace fuzz {

namespace {
std::string folder;

void RemoveScratchFolder() {
  if (DIR* dir = opendir(folder.c_str())) {
    while (dirent* entry = readdir(dir))
      if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
        std::remove((folder + "/" + entry->d_name).c_str());
    closedir(dir);
  }
  rmdir(folder.c_str());
}

// Runs before the library goes down (registered after it): what the game made
// goes back, so that a leak reported at exit is a real one.
void ReleaseGame() {
  scanner.ReleaseBuffer();
  engine.ReleaseOffscreen();
}
}  // namespace

void SetUpGame() {
  static bool done = false;
  if (done) return;
  done = true;
  kav_test::InitHeadlessAllegro();
  const std::string data = kav_test::DataDir() + "/kav.dat";
  if (!engine.InitialiseOffscreen(data.c_str())) {
    std::fprintf(stderr, "cannot load %s (set KAV_DATA_DIR to the game folder)\n", data.c_str());
    std::abort();
  }
  static ScriptedPlatform platform;
  engine.SetPlatform(&platform);
  BuildScreenObjects();
  std::atexit(ReleaseGame);
}

const std::string& ScratchFolder() {
  if (folder.empty()) {
    // Memory-backed when the machine has it: a million runs write a lot.
    struct stat info;
    const char* base = stat("/dev/shm", &info) == 0 && S_ISDIR(info.st_mode) ? "/dev/shm" : "/tmp";
    std::string pattern = std::string(base) + "/kav-fuzz-XXXXXX";
    if (!mkdtemp(pattern.data())) {
      std::perror("mkdtemp");
      std::abort();
    }
    folder = pattern;
    std::atexit(RemoveScratchFolder);
  }
  return folder;
}

void Require(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "property failed: %s\n", what);
  std::abort();
}

}  // namespace fuzz
