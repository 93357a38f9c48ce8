// The help screen: the story over its picture, five landers materialising in
// a row as decoration, and nothing of them left behind when it closes.
#include <allegro.h>

#include <functional>
#include <string>

#include "engine/data_index.h"
#include "engine/graphics_engine.h"
#include "entities/enemy_roster.h"
#include "entities/entity.h"
#include "entities/play_objects.h"
#include "game/waves.h"
#include "scene/scene_objects.h"
#include "scene/view.h"
#include "screen_script.h"
#include "screens/help_screen.h"
#include "support/game_fixture.h"

namespace {

class HelpScreenTest : public GameFixture {
 protected:
  void Run(std::function<void(long)> script) {
    ScriptScreen(platform, std::move(script));
    RunHelp(nullptr);
  }
};

int ImplosionsOnList() {
  int n = 0;
  for (const Implosion& implosion : implosions) n += implosion.IsOnList() ? 1 : 0;
  return n;
}

TEST_F(HelpScreenTest, FiveLandersMaterialiseInARowAndStayWhereTheyAppear) {
  ViewX = 1500;  // left by a game
  world->humansAlive = 0;
  int arrived = -1;
  int positionsRight = 0, landers = 0;
  Run([&](long w) {
    if (w == 180) {
      arrived = enemyCount;
      for (int i = 0; i < enemyCount; ++i) {
        Entity* e = enemies[i];
        if (e->GetType() == kLander) ++landers;
        if (e->GetX() == 300 + 100 * i && e->GetY() == 80 && e->IsOnList()) ++positionsRight;
      }
      platform.Type(KEY_SPACE);
    }
  });
  EXPECT_EQ(arrived, 5);
  EXPECT_EQ(landers, 5) << "with a human present type 0 comes as a lander";
  EXPECT_EQ(positionsRight, 5) << "x = 300, 400, ... 700 at y = 80, where they appeared";
  EXPECT_EQ(ViewX, 0);
  EXPECT_EQ(platform.Plays(dat::kSndMaterialise), 5);
}

TEST_F(HelpScreenTest, TheSpawnInsTakeAbout2SecondsToArrive) {
  int before = -1, after = -1;
  Run([&](long w) {
    if (w == 100) before = enemyCount;
    if (w == 102) {
      after = enemyCount;
      platform.Type(KEY_SPACE);
    }
  });
  EXPECT_EQ(before, 0);
  EXPECT_EQ(after, 5);
}

TEST_F(HelpScreenTest, TheStoryIsShownOverTheHelpPicture) {
  int storyOnList = 0;
  bool sixteenthLineShown = true;
  Run([&](long w) {
    if (w == 3) {
      for (int k = 0; k < 15; ++k) storyOnList += storyLabels[k].IsOnList() ? 1 : 0;
      sixteenthLineShown = storyLabels[15].IsOnList();
      platform.Type(KEY_SPACE);
    }
  });
  EXPECT_EQ(storyOnList, 15);
  EXPECT_FALSE(sixteenthLineShown);
}

TEST_F(HelpScreenTest, LeavingAfterTheLandersArrivedLeavesNoEnemyBehind) {
  Run([&](long w) {
    if (w == 150) platform.Type(KEY_SPACE);
  });
  EXPECT_EQ(enemyCount, 0);
  EXPECT_EQ(world->liveEnemies, 0);
  for (Entity* e : enemies) EXPECT_EQ(e, nullptr);
  EXPECT_EQ(ElementsOnList(), 0);
}

TEST_F(HelpScreenTest, LeavingBeforeTheSpawnInsFinishLeavesNoEnemyOrSpawnInBehind) {
  int converging = -1;
  Run([&](long w) {
    if (w == 40) {
      converging = ImplosionsOnList();
      platform.Type(KEY_SPACE);
    }
  });
  EXPECT_EQ(converging, 5);
  EXPECT_EQ(ImplosionsOnList(), 0);
  EXPECT_EQ(world->pendingSpawns, 0);
  EXPECT_EQ(enemyCount, 0);
  EXPECT_EQ(ElementsOnList(), 0);
  // Nothing arrives later either: a game's steps find no enemy of the help
  // screen.
  for (Implosion& implosion : implosions) EXPECT_FALSE(implosion.IsOnList());
}

TEST_F(HelpScreenTest, AClickLeavesTheHelpScreen) {
  Run([&](long w) {
    if (w == 5) {
      platform.SetMouse(500, 500, 1);
      platform.ReleaseMouseAfter(2);
    }
    if (w == 200) platform.Type(KEY_SPACE);
  });
  EXPECT_LT(platform.Waits(), 20);
  EXPECT_EQ(ElementsOnList(), 0);
}

TEST_F(HelpScreenTest, ClosingTheScreenLogsNoRenderListComplaint) {
  testing::internal::CaptureStdout();
  Run([&](long w) {
    if (w == 60) platform.Type(KEY_SPACE);
  });
  const std::string log = testing::internal::GetCapturedStdout();
  EXPECT_EQ(log.find("ERROR"), std::string::npos) << log;
}

}  // namespace
