#include "game/player_actions.h"

#include "engine/graphics_engine.h"
#include "game/controls.h"
#include "game/actions.h"
#include "engine/settings_store.h"
#include "engine/input.h"

namespace {
ActionSource* source = nullptr;
}

uint8_t ReadHeldActions() {
  uint8_t actions = 0;
  if (input.KeyHeld(controlKeys[kUp])) actions |= kActionUp;
  if (input.KeyHeld(controlKeys[kDown])) actions |= kActionDown;
  if (input.KeyHeld(controlKeys[kLeft])) actions |= kActionLeft;
  if (input.KeyHeld(controlKeys[kRight])) actions |= kActionRight;
  if (input.KeyHeld(controlKeys[kFire])) actions |= kActionFire;
  if (input.KeyHeld(controlKeys[kSmartBomb])) actions |= kActionBomb;
  const PadState& pad = input.Pad();
  if (pad.present) {
    const Settings& settings = settingsStore.Current();
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
