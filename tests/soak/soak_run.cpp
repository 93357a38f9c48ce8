#include "engine/graphics_engine.h"
#include "soak/soak_run.h"

#include <algorithm>
#include <cstdlib>
#include <sstream>

#include "engine/data_index.h"
#include "entities/entity.h"
#include "game/game_flow.h"
#include "game/game_state.h"
#include "game/scoring.h"
#include "game/waves.h"
#include "entities/play_objects.h"
#include "soak/play_audit.h"
#include "soak/soak_bot.h"
#include "scene/stage.h"

namespace {

class SoakRun {
 public:
  SoakRun(ScriptedPlatform& platform, const SoakOptions& options)
      : platform_(platform), options_(options), bot_(platform, options.seed) {
    bot_.SetAimChance(options.aimChance);
  }

  SoakReport Run() {
    world->random.Seed(options_.seed);
    platform_.OnWait([this](long) { BetweenPacedSteps(); });
    NewGame();
    while (!Finished()) {
      phase_ = PlayPhase::kBetweenWaves;
      ShowWaveIntro();
      if (Finished()) break;
      StartWave();
      phase_ = PlayPhase::kInWave;
      report_.wavesStarted[game.waveIndex] += 1;
      Audit("the start of a wave");
      const bool ended = PlayUntilTheWaveEnds();
      engine.StopSample(dat::kSndPlayLoop);
      if (!ended) break;
      if (game.waveProgress.gameOver) {
        EndGame();
        if (!Finished()) NewGame();
        continue;
      }
      const int cleared = game.waveIndex;
      report_.wavesCleared[cleared] += 1;
      if (cleared == kBossWave) report_.bossesBeaten += 1;
      phase_ = PlayPhase::kWaveCleared;
      FinishClearedWave();
      phase_ = PlayPhase::kBetweenWaves;
      Audit("the end of a cleared wave");
      if (cleared == kBossWave && game.waveIndex == 10) {
        report_.laps += 1;
        if (lapAt_ < 0) lapAt_ = report_.playSteps;
        bot_.SetAimChance(options_.aimChanceAfterLap);
      }
    }
    // Leave nothing behind: the game's objects off the screen, the enemies
    // deleted.
    RemoveGameObjects();
    DeleteEnemies();
    world->liveEnemies = 0;
    phase_ = PlayPhase::kOutOfGame;
    Audit("the end of the run");
    platform_.OnWait(nullptr);
    platform_.ReleaseAllKeys();
    report_.escapes = bot_.EscapesPressed();
    report_.questionsAnswered = bot_.QuestionsAnswered();
    report_.pauses = bot_.Pauses();
    report_.questionsAnsweredByClick = bot_.QuestionsAnsweredByClick();
    if (bot_.QuestionStuck()) Fault("the quit question did not close on No");
    return report_;
  }

 private:
  bool Finished() const {
    if (!report_.faults.empty()) return true;
    if (report_.playSteps >= options_.playSteps) return true;
    return options_.stepsAfterLap >= 0 && lapAt_ >= 0 && report_.playSteps >= lapAt_ + options_.stepsAfterLap;
  }

  void NewGame() {
    SetUpGame();
    game.waveProgress = WaveProgress();
    game.waveIndex = options_.firstWave;
    report_.games += 1;
    lapAt_ = -1;
    bot_.SetAimChance(options_.aimChance);
    phase_ = PlayPhase::kBetweenWaves;
    RememberStanding();
    Audit("a new game");
  }

  void EndGame() {
    report_.gamesOver += 1;
    RemoveGameObjects();
    stage.DrawFrame();
    phase_ = PlayPhase::kOutOfGame;
    Audit("the end of a game");
  }

  // Returns false when the run must stop before the wave ends.
  bool PlayUntilTheWaveEnds() {
    for (;;) {
      if (Finished()) return false;
      KeepAlive();
      bot_.BeforePlayStep();
      insideStep_ = true;
      const bool done = LogicStep();
      insideStep_ = false;
      report_.playSteps += 1;
      Observe();
      Audit("a step of play");
      if (done) return true;
    }
  }

  void KeepAlive() {
    const bool lapDone = lapAt_ >= 0;
    if (!options_.keepAliveUntilLap || lapDone || game.lives > 1) return;
    // The game's own bonus: reaching the next bonus score gives a life and a
    // bomb.
    AddScore(std::max(0, game.nextBonusScore - game.score));
    report_.livesGranted += 1;
    RememberStanding();
  }

