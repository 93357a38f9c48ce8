// The boss of the last wave: its circling, its volleys, the order in which it
// must be taken apart, the points and explosions of each hit, and its contact
// with the ship.
#include <gtest/gtest.h>

#include <allegro.h>

#include <cstring>

#include "engine/clock.h"
#include "engine/data_index.h"
#include "engine/graphics_engine.h"
#include "entities/boss.h"
#include "entities/play_objects.h"
#include "game/game_state.h"
#include "scene/stage.h"
#include "support/game_fixture.h"

namespace {

constexpr int kFarAway = -5000;

class BossTest : public GameFixture {
 protected:
  void SetUp() override {
    GameFixture::SetUp();
    boss.Init(2048, 100, 2, "MM");
    stage.Show(&boss);
  }

  // A local point well inside the outline (its neighbours inside too).
  static bool InsidePoint(PolygonShape& outline, int& lx, int& ly) {
    for (int y = 3; y < 250; ++y)
      for (int x = 3; x < 250; ++x)
        if (outline.HitTest(x, y) && outline.HitTest(x - 3, y) && outline.HitTest(x + 3, y) &&
            outline.HitTest(x, y - 3) && outline.HitTest(x, y + 3)) {
          lx = x;
          ly = y;
          return true;
        }
    return false;
  }

  // Places a right-flying beam with its tip's corner (436, 4) at the world
  // point and puts it on the render list.
  static void AimBulletAt(Bullet& bullet, int worldX, int worldY) {
    bullet.SetVelocity(Bullet::kSpeed, 0);
    bullet.BuildOutline();
    bullet.SetPosition(worldX - 436, worldY - 4);
    stage.Show(&bullet);
  }

  // Moves every part but `keep` far out of reach, so a beam finds only it.
  static void Isolate(TimedSprite& keep) {
    TimedSprite* parts[] = {&boss.Head(), &boss.Torso(), &boss.Leg(0), &boss.Leg(1), &boss.Leg(2)};
    for (TimedSprite* part : parts)
      if (part != &keep) part->SetPosition(part->GetX(), kFarAway);
    for (int i = 0; i < Boss::kArms; ++i) {
      if (&boss.LeftArm(i) != &keep) boss.LeftArm(i).SetPosition(boss.LeftArm(i).GetX(), kFarAway);
      if (&boss.RightArm(i) != &keep) boss.RightArm(i).SetPosition(boss.RightArm(i).GetX(), kFarAway);
    }
  }

  // One beam at the part alone, then the boss's collision test.
  static void ShootAt(TimedSprite& part, PolygonShape& outline) {
    int lx = 0, ly = 0;
    ASSERT_TRUE(InsidePoint(outline, lx, ly));
    // A step of the boss's own puts the parts back where it stands.
    boss.SwingLimbs();
    Isolate(part);
    AimBulletAt(bullets[0], part.GetX() + lx, part.GetY() + ly);
    boss.Collide();
  }

  static int ExplosionsRunning() {
    int running = 0;
    for (int i = 0; i < Boss::kExplosions; ++i) running += boss.GetExplosion(i).IsOnList() ? 1 : 0;
    return running;
  }

  static int LimbHitsLeft() {
    int left = 0;
    for (int i = 0; i < Boss::kLegs; ++i) left += boss.GetLegHits(i);
    for (int i = 0; i < Boss::kArms; ++i) left += boss.GetLeftArmHits(i) + boss.GetRightArmHits(i);
    return left;
  }

