#include "screens/title_screen.h"

#include <allegro.h>

#include <cstdio>
#include <string>

#include "engine/data_index.h"
#include "engine/game_folders.h"
#include "engine/name_entry.h"
#include "scene/paced_loop.h"
#include "game/game_state.h"
#include "game/high_scores.h"
#include "music/music_track.h"
#include "replay/game_recorder.h"
#include "replay/score_exchange.h"
#include "scene/scene_objects.h"
#include "screens/attract_demo.h"
#include "screens/key_guard.h"
#include "screens/logo_slide.h"
#include "screens/track_ramp.h"
#include "engine/input.h"
#include "scene/stage.h"

namespace {

constexpr int kCaretPeriod = 16;  // steps on, then as many off
constexpr int kDemoIdleSteps = 30 * 50;
constexpr char kNameHint[] = "A new high score! Type your name and press Enter";

// The line of the table whose name is being typed, or -1.
int entryBeingNamed = -1;

// The file name of the last game's replay, for the table's replay list.
std::string LastReplayName() {
  const std::string& path = gameRecorder.LastFile();
  const std::string::size_type slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// While a name is typed, a line above the table says so and a caret blinks
// after the name. The caret label draws the name followed by "_" exactly over
// the name's own label, so only the underscore shows.
class NameEntryPrompt {
 public:
  void Open(int entry) {
    entry_ = entry;
    const int yellow = makecol(255, 252, 25);
    FONT* font = engine.Font(dat::kFontSmall);
    hint_.Init(font, kNameHint, 512, 362, 1, yellow, makecol(0, 0, 0), TextLabel::kCentre, 2);
    caret_.Init(font, caretText_, 524, 400 + 30 * entry, 0, yellow, makecol(0, 0, 0), TextLabel::kLeft, 2);
    stage.Show(&hint_);
  }

  void Step() {
    if (entry_ < 0) return;
    std::snprintf(caretText_, sizeof caretText_, "%s_", highScoreNames[entry_]);
    if ((steps_++ / kCaretPeriod) % 2 == 0)
      stage.Show(&caret_);
    else
      stage.Hide(&caret_);
  }

  void Close() {
    entry_ = -1;
    stage.Hide(&hint_);
    stage.Hide(&caret_);
  }

 private:
  int entry_ = -1;
  int steps_ = 0;
  char caretText_[kNameLength + 2] = "";
  TextLabel hint_;
  TextLabel caret_;
};

// Under the table, the online table's answer to the last game sent; it
// changes when an answer comes while the title shows.
class OnlineResultLine {
 public:
  void Open() {
    label_.Init(engine.Font(dat::kFontSmall), text_, 512, 716, 0, makecol(120, 220, 255), makecol(0, 0, 0),
                TextLabel::kCentre, 2);
    shownCount_ = -1;
    Step();
  }
  void Step() {
    if (shownCount_ == scoreExchange.ResultCount()) return;
    shownCount_ = scoreExchange.ResultCount();
    std::snprintf(text_, sizeof text_, "%s", scoreExchange.Result().c_str());
    if (text_[0])
      stage.Show(&label_);
    else
      stage.Hide(&label_);
  }
  void Close() { stage.Hide(&label_); }

 private:
  char text_[128] = "";
  int shownCount_ = -1;
  TextLabel label_;
};

void ShowTable() {
  for (int k = 0; k < kHighScoreCount; ++k) {
    stage.AddElement(&highScoreValueLabels[k]);
    stage.AddElement(&highScoreNameLabels[k]);
  }
}

void HideTable() {
  for (int k = 0; k < kHighScoreCount; ++k) {
    stage.RemoveElement(&highScoreValueLabels[k]);
    stage.RemoveElement(&highScoreNameLabels[k]);
  }
}

void ShowLogo() {
  LogoSlide::PlaceAtStart();
  stage.AddElement(&logoVe);
  stage.AddElement(&logoVarn);
  stage.AddElement(&logoHolt);
  stage.AddElement(&logoSubtitle);
}

void HideLogo() {
  stage.RemoveElement(&logoVe);
  stage.RemoveElement(&logoVarn);
  stage.RemoveElement(&logoHolt);
  stage.RemoveElement(&logoSubtitle);
}

}  // namespace

void RunTitleScreen(bool lastGameEnters) {
  // The last game's score enters the table at once (an equal score goes
  // below); its name is then typed into the new entry while the screen shows.
  const int entry = lastGameEnters ? InsertHighScore(game.score, LastReplayName()) : -1;
  bool typing = entry >= 0;
  entryBeingNamed = entry;
  NameEntryPrompt prompt;
  OnlineResultLine onlineResult;

  // Shown again after each attract demo, from the logo's slide on.
  for (;;) {
    MusicTrack* track = OpenTrack(gameFolders.DataFile(kTitleTrackFile).c_str());
    PlayTrack(track, 65536, 255, 128);
    stage.AddElement(&splashPicture);
    ShowTable();
    ShowLogo();
    if (typing) prompt.Open(entry);
    onlineResult.Open();
    KeyGuard keys;
    keys.Arm();
    stage.FadeIn(track);

    LogoSlide logo;
    // While a name is typed every key goes into it.
    input.SetTyping(typing);
    input.SetPadActsAsKeys(true);
    int idleSteps = 0;
    bool demo = false;
    RunPacedLoop([&] {
      PollTrack(track);
      int keyValue, leftClick, rightClick, mouseX, mouseY;
      stage.PollInput(keyValue, leftClick, rightClick, mouseX, mouseY);
      stage.ElementAt(mouseX, mouseY);
      logo.Step();
      prompt.Step();
      scoreExchange.Poll();
      onlineResult.Step();
      stage.DrawFrame();

      bool done = false;
      if (leftClick) {
        input.WaitMouseRelease();
        done = true;
      }
      keyValue = keys.Filter(keyValue);
      if (keyValue) {
        if (!typing) return true;
        if (EditName(highScoreNames[entry], keyValue, kNameLength) != 0) {
          typing = false;
          input.SetTyping(false);
          prompt.Close();
        }
      }
      // Nobody at the controls for a while (and no name being typed): the
      // game shows itself.
      idleSteps = input.InputSeen() || typing ? 0 : idleSteps + 1;
      if (!done && idleSteps >= kDemoIdleSteps) demo = true;
      return done || demo;
    });

    // A click during the entry keeps the name typed so far.
    if (!demo) prompt.Close();
    onlineResult.Close();
    input.SetTyping(false);
    input.SetPadActsAsKeys(false);
    stage.FadeOut(track);
    RampDownAndCloseTrack(track);
    HideTable();
    HideLogo();
    stage.RemoveElement(&splashPicture);
    if (!demo) break;
    // Without a replay to show, the title simply starts over.
    RunAttractDemo();
  }

  if (entry >= 0) gameRecorder.NameLastGame(highScoreNames[entry]);
  entryBeingNamed = -1;
  WriteScores();
}

int NameEntryOnTitle() { return entryBeingNamed; }
