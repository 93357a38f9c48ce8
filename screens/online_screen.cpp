#include "screens/online_screen.h"

#include <allegro.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "engine/data_index.h"
#include "engine/game_folders.h"
#include "engine/input.h"
#include "engine/name_entry.h"
#include "scene/paced_loop.h"
#include "engine/settings_store.h"
#include "music/music_track.h"
#include "replay/score_exchange.h"
#include "scene/scene_objects.h"
#include "scene/stage.h"
#include "screens/key_guard.h"
#include "screens/menu_button.h"

namespace {

constexpr int kTableLines = 10;
constexpr int kLineLength = 96;
constexpr int kTopY = 150;
constexpr int kRowHeight = 30;
constexpr int kCaretPeriod = 16;  // steps on, then as many off

// Lines of text this screen owns: label k reads text[k].
struct TextLines {
  static constexpr int kCount = 9;
  char text[kCount][kLineLength + 1] = {};
  TextLabel labels[kCount];
  void Set(int k, const std::string& value) { std::snprintf(text[k], sizeof text[k], "%s", value.c_str()); }
};

enum Line { kHeading, kServerLine, kSentLine, kNameLine, kHintLine, kStateLine, kHowLine1, kHowLine2, kResultLine };

class TableView {
 public:
  void Open() {
    FONT* font = engine.Font(dat::kFontSmall);
    const int red = makecol(255, 40, 40), yellow = makecol(255, 252, 25), white = makecol(255, 255, 255);
    for (int k = 0; k < kTableLines; ++k) {
      const int y = kTopY + 200 + kRowHeight * k;
      rank_[k].Init(font, rankText_[k], 380, y, 0, white, makecol(0, 0, 0), TextLabel::kRight, 2);
      score_[k].Init(font, scoreText_[k], 500, y, 0, red, makecol(0, 0, 0), TextLabel::kRight, 2);
      name_[k].Init(font, nameText_[k], 524, y, 0, yellow, makecol(0, 0, 0), TextLabel::kLeft, 2);
      wave_[k].Init(font, waveText_[k], 790, y, 0, white, makecol(0, 0, 0), TextLabel::kRight, 2);
    }
  }
  // Shows the lines the exchange holds.
  void Fill() {
    const auto& lines = scoreExchange.TableLines();
    for (int k = 0; k < kTableLines; ++k) {
      TextLabel* row[4] = {&rank_[k], &score_[k], &name_[k], &wave_[k]};
      if (k >= static_cast<int>(lines.size())) {
        for (TextLabel* label : row) stage.Hide(label);
        continue;
      }
      const OnlineScore& line = lines[k];
      std::snprintf(rankText_[k], sizeof rankText_[k], "%d.", line.rank);
      std::snprintf(scoreText_[k], sizeof scoreText_[k], "%lld", static_cast<long long>(line.score));
      std::snprintf(nameText_[k], sizeof nameText_[k], "%s", line.name.c_str());
      std::snprintf(waveText_[k], sizeof waveText_[k], "wave %d", line.wave);
      for (TextLabel* label : row) stage.Show(label);
    }
  }
  void Close() {
    for (int k = 0; k < kTableLines; ++k)
      for (TextLabel* label : {&rank_[k], &score_[k], &name_[k], &wave_[k]}) stage.Hide(label);
  }

 private:
  char rankText_[kTableLines][8] = {};
  char scoreText_[kTableLines][16] = {};
  char nameText_[kTableLines][24] = {};
  char waveText_[kTableLines][16] = {};
  TextLabel rank_[kTableLines], score_[kTableLines], name_[kTableLines], wave_[kTableLines];
};

std::string SentLine() {
  if (!scoreExchange.Online()) return "Scores are not sent: no score server is set";
  return "Games started from the menu are sent when they end";
}

}  // namespace

BITMAP* MakeOnlineButton() { return MakeMenuButton("Online scores"); }

