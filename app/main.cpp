// The program's life on one screen: start-up, the screens and the game, and
// the clean-up that runs on every ordinary end.
#include <allegro.h>

#include <cstdio>
#include <cstdlib>

#include "app/program_loop.h"
#include "engine/command_line.h"
#include "engine/game_folders.h"
#include "engine/graphics_engine.h"
#include "engine/log.h"
#include "engine/settings_store.h"
#include "entities/play_objects.h"
#include "game/game_flow.h"
#include "game/game_state.h"
#include "game/high_scores.h"
#include "game/player_record.h"
#include "game/scoring.h"
#include "game/screen_objects.h"
#include "music/music_track.h"
#include "replay/replay_player.h"
#include "replay/score_exchange.h"

namespace {

// Runs on the return from main, on the exit of a confirmed quit and when the
// game is asked to end from outside.
void OnExit() {
  KeepThePlayersWork();
  RemoveGameObjects();
  // Bitmaps the effects and the scanner made go back while the library is up.
  ReleasePlayBitmaps();
  engine.Shutdown();
}

}  // namespace

int main(int argc, char** argv) {
  const CommandLine options = ParseCommandLine(argc, argv);
  switch (options.action) {
    case CommandLine::kHelp:
      PrintUsage(stdout);
      return 0;
    case CommandLine::kVersion:
      PrintVersion(stdout);
      return 0;
    case CommandLine::kUsageError:
      std::fprintf(stderr, "vevarnholt: %s\n", options.error.c_str());
      PrintUsage(stderr);
      return kExitUsage;
    default:
      break;
  }
  gameFolders = ResolveGameFolders(ReadFolderEnvironment());
  if (options.action == CommandLine::kVerify) return VerifyReplayFile(options.file, options.stats);
  Replay watched;
  if (options.action == CommandLine::kReplay && !LoadReplayToWatch(options.file, watched)) return kExitBadData;

  Log("KAV GAME START\n");
  engine.SetMusicLevelReceiver(SetMusicLevel);
  DisplayRequest display;
  display.fullscreen = options.fullscreen;
  display.scale = options.scale;
  display.refresh = options.refresh;
  engine.Initialise(display);
  std::atexit(OnExit);
  BuildScreenObjects();
  ReadScores();
  bestScore = highScores[0];
  ShowScores();
  if (options.action == CommandLine::kReplay) {
    WatchReplay(watched);
  } else {
    LoadPlayerRecord();
    settingsStore.OverrideServer(options.server);
    scoreExchange.Start(settingsStore.Server(), gameFolders.OutboxFolder(), settingsStore.Current().onlineName);
    RunProgramLoop();
  }
  return 0;
}
END_OF_MAIN()
