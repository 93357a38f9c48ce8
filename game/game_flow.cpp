#include "game/game_flow.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "engine/data_index.h"
#include "engine/paced_loop.h"
#include "entities/entity.h"
#include "game/collisions.h"
#include "game/controls.h"
#include "game/game_state.h"
#include "game/pause.h"
#include "game/scoring.h"
#include "game/screen_objects.h"
#include "game/waves.h"
#include "replay/game_recorder.h"
#include "entities/play_objects.h"
#include "scene/scene_objects.h"
#include "screens/menu_screen.h"
#include "screens/sequences.h"
#include "screens/title_screen.h"
#include "engine/settings_store.h"
#include "engine/input.h"
#include "scene/stage.h"

WaveProgress waveProgress;
bool gameInterruptible = false;
long gameStepLimit = 0;
static long gameSteps = 0;

void PlaceGameObjects() {
  stage.Show(&worldMap);
  stage.Show(&scanner);
  stage.Show(&scoreLabel);
  stage.Show(&bestScoreLabel);
  ShowLifeAndBombIcons();
  for (int i = 0; i < kHumanCount; ++i) {
    Human& human = humans[i];
    human.SetState(Human::kWaiting);
    human.SetPosition(100 * i + 500 * (std::rand() % 10), human.GetY());
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

void BeginGame(uint32_t seed) {
  // Nothing of a game before may be left on the screen (its enemies are
  // deleted below).
  RemoveGameObjects();
  stage.Hide(&ship);
  std::srand(seed);
  StartStepClock();
  // Whatever the last game left behind is set as a new program has it, so
  // that a game depends only on its seed and the player's actions.
  nextBullet = 0;
  fireArmed = 0;
  bombArmed = 0;
  nextMissile = 0;
  shipImageFacing = 1;
  ship.SetBitmap(engine.Bitmap(dat::kShipRight));
  ship.SetVelocity(0, 0);
  ship.SetHeading(1);
  ship.SetPosition(512, 400);
  for (Human& human : humans) human.RestartAnimation();
  for (int& count : waveTypeCounts) count = 0;
  worldMap.SetScroll(0, 0);
  boss.Init(2048, 100, 2, "MM");
  boss.SetHeadHits(0);
  waveProgress = WaveProgress();
  SetUpGame();
}

void EndGame() {
  StopStepClock();
  gameInterruptible = false;
  gameStepLimit = 0;
}

uint32_t NewGameSeed() {
  // Seconds and their fraction: two games begun in the same second differ.
  const auto now = std::chrono::system_clock::now().time_since_epoch();
  const auto nanoseconds = std::chrono::duration_cast<std::chrono::nanoseconds>(now).count();
  return static_cast<uint32_t>(nanoseconds ^ (nanoseconds >> 32));
}

void SetUpGame() {
  waveIndex = 0;
  score = 0;
  lives = 3;
  bombs = 3;
  nextBonusScore = 10000;
  // The score shown starts from zero too, not from the last game's.
  AddScore(0);
  engine.HideMouse();
  PlaceGameObjects();
  humansAlive = 1;
  ship.SetDestroyed(0);
  humans[0].SetState(Human::kPresent);
  DeleteEnemies();
}

// Every step of a game (wave intro, play, cleared pause) begins here, after
// the input is polled: the animation clock moves on, and a demo ends at any
// key, click or button, or when its time is up. False when the game must end.
static bool BeginGameStep(int keyValue, int leftClick, int rightClick) {
  AdvanceStepClock();
  ++gameSteps;
  if (gameInterruptible && (keyValue || leftClick || rightClick || input.AnyPadPressed())) return false;
  if (gameStepLimit > 0 && gameSteps > gameStepLimit) return false;
  return true;
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
  if (!goOn) waveProgress.gameOver = true;
  return goOn;
}

void ShowWaveIntro() {
  std::snprintf(bigText, sizeof bigText, "%s", kWaveTable[waveIndex].name);
  stage.Show(&bigLabel);
  int steps = 0;
  RunPacedLoop([&] {
    // Nothing of the game reads the player here; the keys every screen
    // shares (the display, the volumes) still work.
    if (!PlayersPart(false)) return true;
    stage.DrawFrame();
    return ++steps >= kPauseSteps;
  });
  stage.Hide(&bigLabel);
}

void StartWave() {
  worldMap.SetScroll(0, 0);
  ship.SetPosition(512, 400);
  ship.SetHeading(1);
  stage.Show(&ship);
  engine.PlaySample(dat::kSndPlayLoop, 1);
  LoadWave(waveIndex);
  SpawnWave(waveIndex);
  waveProgress.deathCounter = 0;
  waveProgress.clearedCounter = 0;
  waveProgress.reinforcementCounter = 0;
  waveProgress.reinforcementLimit = 1500;
  waveProgress.waveDone = false;
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
  lives -= 1;
  TakeLifeIcon();
  if (lives > 0) {
    waveProgress.deathCounter = 0;
    worldMap.SetScroll(0, 0);
    ship.SetDestroyed(0);
    ship.SetPosition(512, 400);
    stage.Show(&ship);
    ClearWave();
    // The wave starts again with the enemies it still owes.
    SpawnWave(waveIndex);
  } else {
    waveProgress.gameOver = true;
  }
}

static void Reinforce() {
  if (++waveProgress.reinforcementCounter <= waveProgress.reinforcementLimit) return;
  waveProgress.reinforcementCounter = 0;
  if (waveIndex == kBossWave && waveProgress.reinforcementLimit > 0) {
    // The boss moves to the point of the world opposite the ship.
    boss.SetX((ship.GetX() + 2048) % 4096);
    stage.Show(&boss);
    waveProgress.reinforcementLimit = 0;
  } else {
    for (int k = 0; k < 5; ++k) {
      MaterialiseEnemy(kBaiter, waveIndex, k);
      waveTypeCounts[kBaiter] += 1;
    }
    waveProgress.reinforcementLimit = 1000;
  }
}

bool LogicStep() {
  if (waveProgress.gameOver) return true;
  if (!PlayersPart(true)) return true;
  ship.Move();
  if (shipExplosion.IsOnList()) {
    shipExplosion.MovePieces();
    shipExplosion.Age();
  }
  worldMap.Scroll(ship.GetVX(), 0);
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
  stage.DrawFrame();

  if (ship.IsDestroyed()) waveProgress.deathCounter += 1;
  if (liveEnemies < 1 && pendingSpawns < 1 && boss.GetHeadHits() < 1) waveProgress.clearedCounter += 1;
  if (waveProgress.deathCounter > 100) LoseLife();
  // A wave ends only with a living ship: a ship lost with the last enemy is
  // paid for first, and the next wave gets a ship the player controls.
  if (waveProgress.clearedCounter > 100 && !ship.IsDestroyed()) {
    waveProgress.clearedCounter = 0;
    waveProgress.waveDone = true;
  }
  Reinforce();
  return waveProgress.waveDone || waveProgress.gameOver;
}

void FinishClearedWave() {
  engine.PlaySample(dat::kSndWaveCleared, 0);
  std::snprintf(bigText, sizeof bigText, "Wave %d Cleared", waveIndex + 1);
  std::snprintf(middleText, sizeof middleText, "Bonus for humans saved: (100 * %d = %d)", humansAlive,
                100 * humansAlive);
  AddScore(100 * humansAlive);
  bottomText[0] = '\0';
  // The next human arrives after each of the first nine waves; the pool holds
  // ten, so after the tenth no one arrives and the line stays empty.
  if (waveIndex < 9 && humans[waveIndex + 1].GetState() == Human::kWaiting) {
    std::snprintf(bottomText, sizeof bottomText, "%s", kNewHumanMessages[waveIndex]);
    humans[waveIndex + 1].SetState(Human::kPresent);
    humansAlive += 1;
  }
  stage.Show(&bigLabel);
  stage.Show(&middleLabel);
  stage.Show(&bottomLabel);
  stage.Hide(&ship);
  int steps = 0;
  RunPacedLoop([&] {
    if (!PlayersPart(true)) return true;
    stage.DrawFrame();
    return ++steps >= kPauseSteps;
  });
  stage.Hide(&bigLabel);
  stage.Hide(&middleLabel);
  stage.Hide(&bottomLabel);
  ClearWave();
  waveIndex += 1;
  // After wave 20 the game goes on with waves 11 to 20 for ever.
  if (waveIndex == kWaveCount) waveIndex = 10;
}

void PlayWave() {
  ShowWaveIntro();
  if (waveProgress.gameOver) return;
  StartWave();
  RunPacedLoop(LogicStep);
  engine.StopSample(dat::kSndPlayLoop);
  if (waveProgress.gameOver) return;
  FinishClearedWave();
}

void PlayGame() {
  waveProgress = WaveProgress();
  gameSteps = 0;
  // In play the game keys win over the keys every screen shares.
  input.SetGameKeys(controlKeys, kControlCount);
  while (!waveProgress.gameOver) PlayWave();
  input.SetGameKeys(nullptr, 0);
}

void RunProgramLoop() {
  for (;;) {
    RunTitleScreen();
    const int result = RunMenu();
    if (result == kMenuPlay) RunIntro();
    const uint32_t seed = NewGameSeed();
    BeginGame(seed);
    if (result == kMenuPlay) {
      gameRecorder.Begin(seed, std::time(nullptr));
      PlayGame();
      gameRecorder.Finish(score, waveIndex + 1);
    }
    EndGame();
    RemoveGameObjects();
    stage.DrawFrame();
    RunClosingSequence();
    engine.ShowMouse();
    if (result == kMenuQuit) return;
  }
}
