// Whole games played by the soak bot with the game's own functions (set-up,
// wave intro, StartWave, LogicStep, the wave-cleared pause, game over), the
// audit run after every step of play and of every pause.
#pragma once

#include <string>
#include <vector>

#include "support/scripted_platform.h"

struct SoakOptions {
  long playSteps = 3000;  // logic steps of play to run
  unsigned seed = 1;      // the bot's and the game's random numbers
  int firstWave = 0;      // wave index each game starts on
  // Lives are topped up (through AddScore's bonus) until the game has come
  // back to wave 11 after wave 20; after that the bot plays on its own.
  bool keepAliveUntilLap = true;
  // Ends the run this many play steps after the first return to wave 11
  // (negative: run the whole budget).
  long stepsAfterLap = -1;
  // Share of play steps with aimed beams, before and after that return: on
  // its own the bot is meant to lose, so that games end and new ones begin.
  double aimChance = 0.35;
  double aimChanceAfterLap = 0.02;
};

struct SoakReport {
  long playSteps = 0;
  long pauseSteps = 0;
  int games = 0;
  int gamesOver = 0;
  int livesLost = 0;
  int livesGranted = 0;
  int bombsDetonated = 0;
  int humansLost = 0;
  int mutantsSeen = 0;  // most mutants alive at once
  int wavesStarted[20] = {};
  int wavesCleared[20] = {};
  int bossesBeaten = 0;
  int laps = 0;  // returns to wave 11 after wave 20
  int escapes = 0;
  int questionsAnswered = 0;
  int questionsAnsweredByClick = 0;
  int pauses = 0;
  int highestEnemyCount = 0;
  int highestPendingSpawns = 0;
  long faultStep = -1;  // play step at which the first fault was seen
  std::vector<std::string> faults;

  std::string Summary() const;
};

SoakReport RunSoak(ScriptedPlatform& platform, const SoakOptions& options);
