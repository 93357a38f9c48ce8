// The game proper: set-up, the waves one after another in fixed-rate logic
// steps, death and respawn, the wave-cleared bonus, reinforcements and the end
// of the game.
#pragma once

#include <cstdint>

constexpr int kPauseSteps = 151;

void PlaceGameObjects();
void RemoveGameObjects();

// A new game from a seed: a fresh state value (the random generator seeded
// with it) and fresh numbers, the step clock started, the ship and the humans
// made afresh, then SetUpGame; it plays from wave `startWave` (1..20), with
// the humans present that a game reaching that wave without a loss has (one
// more after each wave before it). EndGame stops the step clock (and clears a
// demo's limits and gameKeepsBestWave).
void BeginGame(uint32_t seed, int startWave = 1);
void EndGame();
// A seed for a new game, from the clock.
uint32_t NewGameSeed();
// A demo ends at the first key, click or gamepad button, and after
// `gameStepLimit` steps when that is above 0 (both cleared by EndGame).
extern bool gameInterruptible;
extern long gameStepLimit;
// A game played from the menu keeps the highest wave it reaches in the
// settings (demos, replays and --verify never do).
extern bool gameKeepsBestWave;

// The objects of a new game put out: the score shown from zero, the humans
// placed (one present), no enemies.
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

