// The game proper: set-up, the waves one after another in fixed-rate logic
// steps, death and respawn, the wave-cleared bonus, reinforcements and the end
// of the game; and the endless program loop around it.
#pragma once

#include <cstdint>

// State local to the wave being played.
struct WaveProgress {
  int deathCounter = 0;          // steps counted while the ship is destroyed
  int clearedCounter = 0;        // steps counted while nothing hostile is left
  int reinforcementCounter = 0;  // steps since the last reinforcement
  int reinforcementLimit = 1500;
  bool waveDone = false;
  bool gameOver = false;
};
extern WaveProgress waveProgress;

constexpr int kPauseSteps = 151;

void PlaceGameObjects();
void RemoveGameObjects();

// A new game from a seed: the random generator seeded with it, the step
// clock started and everything a last game left behind set back, then
// SetUpGame. EndGame stops the step clock (and a demo's limits).
void BeginGame(uint32_t seed);
void EndGame();
// A seed for a new game, from the clock.
uint32_t NewGameSeed();
// A demo ends at the first key, click or gamepad button, and after
// `gameStepLimit` steps when that is above 0 (both cleared by EndGame).
extern bool gameInterruptible;
extern long gameStepLimit;

// A new game: wave 1, no points, three lives, three bombs, one human.
void SetUpGame();
// Waves until the last life is lost.
void PlayGame();
// One wave from its intro to its end (cleared or game over).
void PlayWave();
void ShowWaveIntro();
// Starts the play of the current wave: view, ship, sound, enemies.
void StartWave();
// One logic step of play. Returns true when the wave loop must end.
bool LogicStep();
// The bonus, the messages and the pause after a cleared wave; moves on to the
// next wave.
void FinishClearedWave();

// Title, menu, game and closing sequence, until Quit is chosen.
void RunProgramLoop();
