#include "game/pause.h"

#include <allegro.h>

#include "engine/clock.h"
#include "engine/graphics_engine.h"
#include "game/controls.h"
#include "scene/text_label.h"
#include "engine/settings_store.h"
#include "engine/input.h"
#include "scene/stage.h"

namespace {

constexpr int kPausedLayer = 29;  // over the scene, under the quit question

bool PlayOnKey(int keyValue) {
  const int scancode = keyValue >> 8;
  return scancode == KEY_PAUSE || (scancode == KEY_P && !input.IsGameKey(KEY_P));
}

}  // namespace

bool IsPauseKey(int keyValue) { return PlayOnKey(keyValue); }

void RunPause() {
  // The paused picture is drawn only when it changes, at once.
  Stage::DrawsAtOnce drawsAtOnce(stage);
  engine.SuspendSamples();
  const char* hint = input.IsGameKey(KEY_P) ? "Press Pause to play on" : "Press P to play on";
  TextLabel paused, help;
  paused.Init(messageFont, "Paused", 512, 330, 0, makecol(255, 252, 25), makecol(0, 0, 0), TextLabel::kCentre,
              kPausedLayer);
  help.Init(dialogFont, hint, 512, 400, 0, makecol(255, 255, 255), makecol(0, 0, 0), TextLabel::kCentre,
            kPausedLayer);
  stage.Show(&paused);
  stage.Show(&help);
  stage.DrawStillFrame();
  engine.BeginIdle();

  // Nothing moves, so the picture is drawn again only when something on it
  // changed: the display switched, or the volume label came or went.
  bool noticeShown = engine.NoticeShowing();
  for (;;) {
    engine.WaitIdle();
    int keyValue, leftClick, rightClick, mouseX, mouseY;
    stage.PollInput(keyValue, leftClick, rightClick, mouseX, mouseY);
    if (PlayOnKey(keyValue) || input.PadPressed(settingsStore.Current().padStart)) break;
    input.PollKeyboard();
    if ((keyValue >> 8) == KEY_ESC) {
      engine.EndIdle();
      AskToQuit();
      engine.BeginIdle();
      noticeShown = true;  // the question's box is gone: draw again
    }
    if (engine.TakeDisplaySwitch() || noticeShown || engine.NoticeShowing()) stage.DrawStillFrame();
    noticeShown = engine.NoticeShowing();
  }

  engine.EndIdle();
  stage.Hide(&paused);
  stage.Hide(&help);
  engine.ResumeSamples();
  // Nothing is caught up: play goes on where it stopped.
  DropOwedFrames();
}