  void RememberStanding() {
    lastLives_ = game.lives;
    lastBombs_ = game.bombs;
    for (int i = 0; i < kHumanCount; ++i) lastHumanStates_[i] = humans[i].GetState();
  }

  void Observe() {
    if (game.lives < lastLives_) report_.livesLost += lastLives_ - game.lives;
    if (game.bombs < lastBombs_) report_.bombsDetonated += lastBombs_ - game.bombs;
    for (int i = 0; i < kHumanCount; ++i)
      if (humans[i].GetState() == Human::kDead && lastHumanStates_[i] != Human::kDead) report_.humansLost += 1;
    RememberStanding();
    int mutants = 0;
    for (int i = 0; i < enemyCount; ++i)
      if (enemies[i] && !enemies[i]->IsDead() && enemies[i]->GetType() == kMutant) ++mutants;
    report_.mutantsSeen = std::max(report_.mutantsSeen, mutants);
    report_.highestEnemyCount = std::max(report_.highestEnemyCount, enemyCount);
    report_.highestPendingSpawns = std::max(report_.highestPendingSpawns, world->pendingSpawns);
  }

  // Every wait of a paced loop comes right before one paced step: the wave
  // intro's and the cleared wave's pauses, and the quit question's own loop
  // (which runs inside a step).
  void BetweenPacedSteps() {
    const AuditResult audit = AuditPlay(phase_);
    if (!audit.strangers.empty() && StrangersAreTheQuitQuestion(audit)) {
      AuditResult rest = audit;
      rest.strangers.clear();
      Report(rest, "the quit question");
      bot_.WhileQuestionOpen(audit);
      return;
    }
    if (!audit.strangers.empty() && StrangersAreThePause(audit)) {
      AuditResult rest = audit;
      rest.strangers.clear();
      Report(rest, "the paused game");
      bot_.WhilePaused();
      return;
    }
    Report(audit, insideStep_ ? "a paced loop inside a step" : "a step of a pause");
    if (!insideStep_) {
      report_.pauseSteps += 1;
      bot_.BeforePauseStep();
    }
  }

  void Audit(const char* when) { Report(AuditPlay(phase_), when); }

  void Report(const AuditResult& audit, const char* when) {
    if (!report_.faults.empty()) return;
    std::vector<std::string> faults = audit.faults;
    for (Element* stranger : audit.strangers)
      faults.push_back(std::string("an unknown element on the render list: \"") + stranger->GetName() + "\"");
    if (faults.empty()) return;
    report_.faultStep = report_.playSteps;
    for (const std::string& fault : faults) {
      std::ostringstream text;
      text << "after " << when << " (play step " << report_.playSteps << ", wave " << game.waveIndex + 1 << "): " << fault;
      report_.faults.push_back(text.str());
    }
    // End the game at once: the next step returns.
    game.waveProgress.gameOver = true;
  }

  void Fault(const std::string& text) { report_.faults.push_back(text); }

  ScriptedPlatform& platform_;
  SoakOptions options_;
  SoakBot bot_;
  SoakReport report_;
  PlayPhase phase_ = PlayPhase::kOutOfGame;
  bool insideStep_ = false;
  long lapAt_ = -1;
  int lastLives_ = 0;
  int lastBombs_ = 0;
  int lastHumanStates_[kHumanCount] = {};
};

}  // namespace

std::string SoakReport::Summary() const {
  std::ostringstream text;
  text << playSteps << " steps of play and " << pauseSteps << " of pauses; " << games << " games (" << gamesOver
       << " over), " << livesLost << " lives lost, " << livesGranted << " granted, " << bombsDetonated
       << " bombs, " << humansLost << " humans lost, up to " << mutantsSeen << " mutants at once, up to "
       << highestEnemyCount << " enemies and " << highestPendingSpawns << " spawn-ins; " << bossesBeaten
       << " bosses beaten, " << laps << " returns to wave 11; " << escapes << " escapes, " << questionsAnswered
       << " quit questions answered No (" << questionsAnsweredByClick << " by click), " << pauses
       << " pauses\nwaves started/cleared:";
  for (int w = 0; w < 20; ++w) text << " " << w + 1 << ":" << wavesStarted[w] << "/" << wavesCleared[w];
  return text.str();
}

SoakReport RunSoak(ScriptedPlatform& platform, const SoakOptions& options) { return SoakRun(platform, options).Run(); }
