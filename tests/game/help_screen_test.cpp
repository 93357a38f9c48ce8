// The help screen: the story over its picture, five landers materialising in
// a row as decoration, and nothing of them left behind when it closes.
#include <allegro.h>

#include <functional>
#include <string>
#include <vector>

#include "engine/data_index.h"
#include "engine/graphics_engine.h"
#include "entities/enemy_roster.h"
#include "entities/entity.h"
#include "entities/play_objects.h"
#include "game/player_record.h"
#include "game/waves.h"
#include "scene/scene_objects.h"
#include "scene/view.h"
#include "screen_script.h"
#include "screens/help_screen.h"
#include "screens/record_page.h"
#include "scene/stage.h"
#include "scene/text_label.h"
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

// Every text on the render list.
void Texts(const Element* node, std::vector<std::string>& out) {
  for (; node; node = node->GetRight()) {
    if (auto* label = dynamic_cast<const TextLabel*>(node))
      if (label->GetText()) out.push_back(label->GetText());
    Texts(node->GetLeft(), out);
  }
}

bool Shows(const std::string& text) {
  std::vector<std::string> texts;
  Texts(stage.Elements().Root(), texts);
  for (const std::string& t : texts)
    if (t == text) return true;
  return false;
}

TEST_F(HelpScreenTest, RShowsTheRecordOverTheStoryAndAKeyComesBackToIt) {
  playerRecord = PlayerRecord();
  playerRecord.games = 3;
  playerRecord.steps = 50 * 3725;
  playerRecord.enemies = 120;
  playerRecord.humansRescued = 4;
  playerRecord.bestWave = 5;
  bool hintShown = false, recordShown = false, storyBack = false;
  int landersMeanwhile = -1;
  Run([&](long w) {
    if (w == 3) hintShown = Shows("R shows your record of all your games; any other key goes back to the menu");
    if (w == 10) platform.Type(KEY_R);
    if (w == 30) {
      recordShown = Shows("Your record") && Shows("Games played") && Shows("3") && Shows("1:02:05") &&
                    Shows("5  \"D O G F I G H T\"") && Shows("120") && Shows("4");
      landersMeanwhile = ImplosionsOnList();
      platform.Type(KEY_SPACE);
    }
    if (w == 40) {
      storyBack = storyLabels[0].IsOnList() && !Shows("Your record");
      platform.Type(KEY_SPACE);
    }
  });
  EXPECT_TRUE(hintShown);
  EXPECT_TRUE(recordShown);
  EXPECT_EQ(landersMeanwhile, 5) << "the story's spawn-ins wait under the record";
  EXPECT_TRUE(storyBack);
  EXPECT_EQ(ElementsOnList(), 0);
  playerRecord = PlayerRecord();
}

TEST_F(HelpScreenTest, ARecordWithoutGamesSaysSo) {
  const std::vector<NumbersRow> rows = RecordRows(PlayerRecord());
  ASSERT_EQ(rows.size(), 5u);
  EXPECT_EQ(rows[0].value, "0");
  EXPECT_EQ(rows[1].value, "0:00");
  EXPECT_EQ(rows[2].value, "none yet");
}

}  // namespace