  // Legs, then the front arms, then the arms they shielded.
  static void ShootOffEveryLimb() {
    for (int i = 0; i < Boss::kLegs; ++i)
      while (boss.GetLegHits(i) > 0) ShootAt(boss.Leg(i), boss.LegOutline(i));
    for (int i : {0, 1, 2, 3}) {
      while (boss.GetLeftArmHits(i) > 0) ShootAt(boss.LeftArm(i), boss.LeftArmOutline(i));
      while (boss.GetRightArmHits(i) > 0) ShootAt(boss.RightArm(i), boss.RightArmOutline(i));
    }
  }
};

// Motion and firing

TEST_F(BossTest, FirstStepAtPhase0MovesRight4AndAtPhase64Down4) {
  boss.SetPhase(0);
  boss.MoveStep();
  EXPECT_EQ(boss.GetX(), 2052);
  EXPECT_EQ(boss.GetY(), 100);
  EXPECT_EQ(boss.GetPhase(), 1);

  boss.SetPhase(64);
  boss.MoveStep();
  EXPECT_EQ(boss.GetX(), 2052);
  EXPECT_EQ(boss.GetY(), 104);

  boss.SetPhase(128);
  boss.MoveStep();
  EXPECT_EQ(boss.GetX(), 2048);
}

TEST_F(BossTest, ABossSetUpAgainCirclesFromTheStartWhateverTheLastOneDid) {
  for (int i = 0; i < 77; ++i) boss.MoveStep();
  ASSERT_EQ(boss.GetPhase(), 77);
  boss.Init(2048, 100, 2, "MM");
  EXPECT_EQ(boss.GetPhase(), 0);
  boss.MoveStep();
  EXPECT_EQ(boss.GetX(), 2052);
  EXPECT_EQ(boss.GetY(), 100);
}

TEST_F(BossTest, DrawingTheBossMovesNoneOfItsParts) {
  for (int i = 0; i < 33; ++i) boss.MoveStep();
  const BossState before = world->boss;
  const int legX = boss.Leg(0).GetX(), armFrame = boss.LeftArm(1).GetFrame();
  for (int i = 0; i < 10; ++i) boss.Draw(engine.BackBuffer());
  EXPECT_EQ(std::memcmp(&before, &world->boss, sizeof before), 0);
  EXPECT_EQ(boss.Leg(0).GetX(), legX);
  EXPECT_EQ(boss.LeftArm(1).GetFrame(), armFrame);
}

TEST_F(BossTest, EachCircleDriftsALittleUpAndLeftAndIsHeldBelow100) {
  boss.Init(2048, 400, 2, "MM");
  boss.SetPhase(0);
  for (int i = 0; i < 256; ++i) boss.MoveStep();
  EXPECT_EQ(boss.GetPhase(), 0);
  EXPECT_LT(boss.GetX(), 2048);
  EXPECT_GT(boss.GetX(), 2048 - 300);
  EXPECT_LT(boss.GetY(), 400);

  boss.Init(10, 100, 2, "MM");
  boss.SetPhase(128);  // heading left: across the seam
  for (int i = 0; i < 3; ++i) boss.MoveStep();
  EXPECT_GT(boss.GetX(), 4000);
  boss.SetPhase(192);  // heading up
  boss.MoveStep();
  EXPECT_EQ(boss.GetY(), 100);
}

TEST_F(BossTest, FiresAPairOfBossMissilesEvery20Steps) {
  for (int i = 0; i < 19; ++i) boss.AttackStep();
  EXPECT_EQ(world->nextMissile, 0);
  boss.AttackStep();
  ASSERT_EQ(world->nextMissile, 2);
  const Missile& leftShot = missiles[0];
  const Missile& rightShot = missiles[1];
  EXPECT_EQ(leftShot.GetKind(), 3);
  EXPECT_EQ(leftShot.GetX(), 2048 + 180);
  EXPECT_EQ(leftShot.GetY(), 100);
  EXPECT_EQ(leftShot.GetDriftX(), -9);
  EXPECT_EQ(rightShot.GetKind(), 4);
  EXPECT_EQ(rightShot.GetX(), 2048 + 285);
  EXPECT_EQ(rightShot.GetY(), 100);
  EXPECT_EQ(rightShot.GetDriftX(), 9);
  // Both shots share one slant: -1, 0 or +1.
  EXPECT_EQ(leftShot.GetDriftY(), rightShot.GetDriftY());
  EXPECT_GE(leftShot.GetDriftY(), -1);
  EXPECT_LE(leftShot.GetDriftY(), 1);
  EXPECT_EQ(platform.Plays(dat::kSndMissile34), 2);

  for (int i = 0; i < 20; ++i) boss.AttackStep();
  EXPECT_EQ(world->nextMissile, 4);
}

TEST_F(BossTest, BeatenHeadStopsTheMissiles) {
  boss.SetHeadHits(0);
  for (int i = 0; i < 200; ++i) boss.AttackStep();
  EXPECT_EQ(world->nextMissile, 0);
  EXPECT_EQ(platform.Plays(dat::kSndMissile34), 0);
}

// Drawing

TEST_F(BossTest, LimbsArePlacedForThePictureTheyShow) {
  const int x = boss.GetX(), y = boss.GetY();
  // Frame 0 everywhere: leg image 0, arm image 0.
  EXPECT_EQ(boss.Leg(0).GetX(), x + 185 - 12);
  EXPECT_EQ(boss.Leg(0).GetY(), y + 230 - 2);
  EXPECT_EQ(boss.LeftArm(0).GetX(), x + 29);
  EXPECT_EQ(boss.LeftArm(0).GetY(), y + 130 - 80);
  EXPECT_EQ(boss.RightArm(1).GetY(), y + 162 - 80);
  EXPECT_EQ(boss.LeftArm(3).GetY(), y + 162 - 48);
  EXPECT_EQ(boss.Head().GetX(), x + 185);
  EXPECT_EQ(boss.Torso().GetY(), y + 107);

  // Twenty steps on, each arm (5 steps a frame) has swung to its fifth frame
  // (image 4) and each leg (20 steps a frame) to its second (image 1). A
  // step swings the limbs; the next one places the parts for the new
  // pictures.
  for (int step = 1; step <= 20; ++step) boss.SwingLimbs();
  EXPECT_EQ(boss.LeftArm(0).GetX(), x + 29);
  boss.SwingLimbs();
  EXPECT_EQ(boss.LeftArm(0).GetFrame(), 4);
  EXPECT_EQ(boss.LeftArm(0).GetX(), x + 29 + 10);
  EXPECT_EQ(boss.LeftArm(0).GetY(), y + 130 + 12);
  EXPECT_EQ(boss.RightArm(0).GetX(), x + 347 - 10);
  EXPECT_EQ(boss.RightArm(2).GetX(), x + 278);
  EXPECT_EQ(boss.RightArm(2).GetY(), y + 123);
  EXPECT_EQ(boss.Leg(2).GetFrame(), 1);
  EXPECT_EQ(boss.Leg(2).GetX(), x + 246);
  EXPECT_EQ(boss.Leg(2).GetY(), y + 230);
}

TEST_F(BossTest, BeatenPartsAreNeitherDrawnNorAnimated) {
  while (boss.GetLegHits(1) > 0) ShootAt(boss.Leg(1), boss.LegOutline(1));
  for (int step = 1; step <= 40; ++step) boss.SwingLimbs();
  EXPECT_EQ(boss.Leg(1).GetFrame(), 0);
  EXPECT_NE(boss.Leg(0).GetFrame(), 0);
}

// Hits

TEST_F(BossTest, BulletTouchingALegAndTheTorsoHurtsOnlyTheLeg) {
  // A world point inside both leg 0 and the torso.
  TimedSprite& leg = boss.Leg(0);
  TimedSprite& torso = boss.Torso();
  int wx = 0, wy = 0;
  bool found = false;
  for (int y = torso.GetY(); y < torso.GetY() + 160 && !found; ++y)
    for (int x = leg.GetX(); x < leg.GetX() + 60 && !found; ++x)
      if (boss.LegOutline(0).HitTest(x - leg.GetX(), y - leg.GetY()) &&
          boss.TorsoOutline().HitTest(x - torso.GetX(), y - torso.GetY())) {
        wx = x;
        wy = y;
        found = true;
      }
  ASSERT_TRUE(found);
  AimBulletAt(bullets[0], wx, wy);
  boss.Collide();

  EXPECT_EQ(boss.GetLegHits(0), 4);
  EXPECT_EQ(boss.GetTorsoHits(), 25);
  EXPECT_FALSE(bullets[0].IsOnList());
  EXPECT_EQ(game.score, 100);
  EXPECT_TRUE(boss.GetExplosion(40 + 4).IsOnList());
  EXPECT_EQ(ExplosionsRunning(), 1);
}

TEST_F(BossTest, ShieldedArmHitScores100WithAHitExplosionButNoDamage) {
  ShootAt(boss.LeftArm(2), boss.LeftArmOutline(2));
  EXPECT_EQ(boss.GetLeftArmHits(2), 5);
  EXPECT_EQ(boss.GetLeftArmHits(0), 5);
  EXPECT_FALSE(bullets[0].IsOnList());
  EXPECT_EQ(game.score, 100);
  EXPECT_TRUE(boss.GetExplosion(54 + 5 * 2 + 5).IsOnList());

  // Arm 3 hides behind arm 1 the same way, on the right side too.
  ShootAt(boss.RightArm(3), boss.RightArmOutline(3));
  EXPECT_EQ(boss.GetRightArmHits(3), 5);
  EXPECT_EQ(game.score, 200);

  // With the front arm gone the back arm takes damage.
  while (boss.GetLeftArmHits(0) > 0) ShootAt(boss.LeftArm(0), boss.LeftArmOutline(0));
  ShootAt(boss.LeftArm(2), boss.LeftArmOutline(2));
  EXPECT_EQ(boss.GetLeftArmHits(2), 4);
}

TEST_F(BossTest, TorsoSoaksUpShotsWithoutPointsWhileAnyLimbLives) {
  ShootAt(boss.Torso(), boss.TorsoOutline());
  EXPECT_FALSE(bullets[0].IsOnList());
  EXPECT_EQ(boss.GetTorsoHits(), 25);
  EXPECT_EQ(game.score, 0);
  EXPECT_EQ(ExplosionsRunning(), 0);
}

TEST_F(BossTest, HeadCannotBeHitUntilTheTorsoIsBeaten) {
  ShootAt(boss.Head(), boss.HeadOutline());
  EXPECT_EQ(boss.GetHeadHits(), 15);
  EXPECT_TRUE(bullets[0].IsOnList());  // nothing took it: it flies on
  stage.Hide(&bullets[0]);

  ShootOffEveryLimb();
  ASSERT_EQ(LimbHitsLeft(), 0);
  while (boss.GetTorsoHits() > 0) ShootAt(boss.Torso(), boss.TorsoOutline());
  ShootAt(boss.Head(), boss.HeadOutline());
  EXPECT_EQ(boss.GetHeadHits(), 14);
  EXPECT_FALSE(bullets[0].IsOnList());
}

TEST_F(BossTest, TakenApartInOrderItPays100ALimbHitAnd1000ForTorsoAndHead) {
  ShootOffEveryLimb();
  EXPECT_EQ(game.score, (3 + 8) * 5 * 100);
  while (boss.GetTorsoHits() > 1) ShootAt(boss.Torso(), boss.TorsoOutline());
  EXPECT_EQ(game.score, 5500);  // torso hits pay only when it falls
  ShootAt(boss.Torso(), boss.TorsoOutline());
  EXPECT_EQ(game.score, 6500);
  while (boss.GetHeadHits() > 1) ShootAt(boss.Head(), boss.HeadOutline());
  EXPECT_EQ(game.score, 6500);
  ShootAt(boss.Head(), boss.HeadOutline());
  EXPECT_EQ(boss.GetHeadHits(), 0);
  EXPECT_EQ(game.score, 7500);
  // Beaten: no more volleys.
  for (int i = 0; i < 40; ++i) boss.AttackStep();
  EXPECT_EQ(world->nextMissile, 0);
}

TEST_F(BossTest, FinalHitOfAPartExplodesItsOwnPictureAtItsPlace) {
  BITMAP* hit = engine.Bitmap(dat::kBossHit);
  BITMAP* leg = engine.Bitmap(dat::kBossLeg0 + 1);
  ASSERT_NE(hit->w / 8, leg->w / 8);
  for (int i = 0; i < 4; ++i) ShootAt(boss.Leg(1), boss.LegOutline(1));
  const Explosion& small = boss.GetExplosion(40 + 5 + 1);
  EXPECT_TRUE(small.IsOnList());
  EXPECT_EQ(small.Piece(0).GetWidth(), hit->w / 8);

  ShootAt(boss.Leg(1), boss.LegOutline(1));
  const Explosion& last = boss.GetExplosion(40 + 5);
  EXPECT_TRUE(last.IsOnList());
  EXPECT_EQ(last.Piece(0).GetWidth(), leg->w / 8);
  EXPECT_EQ(last.Piece(0).GetX(), boss.Leg(1).GetX());
  EXPECT_EQ(last.Piece(0).GetY(), boss.Leg(1).GetY());
  EXPECT_EQ(ExplosionsRunning(), 5);
}

TEST_F(BossTest, ExplosionsFlyWithTheBossStepsAndEndAfter100) {
  ShootAt(boss.Leg(0), boss.LegOutline(0));
  const Explosion& bang = boss.GetExplosion(44);
  ASSERT_TRUE(bang.IsOnList());
  const int x0 = bang.Piece(0).GetX();
  boss.MoveStep();
  EXPECT_NE(bang.Piece(0).GetX(), x0);
  for (int i = 0; i < 100; ++i) boss.AttackStep();
  EXPECT_TRUE(bang.IsOnList());
  boss.AttackStep();
  EXPECT_FALSE(bang.IsOnList());
}

TEST_F(BossTest, HideExplosionsTakesEveryRunningOneOff) {
  ShootAt(boss.Leg(0), boss.LegOutline(0));
  ShootAt(boss.Leg(2), boss.LegOutline(2));
  ASSERT_EQ(ExplosionsRunning(), 2);
  boss.HideExplosions();
  EXPECT_EQ(ExplosionsRunning(), 0);
}

// Contact with the ship

TEST_F(BossTest, ShipTouchingTwoPartsIsDestroyedOnce) {
  // Over the head and the top of the torso.
  ship.SetPosition(boss.Head().GetX() - 20, boss.Torso().GetY() - 60);
  PolygonShape& shipOutline = ship.GetOutline();
  auto touches = [&](PolygonShape& outline, TimedSprite& part) {
    return outline.AnyVertexInside(part.GetX(), part.GetY(), shipOutline, ship.GetX(), ship.GetY()) ||
           shipOutline.AnyVertexInside(ship.GetX(), ship.GetY(), outline, part.GetX(), part.GetY());
  };
  ASSERT_TRUE(touches(boss.HeadOutline(), boss.Head()));
  ASSERT_TRUE(touches(boss.TorsoOutline(), boss.Torso()));
  stage.Show(&ship);

  boss.Collide();
  EXPECT_TRUE(ship.IsDestroyed());
  EXPECT_FALSE(ship.IsOnList());
  EXPECT_EQ(platform.Plays(dat::kSndShipExplodes), 1);
  EXPECT_TRUE(shipExplosion.IsOnList());
  // Contact costs the boss nothing.
  EXPECT_EQ(boss.GetHeadHits(), 15);
  EXPECT_EQ(boss.GetTorsoHits(), 25);

  boss.Collide();  // a destroyed ship is not tested again
  EXPECT_EQ(platform.Plays(dat::kSndShipExplodes), 1);
}

TEST_F(BossTest, ShipIsSafeFromPartsThatAreBeaten) {
  while (boss.GetLegHits(0) > 0) ShootAt(boss.Leg(0), boss.LegOutline(0));
  boss.SwingLimbs();
  Isolate(boss.Leg(0));
  ship.SetPosition(boss.Leg(0).GetX() - 40, boss.Leg(0).GetY());
  ASSERT_TRUE(boss.LegOutline(0).AnyVertexInside(boss.Leg(0).GetX(), boss.Leg(0).GetY(), ship.GetOutline(),
                                                 ship.GetX(), ship.GetY()) ||
              ship.GetOutline().AnyVertexInside(ship.GetX(), ship.GetY(), boss.LegOutline(0), boss.Leg(0).GetX(),
                                                boss.Leg(0).GetY()));
  boss.Collide();
  EXPECT_FALSE(ship.IsDestroyed());
}

TEST_F(BossTest, SetUpAgainRestoresEveryHitCount) {
  ShootOffEveryLimb();
  ShootAt(boss.Torso(), boss.TorsoOutline());
  boss.SetHeadHits(3);
  boss.Init(2048, 100, 2, "MM");
  EXPECT_EQ(boss.GetHeadHits(), 15);
  EXPECT_EQ(boss.GetTorsoHits(), 25);
  EXPECT_EQ(LimbHitsLeft(), 11 * 5);
}

}  // namespace
