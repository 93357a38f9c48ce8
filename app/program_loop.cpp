#include "app/program_loop.h"

#include <ctime>

#include "engine/data_index.h"
#include "engine/graphics_engine.h"
#include "game/controls.h"
#include "game/game_flow.h"
#include "game/game_state.h"
#include "game/high_scores.h"
#include "replay/game_recorder.h"
#include "scene/stage.h"
#include "screens/menu_screen.h"
#include "screens/message_box.h"
#include "screens/sequences.h"
#include "screens/title_screen.h"

namespace {
bool AskToQuitTheProgram() { return AskYesNo(dat::kShipRight, "Really Quit and Exit the program ?"); }
}  // namespace

void RunProgramLoop() {
  SetQuitQuestion(AskToQuitTheProgram);
  for (;;) {
    RunTitleScreen();
    const int result = RunMenu();
    if (result == kMenuPlay) RunIntro();
    const uint32_t seed = NewGameSeed();
    BeginGame(seed);
    if (result == kMenuPlay) {
      gameRecorder.Begin(seed, std::time(nullptr));
      PlayGame();
      gameRecorder.Finish(game.score, game.waveIndex + 1);
    }
    EndGame();
    RemoveGameObjects();
    stage.DrawFrame();
    RunClosingSequence();
    engine.ShowMouse();
    if (result == kMenuQuit) return;
  }
}

void KeepThePlayersWork() {
  gameRecorder.Finish(game.score, game.waveIndex + 1);
  const int entry = NameEntryOnTitle();
  if (entry >= 0) gameRecorder.NameLastGame(highScoreNames[entry]);
  if (HighScoresUnsaved()) WriteScores();
}
