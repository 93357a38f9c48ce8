// Pausing play (P, the Pause key, the gamepad's start button, a window that
// loses the focus), the game keys winning over P and the volume keys, the
// volume keys themselves, and a scripted gamepad steering, firing and bombing.
#include <allegro.h>
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "engine/clock.h"
#include "engine/data_index.h"
#include "engine/game_folders.h"
#include "engine/graphics_engine.h"
#include "engine/input.h"
#include "engine/settings.h"
#include "engine/settings_store.h"
#include "entities/entity.h"
#include "entities/play_objects.h"
#include "game/controls.h"
#include "game/game_flow.h"
#include "game/game_state.h"
#include "scene/stage.h"
#include "scene/text_label.h"
#include "support/game_fixture.h"

namespace {

class PauseAndPadTest : public GameFixture {
 protected:
  void StartPlay() {
    SetUpGame();
    input.SetGameKeys(settingsStore.Current().keys, kControlCount);
    StartWave();
    RunLogicSteps(120);  // the enemies are in and moving
  }

  // Everything that moves in play, as numbers.
  static std::vector<int> Snapshot() {
    std::vector<int> state = {ship.GetX(), ship.GetY(), ship.GetVX(), ship.GetVY(), game.score, game.lives, game.bombs};
    for (int i = 0; i < enemyCount; ++i) {
      if (!enemies[i]) continue;
      state.insert(state.end(), {enemies[i]->GetX(), enemies[i]->GetY(), enemies[i]->IsDead() ? 1 : 0});
    }
    for (Missile& m : missiles) state.insert(state.end(), {m.IsOnList() ? 1 : 0, m.GetX(), m.GetY()});
    for (Bullet& b : bullets) state.insert(state.end(), {b.IsOnList() ? 1 : 0, b.GetX(), b.GetY()});
    for (Human& h : humans) state.insert(state.end(), {h.GetX(), h.GetY(), h.GetState()});
    return state;
  }

  static bool TextIn(const Element* node, const char* text) {
    for (; node; node = node->GetRight()) {
      if (auto* label = dynamic_cast<const TextLabel*>(node))
        if (label->GetText() && std::strcmp(label->GetText(), text) == 0) return true;
      if (TextIn(node->GetLeft(), text)) return true;
    }
    return false;
  }
  static bool TextShown(const char* text) { return TextIn(stage.Elements().Root(), text); }

