#include "screens/menu_screen.h"

#include <allegro.h>

#include "engine/game_folders.h"
#include "scene/paced_loop.h"
#include "music/music_track.h"
#include "replay/score_exchange.h"
#include "scene/scene_objects.h"
#include "screens/controls_screen.h"
#include "screens/help_screen.h"
#include "screens/online_screen.h"
#include "screens/key_guard.h"
#include "screens/logo_slide.h"
#include "screens/menu_button.h"
#include "screens/practice_screen.h"
#include "screens/title_screen.h"
#include "screens/track_ramp.h"
#include "engine/input.h"
#include "scene/stage.h"

namespace {

ImageElement* const kButtons[4] = {&playButton, &controlsButton, &helpButton, &quitButton};
RectangleShape* const kBoxes[4] = {&playBox, &controlsBox, &helpBox, &quitBox};
AnimatedSprite* const kLogoWords[4] = {&logoVe, &logoVarn, &logoHolt, &logoSubtitle};

// "Online scores" stands apart from the four main buttons, low on the left.
constexpr int kOnlineId = 7;
constexpr int kOnlineX = 56, kOnlineY = 650;
BITMAP* onlinePicture = nullptr;
ImageElement onlineButton;
RectangleShape onlineBox;
// "Practice" answers it low on the right.
constexpr int kPracticeId = 8;
constexpr int kPracticeX = 712, kPracticeY = 650;
BITMAP* practicePicture = nullptr;
ImageElement practiceButton;
RectangleShape practiceBox;

// The promotional line runs right to left along the bottom and starts again
// from the right once it is far off the left edge.
void ScrollPromotionalLine() {
  int x = promoLabel.GetX() - 2;
  if (x < -4000) x = 1200;
  promoLabel.SetPosition(x, promoLabel.GetY());
}

}  // namespace

void ShowMenu(MusicTrack* track) {
  stage.AddElement(&splashPicture);
  LogoSlide::PlaceAtStart();
  for (AnimatedSprite* word : kLogoWords) stage.AddElement(word);
  for (ImageElement* button : kButtons) stage.AddElement(button);
  for (RectangleShape* box : kBoxes) stage.AddElement(box);
  if (!onlinePicture) onlinePicture = MakeOnlineButton();
  if (onlinePicture) {
    onlineButton.Init(onlinePicture, 0, 0, kOnlineX, kOnlineY, 256, 64, 1, "Online scores");
    onlineBox.Init(kOnlineId, makecol(255, 255, 255), makecol(0, 0, 0), 31, kOnlineX - 2, kOnlineY - 2,
                   kOnlineX + 257, kOnlineY + 65, 1, "Online scores");
    stage.AddElement(&onlineButton);
    stage.AddElement(&onlineBox);
  }
  if (!practicePicture) practicePicture = MakeMenuButton("Practice");
  if (practicePicture) {
    practiceButton.Init(practicePicture, 0, 0, kPracticeX, kPracticeY, 256, 64, 1, "Practice");
    practiceBox.Init(kPracticeId, makecol(255, 255, 255), makecol(0, 0, 0), 31, kPracticeX - 2, kPracticeY - 2,
                     kPracticeX + 257, kPracticeY + 65, 1, "Practice");
    stage.AddElement(&practiceButton);
    stage.AddElement(&practiceBox);
  }
  stage.AddElement(&promoLabel);
  stage.FadeIn(track);
}

void HideMenu(MusicTrack* track) {
  stage.FadeOut(track);
  stage.RemoveElement(&promoLabel);
  stage.Hide(&onlineButton);
  stage.Hide(&onlineBox);
  if (onlinePicture) destroy_bitmap(onlinePicture);
  onlinePicture = nullptr;
  stage.Hide(&practiceButton);
  stage.Hide(&practiceBox);
  if (practicePicture) destroy_bitmap(practicePicture);
  practicePicture = nullptr;
  for (AnimatedSprite* word : kLogoWords) stage.RemoveElement(word);
  for (RectangleShape* box : kBoxes) stage.RemoveElement(box);
  for (ImageElement* button : kButtons) stage.RemoveElement(button);
  stage.RemoveElement(&splashPicture);
}

int RunMenu(int* practiceWave) {
  MusicTrack* track = OpenTrack(gameFolders.DataFile(kMenuTrackFile).c_str());
  PlayTrack(track, 65536, 255, 128);
  // The next game's token comes while the player chooses.
  scoreExchange.AskToken();
  // Armed as the menu begins to fade in: a key pressed while it fades belongs
  // to the menu.
  KeyGuard keys;
  keys.Arm();
  ShowMenu(track);

  // The slide's speed belongs to this visit of the menu: after the help or
  // the controls screen the words start again from the sides at full speed.
  LogoSlide logo;
  int result = kMenuPlay;
  bool menuShown = true;

  auto openControls = [&] {
    HideMenu(track);
    input.SetPadActsAsKeys(false);
    RunControlsScreen(track);
    input.SetPadActsAsKeys(true);
    keys.Arm();
    ShowMenu(track);
  };
  auto openOnline = [&] {
    HideMenu(track);
    RunOnlineScores(track);
    input.SetPadActsAsKeys(true);
    keys.Arm();
    ShowMenu(track);
  };
  auto openHelp = [&] {
    HideMenu(track);
    RunHelp(track);
    input.SetPadActsAsKeys(true);
    keys.Arm();
    ShowMenu(track);
  };
  // True when a wave was chosen: the menu ends and the practice game begins.
  auto openPractice = [&] {
    HideMenu(track);
    const int wave = RunPracticeScreen(track);
    input.SetPadActsAsKeys(true);
    if (wave > 0) {
      // Straight on to the game: the menu stays off the screen.
      result = kMenuPractice;
      if (practiceWave) *practiceWave = wave;
      menuShown = false;
      return true;
    }
    keys.Arm();
    ShowMenu(track);
    return false;
  };

  input.SetPadActsAsKeys(true);
  RunPacedLoop([&] {
    PollTrack(track);
    scoreExchange.Poll();
    int keyValue, leftClick, rightClick, mouseX, mouseY;
    stage.PollInput(keyValue, leftClick, rightClick, mouseX, mouseY);
    const int id = stage.ElementAt(mouseX, mouseY);
    logo.Step();
    ScrollPromotionalLine();
    stage.DrawFrame();

    if (leftClick) {
      input.WaitMouseRelease();
      switch (id) {
        case kPlayId:
          result = kMenuPlay;
          return true;
        case kQuitId:
          result = kMenuQuit;
          return true;
        case kControlsId:
          openControls();
          return false;
        case kHelpId:
          openHelp();
          return false;
        case kOnlineId:
          openOnline();
          return false;
        case kPracticeId:
          return openPractice();
        default:
          break;
      }
    }

    // The typed key itself decides, so a tap shorter than a step still counts.
    switch (keys.Filter(keyValue) >> 8) {
      case KEY_ESC:
        result = kMenuQuit;
        return true;
      case KEY_C:
        openControls();
        return false;
      case KEY_H:
        openHelp();
        return false;
      case KEY_O:
        openOnline();
        return false;
      case KEY_P:
        return openPractice();
      case KEY_ENTER:
      case KEY_ENTER_PAD:
        result = kMenuPlay;
        return true;
      default:
        return false;
    }
  });

  input.SetPadActsAsKeys(false);
  if (menuShown) HideMenu(track);
  RampDownAndCloseTrack(track);
  return result;
}
