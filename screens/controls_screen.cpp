#include "screens/controls_screen.h"

#include <allegro.h>

#include <cstdio>

#include "engine/data_index.h"
#include "scene/paced_loop.h"
#include "game/controls.h"
#include "music/music_track.h"
#include "scene/scene_objects.h"
#include "screens/key_guard.h"
#include "engine/input.h"
#include "scene/stage.h"

void RunControlsScreen(MusicTrack* track) {
  const int red = makecol(255, 0, 0);
  const int black = makecol(0, 0, 0);

  ImageElement background;
  background.Init(engine.Bitmap(dat::kHelpBackground), 0, 0, 0, 0, 1024, 768, 0, "Splash");
  char promptText[64] = "";
  TextLabel prompt;
  prompt.Init(engine.Font(dat::kFontSmall), promptText, 512, 500, 0, red, black, TextLabel::kCentre, 2);
  // The boxes beside the key names are red whether or not the pointer rests
  // on them: their normal colour is the highlight colour.
  RectangleShape keyBoxes[kControlCount];
  for (int k = 0; k < kControlCount; ++k)
    keyBoxes[k].Init(kKeyBoxFirstId + k, red, black, 11, 550, 301 + 30 * k, 900, 329 + 30 * k, 0, "Code");

  stage.AddElement(&background);
  stage.AddElement(&quitButton);
  stage.AddElement(&quitBox);
  for (int k = 0; k < kControlCount; ++k) {
    stage.AddElement(&controlNameLabels[k]);
    stage.AddElement(&keyBoxes[k]);
    stage.AddElement(&controlKeyLabels[k]);
  }
  KeyGuard keys;
  keys.Arm();
  stage.FadeIn(track);

  int waiting = -1;  // the action waiting for its new key
  RunPacedLoop([&] {
    PollTrack(track);
    int keyValue, leftClick, rightClick, mouseX, mouseY;
    stage.PollInput(keyValue, leftClick, rightClick, mouseX, mouseY);
    const int id = stage.ElementAt(mouseX, mouseY);
    stage.DrawFrame();

    bool leave = false;
    if (leftClick) {
      input.WaitMouseRelease();
      if (id == kQuitId) {
        leave = true;
      } else if (id >= kKeyBoxFirstId && id < kKeyBoxFirstId + kControlCount) {
        // A second box while the prompt shows simply retargets it.
        waiting = id - kKeyBoxFirstId;
        std::snprintf(promptText, sizeof promptText, "Press Key for %s", kControlDescriptions[waiting]);
        stage.Show(&prompt);
        // The key pressed next is the new key, whatever it is.
        input.SetTyping(true);
      }
    }
    const int scancode = keys.Filter(keyValue) >> 8;
    if (scancode == KEY_ESC) {
      leave = true;
    } else if (scancode > 0 && waiting >= 0) {
      AssignControlKey(waiting, scancode);
      stage.Hide(&prompt);
      input.SetTyping(false);
      waiting = -1;
    }
    return leave;
  });
  input.SetTyping(false);

  stage.FadeOut(track);
  stage.Hide(&prompt);
  for (int k = 0; k < kControlCount; ++k) {
    stage.RemoveElement(&controlNameLabels[k]);
    stage.RemoveElement(&keyBoxes[k]);
    stage.RemoveElement(&controlKeyLabels[k]);
  }
  stage.RemoveElement(&background);
  stage.RemoveElement(&quitButton);
  stage.RemoveElement(&quitBox);
}