  int ShotsInFlight() {
    int n = 0;
    for (Bullet& b : bullets) n += b.IsOnList() ? 1 : 0;
    return n;
  }
};

TEST_F(PauseAndPadTest, PFreezesPlayFor500StepsAndPlayGoesOnWithoutCatchingUp) {
  StartPlay();
  const std::vector<int> before = Snapshot();
  const int loopPlays = platform.Plays(dat::kSndPlayLoop);
  bool frozen = true, labelShown = false;
  long pauseStart = -1;
  platform.OnWait([&](long w) {
    if (pauseStart < 0) pauseStart = w;
    if (w - pauseStart == 250) {
      labelShown = TextShown("Paused");
      frozen = frozen && Snapshot() == before;
    }
    if (w - pauseStart == 500) {
      frozen = frozen && Snapshot() == before;
      platform.Type(KEY_P);
    }
  });
  platform.Type(KEY_P);
  LogicStep();
  platform.OnWait(nullptr);
  EXPECT_TRUE(frozen);
  EXPECT_TRUE(labelShown);
  EXPECT_FALSE(TextShown("Paused"));
  // Five hundred frames of the clock went by; none is owed afterwards.
  EXPECT_EQ(FrameCounter.load(), 0);
  // The effects went quiet and the sound of play came back.
  EXPECT_GE(platform.Stops(dat::kSndPlayLoop), 1);
  EXPECT_EQ(platform.Plays(dat::kSndPlayLoop), loopPlays + 1);
}

TEST_F(PauseAndPadTest, APausedGameDrawsOnlyWhenSomethingOnThePictureChanges) {
  StartPlay();
  const long framesBefore = platform.FramesPresented();
  long framesWhilePaused = 0;
  platform.OnWait([&](long w) {
    if (w == 200) framesWhilePaused = platform.FramesPresented() - framesBefore;
    if (w == 300) platform.Type(KEY_PAUSE);
  });
  platform.Type(KEY_PAUSE);
  LogicStep();
  platform.OnWait(nullptr);
  EXPECT_EQ(framesWhilePaused, 1);
}

TEST_F(PauseAndPadTest, LosingTheFocusPausesUntilThePlayerPressesP) {
  StartPlay();
  const std::vector<int> before = Snapshot();
  bool frozen = true;
  platform.OnWait([&](long w) {
    if (w < 100) frozen = frozen && Snapshot() == before;
    if (w == 100) platform.Type(KEY_P);
  });
  platform.LoseFocus();
  LogicStep();
  platform.OnWait(nullptr);
  EXPECT_TRUE(frozen);
  EXPECT_EQ(platform.Waits(), 101);
}

TEST_F(PauseAndPadTest, AGameKeyOnPWinsOverPauseWhichStaysOnThePauseKey) {
  AssignControlKey(kFire, KEY_P);
  StartPlay();
  for (Bullet& b : bullets) stage.Hide(&b);
  const long waits = platform.Waits();
  platform.Type(KEY_P);
  platform.Hold(KEY_P);
  LogicStep();
  EXPECT_EQ(platform.Waits(), waits) << "no pause";
  EXPECT_EQ(ShotsInFlight(), 1) << "P fires";
  platform.ReleaseAllKeys();

  platform.OnWait([&](long w) {
    if (w == waits + 10) platform.Type(KEY_PAUSE);
  });
  platform.Type(KEY_PAUSE);
  LogicStep();
  EXPECT_EQ(platform.Waits(), waits + 11) << "the Pause key pauses and plays on";
}

TEST_F(PauseAndPadTest, AScriptedGamepadSteersFiresOncePerPressAndBombs) {
  StartPlay();
  for (Bullet& b : bullets) stage.Hide(&b);
  PadState pad;
  pad.present = true;
  pad.left = true;
  platform.SetPad(pad);
  RunLogicSteps(5);
  EXPECT_LT(ship.GetVX(), 0);
  EXPECT_EQ(world->shipImageFacing, -1);

  pad.left = false;
  pad.up = true;
  pad.buttons = 1u << 0;  // fire, held for ten steps
  platform.SetPad(pad);
  RunLogicSteps(10);
  EXPECT_LT(ship.GetVY(), 0);
  EXPECT_EQ(ShotsInFlight(), 1);
  pad.buttons = 0;
  platform.SetPad(pad);
  RunLogicSteps(1);
  pad.buttons = 1u << 0;
  platform.SetPad(pad);
  RunLogicSteps(1);
  EXPECT_EQ(ShotsInFlight(), 2);

  const int bombsBefore = game.bombs;
  pad.buttons = 1u << 1;  // the smart bomb
  platform.SetPad(pad);
  RunLogicSteps(3);
  EXPECT_EQ(game.bombs, bombsBefore - 1);
}

TEST_F(PauseAndPadTest, TheGamepadsStartButtonPausesAndPlaysOn) {
  StartPlay();
  PadState pad;
  pad.present = true;
  const long waits = platform.Waits();
  platform.OnWait([&](long w) {
    PadState now = pad;
    if (w == waits + 10) now.buttons = 0;  // let go
    if (w == waits + 20) now.buttons = 1u << settingsStore.Current().padStart;
    if (w == waits + 10 || w == waits + 20) platform.SetPad(now);
  });
  pad.buttons = 1u << settingsStore.Current().padStart;
  platform.SetPad(pad);
  LogicStep();
  // Pressed, let go, pressed again: play goes on.
  platform.OnWait(nullptr);
  EXPECT_EQ(platform.Waits(), waits + 21);
  pad.buttons = 0;
  platform.SetPad(pad);
}

TEST_F(PauseAndPadTest, VolumeKeysStepInEighthsMuteAndAreKeptButGameKeysWin) {
  StartPlay();
  platform.Type(KEY_MINUS);
  LogicStep();
  platform.Type(KEY_OPENBRACE);
  LogicStep();
  platform.Type(KEY_OPENBRACE);
  LogicStep();
  EXPECT_EQ(settingsStore.Current().musicVolume, 7);
  EXPECT_EQ(settingsStore.Current().effectsVolume, 6);
  EXPECT_TRUE(engine.NoticeShowing());
  engine.PlaySample(dat::kSndShot, 0);
  EXPECT_EQ(platform.LastVolume(dat::kSndShot), 128 * 6 / 8);

  platform.Type(KEY_M);
  LogicStep();
  EXPECT_TRUE(settingsStore.Current().muted);
  engine.PlaySample(dat::kSndShot, 0);
  EXPECT_EQ(platform.LastVolume(dat::kSndShot), 0);

  const Settings saved = LoadSettings(gameFolders.SettingsFile(), nullptr);
  EXPECT_EQ(saved.musicVolume, 7);
  EXPECT_EQ(saved.effectsVolume, 6);
  EXPECT_TRUE(saved.muted);

  // With the smart bomb on M, M bombs and leaves the sound alone.
  AssignControlKey(kSmartBomb, KEY_M);
  platform.Type(KEY_M);
  platform.Hold(KEY_M);
  const int bombsBefore = game.bombs;
  LogicStep();
  LogicStep();
  EXPECT_TRUE(settingsStore.Current().muted);
  EXPECT_EQ(game.bombs, bombsBefore - 1);
}

}  // namespace
