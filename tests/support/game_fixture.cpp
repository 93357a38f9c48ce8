#include "support/game_fixture.h"

#include <allegro.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "engine/clock.h"
#include "engine/data_index.h"
#include "engine/game_folders.h"
#include "engine/settings.h"
#include "engine/graphics_engine.h"
#include "entities/enemy_roster.h"
#include "entities/entity.h"
#include "game/controls.h"
#include "game/game_flow.h"
#include "game/game_numbers.h"
#include "game/game_state.h"
#include "game/screen_objects.h"
#include "game/waves.h"
#include "music/music_track.h"
#include "entities/play_objects.h"
#include "scene/scene_objects.h"
#include "scene/view.h"
#include "support/allegro_fixture.h"
#include "engine/settings_store.h"
#include "engine/input.h"
#include "scene/stage.h"

void GameFixture::SetUpTestSuite() {
  static bool built = false;
  if (built) return;
  kav_test::InitHeadlessAllegro();
  const std::string data = kav_test::DataDir() + "/kav.dat";
  ASSERT_TRUE(engine.InitialiseOffscreen(data.c_str())) << "cannot load " << data;
  ScriptedPlatform names;
  engine.SetPlatform(&names);
  BuildScreenObjects();
  engine.SetPlatform(nullptr);
  built = true;
}

void GameFixture::SetUp() {
  engine.SetPlatform(&platform);
  kav_test::ResetWorld();
  world->random.Seed(1234);
}

namespace {
// The settings a test changes are written into a folder of the run's own, not
// into the folder the tests run from.
void UseScratchSettings() {
  static std::string folder;
  if (folder.empty()) {
    char pattern[] = "/tmp/kav-settings-XXXXXX";
    if (const char* made = mkdtemp(pattern)) folder = made;
    std::atexit([] {
      const std::string command = "rm -rf '" + folder + "'";
      if (std::system(command.c_str()) != 0) std::fputs("cannot remove the scratch settings\n", stderr);
    });
  }
  gameFolders.config = folder;
  std::remove((folder + "/" + kSettingsFileName).c_str());
}
}  // namespace

void GameFixture::TearDown() {
  kav_test::ResetWorld();
  engine.SetPlatform(nullptr);
}

void GameFixture::RunLogicSteps(int steps) {
  for (int i = 0; i < steps; ++i) LogicStep();
}

int GameFixture::ElementsOnList() { return stage.Elements().Count(); }

namespace kav_test {

void ReleaseEverything() {
  RenderList& list = stage.Elements();
  while (Element* root = list.Root()) list.Remove(root);
  DeleteEnemies();
  ReleasePlayBitmaps();
  engine.ReleaseOffscreen();
}

void ResetWorld() {
  RenderList& list = stage.Elements();
  while (Element* root = list.Root()) list.Remove(root);
  DeleteEnemies();
  // A game's state afresh, as a new game has it before its first wave.
  game = GameState();
  gameNumbers = GameNumbers();
  world->enemyFireInterval = 50;
  bestScore = 0;

  ship.Init(engine.Bitmap(dat::kShipRight), 512, 400, 124, 92, 0, 2, "The Ship");
  ship.SetVelocity(0, 0);
  ship.SetDestroyed(0);
  for (Bullet& bullet : bullets) {
    bullet.Init(engine.Bitmap(dat::kBeamRight), 0, 0, 0, 1, "Bullet");
    bullet.SetVelocity(0, 0);
    bullet.SetTravelled(0);
  }
  for (Missile& missile : missiles) missile.Init(0, 1, 0, 0, 0, 1, "Missile");
  for (int i = 0; i < kHumanCount; ++i) {
    humans[i].Init(i, 0, 1, 0, 0, 0, 1, "Human");
    humans[i].SetState(Human::kWaiting);
  }
  boss.Init(2048, 100, 2, "MM");
  boss.SetHeadHits(0);
  ViewX = 0;
  ViewY = 0;
  TickCounter.store(0);
  FrameCounter.store(0);

  UseScratchSettings();
  settingsStore.Change(DefaultSettings());
  StopStepClock();
  SetMusicLevel(kVolumeSteps);
  input.SetTyping(false);
  input.SetGameKeys(nullptr, 0);
  input.SetPadActsAsKeys(false);
}

}  // namespace kav_test
