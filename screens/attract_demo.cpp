#include "screens/attract_demo.h"

#include <allegro.h>

#include <cstring>
#include <string>

#include "engine/game_folders.h"
#include "engine/graphics_engine.h"
#include "game/game_flow.h"
#include "game/game_state.h"
#include "game/scoring.h"
#include "game/waves.h"
#include "replay/replay_library.h"
#include "replay/replay_player.h"
#include "entities/play_objects.h"
#include "scene/text_label.h"
#include "engine/input.h"
#include "scene/stage.h"

namespace {

// The banner stands on the picture's bottom edge, in the ground strip where
// the humans stand (at 750): the strip below the landscape that the play
// leaves free.
constexpr int kDemoBannerBottom = 767;

// What a game changes of the player's standing, put back after the demo: the
// game's state value whole, and the program's best score.
struct Standing {
  GameState game;
  int bestScore;

  void Save() {
    game = ::game;
    bestScore = ::bestScore;
  }
  void Restore() const {
    ::game = game;
    ::bestScore = bestScore;
    ShowScores();
  }
};

bool FindDemo(Replay& replay) {
  std::string path;
  if (FindBestReplay(gameFolders.ReplayFolder(), path, &replay)) return true;
  return ReadReplayFile(gameFolders.DataFile(kDemoReplayFile), replay) == ReplayError::kNone;
}

}  // namespace

bool RunAttractDemo() {
  Replay replay;
  if (!FindDemo(replay)) return false;

  Standing standing;
  standing.Save();
  // Every key ends the demo, the volume and display keys too: none of them
  // may change a setting meanwhile.
  input.SetSharedKeysEnabled(false);
  // Along the ground strip under the landscape, where the pilot never
  // flies, and under everything of the game (shown before any of the game's
  // objects on the same layer, so every one of them is drawn over it).
  TextLabel banner;
  banner.Init(dialogFont, "DEMO - press any key", 512, kDemoBannerBottom - text_height(dialogFont) + 1, 1,
              makecol(255, 252, 25), makecol(0, 0, 0), TextLabel::kCentre, 1);
  stage.Show(&banner);

  gameInterruptible = true;
  gameStepLimit = kDemoSteps;
  ReplaySource source(replay, false);
  PlayRecordedGame(replay, source);

  stage.Hide(&banner);
  // Stopped in the middle of play, the ship is still out.
  stage.Hide(&ship);
  RemoveGameObjects();
  DeleteEnemies();
  standing.Restore();
  input.SetSharedKeysEnabled(true);
  // The key or click that ended the demo does nothing more.
  input.Discard();
  engine.ShowMouse();
  return true;
}
