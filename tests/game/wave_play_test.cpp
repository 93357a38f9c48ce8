// Whole games played headlessly: real logic steps on the real data file, with
// scripted keys, a fixed seed and a fake clock.
#include <allegro.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "engine/data_index.h"
#include "entities/entity.h"
#include "entities/play_objects.h"
#include "game/collisions.h"
#include "game/controls.h"
#include "game/game_flow.h"
#include "game/game_state.h"
#include "game/scoring.h"
#include "game/screen_objects.h"
#include "game/waves.h"
#include "scene/scene_objects.h"
#include "scene/stage.h"
#include "scene/view.h"
#include "support/game_fixture.h"

namespace {

class WavePlayTest : public GameFixture {
 protected:
  void StartWaveAt(int index) {
    SetUpGame();
    game.waveIndex = index;
    StartWave();
  }
  int ImplosionsRunning() {
    int n = 0;
    for (Implosion& implosion : implosions) n += implosion.IsOnList() ? 1 : 0;
    return n;
  }
  int AliveOfType(int type) {
    int n = 0;
    for (int i = 0; i < enemyCount; ++i) n += enemies[i] && !enemies[i]->IsDead() && enemies[i]->GetType() == type;
    return n;
  }
  void KillAllEnemies() {
    for (int i = 0; i < enemyCount; ++i)
      if (enemies[i] && !enemies[i]->IsDead()) enemies[i]->Kill();
  }
  // Keeps the ship out of harm's way: destroyed ships are not hit, and the
  // death counter is held at zero so no life is lost.
  void ShieldShip() {
    ship.Explode();
    stage.Hide(&ship);
  }
  void StepShielded(int steps) {
    for (int i = 0; i < steps; ++i) {
      LogicStep();
      game.waveProgress.deathCounter = 0;
    }
  }
  // With every enemy gone only the shots still in flight can reach the
  // ship: it stays alive, as a wave can only end with a living ship.
  void ClearShots() {
    for (Missile& missile : missiles) missile.Retire();
  }
};

TEST_F(WavePlayTest, TheFirstGameStartsOnWaveOneWithThreeLivesThreeBombsAndOneHuman) {
  SetUpGame();
  EXPECT_EQ(game.waveIndex, 0);
  EXPECT_STREQ(kWaveTable[game.waveIndex].name, "Initiation");
  EXPECT_EQ(game.score, 0);
  EXPECT_STREQ(scoreText, "00000000");
  EXPECT_EQ(game.lives, 3);
  EXPECT_EQ(game.bombs, 3);
  EXPECT_EQ(world->humansAlive, 1);
  EXPECT_EQ(humans[0].GetState(), Human::kPresent);
  for (int i = 1; i < kHumanCount; ++i) EXPECT_EQ(humans[i].GetState(), Human::kWaiting);
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(lifeIcons[i].IsOnList());
  EXPECT_FALSE(lifeIcons[3].IsOnList());
  EXPECT_TRUE(worldMap.IsOnList());
  EXPECT_TRUE(scanner.IsOnList());
  EXPECT_FALSE(platform.MouseShown());
}

TEST_F(WavePlayTest, WaveOneBeginsWithEightSpawnInsThatBecomeEightEnemies) {
  StartWaveAt(0);
  EXPECT_EQ(world->pendingSpawns, 8);
  EXPECT_EQ(ImplosionsRunning(), 8);
  EXPECT_EQ(platform.Plays(dat::kSndMaterialise), 8);
  EXPECT_EQ(platform.Plays(dat::kSndPlayLoop), 1);
  EXPECT_TRUE(ship.IsOnList());
  EXPECT_TRUE(humans[0].IsOnList());
  EXPECT_FALSE(humans[1].IsOnList());
  EXPECT_FALSE(boss.IsOnList());
  RunLogicSteps(100);
  EXPECT_EQ(world->liveEnemies, 0);
  RunLogicSteps(1);
  EXPECT_EQ(world->pendingSpawns, 0);
  EXPECT_EQ(ImplosionsRunning(), 0);
  EXPECT_EQ(world->liveEnemies, 8);
  EXPECT_EQ(AliveOfType(kLander), 4);
  EXPECT_EQ(AliveOfType(kBomber), 4);
}

TEST_F(WavePlayTest, AWaveEnds101StepsAfterItsLastEnemyAndPaysAHundredPerHuman) {
  StartWaveAt(0);
  RunLogicSteps(101);
  ASSERT_EQ(world->liveEnemies, 8);
  KillAllEnemies();
  ClearShots();
  for (int i = 0; i < 100; ++i) {
    LogicStep();
    ASSERT_FALSE(ship.IsDestroyed()) << i;
    ASSERT_FALSE(game.waveProgress.waveDone) << i;
  }
  EXPECT_TRUE(LogicStep());
  EXPECT_TRUE(game.waveProgress.waveDone);

  world->humansAlive = 3;  // two more arrived earlier
  game.score = 0;
  FinishClearedWave();
  EXPECT_EQ(game.score, 300);
  EXPECT_STREQ(bigText, "Wave 1 Cleared");
  EXPECT_STREQ(middleText, "Bonus for humans saved: (100 * 3 = 300)");
  EXPECT_STREQ(bottomText, "A new human has arrived Uh huh huh!");
  EXPECT_EQ(humans[1].GetState(), Human::kPresent);
  EXPECT_EQ(world->humansAlive, 4);
  EXPECT_EQ(platform.Plays(dat::kSndWaveCleared), 1);
  EXPECT_EQ(game.waveIndex, 1);
  EXPECT_FALSE(bigLabel.IsOnList());
}

TEST_F(WavePlayTest, TheClearedCountKeepsItsStepsWhenNewEnemiesAppear) {
  StartWaveAt(0);
  RunLogicSteps(101);
  KillAllEnemies();
  ClearShots();
  RunLogicSteps(60);
  EXPECT_EQ(game.waveProgress.clearedCounter, 60);
  EnterEnemy(kMine, 2048, -100);  // out of reach, does nothing
  RunLogicSteps(20);
  EXPECT_EQ(game.waveProgress.clearedCounter, 60);
  enemies[enemyCount - 1]->Kill();
  RunLogicSteps(40);
  EXPECT_FALSE(game.waveProgress.waveDone);
  StepShielded(1);
  EXPECT_TRUE(game.waveProgress.waveDone);
}

TEST_F(WavePlayTest, AShipLostWithTheLastEnemyCostsALifeAndTheNextWaveGetsAShipToSteer) {
  StartWaveAt(0);
  RunLogicSteps(101);
  KillAllEnemies();
  ClearShots();
  RunLogicSteps(40);
  // A shot fired before the last enemy died arrives now.
  FireMissile(0, ship.GetX() + 60, ship.GetY() + 35, 0, 0);
  LogicStep();
  ASSERT_TRUE(ship.IsDestroyed());
  int steps = 1;
  while (!LogicStep() && steps < 1000) {
    ++steps;
    if (game.waveProgress.waveDone) break;
  }
  ASSERT_TRUE(game.waveProgress.waveDone);
  EXPECT_FALSE(game.waveProgress.gameOver);
  // The loss was paid for first: a life gone, the ship back in play.
  EXPECT_EQ(game.lives, 2);
  EXPECT_FALSE(ship.IsDestroyed());

  FinishClearedWave();
  ASSERT_EQ(game.waveIndex, 1);
  StartWave();
  ASSERT_FALSE(ship.IsDestroyed());
  platform.Hold(KEY_RIGHT);
  RunLogicSteps(5);
  EXPECT_GT(ship.GetVX(), 0);
  platform.ReleaseAllKeys();
  FireMissile(0, ship.GetX() + 60, ship.GetY() + 35, 0, 0);
  ResolveCollisions();
  EXPECT_TRUE(ship.IsDestroyed());
}

TEST_F(WavePlayTest, LosingALifeRestartsTheWaveWithTheEnemiesStillOwedAndNoMines) {
  StartWaveAt(4);  // 38 fighters, 6 bouncers, 2 bombers
  RunLogicSteps(101);
  int fightersLeft = 0;
  for (int i = 0; i < enemyCount; ++i) {
    Entity* e = enemies[i];
    if (e->IsDead() || e->GetType() != kFighter) continue;
    if (fightersLeft < 3)
      ++fightersLeft;
    else
      e->Kill();
  }
  ASSERT_EQ(world->waveTypeCounts[kFighter], 3);
  const int owedBouncers = world->waveTypeCounts[kBouncer];
  const int owedBombers = world->waveTypeCounts[kBomber];
  EnterEnemy(kMine, 500, 300);
  world->waveTypeCounts[kMine] += 1;
  if (!ship.IsDestroyed()) ship.Explode();
  for (int i = 0; i < 101 && game.lives == 3; ++i) LogicStep();
  EXPECT_EQ(game.lives, 2);
  EXPECT_FALSE(lifeIcons[2].IsOnList());
  EXPECT_FALSE(ship.IsDestroyed());
  EXPECT_TRUE(ship.IsOnList());
  EXPECT_EQ(ViewX, 0);
  EXPECT_EQ(world->waveTypeCounts[kMine], 0);
  EXPECT_EQ(enemyCount, 0);
  EXPECT_EQ(world->pendingSpawns, 3 + owedBouncers + owedBombers);
  int fighters = 0, mines = 0;
  for (Implosion& implosion : implosions) {
    if (!implosion.IsOnList()) continue;
    fighters += implosion.GetSpawnType() == kFighter;
    mines += implosion.GetSpawnType() == kMine;
  }
  EXPECT_EQ(fighters, 3);
  EXPECT_EQ(mines, 0);
}

TEST_F(WavePlayTest, TheLastLifeEndsTheGame101StepsAfterTheShipIsLost) {
  StartWaveAt(0);
  game.lives = 1;
  stage.Hide(&lifeIcons[1]);
  stage.Hide(&lifeIcons[2]);
  ship.Explode();
  for (int i = 0; i < 100; ++i) ASSERT_FALSE(LogicStep()) << i;
  EXPECT_TRUE(LogicStep());
  EXPECT_TRUE(game.waveProgress.gameOver);
  EXPECT_EQ(game.lives, 0);
  EXPECT_FALSE(lifeIcons[0].IsOnList());
  EXPECT_TRUE(LogicStep());  // a game that is over does nothing more
}

TEST_F(WavePlayTest, TheSmartBombSparesAnEnemyOnScreenAcrossTheSeam) {
  StartWaveAt(0);
  CancelSpawnIns();
  world->scroll.x = 3500;
  EnterEnemy(kBomber, 100, 300);   // on screen, but left of the view in world terms
  EnterEnemy(kBomber, 3600, 300);  // on screen
  EnterEnemy(kBomber, 2000, 300);  // off screen
  game.bombArmed = 1;
  platform.Hold(KEY_SPACE);
  HandleGameKeys();
  EXPECT_EQ(game.bombs, 2);
  EXPECT_FALSE(bombIcons[2].IsOnList());
  EXPECT_FALSE(enemies[0]->IsDead());
  EXPECT_TRUE(enemies[1]->IsDead());
  EXPECT_TRUE(explosions[1].IsOnList());
  EXPECT_FALSE(enemies[2]->IsDead());
  EXPECT_EQ(game.score, 150);
  // Held down, the key gives no second bomb.
  HandleGameKeys();
  EXPECT_EQ(game.bombs, 2);
}

TEST_F(WavePlayTest, WithNoBombsLeftTheBombKeyDoesNothing) {
  StartWaveAt(0);
  game.bombs = 0;
  game.bombArmed = 1;
  platform.ClearSampleCalls();
  platform.Hold(KEY_SPACE);
  HandleGameKeys();
  EXPECT_EQ(game.bombs, 0);
  EXPECT_TRUE(platform.SampleCalls().empty());
}

TEST_F(WavePlayTest, PassingTenThousandPointsGivesOneLifeAndOneBomb) {
  SetUpGame();
  game.score = 9950;
  AddScore(100);
  EXPECT_EQ(game.score, 10050);
  EXPECT_EQ(game.lives, 4);
  EXPECT_EQ(game.bombs, 4);
  EXPECT_TRUE(lifeIcons[3].IsOnList());
  EXPECT_TRUE(bombIcons[3].IsOnList());
  EXPECT_EQ(game.nextBonusScore, 20000);
  EXPECT_EQ(platform.Plays(dat::kSndBonus), 1);
  // A fifth life shows no fifth icon; losing lives takes icons off from 3 down.
  game.score = 19990;
  AddScore(20);
  EXPECT_EQ(game.lives, 5);
}

TEST_F(WavePlayTest, AJumpOverTwoThresholdsPaysTheSecondAwardAtTheNextCall) {
  SetUpGame();
  AddScore(25000);
  EXPECT_EQ(game.lives, 4);
  EXPECT_EQ(game.nextBonusScore, 20000);
  AddScore(1);
  EXPECT_EQ(game.lives, 5);
  EXPECT_EQ(game.nextBonusScore, 30000);
  AddScore(1);
  EXPECT_EQ(game.lives, 5);
  EXPECT_STREQ(scoreText, "00025002");
  EXPECT_EQ(bestScore, 25002);
  EXPECT_STREQ(bestScoreText, "00025002");
}

TEST_F(WavePlayTest, ABulletThatKillsAnEnemyTouchingTheShipSavesTheShip) {
  StartWaveAt(0);
  CancelSpawnIns();
  EnterEnemy(kMutant, ship.GetX() + 20, ship.GetY() + 10);  // overlapping the ship
  Entity* e = enemies[0];
  Bullet& b = bullets[0];
  b.SetVelocity(30, 0);
  b.BuildOutline();
  // The beam's tip (x 422..444, y 4..9) over the enemy's body.
  b.SetPosition(e->GetX() + 40 - 430, e->GetY() + 40 - 6);
  stage.Show(&b);
  ResolveCollisions();
  EXPECT_TRUE(e->IsDead());
  EXPECT_FALSE(b.IsOnList());
  EXPECT_FALSE(ship.IsDestroyed());
  EXPECT_EQ(game.score, 300);
}

TEST_F(WavePlayTest, AnEnemyTouchingTheShipDestroysBothAndStillPays) {
  StartWaveAt(0);
  CancelSpawnIns();
  EnterEnemy(kMutant, ship.GetX() + 20, ship.GetY() + 10);
  ResolveCollisions();
  EXPECT_TRUE(enemies[0]->IsDead());
  EXPECT_TRUE(ship.IsDestroyed());
  EXPECT_FALSE(ship.IsOnList());
  EXPECT_TRUE(shipExplosion.IsOnList());
  EXPECT_TRUE(explosions[0].IsOnList());
  EXPECT_EQ(game.score, 300);
  EXPECT_EQ(platform.Plays(dat::kSndShipExplodes), 1);
}

TEST_F(WavePlayTest, AMissileShotDownWhileTouchingTheShipSparesTheShip) {
  StartWaveAt(0);
  CancelSpawnIns();
  FireMissile(0, ship.GetX() + 60, ship.GetY() + 35, 0, 0);  // inside the ship's body
  Missile& m = missiles[0];
  Bullet& b = bullets[0];
  b.SetVelocity(30, 0);
  b.BuildOutline();
  // The missile's corner (12, 12) inside the beam's tip, around (430, 7).
  b.SetPosition(m.GetX() + 12 - 430, m.GetY() + 12 - 7);
  stage.Show(&b);
  ResolveCollisions();
  EXPECT_FALSE(m.IsOnList());
  EXPECT_FALSE(b.IsOnList());
  EXPECT_FALSE(ship.IsDestroyed());
  EXPECT_EQ(game.score, 0);

  FireMissile(0, ship.GetX() + 60, ship.GetY() + 35, 0, 0);
  ResolveCollisions();
  EXPECT_TRUE(ship.IsDestroyed());
  EXPECT_TRUE(shipExplosion.IsOnList());
}

TEST_F(WavePlayTest, FiveBaitersBeginToMaterialiseAfter1501Steps) {
  StartWaveAt(0);
  RunLogicSteps(101);
  KillAllEnemies();
  ShieldShip();
  StepShielded(1399);
  ASSERT_EQ(game.waveProgress.reinforcementCounter, 1500);
  const int plays = platform.Plays(dat::kSndMaterialise);
  EXPECT_EQ(world->pendingSpawns, 0);
  StepShielded(1);
  EXPECT_EQ(world->pendingSpawns, 5);
  EXPECT_EQ(world->waveTypeCounts[kBaiter], 5);
  EXPECT_EQ(platform.Plays(dat::kSndMaterialise), plays + 5);
  EXPECT_EQ(game.waveProgress.reinforcementLimit, 1000);
}

TEST_F(WavePlayTest, OnTheLastWaveTheBossIsMovedOppositeTheShipThenBaitersFollow) {
  StartWaveAt(kBossWave);
  EXPECT_TRUE(boss.IsOnList());
  EXPECT_EQ(boss.GetHeadHits(), 15);
  RunLogicSteps(101);
  KillAllEnemies();
  ShieldShip();
  StepShielded(1399);
  ship.SetPosition(1000, 400);
  StepShielded(1);
  EXPECT_EQ(boss.GetX(), (ship.GetX() + 2048) % 4096);
  EXPECT_EQ(world->pendingSpawns, 0);
  StepShielded(1);
  EXPECT_EQ(world->pendingSpawns, 5);
  EXPECT_EQ(game.waveProgress.reinforcementLimit, 1000);
}

TEST_F(WavePlayTest, AfterTheLastWaveTheGameGoesOnWithWaveEleven) {
  SetUpGame();
  game.waveIndex = kBossWave;
  FinishClearedWave();
  EXPECT_EQ(game.waveIndex, 10);
  EXPECT_STREQ(bottomText, "");
  ShowWaveIntro();
  EXPECT_STREQ(bigText, "The 11th Hour");
}

TEST_F(WavePlayTest, TheNinthWaveBringsTheTenthHumanAndTheTenthBringsNone) {
  SetUpGame();
  for (int i = 1; i < kHumanCount - 1; ++i) humans[i].SetState(Human::kPresent);
  world->humansAlive = 9;
  game.waveIndex = 8;
  FinishClearedWave();
  EXPECT_STREQ(bottomText, "A new human has arrived for redemption!");
  EXPECT_EQ(humans[9].GetState(), Human::kPresent);
  EXPECT_EQ(world->humansAlive, 10);
  FinishClearedWave();  // wave 10: every human is in use
  EXPECT_EQ(game.waveIndex, 10);
  EXPECT_STREQ(bottomText, "");
  EXPECT_EQ(world->humansAlive, 10);
  EXPECT_EQ(game.score, 900 + 1000);
}

TEST_F(WavePlayTest, EveryWaveButTheLastKeepsTheBossAwayWithNoHitsLeft) {
  for (int w = 0; w < kBossWave; ++w) {
    SetUpGame();
    game.waveIndex = w;
    StartWave();
    ASSERT_FALSE(boss.IsOnList()) << w;
    ASSERT_EQ(boss.GetHeadHits(), 0) << w;
    ClearWave();
  }
}

TEST_F(WavePlayTest, WaveNamesAreShownExactlyAsWritten) {
  EXPECT_STREQ(kWaveTable[14].name, "P O D   A T T A C K");
  EXPECT_STREQ(kWaveTable[15].name, "D O G F I G H T  II");
  int total = 0;
  for (int t = 0; t < kEnemyTypes; ++t) total += kWaveTable[15].counts[t];
  EXPECT_EQ(total, 76);
}

TEST_F(WavePlayTest, RemovingTheGameTakesEveryGameObjectAndRunningEffectOff) {
  StartWaveAt(kBossWave);
  RunLogicSteps(20);
  ASSERT_GT(world->pendingSpawns, 0);
  RemoveGameObjects();
  stage.Hide(&ship);
  EXPECT_EQ(ElementsOnList(), 0);
  EXPECT_EQ(world->pendingSpawns, 0);
}

}  // namespace
