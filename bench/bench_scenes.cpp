#include "bench/bench_scenes.h"

#include <allegro.h>

#include <cerrno>
#include <cstdlib>

#include "engine/headless_platform.h"
#include "engine/clock.h"
#include "engine/data_index.h"
#include "engine/graphics_engine.h"
#include "entities/entity.h"
#include "game/controls.h"
#include "game/game_flow.h"
#include "game/game_state.h"
#include "game/screen_objects.h"
#include "game/waves.h"
#include "entities/play_objects.h"
#include "scene/scene_objects.h"
#include "screens/logo_slide.h"
#include "scene/stage.h"
#include "scene/view.h"

namespace bench {

namespace {

constexpr unsigned kSeed = 1234;
constexpr int kDogfightWave = 15;  // wave 16: 70 fighters and 6 bouncers
// An implosion's 101st step ends it and enters its enemy.
constexpr int kSpawnInSteps = 101;

HeadlessPlatform headless;

void ClearList() {
  RenderList& list = stage.Elements();
  while (Element* root = list.Root()) list.Remove(root);
}

// Runs only the spawn-ins, as the logic step does, until each has entered its
// enemy where it would have in play.
void ConvergeSpawnIns() {
  for (int step = 0; step < kSpawnInSteps; ++step)
    for (Implosion& implosion : implosions)
      if (implosion.IsOnList()) {
        implosion.MovePieces();
        implosion.Age();
      }
}

// The player has flown to a spot: the view 200 px behind the ship's left edge,
// so the scroll holds still.
void PutShip(int viewX, int shipY) {
  world->scroll = ViewScroll{viewX, 0};
  ViewX = viewX;
  ViewY = 0;
  ship.SetPosition(viewX + 200, shipY);
  ship.SetVelocity(0, 0);
}

// A beam fired from the ship's picture some steps ago.
void LaunchBeam(Bullet& bullet, int x, int y, int travelled) {
  stage.Hide(&bullet);
  bullet.SetBitmap(engine.Bitmap(dat::kBeamRight));
  bullet.SetVelocity(Bullet::kSpeed, 0);
  bullet.BuildOutline();
  bullet.SetPosition(x, y);
  bullet.SetTravelled(travelled);
  stage.Show(&bullet);
}

// An explosion `age` steps into its flight.
void StartExplosion(Explosion& explosion, BITMAP* picture, int x, int y, int age) {
  explosion.Init(picture, x, y, 0, "Bang!");
  stage.Show(&explosion);
  for (int step = 0; step < age; ++step) {
    explosion.MovePieces();
    explosion.Age();
  }
}

}  // namespace

std::string DataFilePath() {
  const char* dir = std::getenv("KAV_DATA_DIR");
  return std::string(dir && *dir ? dir : KAV_BENCH_DATA_DIR) + "/kav.dat";
}

bool StartHeadless(std::string& error) {
  if (install_allegro(SYSTEM_NONE, &errno, atexit) != 0) {
    error = "the library did not start";
    return false;
  }
  set_color_depth(16);
  set_color_conversion(COLORCONV_TOTAL);
  const std::string path = DataFilePath();
  if (!engine.InitialiseOffscreen(path.c_str())) {
    error = "cannot load " + path;
    return false;
  }
  engine.SetPlatform(&headless);
  BuildScreenObjects();
  return true;
}

void ClearScene() {
  ClearList();
  DeleteEnemies();
  CancelSpawnIns();
  game = NewGameState(kSeed);
  TickCounter.store(0);
  FrameCounter.store(0);
  ship.SetVelocity(0, 0);
  SetUpGame();
}

void BuildWave16SpawnIn() {
  ClearScene();
  game.waveIndex = kDogfightWave;
  StartWave();
}

void BuildWave16Battle() {
  BuildWave16SpawnIn();
  ConvergeSpawnIns();
  // The fighters enter around x 1988..2170, y 280..545; the ship comes in
  // from the left, below their band, and looks on.
  const int viewX = 1600;
  PutShip(viewX, 620);
  for (int k = 0; k < kBulletCount; ++k)
    LaunchBeam(bullets[k], viewX - 300 + (k * 97) % 900, 40 + 33 * k, 50 * k);
  // Fighters' shots cross the screen both ways above the ship.
  for (int k = 0; k < kMissileCount; ++k) {
    const int dx = k % 2 ? 14 : -14;
    FireMissile(1, viewX + 17 * k, 60 + (k * 53) % 500, dx, 0);
  }
  // Thirty fighters met their end at different moments; their explosions use
  // slots the wave's entries don't.
  BITMAP* fighter = engine.Bitmap(dat::kFighterLeft);
  for (int k = 0; k < 30; ++k)
    StartExplosion(explosions[100 + k], fighter, viewX + 60 + (k % 10) * 95, 40 + (k / 10) * 180, (k * 3) % 90);
}

void BuildBossFight() {
  ClearScene();
  game.waveIndex = kBossWave;
  StartWave();
  ConvergeSpawnIns();
  // The boss has come to the ship (as it does every thousand steps), circles
  // and fires four volleys while its shots fly. The view holds the whole boss,
  // the ship to its left out of reach of its arms.
  PutShip(312, 560);
  boss.SetX(600);
  for (int step = 0; step < 80; ++step) {
    boss.MoveStep();
    boss.AttackStep();
    for (Missile& missile : missiles) {
      missile.Step();
      missile.CheckRange();
    }
  }
  // A dozen hits on head, torso, legs and arms, each some steps ago.
  BITMAP* hit = engine.Bitmap(dat::kBossHit);
  struct Hit {
    int explosion;
    TimedSprite* part;
  };
  const Hit hits[12] = {{0, &boss.Head()},    {1, &boss.Head()},       {2, &boss.Head()},
                        {15, &boss.Torso()},  {16, &boss.Torso()},     {17, &boss.Torso()},
                        {40, &boss.Leg(0)},   {45, &boss.Leg(1)},      {50, &boss.Leg(2)},
                        {55, &boss.LeftArm(0)}, {60, &boss.LeftArm(1)}, {75, &boss.RightArm(0)}};
  for (int k = 0; k < 12; ++k)
    StartExplosion(boss.GetExplosion(hits[k].explosion), hit, hits[k].part->GetX(), hits[k].part->GetY(), 7 * k);
}

void BuildTitleScene() {
  ClearList();
  stage.AddElement(&splashPicture);
  for (int k = 0; k < 10; ++k) {
    stage.AddElement(&highScoreValueLabels[k]);
    stage.AddElement(&highScoreNameLabels[k]);
  }
  LogoSlide::PlaceAtStart();
  stage.AddElement(&logoVe);
  stage.AddElement(&logoVarn);
  stage.AddElement(&logoHolt);
  stage.AddElement(&logoSubtitle);
}

SceneCount CountScene() {
  SceneCount count;
  count.elements = stage.Elements().Count();
  for (int i = 0; i < enemyCount; ++i)
    if (enemies[i] && !enemies[i]->IsDead() && enemies[i]->IsOnList()) ++count.enemies;
  for (Implosion& implosion : implosions) count.spawnIns += implosion.IsOnList();
  for (Bullet& bullet : bullets) count.bullets += bullet.IsOnList();
  for (Missile& missile : missiles) count.missiles += missile.IsOnList();
  for (Explosion& explosion : explosions) count.explosions += explosion.IsOnList();
  for (int i = 0; i < Boss::kExplosions; ++i) count.explosions += boss.GetExplosion(i).IsOnList();
  count.boss = boss.IsOnList();
  count.shipAlive = ship.IsOnList() && !ship.IsDestroyed();
  return count;
}

}  // namespace bench
