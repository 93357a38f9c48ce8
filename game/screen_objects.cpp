#include "game/screen_objects.h"

#include <allegro.h>

#include <cstdio>

#include "engine/data_index.h"
#include "game/controls.h"
#include "game/game_numbers.h"
#include "game/game_state.h"
#include "game/high_scores.h"
#include "entities/play_events.h"
#include "entities/score_sink.h"
#include "game/scoring.h"
#include "entities/play_objects.h"
#include "scene/scene_objects.h"

char bigText[kMessageSize];
char middleText[kMessageSize];
char bottomText[kMessageSize];

const char* const kStoryLines[15] = {
    "Hostile Alien presences disguised as record ",
    "company executives, have visited earth and ",
    "carted off our best performers from history to ",
    "Venus. In furs! But don't worry!",
    "Ve Varn Holt the electronic artists from ",
    "Dunmarrow, Farland are here to save the day. Enjoy ",
    "wiping out wave after wave of the music parasites",
    "while Ve Varn Holt keeps your morale up with",
    "a selection of their finest tracks. But watch out",
    "for the mutated rock star on level 20!",
    "Defeat him and the world will be safe again for ",
    "hard working musicians like Ve Varn Holt.",
    "When you are done pop over to:",
    "",
    "www.vevarnholt.example",
};

const char kPromotionalLine[] =
    "Come and visit Ve Varn Holt at www.vevarnholt.example, say hello on our pages at "
    "friends.example/vevarnholt and chatter.example/vevarnholt, and listen to our two albums, "
    "\"Copper Sky\" and \"Glass Harbour\", for free at the online label freebeats.example "
    "- stream them, share them, play them loud while you save the humans ...   "
    "Three cheers for Ve Varn Holt!";

void BuildScreenObjects() {
  const int yellow = makecol(255, 252, 25);
  const int white = makecol(255, 255, 255);
  const int red = makecol(255, 0, 0);
  const int black = makecol(0, 0, 0);
  const int green = makecol(0, 255, 0);

  splashPicture.Init(engine.Bitmap(dat::kTitlePicture), 0, 0, 0, 0, 1024, 768, 0, "Splash");
  logoVe.Init(engine.Bitmap(dat::kLogoVe), 0, 0, 175, 122, 0, 1, "Ve");
  logoVarn.Init(engine.Bitmap(dat::kLogoVarn), 0, 0, 293, 130, 0, 1, "Varn");
  logoHolt.Init(engine.Bitmap(dat::kLogoHolt), 0, 0, 446, 134, 0, 1, "Holt");
  logoSubtitle.Init(engine.Bitmap(dat::kLogoSubtitle), 0, 0, 128, 28, 0, 1, "The Game");

  playButton.Init(engine.Bitmap(dat::kButtonPlay), 0, 0, 384, 350, 256, 64, 1, "Play");
  controlsButton.Init(engine.Bitmap(dat::kButtonControls), 0, 0, 384, 450, 256, 64, 1, "Controls");
  helpButton.Init(engine.Bitmap(dat::kButtonHelp), 0, 0, 384, 550, 256, 64, 1, "Help");
  quitButton.Init(engine.Bitmap(dat::kButtonQuit), 0, 0, 384, 650, 256, 64, 1, "Quit");

  playBox.Init(kPlayId, white, black, 31, 382, 348, 641, 415, 1, "Play");
  controlsBox.Init(kControlsId, white, black, 31, 382, 448, 641, 515, 1, "Controls");
  helpBox.Init(kHelpId, white, black, 31, 382, 548, 641, 615, 1, "Help");
  quitBox.Init(kQuitId, white, black, 31, 382, 648, 641, 715, 1, "Quit");

  worldMap.Init(engine.Bitmap(dat::kWorld), 4096, 768, 0, 0, 1024, 768, 0, "The Map");
  scanner.Init(256, 0, 2);
  ship.Init(engine.Bitmap(dat::kShipRight), 512, 400, 124, 92, 0, 2, "The Ship");
  for (Bullet& bullet : bullets) bullet.Init(engine.Bitmap(dat::kBeamRight), 0, 0, 0, 1, "Bullet");
  for (Missile& missile : missiles) missile.Init(0, 1, 0, 0, 0, 1, "Missile");
  for (int i = 0; i < kHumanCount; ++i) humans[i].Init(i, 0, 1, 0, 0, 0, 1, "Human");

  AddScore(0);
  // What the entities earn (a rescue, the boss's parts) is scored like the rest.
  SetScoreSink(AddScore);
  // What the entities report of play is counted in the game's numbers.
  SetPlayEventSink(CountPlayEvent);

  FONT* scoreFontData = engine.Font(dat::kFontMedium);
  FONT* smallFont = engine.Font(dat::kFontSmall);
  FONT* largeFont = engine.Font(dat::kFontLarge);
  scoreLabel.Init(scoreFontData, scoreText, 10, 0, 1, yellow, black, TextLabel::kLeft, 2);
  bestScoreLabel.Init(scoreFontData, bestScoreText, 1014, 0, 1, yellow, black, TextLabel::kRight, 2);
  promoLabel.Init(smallFont, kPromotionalLine, 1030, 730, 1, yellow, black, TextLabel::kLeft, 2);
  bigLabel.Init(largeFont, bigText, 512, 350, 0, yellow, black, TextLabel::kCentre, 2);
  middleLabel.Init(largeFont, middleText, 512, 400, 0, white, black, TextLabel::kCentre, 2);
  bottomLabel.Init(largeFont, bottomText, 512, 450, 0, red, black, TextLabel::kCentre, 2);

  for (int i = 0; i < 4; ++i) {
    lifeIcons[i].Init(engine.Bitmap(dat::kLifeIcon), 64 * i, 50, 62, 46, 0, 2, "Life");
    bombIcons[i].Init(engine.Bitmap(dat::kBombIcon), 770 + 64 * i, 50, 62, 46, 0, 2, "Bomb");
  }

  for (int k = 0; k < kHighScoreCount; ++k) {
    highScores[k] = 0;
    std::snprintf(highScoreTexts[k], sizeof highScoreTexts[k], "%08d", 0);
    highScoreValueLabels[k].Init(smallFont, highScoreTexts[k], 500, 400 + 30 * k, 0, red, black, TextLabel::kRight,
                                 2);
    highScoreNameLabels[k].Init(smallFont, highScoreNames[k], 524, 400 + 30 * k, 0, yellow, black,
                                TextLabel::kLeft, 2);
  }

  boss.Init(2048, 100, 2, "MM");

  for (int k = 0; k < 15; ++k)
    storyLabels[k].Init(scoreFontData, kStoryLines[k], 512, 200 + 30 * k, 0, white, black, TextLabel::kCentre, 1);

  for (int i = 0; i < kControlCount; ++i) {
    controlNameLabels[i].Init(smallFont, kControlDescriptions[i], 500, 300 + 30 * i, 0, yellow, black,
                              TextLabel::kRight, 1);
    NameControlKey(i);
    controlKeyLabels[i].Init(smallFont, controlKeyNames[i], 550, 300 + 30 * i, 0, green, black, TextLabel::kLeft, 1);
  }
}
