#include "app/program_loop.h"

#include <ctime>

#include "engine/data_index.h"
#include "engine/graphics_engine.h"
#include "engine/settings_store.h"
#include "game/controls.h"
#include "game/game_flow.h"
#include "game/game_numbers.h"
#include "game/game_state.h"
#include "game/high_scores.h"
#include "game/player_record.h"
#include "game/scoring.h"
#include "replay/game_recorder.h"
#include "replay/score_exchange.h"
#include "scene/stage.h"
#include "screens/menu_screen.h"
#include "screens/message_box.h"
#include "screens/numbers_screen.h"
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
  // A practice game never enters the table on the title after it.
  bool lastGameEnters = true;
  for (;;) {
    RunTitleScreen(lastGameEnters);
    int practiceWave = 1;
    const int result = RunMenu(&practiceWave);
    const bool practice = result == kMenuPractice;
    const bool playing = result == kMenuPlay || practice;
    const int startWave = practice ? practiceWave : 1;
    if (playing) RunIntro();
    // A game played from the server's seed is sent when it ends; without a
    // token (no server, or no answer yet) the game is played as ever. A
    // practice game takes no token.
    uint32_t seed = 0;
    const bool online = result == kMenuPlay && scoreExchange.TakeToken(&seed);
    if (!online) seed = NewGameSeed();
    BeginGame(seed, startWave);
    GameSummary summary;
    if (playing) {
      const int bestBefore = bestScore;
      gameKeepsBestWave = true;
      gameRecorder.Begin(seed, std::time(nullptr), practice, startWave);
      PlayGame();
      gameRecorder.Finish(game.score, game.waveIndex + 1);
      summary = SummariseGame(practice, startWave);
      RecordFinishedGame(summary);
      if (online) scoreExchange.SendGame(gameRecorder.LastReplay(), settingsStore.Current().onlineName);
      // The best score shown is the table's games': a practice game's goes
      // with it.
      if (practice) {
        bestScore = bestBefore;
        ShowScores();
      }
    }
    EndGame();
    RemoveGameObjects();
    stage.DrawFrame();
    if (playing && game.lives <= 0) RunNumbersScreen(summary, settingsStore.Current().bestWave);
    RunClosingSequence();
    engine.ShowMouse();
    if (result == kMenuQuit) return;
    lastGameEnters = !practice;
  }
}

void KeepThePlayersWork() {
  // The player's own files first: waiting on the network below may be cut
  // short by whoever ends the program. A game from the menu still being
  // played counts in the record as it stands.
  const bool gameUnderway = gameRecorder.Recording();
  gameRecorder.Finish(game.score, game.waveIndex + 1);
  if (gameUnderway) {
    const ReplayHeader& header = gameRecorder.LastReplay().header;
    RecordFinishedGame(SummariseGame(header.practice, header.startWave));
  }
  const int entry = NameEntryOnTitle();
  if (entry >= 0) gameRecorder.NameLastGame(highScoreNames[entry]);
  if (HighScoresUnsaved()) WriteScores();
  if (scoreExchange.GameUnderway())
    scoreExchange.SendGame(gameRecorder.LastReplay(), settingsStore.Current().onlineName, true);
  scoreExchange.Flush(kSendAtExitMs);
}
