// Where each step of play gets the player's actions (the six of the control
// table, as one byte of kAction* bits): the game keys and the gamepad as held
// now, or a recording being played back. Every step reads exactly one set, so
// a game is the same whenever the same sets come in the same order from the
// same seed.
#pragma once

#include <cstdint>

#include "game/actions.h"

class ActionSource {
 public:
  virtual ~ActionSource() = default;
  // The next step's actions; false once the source has none left.
  virtual bool Next(uint8_t& actions) = 0;
};

// The keys of the control table and the gamepad (first stick or d-pad, the
// fire and bomb buttons of the settings), as held now (the gamepad as the
// step's PollInput read it).
uint8_t ReadHeldActions();

// Null: the player at the keys and the gamepad.
void SetActionSource(ActionSource* source);
ActionSource* CurrentActionSource();

// Sees every step's actions as the game takes them, before they act (the
// recorder of the game being played).
class ActionObserver {
 public:
  virtual ~ActionObserver() = default;
  virtual void Took(uint8_t actions) = 0;
};

// Null: nobody watches.
void SetActionObserver(ActionObserver* observer);
void TellActionObserver(uint8_t actions);
