#include "screens/help_screen.h"

#include <allegro.h>

#include "engine/data_index.h"
#include "scene/paced_loop.h"
#include "entities/enemy_roster.h"
#include "game/waves.h"
#include "music/music_track.h"
#include "entities/play_objects.h"
#include "scene/scene_objects.h"
#include "scene/view.h"
#include "screens/key_guard.h"
#include "screens/record_page.h"
#include "engine/input.h"
#include "scene/stage.h"

namespace {
constexpr int kStoryLineCount = 15;
constexpr int kDecorationLanders = 5;
// Under the story, the keys that aren't on the controls screen.
constexpr const char* kKeyHints[] = {
    "P or Pause pauses the game; F11 or Alt+Enter switches between window and full screen",
    "Music volume: - and =     Effects volume: [ and ]     M mutes     A gamepad works too",
    "R shows your record of all your games; any other key goes back to the menu",
};
constexpr int kKeyHintCount = sizeof kKeyHints / sizeof kKeyHints[0];

void AdvanceSpawnIns() {
  for (Implosion& implosion : implosions) {
    if (!implosion.IsOnList()) continue;
    implosion.MovePieces();
    // The last step of a spawn-in enters its lander into the enemy array.
    implosion.Age();
  }
}
}  // namespace

void RunHelp(MusicTrack* track) {
  ImageElement picture;
  picture.Init(engine.Bitmap(dat::kHelpBackground), 0, 0, 0, 0, 1024, 768, 0, "Splash");
  // With a human present the type-0 enemies come as landers, not mutants; the
  // landers are drawn in the world, which starts at the screen's corner here.
  world->humansAlive = 1;
  ViewX = 0;
  ViewY = 0;
  stage.Cut();

  TextLabel hints[kKeyHintCount];
  for (int k = 0; k < kKeyHintCount; ++k) {
    // Three lines between the story and the picture's frame.
    hints[k].Init(engine.Font(dat::kFontSmall), kKeyHints[k], 512, 660 + 27 * k, 0, makecol(255, 252, 25),
                  makecol(0, 0, 0), TextLabel::kCentre, 1);
  }

  stage.AddElement(&picture);
  for (int k = 0; k < kStoryLineCount; ++k) stage.AddElement(&storyLabels[k]);
  for (TextLabel& hint : hints) stage.AddElement(&hint);
  // Five landers materialise in a row above the story: x = 300 .. 700, y = 80.
  for (int i = 0; i < kDecorationLanders; ++i) MaterialiseEnemy(kLander, -1, i);
  KeyGuard keys;
  keys.Arm();
  stage.FadeIn(track);

  input.SetPadActsAsKeys(true);
  RunPacedLoop([&] {
    PollTrack(track);
    int keyValue, leftClick, rightClick, mouseX, mouseY;
    stage.PollInput(keyValue, leftClick, rightClick, mouseX, mouseY);
    stage.ElementAt(mouseX, mouseY);
    // Nothing else moves: the landers that have arrived stay where they are,
    // animating in place.
    AdvanceSpawnIns();
    stage.DrawFrame();
    if (leftClick) {
      input.WaitMouseRelease();
      return true;
    }
    keyValue = keys.Filter(keyValue);
    if ((keyValue >> 8) == KEY_R) {
      // The record is shown over the story, which waits meanwhile.
      stage.FadeOut(track);
      RunRecordPage(track);
      keys.Arm();
      stage.FadeIn(track);
      return false;
    }
    return keyValue != 0;
  });

  input.SetPadActsAsKeys(false);
  stage.FadeOut(track);
  // Spawn-ins still converging go with the landers that have arrived, so
  // nothing of this screen waits frozen on the render list for the game.
  CancelSpawnIns();
  DeleteEnemies();
  world->liveEnemies = 0;
  for (int k = 0; k < kStoryLineCount; ++k) stage.RemoveElement(&storyLabels[k]);
  for (TextLabel& hint : hints) stage.RemoveElement(&hint);
  stage.RemoveElement(&picture);
}
