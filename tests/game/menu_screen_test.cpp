// The menu as a whole: its keys, clicks on its boxes (margins included), the
// help and controls screens opened from it and the way back, the logo and the
// promotional line, and its music.
#include <allegro.h>

#include <functional>
#include <string>

#include "engine/graphics_engine.h"
#include "engine/log.h"
#include "music_recorder.h"
#include "scene/scene_objects.h"
#include "scratch_folder.h"
#include "screen_script.h"
#include "screens/menu_screen.h"
#include "support/allegro_fixture.h"
#include "support/game_fixture.h"

namespace {

class MenuScreenTest : public GameFixture {
 protected:
  void TearDown() override {
    promoLabel.SetPosition(1030, 730);
    GameFixture::TearDown();
  }

  // Runs the menu; `script` is called at every wait with its number,
  // counted from the start of this run.
  int Run(std::function<void(long)> script) {
    const long base = platform.Waits();
    ScriptScreen(platform, std::move(script));
    const int result = RunMenu();
    waits_ = platform.Waits() - base;
    return result;
  }

  // A click: the button goes down now and comes up a few waits later.
  void Click(int x, int y) {
    platform.SetMouse(x, y, 1);
    platform.ReleaseMouseAfter(2);
  }

  long waits_ = 0;  // waits of the last run
  ScratchFolder folder_;
};

bool HelpShown() { return storyLabels[0].IsOnList(); }
bool ControlsShown() { return controlNameLabels[0].IsOnList(); }
bool MenuShown() { return playBox.IsOnList(); }

TEST_F(MenuScreenTest, EnterPlays) {
  EXPECT_EQ(Run([this](long w) { if (w == 5) platform.Type(KEY_ENTER); }), kMenuPlay);
  EXPECT_EQ(waits_, 6);
}

TEST_F(MenuScreenTest, EnterOnTheKeypadPlays) {
  EXPECT_EQ(Run([this](long w) { if (w == 5) platform.Type(KEY_ENTER_PAD); }), kMenuPlay);
}

TEST_F(MenuScreenTest, EscapeQuits) {
  EXPECT_EQ(Run([this](long w) { if (w == 5) platform.Type(KEY_ESC); }), kMenuQuit);
  EXPECT_EQ(waits_, 6);
}

TEST_F(MenuScreenTest, OtherKeysDoNothing) {
  const int result = Run([this](long w) {
    const int others[] = {KEY_A, KEY_Q, KEY_SPACE, KEY_W, KEY_Y, KEY_F1, KEY_LEFT};
    if (w >= 3 && w < 10) platform.Type(others[w - 3]);
    if (w == 20) platform.Type(KEY_ENTER);
  });
  EXPECT_EQ(result, kMenuPlay);
  EXPECT_EQ(waits_, 21);
}

TEST_F(MenuScreenTest, HOpensTheHelpScreenAndAKeyComesBack) {
  bool sawHelp = false, menuHiddenMeanwhile = false, menuBack = false;
  const int result = Run([&](long w) {
    if (w == 3) platform.Type(KEY_H);
    if (HelpShown()) {
      sawHelp = true;
      menuHiddenMeanwhile = !MenuShown();
      platform.Type(KEY_SPACE);
    } else if (sawHelp && MenuShown() && !menuBack) {
      menuBack = true;
      platform.Type(KEY_ESC);
    }
  });
  EXPECT_TRUE(sawHelp);
  EXPECT_TRUE(menuHiddenMeanwhile);
  EXPECT_TRUE(menuBack);
  EXPECT_EQ(result, kMenuQuit);
}

TEST_F(MenuScreenTest, COpensTheControlsScreenAndEscapeComesBack) {
  bool sawControls = false, menuBack = false;
  const int result = Run([&](long w) {
    if (w == 3) platform.Type(KEY_C);
    if (ControlsShown()) {
      sawControls = true;
      platform.Type(KEY_ESC);
    } else if (sawControls && MenuShown() && !menuBack) {
      menuBack = true;
      platform.Type(KEY_ENTER);
    }
  });
  EXPECT_TRUE(sawControls);
  EXPECT_TRUE(menuBack);
  EXPECT_EQ(result, kMenuPlay) << "the Escape that left the controls screen did not quit the menu";
}

TEST_F(MenuScreenTest, AnEscapeHeldFromTheScreenBeforeDoesNotQuitUntilLetGo) {
  platform.Hold(KEY_ESC);
  const int result = Run([this](long w) {
    if (w >= 2 && w < 6) platform.Type(KEY_ESC);  // its auto-repeat
    if (w == 7) platform.Hold(KEY_ESC, false);
    if (w == 9) platform.Type(KEY_ENTER);
  });
  EXPECT_EQ(result, kMenuPlay);
}

// Every corner of a box, margin included, chooses its button; one pixel
// outside does nothing.
struct Corner {
  int x, y;
};

TEST_F(MenuScreenTest, AClickAnywhereInsideThePlayBoxPlays) {
  for (Corner c : {Corner{382, 348}, Corner{641, 348}, Corner{382, 415}, Corner{641, 415}, Corner{512, 382}}) {
    platform.ClearSampleCalls();
    const int result = Run([&](long w) {
      if (w == 3) Click(c.x, c.y);
      if (w == 30) platform.Type(KEY_ESC);
    });
    EXPECT_EQ(result, kMenuPlay) << "click at " << c.x << ", " << c.y;
    EXPECT_LT(waits_, 30);
    kav_test::ResetWorld();
  }
}

TEST_F(MenuScreenTest, AClickAnywhereInsideTheQuitBoxQuits) {
  for (Corner c : {Corner{382, 648}, Corner{641, 715}, Corner{400, 700}}) {
    const int result = Run([&](long w) {
      if (w == 3) Click(c.x, c.y);
      if (w == 30) platform.Type(KEY_ENTER);
    });
    EXPECT_EQ(result, kMenuQuit) << "click at " << c.x << ", " << c.y;
    kav_test::ResetWorld();
  }
}

TEST_F(MenuScreenTest, AClickOutsideTheBoxesDoesNothing) {
  for (Corner c : {Corner{381, 348}, Corner{642, 415}, Corner{512, 347}, Corner{512, 416}, Corner{512, 430},
                   Corner{100, 100}}) {
    long decidedAt = -1;
    const int result = Run([&](long w) {
      if (w == 3) Click(c.x, c.y);
      if (w == 20) {
        decidedAt = w;
        platform.Type(KEY_ESC);
      }
    });
    EXPECT_EQ(result, kMenuQuit) << "click at " << c.x << ", " << c.y;
    EXPECT_EQ(decidedAt, 20);
    kav_test::ResetWorld();
  }
}

TEST_F(MenuScreenTest, AClickInTheHelpBoxMarginOpensTheHelpScreen) {
  bool sawHelp = false;
  Run([&](long w) {
    if (w == 3) Click(641, 548);
    if (HelpShown()) {
      sawHelp = true;
      platform.Type(KEY_SPACE);
    }
    if (w == 400) platform.Type(KEY_ESC);
  });
  EXPECT_TRUE(sawHelp);
}

TEST_F(MenuScreenTest, AClickInTheControlsBoxOpensTheControlsScreen) {
  bool sawControls = false;
  Run([&](long w) {
    if (w == 3) Click(382, 515);
    if (ControlsShown()) {
      sawControls = true;
      platform.Type(KEY_ESC);
    }
    if (w == 400) platform.Type(KEY_ESC);
  });
  EXPECT_TRUE(sawControls);
}

TEST_F(MenuScreenTest, ComingBackFromHelpRestartsTheLogoFromTheSidesAtFullSpeed) {
  std::vector<int> afterHelp;
  bool sawHelp = false;
  Run([&](long w) {
    // By then the slide has reached its full speed, and keeps it.
    if (w == 10) platform.Type(KEY_H);
    if (HelpShown()) {
      sawHelp = true;
      platform.Type(KEY_SPACE);
    } else if (sawHelp && MenuShown()) {
      afterHelp.push_back(logoVe.GetX());
      if (afterHelp.size() == 4) platform.Type(KEY_ESC);
    }
  });
  ASSERT_GE(afterHelp.size(), 3u);
  EXPECT_EQ(afterHelp[0], -200);
  EXPECT_EQ(afterHelp[1], -189);
  EXPECT_EQ(afterHelp[2], -178);
}

TEST_F(MenuScreenTest, ThePromotionalLineScrollsLeftAndStartsAgainFromTheRight) {
  promoLabel.SetPosition(-3996, 730);
  std::vector<int> xs;
  Run([&](long w) {
    xs.push_back(promoLabel.GetX());
    if (w == 4) platform.Type(KEY_ESC);
  });
  const std::vector<int> expected = {-3996, -3998, -4000, 1200, 1198};
  EXPECT_EQ(std::vector<int>(xs.begin(), xs.begin() + 5), expected);
  EXPECT_EQ(promoLabel.GetY(), 730);
}

TEST_F(MenuScreenTest, TheMenuMusicPlaysOnThroughTheHelpScreenAndRampsDownAtTheEnd) {
  MusicRecorder music;
  ASSERT_TRUE(folder_.LinkMusic()) << "the music tracks are built into " << kav_test::DataDir();
  bool sawHelp = false;
  int stopsDuringHelp = -1;
  Run([&](long w) {
    if (w == 30) platform.Type(KEY_H);
    if (HelpShown()) {
      sawHelp = true;
      stopsDuringHelp = music.Record().stops;
      platform.Type(KEY_SPACE);
    } else if (sawHelp && w > 120) {
      platform.Type(KEY_ENTER);
    }
  });
  const MusicRecord& record = music.Record();
  EXPECT_TRUE(sawHelp);
  EXPECT_EQ(stopsDuringHelp, 0);
  EXPECT_EQ(record.starts, 1) << "one track from the menu's start to its end";
  EXPECT_GT(record.loudSamples, 44100);
  ASSERT_EQ(record.volumes.size(), 128u);
  EXPECT_EQ(record.volumes.front(), 128);
  EXPECT_EQ(record.volumes.back(), 1);
  EXPECT_EQ(record.stops, 1);
}

TEST_F(MenuScreenTest, LeavingTakesTheWholeMenuOffTheRenderListWithoutAComplaint) {
  testing::internal::CaptureStdout();
  Run([&](long w) {
    if (w == 3) platform.Type(KEY_H);
    if (HelpShown()) platform.Type(KEY_SPACE);
    if (w == 60) platform.Type(KEY_ENTER);
  });
  const std::string log = testing::internal::GetCapturedStdout();
  EXPECT_EQ(ElementsOnList(), 0);
  EXPECT_EQ(log.find("ERROR"), std::string::npos) << log;
}

}  // namespace
