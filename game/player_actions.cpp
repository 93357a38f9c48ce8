#include "game/player_actions.h"

#include "engine/graphics_engine.h"
#include "game/controls.h"
#include "game/actions.h"

namespace {
ActionSource* source = nullptr;
}

uint8_t ReadHeldActions() {
  uint8_t actions = 0;
  if (engine.KeyHeld(controlKeys[kUp])) actions |= kActionUp;
  if (engine.KeyHeld(controlKeys[kDown])) actions |= kActionDown;
  if (engine.KeyHeld(controlKeys[kLeft])) actions |= kActionLeft;
  if (engine.KeyHeld(controlKeys[kRight])) actions |= kActionRight;
  if (engine.KeyHeld(controlKeys[kFire])) actions |= kActionFire;
  if (engine.KeyHeld(controlKeys[kSmartBomb])) actions |= kActionBomb;
  const PadState& pad = engine.Pad();
  if (pad.present) {
    const Settings& settings = engine.CurrentSettings();
    if (pad.up) actions |= kActionUp;
    if (pad.down) actions |= kActionDown;
    if (pad.left) actions |= kActionLeft;
    if (pad.right) actions |= kActionRight;
    if (pad.Held(settings.padFire)) actions |= kActionFire;
    if (pad.Held(settings.padBomb)) actions |= kActionBomb;
  }
  return actions;
}

void SetActionSource(ActionSource* newSource) { source = newSource; }
ActionSource* CurrentActionSource() { return source; }
