// The controls screen: choosing an action by its box, assigning the next key,
// the prompt, Escape (never assignable), the Quit button, and the key boxes
// that stay red.
#include <allegro.h>

#include <functional>
#include <string>
#include <vector>

#include "engine/game_folders.h"
#include "engine/graphics_engine.h"
#include "engine/settings.h"
#include "engine/settings_store.h"
#include "entities/play_objects.h"
#include "game/controls.h"
#include "scene/stage.h"
#include "screen_script.h"
#include "screens/controls_screen.h"
#include "support/game_fixture.h"

namespace {

class ControlsScreenTest : public GameFixture {
 protected:
  void SetUp() override {
    GameFixture::SetUp();
    for (int i = 0; i < kControlCount; ++i) NameControlKey(i);
  }
  void TearDown() override {
    GameFixture::TearDown();  // default keys back
    for (int i = 0; i < kControlCount; ++i) NameControlKey(i);
  }

  void Run(std::function<void(long)> script) {
    ScriptScreen(platform, std::move(script));
    RunControlsScreen(nullptr);
  }

  // A click on the key box of action k (the boxes span x 550..900).
  void ClickKeyBox(int k) {
    platform.SetMouse(700, 315 + 30 * k, 1);
    platform.ReleaseMouseAfter(2);
  }

