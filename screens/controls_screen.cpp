#include "screens/controls_screen.h"

#include <allegro.h>

#include <cstdio>

#include "engine/data_index.h"
#include "engine/paced_loop.h"
#include "game/controls.h"
#include "music/music_track.h"
#include "scene/scene_objects.h"
#include "screens/key_guard.h"

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

  engine.AddElement(&background);
  engine.AddElement(&quitButton);
  engine.AddElement(&quitBox);
  for (int k = 0; k < kControlCount; ++k) {
    engine.AddElement(&controlNameLabels[k]);
    engine.AddElement(&keyBoxes[k]);
    engine.AddElement(&controlKeyLabels[k]);
  }
  engine.FadeIn(track);

  int waiting = -1;  // the action waiting for its new key
  KeyGuard keys;
  keys.Arm();
  RunPacedLoop([&] {
    PollTrack(track);
    int keyValue, leftClick, rightClick, mouseX, mouseY;
    engine.PollInput(keyValue, leftClick, rightClick, mouseX, mouseY);
    const int id = engine.ElementAt(mouseX, mouseY);
    engine.DrawFrame();

    bool leave = false;
    if (leftClick) {
      engine.WaitMouseRelease();
      if (id == kQuitId) {
        leave = true;
      } else if (id >= kKeyBoxFirstId && id < kKeyBoxFirstId + kControlCount) {
        // A second box while the prompt shows simply retargets it.
        waiting = id - kKeyBoxFirstId;
        std::snprintf(promptText, sizeof promptText, "Press Key for %s", kControlDescriptions[waiting]);
        engine.Show(&prompt);
        // The key pressed next is the new key, whatever it is.
        engine.SetTyping(true);
      }
    }
    const int scancode = keys.Filter(keyValue) >> 8;
    if (scancode == KEY_ESC) {
      leave = true;
    } else if (scancode > 0 && waiting >= 0) {
      AssignControlKey(waiting, scancode);
      engine.Hide(&prompt);
      engine.SetTyping(false);
      waiting = -1;
    }
    return leave;
  });
  engine.SetTyping(false);

  engine.FadeOut(track);
  engine.Hide(&prompt);
  for (int k = 0; k < kControlCount; ++k) {
    engine.RemoveElement(&controlNameLabels[k]);
    engine.RemoveElement(&keyBoxes[k]);
    engine.RemoveElement(&controlKeyLabels[k]);
  }
  engine.RemoveElement(&background);
  engine.RemoveElement(&quitButton);
  engine.RemoveElement(&quitBox);
}
