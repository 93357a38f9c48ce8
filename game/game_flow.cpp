#include "game/game_flow.h"

#include <chrono>
#include <cstdio>

#include "engine/data_index.h"
#include "engine/input.h"
#include "scene/paced_loop.h"
#include "engine/settings_store.h"
#include "entities/entity.h"
#include "entities/play_objects.h"
#include "entities/score_sink.h"
#include "entities/view_scroll.h"
#include "game/collisions.h"
#include "game/controls.h"
#include "game/game_numbers.h"
#include "game/game_state.h"
#include "game/pause.h"
#include "game/scoring.h"
#include "game/screen_objects.h"
#include "game/waves.h"
#include "scene/scene_objects.h"
#include "scene/stage.h"
#include "scene/view.h"

bool gameInterruptible = false;
long gameStepLimit = 0;
bool gameKeepsBestWave = false;

namespace {

// The view drawn is the one the game scrolled to.
void ShowView() {
  ViewX = world->scroll.x;
  ViewY = world->scroll.y;
}

// The view jumps back to the world's start: a cut, never a sweep across the
// world.
void ResetView() {
  world->scroll = ViewScroll();
  ShowView();
  stage.Cut();
}

}  // namespace

void PlaceGameObjects() {
  stage.Show(&worldMap);
  stage.Show(&scanner);
  stage.Show(&scoreLabel);
  stage.Show(&bestScoreLabel);
  ShowLifeAndBombIcons();
  for (int i = 0; i < kHumanCount; ++i) {
    Human& human = humans[i];
    // Made afresh: nothing of a human in an earlier game stays.
    human.Init(i, 0, 1, 0, 0, 0, 1, "Human");
    human.SetState(Human::kWaiting);
    human.SetPosition(100 * i + 500 * (RandomNumber() % 10), human.GetY());
    human.StandOnGround();
    human.SetWalk();
  }
}

void RemoveGameObjects() {
  stage.Hide(&worldMap);
  stage.Hide(&scanner);
  stage.Hide(&scoreLabel);
  stage.Hide(&bestScoreLabel);
  for (int i = 0; i < 4; ++i) {
    stage.Hide(&lifeIcons[i]);
    stage.Hide(&bombIcons[i]);
  }
  for (Human& human : humans) stage.Hide(&human);
  for (Bullet& bullet : bullets) stage.Hide(&bullet);
  for (Missile& missile : missiles) stage.Hide(&missile);
  for (int i = 0; i < enemyCount; ++i)
    if (enemies[i]) stage.Hide(enemies[i]);
  stage.Hide(&shipExplosion);
  for (Explosion& explosion : explosions) stage.Hide(&explosion);
  stage.Hide(&boss);
  // Effects still running must not stay frozen on the screens that follow.
  boss.HideExplosions();
  CancelSpawnIns();
}

void BeginGame(uint32_t seed, int startWave) {
  // Nothing of a game before may be left on the screen (its enemies are
  // deleted below).
  RemoveGameObjects();
  stage.Hide(&ship);
  // Everything a game carries starts afresh, so that a game depends only on
  // its seed and the player's actions, whatever was played before it.
  game = NewGameState(seed);
  gameNumbers = GameNumbers();
  RunStepClock(game.steps);
  ResetView();
  ship.Init(engine.Bitmap(dat::kShipRight), 512, 400, 124, 92, 0, 2, "The Ship");
  SetUpGame();
  if (startWave >= 1 && startWave <= kWaveCount) game.waveIndex = startWave - 1;
  // A human arrives after each of the first nine waves cleared.
  for (int i = 1; i <= game.waveIndex && i < kHumanCount; ++i) {
    humans[i].SetState(Human::kPresent);
    world->humansAlive += 1;
  }
}

void EndGame() {
  StopStepClock();
  gameInterruptible = false;
  gameStepLimit = 0;
  gameKeepsBestWave = false;
}

uint32_t NewGameSeed() {
  // Seconds and their fraction: two games begun in the same second differ.
  const auto now = std::chrono::system_clock::now().time_since_epoch();
  const auto nanoseconds = std::chrono::duration_cast<std::chrono::nanoseconds>(now).count();
  return static_cast<uint32_t>(nanoseconds ^ (nanoseconds >> 32));
}

void SetUpGame() {
  // The score shown starts from zero too, not from the last game's.
  AddScore(0);
  engine.HideMouse();
  PlaceGameObjects();
  world->humansAlive = 1;
  humans[0].SetState(Human::kPresent);
  DeleteEnemies();
}

