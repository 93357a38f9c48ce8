#include "game/player_actions.h"

#include "engine/graphics_engine.h"
#include "game/controls.h"
#include "game/actions.h"
#include "engine/settings_store.h"
#include "engine/input.h"

namespace {
ActionSource* source = nullptr;
ActionObserver* observer = nullptr;
}

uint8_t ReadHeldActions() {
  uint8_t actions = 0;
  if (input.KeyHeld(ControlKey(kUp))) actions |= kActionUp;
  if (input.KeyHeld(ControlKey(kDown))) actions |= kActionDown;
  if (input.KeyHeld(ControlKey(kLeft))) actions |= kActionLeft;
  if (input.KeyHeld(ControlKey(kRight))) actions |= kActionRight;
  if (input.KeyHeld(ControlKey(kFire))) actions |= kActionFire;
  if (input.KeyHeld(ControlKey(kSmartBomb))) actions |= kActionBomb;
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

void SetActionObserver(ActionObserver* newObserver) { observer = newObserver; }

void TellActionObserver(uint8_t actions) {
  if (observer) observer->Took(actions);
}
