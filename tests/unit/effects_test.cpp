// The explosion and spawn-in effects: cutting a picture into 64 pieces, the
// flight of the pieces, the slow-down, the end, and the spawn at the end of a
// spawn-in.
#include <allegro.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/data_index.h"
#include "engine/graphics_engine.h"
#include "entities/enemy_roster.h"
#include "entities/entity.h"
#include "entities/explosion.h"
#include "entities/implosion.h"
#include "entities/lander.h"
#include "entities/play_objects.h"
#include "game/waves.h"
#include "scene/stage.h"
#include "scene/view.h"
#include "support/game_fixture.h"

namespace {

// Every pixel of the picture has a colour of its own in 16 bits (for pictures
// up to 64 x 128), so a piece's pixel tells where in the picture it came from.
int PixelColour(int x, int y) { return makecol((x & 31) * 8, (y & 63) * 4, ((x >> 5) | (y >> 6) << 1) * 8); }

BITMAP* Coded(int w, int h) {
  BITMAP* b = create_bitmap(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) putpixel(b, x, y, PixelColour(x, y));
  return b;
}

class EffectsTest : public GameFixture {
 protected:
  void TearDown() override {
    for (BITMAP* b : made)
      if (b) destroy_bitmap(b);
    GameFixture::TearDown();
  }
  BITMAP* Make(int w, int h) {
    made.push_back(Coded(w, h));
    return made.back();
  }
  // The effects' part of a logic step.
  void StepEffects() {
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
  std::vector<BITMAP*> made;
};

TEST_F(EffectsTest, A64By80PictureIsCutIntoPiecesOf8By10) {
  Explosion& e = explosions[0];
  e.Init(Make(64, 80), 1000, 200, 0, "Bang!");
  for (int i = 0; i < Explosion::kPieces; ++i) {
    const int c = i % 8, r = i / 8;
    const TimedSprite& piece = e.Piece(i);
    ASSERT_NE(piece.GetBitmap(), nullptr);
    EXPECT_EQ(piece.GetWidth(), 8);
    EXPECT_EQ(piece.GetHeight(), 10);
    EXPECT_EQ(piece.GetX(), 1000 + 8 * c);
    EXPECT_EQ(piece.GetY(), 200 + 10 * r);
    EXPECT_EQ(getpixel(piece.GetBitmap(), 0, 0), PixelColour(8 * c, 10 * r)) << "piece " << i;
    EXPECT_EQ(getpixel(piece.GetBitmap(), 7, 9), PixelColour(8 * c + 7, 10 * r + 9)) << "piece " << i;
    EXPECT_TRUE(piece.IsWorldSpace());
  }
}

TEST_F(EffectsTest, A60By30PictureLeavesItsRightAndBottomRemaindersOut) {
  Explosion& e = explosions[1];
  e.Init(Make(60, 30), 0, 0, 0, "Bang!");
  const TimedSprite& last = e.Piece(63);
  EXPECT_EQ(last.GetWidth(), 7);
  EXPECT_EQ(last.GetHeight(), 3);
  EXPECT_EQ(last.GetX(), 49);
  EXPECT_EQ(last.GetY(), 21);
  // Its far corner is picture pixel (55, 23): columns 56..59 and rows 24..29
  // belong to no piece.
  EXPECT_EQ(getpixel(last.GetBitmap(), 6, 2), PixelColour(55, 23));
}

TEST_F(EffectsTest, ExplosionPiecesFlyAtFiveTimesTheirDirection) {
  Explosion& e = explosions[2];
  e.Init(Make(64, 64), 1000, 300, 0, "Bang!");
  e.MovePieces();
  EXPECT_EQ(e.Piece(0).GetX(), 1000 - 30);
  EXPECT_EQ(e.Piece(0).GetY(), 300 - 30);
  // Row 3, column 7 flies straight up.
  EXPECT_EQ(e.Piece(31).GetX(), 1000 + 56);
  EXPECT_EQ(e.Piece(31).GetY(), 300 + 24 - 20);
  // Row 5, column 1 barely falls.
  EXPECT_EQ(e.Piece(41).GetX(), 1000 + 8 - 15);
  EXPECT_EQ(e.Piece(41).GetY(), 300 + 40 + 5);
  for (int i = 0; i < Explosion::kPieces; ++i) {
    const TimedSprite& p = e.Piece(i);
    EXPECT_FALSE(p.GetDriftX() == 0 && p.GetDriftY() == 0) << "piece " << i;
  }
}

TEST_F(EffectsTest, ThePiecesSlowDownAtTheEightiethAgeAndTheEffectEndsAtTheHundredAndFirst) {
  Explosion& e = explosions[3];
  e.Init(Make(64, 80), 500, 300, 0, "Bang!");
  stage.Show(&e);
  for (int i = 0; i < 79; ++i) e.Age();
  EXPECT_EQ(e.Piece(0).GetDriftX(), -30);
  EXPECT_EQ(e.Piece(31).GetDriftX(), 0);
  EXPECT_EQ(e.Piece(31).GetDriftY(), -20);
  e.Age();
  EXPECT_EQ(e.Piece(0).GetDriftX(), -29);
  EXPECT_EQ(e.Piece(0).GetDriftY(), -29);
  EXPECT_EQ(e.Piece(7).GetDriftX(), 29);
  EXPECT_EQ(e.Piece(31).GetDriftX(), 0);
  EXPECT_EQ(e.Piece(31).GetDriftY(), -19);
  for (int i = 80; i < 100; ++i) e.Age();
  EXPECT_TRUE(e.IsOnList());
  EXPECT_EQ(e.GetAge(), 100);
  e.Age();
  EXPECT_FALSE(e.IsOnList());
  EXPECT_EQ(e.GetAge(), 0);
  // Only one slow-down happened.
  EXPECT_EQ(e.Piece(0).GetDriftX(), -29);
}

TEST_F(EffectsTest, SettingUpARunningExplosionRestartsItInItsPlace) {
  Explosion& e = explosions[4];
  e.Init(Make(64, 80), 500, 300, 0, "Bang!");
  stage.Show(&e);
  for (int i = 0; i < 60; ++i) {
    e.MovePieces();
    e.Age();
  }
  e.Init(Make(32, 32), 900, 100, 0, "Bang!");
  EXPECT_TRUE(e.IsOnList());
  EXPECT_EQ(e.GetAge(), 0);
  EXPECT_EQ(e.Piece(0).GetX(), 900);
  EXPECT_EQ(e.Piece(0).GetWidth(), 4);
  EXPECT_EQ(ElementsOnList(), 1);
}

TEST_F(EffectsTest, AnExplosionIsDrawnAsItsPiecesAndNothingAfterRelease) {
  BITMAP* target = create_bitmap(1024, 768);
  clear_to_color(target, bitmap_mask_color(target));
  Explosion& e = explosions[5];
  e.Init(Make(64, 80), ViewX + 200, 100, 0, "Bang!");
  e.Draw(target);
  EXPECT_EQ(getpixel(target, 200, 100), PixelColour(0, 0));
  EXPECT_EQ(getpixel(target, 263, 179), PixelColour(63, 79));
  EXPECT_EQ(getpixel(target, 264, 100), bitmap_mask_color(target));

  clear_to_color(target, bitmap_mask_color(target));
  e.ReleasePieces();
  e.Draw(target);
  int drawn = 0;
  for (int y = 0; y < 768; y += 2)
    for (int x = 0; x < 1024; x += 2) drawn += getpixel(target, x, y) != bitmap_mask_color(target);
  EXPECT_EQ(drawn, 0);
  destroy_bitmap(target);
}

TEST_F(EffectsTest, APictureTooSmallToCutGivesAnEffectThatDrawsNothing) {
  BITMAP* target = create_bitmap(64, 64);
  clear_to_color(target, bitmap_mask_color(target));
  Explosion& e = explosions[6];
  e.Init(Make(5, 40), ViewX + 10, 10, 0, "Bang!");
  EXPECT_EQ(e.Piece(0).GetBitmap(), nullptr);
  e.MovePieces();
  e.Draw(target);
  EXPECT_EQ(getpixel(target, 12, 12), bitmap_mask_color(target));
  destroy_bitmap(target);
}

TEST_F(EffectsTest, AnImplosionPieceWithDirectionSevenArrivesAfterExactlyHundredMoves) {
  Implosion& im = implosions[0];
  im.Init(Make(64, 80), kLander, 1500, 400, 1, "Implosion");
  // Piece 7 is row 0, column 7: direction (7, -7).
  EXPECT_EQ(im.Piece(7).GetX(), 1500 + 56 + 7000);
  EXPECT_EQ(im.Piece(7).GetY(), 400 - 7000);
  for (int i = 0; i < 99; ++i) im.MovePieces();
  EXPECT_EQ(im.Piece(7).GetX(), 1500 + 56 + 70);
  im.MovePieces();
  for (int i = 0; i < Implosion::kPieces; ++i) {
    EXPECT_EQ(im.Piece(i).GetX(), 1500 + 8 * (i % 8)) << "piece " << i;
    EXPECT_EQ(im.Piece(i).GetY(), 400 + 10 * (i / 8)) << "piece " << i;
  }
}

TEST_F(EffectsTest, AnImplosionEndsOnItsHundredAndFirstStepByEnteringItsEnemy) {
  world->humansAlive = 1;
  world->pendingSpawns = 1;
  Implosion& im = implosions[0];
  im.Init(Make(64, 80), kMutant, 1500, 400, 1, "Implosion");
  stage.Show(&im);
  EXPECT_EQ(im.GetLayer(), 1);
  for (int i = 0; i < 100; ++i) StepEffects();
  EXPECT_TRUE(im.IsOnList());
  EXPECT_EQ(enemyCount, 0);
  StepEffects();
  EXPECT_FALSE(im.IsOnList());
  EXPECT_EQ(world->pendingSpawns, 0);
  ASSERT_EQ(enemyCount, 1);
  EXPECT_EQ(enemies[0]->GetType(), kMutant);
  EXPECT_EQ(enemies[0]->GetX(), 1500);
  EXPECT_EQ(enemies[0]->GetY(), 400);
  EXPECT_TRUE(enemies[0]->IsOnList());
  EXPECT_EQ(world->liveEnemies, 1);
}

TEST_F(EffectsTest, SpawnInsStartedTogetherEndTogetherInIndexOrder) {
  world->humansAlive = 1;
  world->waveTypeCounts[kLander] = 2;
  world->waveTypeCounts[kMutant] = 1;
  MaterialiseEnemy(kLander, 0, 0);
  MaterialiseEnemy(kLander, 0, 1);
  MaterialiseEnemy(kMutant, 0, 0);
  ASSERT_EQ(world->pendingSpawns, 3);
  EXPECT_EQ(platform.Plays(dat::kSndMaterialise), 3);
  for (int i = 0; i < 100; ++i) StepEffects();
  EXPECT_EQ(enemyCount, 0);
  EXPECT_EQ(world->pendingSpawns, 3);
  StepEffects();
  EXPECT_EQ(world->pendingSpawns, 0);
  ASSERT_EQ(enemyCount, 3);
  EXPECT_EQ(enemies[0]->GetType(), kLander);
  EXPECT_EQ(enemies[0]->GetX(), 2048);
  EXPECT_EQ(enemies[0]->GetY(), -300);
  EXPECT_EQ(enemies[1]->GetType(), kLander);
  EXPECT_EQ(enemies[1]->GetX(), 4096);
  EXPECT_EQ(enemies[1]->GetY(), -600);
  EXPECT_EQ(enemies[2]->GetType(), kMutant);
  EXPECT_EQ(enemies[2]->GetX(), 2048);
  EXPECT_EQ(enemies[2]->GetY(), 10);
  EXPECT_EQ(world->liveEnemies, 3);
  for (int k = 0; k < 3; ++k) EXPECT_FALSE(implosions[k].IsOnList());
}

TEST_F(EffectsTest, ASpawnInShowsTheEnemysPictureReassembledAtItsPlace) {
  world->humansAlive = 1;
  world->waveTypeCounts[kLander] = 1;
  MaterialiseEnemy(kLander, 0, 0);
  Implosion& im = implosions[0];
  for (int i = 0; i < 100; ++i) im.MovePieces();
  BITMAP* picture = engine.Bitmap(dat::kLanderFrame0);
  const int pw = picture->w / 8, ph = picture->h / 8;
  const TimedSprite& piece = im.Piece(9);  // row 1, column 1
  EXPECT_EQ(piece.GetX(), 2048 + pw);
  EXPECT_EQ(piece.GetY(), -300 + ph);
  EXPECT_EQ(getpixel(piece.GetBitmap(), 1, 1), getpixel(picture, pw + 1, ph + 1));
}

}  // namespace
