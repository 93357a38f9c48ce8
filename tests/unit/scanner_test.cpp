#include <allegro.h>
#include <gtest/gtest.h>

#include "engine/data_index.h"
#include "entities/entity.h"
#include "entities/play_objects.h"
#include "game/waves.h"
#include "scene/scene_objects.h"
#include "scene/stage.h"
#include "scene/view.h"
#include "support/game_fixture.h"

namespace {

int ColumnColour(int c) { return makecol((c & 7) * 32, (c >> 3) * 4, 255); }

// The scanner's background is painted with one colour per column (and put
// back afterwards), so each screen column tells which strip column it shows.
class ScannerTest : public GameFixture {
 protected:
  void SetUp() override {
    GameFixture::SetUp();
    background = engine.Bitmap(dat::kScannerBackground);
    saved = create_bitmap(background->w, background->h);
    blit(background, saved, 0, 0, 0, 0, background->w, background->h);
    for (int c = 0; c < background->w; ++c) vline(background, c, 0, background->h - 1, ColumnColour(c));
    target = create_bitmap(1024, 768);
    clear_bitmap(target);
  }
  void TearDown() override {
    blit(saved, background, 0, 0, 0, 0, background->w, background->h);
    destroy_bitmap(saved);
    destroy_bitmap(target);
    GameFixture::TearDown();
  }
  // The strip column shown at screen column 256 + k.
  int Shown(int k) {
    const int row = background->h / 2;
    const int pixel = getpixel(target, 256 + k, row);
    for (int c = 0; c < 512; ++c)
      if (ColumnColour(c) == pixel) return c;
    return -1;
  }
  BITMAP* background = nullptr;
  BITMAP* saved = nullptr;
  BITMAP* target = nullptr;
};

TEST_F(ScannerTest, TheStripIs512ColumnsWide) { EXPECT_EQ(background->w, 512); }

TEST_F(ScannerTest, AtTheStartOfTheWorldTheLeftSectionShowsTheEndOfTheWorld) {
  ship.SetPosition(3000, 400);  // its dot away from the columns checked
  ViewX = 0;
  scanner.Draw(target);
  EXPECT_EQ(Shown(1), 321);
  EXPECT_EQ(Shown(191), 511);
  EXPECT_EQ(Shown(192), 0);
  EXPECT_EQ(Shown(511), 319);
}

TEST_F(ScannerTest, NearTheEndOfTheWorldBothSectionsWrap) {
  ship.SetPosition(2000, 400);
  ViewX = 4000;  // column 500
  scanner.Draw(target);
  EXPECT_EQ(Shown(1), 309);
  EXPECT_EQ(Shown(191), 499);
  EXPECT_EQ(Shown(192), 500);
  EXPECT_EQ(Shown(203), 511);
  EXPECT_EQ(Shown(204), 0);
  EXPECT_EQ(Shown(511), 307);
}

TEST_F(ScannerTest, EnemiesHumansAndTheShipShowAsDotsWithTheShipOnTop) {
  ViewX = 0;
  EnterEnemy(kLander, 800, 384);   // column 100
  EnterEnemy(kMutant, 4095, 384);  // column 511
  EnterEnemy(kBomber, 1600, 384);
  enemies[2]->Kill();  // dead: no dot
  humans[0].SetState(Human::kPresent);
  humans[0].SetPosition(1200, 384);
  stage.Show(&humans[0]);
  ship.SetPosition(800, 384);  // on the lander's dot
  scanner.Draw(target);
  BITMAP* strip = scanner.Buffer();
  const int sy = 768 / background->h;
  const int row = 384 / sy + 1;
  EXPECT_EQ(getpixel(strip, 104, row), makecol(255, 255, 255));  // the ship's dot is 6 wide
  EXPECT_EQ(getpixel(strip, 511, row), makecol(255, 0, 0));
  EXPECT_EQ(getpixel(strip, 150, row), makecol(255, 252, 25));
  EXPECT_EQ(getpixel(strip, 200, row), ColumnColour(200));
  // A frame in yellow around the strip.
  EXPECT_EQ(getpixel(target, 256, 0), makecol(255, 252, 25));
  EXPECT_EQ(getpixel(target, 256 + 512, background->h), makecol(255, 252, 25));
}

}  // namespace

namespace {

using MenuBoxColourTest = GameFixture;

// The menu boxes are built before the screen's colour format is known.
TEST_F(MenuBoxColourTest, AHighlightedMenuBoxIsRed) {
  BITMAP* target = create_bitmap(1024, 768);
  for (RectangleShape* box : {&playBox, &controlsBox, &helpBox, &quitBox}) {
    box->Highlight();
    box->Draw(target);
    EXPECT_EQ(box->LastColour(), makecol(255, 0, 0));
    EXPECT_EQ(getpixel(target, box->Left(), box->Top()), makecol(255, 0, 0));
    box->Unhighlight();
  }
  destroy_bitmap(target);
}

}  // namespace
