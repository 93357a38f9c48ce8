#include "app/program_loop.h"

#include <ctime>

#include "engine/data_index.h"
#include "engine/graphics_engine.h"
#include "engine/settings_store.h"
#include "game/controls.h"
#include "game/game_flow.h"
#include "game/game_state.h"
#include "game/high_scores.h"
#include "replay/game_recorder.h"
#include "replay/score_exchange.h"
#include "scene/stage.h"
#include "screens/menu_screen.h"
#include "screens/message_box.h"
#include "screens/sequences.h"
#include "screens/title_screen.h"

namespace {
// At the program's end a game still being sent gets this long before the
// program goes; what does not go waits in the outbox for the next start.
constexpr int kSendAtExitMs = 5000;

bool AskToQuitTheProgram() { return AskYesNo(dat::kShipRight, "Really Quit and Exit the program ?"); }
}  // namespace

void RunProgramLoop() {
  SetQuitQuestion(AskToQuitTheProgram);
  for (;;) {
    RunTitleScreen();
    const int result = RunMenu();
    if (result == kMenuPlay) RunIntro();
    // A game played from the server's seed is sent when it ends; without a
    // token (no server, or no answer yet) the game is played as ever.
    uint32_t seed = 0;
    const bool online = result == kMenuPlay && scoreExchange.TakeToken(&seed);
    if (!online) seed = NewGameSeed();
    BeginGame(seed);
    if (result == kMenuPlay) {
      gameRecorder.Begin(seed, std::time(nullptr));
      PlayGame();
      gameRecorder.Finish(game.score, game.waveIndex + 1);
      if (online) scoreExchange.SendGame(gameRecorder.LastReplay(), settingsStore.Current().onlineName);
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
  // The player's own files first: waiting on the network below may be cut
  // short by whoever ends the program.
  gameRecorder.Finish(game.score, game.waveIndex + 1);
  const int entry = NameEntryOnTitle();
  if (entry >= 0) gameRecorder.NameLastGame(highScoreNames[entry]);
  if (HighScoresUnsaved()) WriteScores();
  if (scoreExchange.GameUnderway())
    scoreExchange.SendGame(gameRecorder.LastReplay(), settingsStore.Current().onlineName, true);
  scoreExchange.Flush(kSendAtExitMs);
}