  // Elements of the screen without the prompt: the background, the Quit
  // button and its box, and three per action.
  static constexpr int kScreenElements = 3 + 3 * kControlCount;
};

TEST_F(ControlsScreenTest, AClickOnAKeyBoxShowsThePromptAndTheNextKeyIsAssigned) {
  int withPrompt = -1, afterKey = -1;
  Run([&](long w) {
    if (w == 3) ClickKeyBox(kFire);
    if (w == 10) {
      withPrompt = ElementsOnList();
      platform.Type(KEY_X);
    }
    if (w == 12) afterKey = ElementsOnList();
    if (w == 15) platform.Type(KEY_ESC);
  });
  EXPECT_EQ(withPrompt, kScreenElements + 1);
  EXPECT_EQ(afterKey, kScreenElements);
  EXPECT_EQ(ControlKey(kFire), KEY_X);
  EXPECT_STREQ(controlKeyNames[kFire], "x");
  EXPECT_EQ(ControlKey(kUp), KEY_UP);
  EXPECT_EQ(ElementsOnList(), 0);
}

TEST_F(ControlsScreenTest, ASecondBoxRetargetsThePromptAndTheFirstActionKeepsItsKey) {
  Run([&](long w) {
    if (w == 3) ClickKeyBox(kUp);
    if (w == 10) ClickKeyBox(kLeft);
    if (w == 20) platform.Type(KEY_A);
    if (w == 25) platform.Type(KEY_ESC);
  });
  EXPECT_EQ(ControlKey(kUp), KEY_UP);
  EXPECT_STREQ(controlKeyNames[kUp], "Up");
  EXPECT_EQ(ControlKey(kLeft), KEY_A);
  EXPECT_STREQ(controlKeyNames[kLeft], "a");
}

TEST_F(ControlsScreenTest, EscapeIsNeverAssignedAndLeavesEvenWhileThePromptShows) {
  Run([&](long w) {
    if (w == 3) ClickKeyBox(kDown);
    if (w == 10) platform.Type(KEY_ESC);
    if (w == 50) platform.Type(KEY_ESC);
  });
  EXPECT_EQ(platform.Waits(), 11);
  EXPECT_EQ(ControlKey(kDown), KEY_DOWN);
  EXPECT_STREQ(controlKeyNames[kDown], "Down");
  EXPECT_EQ(ElementsOnList(), 0);
}

TEST_F(ControlsScreenTest, AKeyWithNoPromptShownChangesNothing) {
  Run([&](long w) {
    if (w == 3) platform.Type(KEY_X);
    if (w == 4) platform.Type(KEY_Q);
    if (w == 10) platform.Type(KEY_ESC);
  });
  const int defaults[kControlCount] = {KEY_UP, KEY_DOWN, KEY_LEFT, KEY_RIGHT, KEY_Z, KEY_SPACE};
  for (int i = 0; i < kControlCount; ++i) EXPECT_EQ(ControlKey(i), defaults[i]) << "action " << i;
  EXPECT_EQ(platform.Waits(), 11);
}

TEST_F(ControlsScreenTest, TheQuitButtonLeavesTheScreen) {
  Run([&](long w) {
    if (w == 3) {
      platform.SetMouse(383, 714, 1);
      platform.ReleaseMouseAfter(2);
    }
    if (w == 60) platform.Type(KEY_ESC);
  });
  EXPECT_LT(platform.Waits(), 10);
  EXPECT_EQ(ElementsOnList(), 0);
}

TEST_F(ControlsScreenTest, AClickBesideTheBoxesDoesNothing) {
  int prompt = -1;
  Run([&](long w) {
    if (w == 3) {
      platform.SetMouse(549, 315, 1);
      platform.ReleaseMouseAfter(2);
    }
    if (w == 10) {
      prompt = ElementsOnList() - kScreenElements;
      platform.Type(KEY_X);
    }
    if (w == 12) platform.Type(KEY_ESC);
  });
  EXPECT_EQ(prompt, 0);
  EXPECT_EQ(ControlKey(kUp), KEY_UP);
}

TEST_F(ControlsScreenTest, AKeyAlreadyUsedChangesPlacesWithTheOldKeyOfTheAction) {
  // The fire key becomes the key for Up: fire takes Up's old key, so no key
  // serves two actions (the settings file could not keep that).
  Run([&](long w) {
    if (w == 3) ClickKeyBox(kUp);
    if (w == 10) platform.Type(KEY_Z);
    if (w == 15) platform.Type(KEY_ESC);
  });
  ASSERT_EQ(ControlKey(kUp), KEY_Z);
  ASSERT_EQ(ControlKey(kFire), KEY_UP);
  EXPECT_STREQ(controlKeyNames[kFire], "Up");
  EXPECT_STREQ(controlKeyNames[kUp], "z");

  stage.Show(&ship);
  HandleGameKeys();  // nothing held: the fire key is armed
  platform.Hold(KEY_Z);
  HandleGameKeys();
  EXPECT_LT(ship.GetVY(), 0) << "Z thrusts upwards";
  int shots = 0;
  for (const Bullet& bullet : bullets) shots += bullet.IsOnList() ? 1 : 0;
  EXPECT_EQ(shots, 0) << "and no longer fires";
  platform.ReleaseAllKeys();
  HandleGameKeys();
  platform.Hold(KEY_UP);
  HandleGameKeys();
  for (const Bullet& bullet : bullets) shots += bullet.IsOnList() ? 1 : 0;
  EXPECT_EQ(shots, 1) << "the up arrow fires";
}

TEST_F(ControlsScreenTest, AKeyAssignedIsKeptInTheSettings) {
  Run([&](long w) {
    if (w == 3) ClickKeyBox(kSmartBomb);
    if (w == 10) platform.Type(KEY_B);
    if (w == 15) platform.Type(KEY_ESC);
  });
  EXPECT_EQ(settingsStore.Current().keys[kSmartBomb], KEY_B);
  std::vector<std::string> problems;
  const Settings saved = LoadSettings(gameFolders.SettingsFile(), &problems);
  EXPECT_TRUE(problems.empty());
  EXPECT_EQ(saved.keys[kSmartBomb], KEY_B);
  EXPECT_EQ(saved.keys[kFire], KEY_Z);
}

TEST_F(ControlsScreenTest, WhileTheKeyIsAwaitedTheVolumeKeysAreKeysLikeAnyOther) {
  const int music = settingsStore.Current().musicVolume;
  Run([&](long w) {
    if (w == 3) ClickKeyBox(kFire);
    if (w == 10) platform.Type(KEY_MINUS);
    if (w == 15) platform.Type(KEY_ESC);
  });
  EXPECT_EQ(ControlKey(kFire), KEY_MINUS);
  EXPECT_EQ(settingsStore.Current().musicVolume, music);
}

// The colour of a pixel of the last frame shown.
int PixelAt(ScriptedPlatform& platform, int x, int y) { return getpixel(platform.LastFrame(), x, y); }

TEST_F(ControlsScreenTest, TheKeyBoxesAreRedWhetherOrNotThePointerRestsOnThem) {
  platform.KeepFrames(true);
  platform.SetMouse(700, 315 + 30 * kLeft, 0);  // resting on box 2
  const int red = makecol(255, 0, 0);
  int pointedAt = 0, elsewhere = 0, afterLeaving = 0;
  Run([&](long w) {
    if (w == 30) {
      pointedAt = PixelAt(platform, 550, 301 + 30 * kLeft);
      elsewhere = PixelAt(platform, 900, 329 + 30 * kFire);
      platform.SetMouse(100, 100, 0);
    }
    if (w == 40) afterLeaving = PixelAt(platform, 700, 301 + 30 * kLeft);
    if (w == 45) platform.Type(KEY_ESC);
  });
  EXPECT_EQ(pointedAt, red);
  EXPECT_EQ(elsewhere, red);
  EXPECT_EQ(afterLeaving, red);
}

TEST_F(ControlsScreenTest, LeavingWithoutAPromptShownLogsNoRenderListComplaint) {
  testing::internal::CaptureStdout();
  Run([&](long w) {
    if (w == 5) platform.Type(KEY_ESC);
  });
  const std::string log = testing::internal::GetCapturedStdout();
  EXPECT_EQ(log.find("ERROR"), std::string::npos) << log;
  EXPECT_EQ(ElementsOnList(), 0);
}

}  // namespace
