#include "screens/record_page.h"

#include <allegro.h>

#include <cstdio>

#include "engine/data_index.h"
#include "scene/paced_loop.h"
#include "engine/input.h"
#include "game/waves.h"
#include "music/music_track.h"
#include "scene/image_element.h"
#include "scene/stage.h"
#include "screens/key_guard.h"
#include "screens/labelled_rows.h"

namespace {
// Above the screen it is opened from (its layers are below 10).
constexpr int kPageLayer = 20;
}  // namespace

std::vector<NumbersRow> RecordRows(const PlayerRecord& record) {
  std::string best = "none yet";
  if (record.bestWave >= 1 && record.bestWave <= kWaveCount)
    best = std::to_string(record.bestWave) + "  \"" + kWaveTable[record.bestWave - 1].name + "\"";
  return {
      {"Games played", std::to_string(record.games)},
      {"Time played", FormatPlayTime(record.steps)},
      {"Best wave", best},
      {"Enemies destroyed", std::to_string(record.enemies)},
      {"Humans rescued", std::to_string(record.humansRescued)},
  };
}

void RunRecordPage(MusicTrack* track) {
  const int yellow = makecol(255, 252, 25), cyan = makecol(120, 220, 255), white = makecol(255, 255, 255);
  const int black = makecol(0, 0, 0);
  FONT* small = engine.Font(dat::kFontSmall);
  ImageElement picture;
  picture.Init(engine.Bitmap(dat::kTitlePicture), 0, 0, 0, 0, 1024, 768, kPageLayer, "Record");
  TextLabel heading, about, hint;
  heading.Init(engine.Font(dat::kFontLarge), "Your record", 512, 40, 0, yellow, black, TextLabel::kCentre,
               kPageLayer + 1);
  about.Init(small, playerRecord.games == 0 ? "No game played to its end yet: your games will count here"
                                            : "Every game played from the menu, practice games too",
             512, 130, 0, cyan, black, TextLabel::kCentre, kPageLayer + 1);
  hint.Init(small, "Any key goes back", 512, 600, 0, white, black, TextLabel::kCentre, kPageLayer + 1);

  LabelledRows rows;
  rows.Open(engine.Font(dat::kFontMedium), 240, 50, kPageLayer + 1);
  const std::vector<NumbersRow> lines = RecordRows(playerRecord);
  stage.AddElement(&picture);
  stage.AddElement(&heading);
  stage.AddElement(&about);
  stage.AddElement(&hint);
  for (size_t k = 0; k < lines.size(); ++k) rows.Set(static_cast<int>(k), lines[k].caption, lines[k].value);
  KeyGuard keys;
  keys.Arm();
  stage.FadeIn(track);

  RunPacedLoop([&] {
    PollTrack(track);
    int keyValue, leftClick, rightClick, mouseX, mouseY;
    stage.PollInput(keyValue, leftClick, rightClick, mouseX, mouseY);
    stage.DrawFrame();
    if (leftClick) {
      input.WaitMouseRelease();
      return true;
    }
    return keys.Filter(keyValue) != 0;
  });

  stage.FadeOut(track);
  rows.Close();
  stage.RemoveElement(&hint);
  stage.RemoveElement(&about);
  stage.RemoveElement(&heading);
  stage.RemoveElement(&picture);
}