// Every step of a game (wave intro, play, cleared pause) begins here, after
// the input is polled: the animation clock moves on, and a demo ends at any
// key, click or button, or when its time is up. False when the game must end.
static bool BeginGameStep(int keyValue, int leftClick, int rightClick) {
  game.steps += 1;
  RunStepClock(game.steps);
  if (gameInterruptible && (keyValue || leftClick || rightClick || input.AnyPadPressed())) return false;
  if (gameStepLimit > 0 && game.steps > gameStepLimit) return false;
  return true;
}

// The end of a step of the game: its animation moved on (what the boss's
// limbs show is part of the fight), then the frame drawn as it stands.
static void FinishGameStep() {
  stage.Animate();
  stage.DrawStillFrame();
}

// A pause asked for by the player (key or gamepad) or by the window losing
// the focus, before the step's actions are read.
static void PauseWhenAsked(int keyValue) {
  if (IsPauseKey(keyValue) || input.PadPressed(settingsStore.Current().padStart) || input.TakeFocusLost())
    RunPause();
}

// The player's part of a step: the input polled, the step begun, a pause when
// asked for and, where the step reads them, the actions. False (the game
// over) when the game must end here.
static bool PlayersPart(bool readsActions) {
  int keyValue, leftClick, rightClick, mouseX, mouseY;
  stage.PollInput(keyValue, leftClick, rightClick, mouseX, mouseY);
  bool goOn = BeginGameStep(keyValue, leftClick, rightClick);
  if (goOn && readsActions) {
    PauseWhenAsked(keyValue);
    goOn = HandleGameKeys();
  }
  if (!goOn) game.waveProgress.gameOver = 1;
  return goOn;
}

void ShowWaveIntro() {
  std::snprintf(bigText, sizeof bigText, "%s", kWaveTable[game.waveIndex].name);
  stage.Show(&bigLabel);
  int steps = 0;
  RunPacedLoop([&] {
    // Nothing of the game reads the player here; the keys every screen
    // shares (the display, the volumes) still work.
    if (!PlayersPart(false)) return true;
    FinishGameStep();
    return ++steps >= kPauseSteps;
  });
  stage.Hide(&bigLabel);
}

void StartWave() {
  ResetView();
  ship.SetPosition(512, 400);
  ship.SetHeading(1);
  stage.Show(&ship);
  engine.PlaySample(dat::kSndPlayLoop, 1);
  LoadWave(game.waveIndex);
  SpawnWave(game.waveIndex);
  game.waveProgress.deathCounter = 0;
  game.waveProgress.clearedCounter = 0;
  game.waveProgress.reinforcementCounter = 0;
  game.waveProgress.reinforcementLimit = 1500;
  game.waveProgress.waveDone = 0;
  // A focus lost before the wave began is no reason to pause it.
  input.TakeFocusLost();
  DropOwedFrames();
}

static void MoveEffects() {
  for (int k = 0; k < kMaxEnemies; ++k) {
    if (explosions[k].IsOnList()) {
      explosions[k].MovePieces();
      explosions[k].Age();
    }
    if (implosions[k].IsOnList()) {
      implosions[k].MovePieces();
      implosions[k].Age();
    }
  }
}

static void LoseLife() {
  game.lives -= 1;
  CountLifeLost();
  TakeLifeIcon();
  if (game.lives > 0) {
    game.waveProgress.deathCounter = 0;
    ResetView();
    ship.SetDestroyed(0);
    ship.SetPosition(512, 400);
    stage.Show(&ship);
    ClearWave();
    // The wave starts again with the enemies it still owes.
    SpawnWave(game.waveIndex);
  } else {
    game.waveProgress.gameOver = 1;
  }
}

static void Reinforce() {
  if (++game.waveProgress.reinforcementCounter <= game.waveProgress.reinforcementLimit) return;
  game.waveProgress.reinforcementCounter = 0;
  if (game.waveIndex == kBossWave && game.waveProgress.reinforcementLimit > 0) {
    // The boss moves to the point of the world opposite the ship.
    boss.SetX((ship.GetX() + 2048) % 4096);
    stage.Show(&boss);
    game.waveProgress.reinforcementLimit = 0;
  } else {
    for (int k = 0; k < 5; ++k) {
      MaterialiseEnemy(kBaiter, game.waveIndex, k);
      world->waveTypeCounts[kBaiter] += 1;
    }
    game.waveProgress.reinforcementLimit = 1000;
  }
}

