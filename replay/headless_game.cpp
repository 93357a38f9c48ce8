#include "replay/headless_game.h"

#include <allegro.h>

#include <cerrno>
#include <cstdlib>

#include "engine/game_folders.h"
#include "engine/graphics_engine.h"
#include "engine/headless_platform.h"
#include "entities/play_objects.h"
#include "game/game_flow.h"
#include "game/screen_objects.h"
#include "game/waves.h"
#include "scene/scene_objects.h"

namespace {
HeadlessPlatform headless;
}

bool StartHeadlessGame(std::string& error) {
  if (install_allegro(SYSTEM_NONE, &errno, std::atexit) != 0) {
    error = std::string("the library could not start: ") + allegro_error;
    return false;
  }
  set_color_depth(16);
  const std::string dataFile = gameFolders.DataFile(kDataFileName);
  if (!engine.InitialiseOffscreen(dataFile.c_str())) {
    error = "cannot load " + dataFile;
    return false;
  }
  engine.SetPlatform(&headless);
  engine.SetHeadless(true);
  BuildScreenObjects();
  return true;
}

void StopHeadlessGame() {
  RemoveGameObjects();
  DeleteEnemies();
  ReleasePlayBitmaps();
  engine.SetPlatform(nullptr);
  engine.ReleaseOffscreen();
}
