#include "screens/practice_screen.h"

#include <allegro.h>

#include <cstdio>
#include <vector>

#include "engine/data_index.h"
#include "engine/input.h"
#include "scene/paced_loop.h"
#include "engine/settings_store.h"
#include "entities/human.h"
#include "game/game_numbers.h"
#include "game/waves.h"
#include "music/music_track.h"
#include "scene/scene_objects.h"
#include "scene/stage.h"
#include "screens/key_guard.h"
#include "screens/wave_choice.h"

namespace {

constexpr int kLineLength = 96;
// Ids of the clickable boxes (the menu's are 3 to 8, the message box's 16
// and 17).
constexpr int kEarlierId = 40, kLaterId = 41, kPlayWaveId = 42;
constexpr int kWaveY = 300;

enum Line { kHeading, kAbout, kTables, kNumber, kName, kLineUp, kHumans, kReached, kHint, kEarlier, kLater, kLines };

struct Lines {
  char text[kLines][kLineLength + 1] = {};
  TextLabel labels[kLines];
  void Set(int k, const std::string& value) { std::snprintf(text[k], sizeof text[k], "%s", value.c_str()); }
};

// The humans a practice game from `wave` starts with: one more after each
// wave before it, ten at most.
int HumansAt(int wave) { return wave < kHumanCount ? wave : kHumanCount; }

void ShowChoice(Lines& lines, const WaveChoice& choice, RectangleShape& earlier, RectangleShape& later) {
  const int wave = choice.Wave();
  lines.Set(kNumber, "Wave " + std::to_string(wave));
  lines.Set(kName, kWaveTable[wave - 1].name);
  lines.Set(kLineUp, WaveLineUp(wave));
  const int humans = HumansAt(wave);
  lines.Set(kHumans, std::to_string(humans) + (humans == 1 ? " human" : " humans") + " on the ground to protect");
  // An arrow shows only where there is a wave to go to.
  auto reveal = [&lines](RectangleShape& box, int label, bool shown) {
    if (shown) {
      stage.Show(&box);
      stage.Show(&lines.labels[label]);
    } else {
      stage.Hide(&box);
      stage.Hide(&lines.labels[label]);
    }
  };
  reveal(earlier, kEarlier, !choice.AtFirst());
  reveal(later, kLater, !choice.AtLast());
}

}  // namespace

std::string WaveLineUp(int wave) {
  if (wave < 1 || wave > kWaveCount) return "";
  std::vector<std::string> parts;
  const WaveRow& row = kWaveTable[wave - 1];
  for (int type = 0; type < kEnemyTypes; ++type) {
    const int count = row.counts[type];
    if (count > 0) parts.push_back(EnemyCountText(type, count));
  }
  if (wave - 1 == kBossWave) parts.push_back("the boss");
  std::string text;
  for (size_t i = 0; i < parts.size(); ++i) {
    if (i > 0) text += i + 1 == parts.size() ? " and " : ", ";
    text += parts[i];
  }
  return text;
}

int RunPracticeScreen(MusicTrack* track) {
  const int white = makecol(255, 255, 255), yellow = makecol(255, 252, 25), cyan = makecol(120, 220, 255);
  const int black = makecol(0, 0, 0);
  FONT* small = engine.Font(dat::kFontSmall);
  FONT* large = engine.Font(dat::kFontLarge);
  Lines lines;
  struct Layout {
    FONT* font;
    int x, y, colour;
  };
  const Layout layout[kLines] = {
      {large, 512, 40, yellow},         {small, 512, 130, white},        {small, 512, 160, cyan},
      {large, 512, kWaveY, yellow},     {large, 512, kWaveY + 50, white}, {small, 512, kWaveY + 120, cyan},
      {small, 512, kWaveY + 150, cyan}, {small, 512, 560, white},        {small, 512, 600, white},
      {large, 240, kWaveY + 25, yellow}, {large, 784, kWaveY + 25, yellow},
  };
  for (int k = 0; k < kLines; ++k)
    lines.labels[k].Init(layout[k].font, lines.text[k], layout[k].x, layout[k].y, 0, layout[k].colour, black,
                         TextLabel::kCentre, 2);

  WaveChoice choice(settingsStore.Current().bestWave);
  lines.Set(kHeading, "Practice");
  lines.Set(kAbout, "Play any wave you have reached, with three lives and three smart bombs");
  lines.Set(kTables, "A practice game is kept as a replay, but never enters a score table");
  lines.Set(kReached, choice.Highest() == 1 ? "You have reached wave 1: reach further to practise more"
                                            : "You have reached wave " + std::to_string(choice.Highest()));
  lines.Set(kHint, "Left and right choose the wave, Enter plays it, Escape goes back");
  lines.Set(kEarlier, "<");
  lines.Set(kLater, ">");

  RectangleShape earlier, later, playWave;
  earlier.Init(kEarlierId, white, black, 31, 200, kWaveY + 10, 280, kWaveY + 80, 1, "Earlier wave");
  later.Init(kLaterId, white, black, 31, 744, kWaveY + 10, 824, kWaveY + 80, 1, "Later wave");
  playWave.Init(kPlayWaveId, white, black, 31, 300, kWaveY - 10, 724, kWaveY + 100, 1, "Play this wave");

  stage.AddElement(&splashPicture);
  for (int k = 0; k < kLines; ++k)
    if (k != kEarlier && k != kLater) stage.AddElement(&lines.labels[k]);
  stage.AddElement(&playWave);
  ShowChoice(lines, choice, earlier, later);
  KeyGuard keys;
  keys.Arm();
  stage.FadeIn(track);

  input.SetPadActsAsKeys(true);
  // The stick steps once each time it is pushed to a side.
  bool stickLeft = input.Pad().left, stickRight = input.Pad().right;
  int chosen = 0;
  RunPacedLoop([&] {
    PollTrack(track);
    int keyValue, leftClick, rightClick, mouseX, mouseY;
    stage.PollInput(keyValue, leftClick, rightClick, mouseX, mouseY);
    const int id = stage.ElementAt(mouseX, mouseY);
    bool earlierAsked = false, laterAsked = false;
    const PadState& pad = input.Pad();
    if (pad.left && !stickLeft) earlierAsked = true;
    if (pad.right && !stickRight) laterAsked = true;
    stickLeft = pad.left;
    stickRight = pad.right;
    if (leftClick) {
      input.WaitMouseRelease();
      if (id == kPlayWaveId) {
        chosen = choice.Wave();
        return true;
      }
      if (id == kEarlierId)
        earlierAsked = true;
      else if (id == kLaterId)
        laterAsked = true;
      else
        return true;
    }
    switch (keys.Filter(keyValue) >> 8) {
      case KEY_ESC:
        return true;
      case KEY_ENTER:
      case KEY_ENTER_PAD:
        chosen = choice.Wave();
        return true;
      case KEY_LEFT:
      case KEY_4_PAD:
        earlierAsked = true;
        break;
      case KEY_RIGHT:
      case KEY_6_PAD:
        laterAsked = true;
        break;
      default:
        break;
    }
    if ((earlierAsked && choice.Previous()) || (laterAsked && choice.Next()))
      ShowChoice(lines, choice, earlier, later);
    stage.DrawFrame();
    return false;
  });
  input.SetPadActsAsKeys(false);

  stage.FadeOut(track);
  for (TextLabel& label : lines.labels) stage.Hide(&label);
  for (RectangleShape* box : {&earlier, &later, &playWave}) stage.Hide(box);
  stage.RemoveElement(&splashPicture);
  return chosen;
}