bool LogicStep() {
  if (game.waveProgress.gameOver) return true;
  if (!PlayersPart(true)) return true;
  ship.Move();
  if (shipExplosion.IsOnList()) {
    shipExplosion.MovePieces();
    shipExplosion.Age();
  }
  FollowShip(world->scroll, ship.GetVX(), ship);
  ShowView();
  for (int i = 0; i < enemyCount; ++i) {
    Entity* e = enemies[i];
    if (e && !e->IsDead()) {
      e->Move();
      e->Think();
    }
  }
  MoveEffects();
  for (Bullet& bullet : bullets) {
    bullet.Step();
    bullet.CheckRange();
  }
  for (Missile& missile : missiles) {
    missile.Step();
    missile.CheckRange();
  }
  for (Human& human : humans) human.Step();
  ship.ApplyFriction();
  if (boss.IsOnList()) {
    boss.MoveStep();
    boss.AttackStep();
  }
  ResolveCollisions();
  FinishGameStep();

  if (ship.IsDestroyed()) game.waveProgress.deathCounter += 1;
  if (world->liveEnemies < 1 && world->pendingSpawns < 1 && boss.GetHeadHits() < 1)
    game.waveProgress.clearedCounter += 1;
  if (game.waveProgress.deathCounter > 100) LoseLife();
  // A wave ends only with a living ship: a ship lost with the last enemy is
  // paid for first, and the next wave gets a ship the player controls.
  if (game.waveProgress.clearedCounter > 100 && !ship.IsDestroyed()) {
    game.waveProgress.clearedCounter = 0;
    game.waveProgress.waveDone = 1;
  }
  Reinforce();
  return game.waveProgress.waveDone || game.waveProgress.gameOver;
}

void FinishClearedWave() {
  engine.PlaySample(dat::kSndWaveCleared, 0);
  std::snprintf(bigText, sizeof bigText, "Wave %d Cleared", game.waveIndex + 1);
  std::snprintf(middleText, sizeof middleText, "Bonus for humans saved: (100 * %d = %d)", world->humansAlive,
                100 * world->humansAlive);
  AddScore(100 * world->humansAlive);
  bottomText[0] = '\0';
  // The next human arrives after each of the first nine waves; the pool holds
  // ten, so after the tenth no one arrives and the line stays empty.
  if (game.waveIndex < 9 && humans[game.waveIndex + 1].GetState() == Human::kWaiting) {
    std::snprintf(bottomText, sizeof bottomText, "%s", kNewHumanMessages[game.waveIndex]);
    humans[game.waveIndex + 1].SetState(Human::kPresent);
    world->humansAlive += 1;
  }
  stage.Show(&bigLabel);
  stage.Show(&middleLabel);
  stage.Show(&bottomLabel);
  stage.Hide(&ship);
  int steps = 0;
  RunPacedLoop([&] {
    if (!PlayersPart(true)) return true;
    FinishGameStep();
    return ++steps >= kPauseSteps;
  });
  stage.Hide(&bigLabel);
  stage.Hide(&middleLabel);
  stage.Hide(&bottomLabel);
  ClearWave();
  game.waveIndex += 1;
  // After wave 20 the game goes on with waves 11 to 20 for ever.
  if (game.waveIndex == kWaveCount) game.waveIndex = 10;
}

static_assert(kLastWave == kWaveCount, "the settings keep a wave of the game's own");

// The settings keep the highest wave reached, for Practice.
static void KeepBestWave() {
  const int wave = game.waveIndex + 1;
  if (!gameKeepsBestWave || wave <= settingsStore.Current().bestWave) return;
  Settings settings = settingsStore.Current();
  settings.bestWave = wave;
  settingsStore.Change(settings);
}

void PlayWave() {
  CountWaveBegun(game.waveIndex + 1);
  KeepBestWave();
  ShowWaveIntro();
  if (game.waveProgress.gameOver) return;
  StartWave();
  RunPacedLoop(LogicStep);
  engine.StopSample(dat::kSndPlayLoop);
  if (game.waveProgress.gameOver) return;
  FinishClearedWave();
}

void PlayGame() {
  // In play the game keys win over the keys every screen shares.
  input.SetGameKeys(settingsStore.Current().keys, kControlCount);
  while (!game.waveProgress.gameOver) PlayWave();
  input.SetGameKeys(nullptr, 0);
}