void RunOnlineScores(MusicTrack* track) {
  const int white = makecol(255, 255, 255), yellow = makecol(255, 252, 25), cyan = makecol(120, 220, 255);
  const int black = makecol(0, 0, 0);
  TextLines lines;
  FONT* small = engine.Font(dat::kFontSmall);
  lines.labels[kHeading].Init(engine.Font(dat::kFontLarge), lines.text[kHeading], 512, 40, 0, yellow, black,
                              TextLabel::kCentre, 2);
  const int ys[TextLines::kCount] = {40,          kTopY - 40,  kTopY - 10,  kTopY + 40, kTopY + 70,
                                     kTopY + 200, kTopY + 240, kTopY + 270, kTopY + 130};
  const int colours[TextLines::kCount] = {yellow, white, cyan, yellow, white, white, white, cyan, cyan};
  for (int k = 1; k < TextLines::kCount; ++k)
    lines.labels[k].Init(small, lines.text[k], 512, ys[k], 0, colours[k], black, TextLabel::kCentre, 2);

  // The name as typed, kept only when Enter accepts a valid one.
  char name[kOnlineNameLength + 1] = "";
  std::snprintf(name, sizeof name, "%s", settingsStore.Current().onlineName.c_str());

  lines.Set(kHeading, "Online scores");
  if (scoreExchange.Online()) {
    lines.Set(kServerLine, "Server: " + scoreExchange.Server());
    lines.Set(kStateLine, "Asking the server for its best ten...");
  } else {
    lines.Set(kServerLine, "Server: none");
    lines.Set(kStateLine, "To send your games to a score server, start the game with");
    lines.Set(kHowLine1, "--server http://HOST:PORT, or put in " +
                             (gameFolders.SettingsFile().empty() ? std::string("the settings file")
                                                                 : gameFolders.SettingsFile()));
    lines.Set(kHowLine2, "[online]   server = http://HOST:PORT");
  }
  lines.Set(kSentLine, SentLine());
  int resultCount = -1;
  lines.Set(kHintLine, "Type your online name; Enter keeps it, Escape leaves it as it was");

  TableView table;
  table.Open();
  stage.AddElement(&splashPicture);
  for (TextLabel& label : lines.labels)
    if (&label - lines.labels != kHowLine1 && &label - lines.labels != kHowLine2) stage.AddElement(&label);
  if (!scoreExchange.Online()) {
    stage.AddElement(&lines.labels[kHowLine1]);
    stage.AddElement(&lines.labels[kHowLine2]);
  }
  scoreExchange.AskTable();
  KeyGuard keys;
  keys.Arm();
  stage.FadeIn(track);

  input.SetTyping(true);
  bool keep = false;
  int steps = 0;
  bool shown = false;
  RunPacedLoop([&] {
    PollTrack(track);
    scoreExchange.Poll();
    int keyValue, leftClick, rightClick, mouseX, mouseY;
    stage.PollInput(keyValue, leftClick, rightClick, mouseX, mouseY);
    if (!shown && scoreExchange.Table() == ScoreExchange::TableState::kReady) {
      shown = true;
      table.Fill();
      stage.Hide(&lines.labels[kStateLine]);
      if (scoreExchange.TableLines().empty()) {
        lines.Set(kStateLine, "No game is on the online table yet");
        stage.Show(&lines.labels[kStateLine]);
      }
    } else if (!shown && scoreExchange.Table() == ScoreExchange::TableState::kFailed) {
      shown = true;
      lines.Set(kStateLine, "No table: " + scoreExchange.TableProblem());
    }
    if (resultCount != scoreExchange.ResultCount()) {
      resultCount = scoreExchange.ResultCount();
      lines.Set(kResultLine, scoreExchange.Result().empty() ? "" : "Last game: " + scoreExchange.Result());
    }
    const bool caret = (steps++ / kCaretPeriod) % 2 == 0;
    std::snprintf(lines.text[kNameLine], sizeof lines.text[kNameLine], "Your online name: %s%s%s%s%s", name,
                  caret ? "_" : " ", name[0] ? "" : "   (games are listed as \"", name[0] ? "" : kDefaultOnlineName,
                  name[0] ? "" : "\")");
    stage.DrawFrame();

    if (leftClick) {
      input.WaitMouseRelease();
      return true;
    }
    keyValue = keys.Filter(keyValue);
    if ((keyValue >> 8) == KEY_ESC) return true;
    if (keyValue && EditName(name, keyValue, kOnlineNameLength) != 0) {
      keep = true;
      return true;
    }
    return false;
  });
  input.SetTyping(false);

  // Spaces at the ends would not survive the settings file.
  std::string typed = name;
  while (!typed.empty() && typed.back() == ' ') typed.pop_back();
  while (!typed.empty() && typed.front() == ' ') typed.erase(typed.begin());
  if (keep && (typed.empty() || IsOnlineName(typed)) && typed != settingsStore.Current().onlineName) {
    Settings changed = settingsStore.Current();
    changed.onlineName = typed;
    settingsStore.Change(changed);
  }

  stage.FadeOut(track);
  table.Close();
  for (TextLabel& label : lines.labels) stage.Hide(&label);
  stage.RemoveElement(&splashPicture);
}
