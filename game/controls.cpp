#include "game/controls.h"

#include <allegro.h>

#include <cstdio>
#include <cstdlib>

#include "engine/clock.h"
#include "engine/data_index.h"
#include "engine/graphics_engine.h"
#include "engine/settings.h"
#include "entities/entity.h"
#include "game/game_state.h"
#include "game/player_actions.h"
#include "game/scoring.h"
#include "replay/game_recorder.h"
#include "entities/play_objects.h"
#include "scene/view.h"
#include "screens/message_box.h"
#include "engine/settings_store.h"
#include "engine/input.h"
#include "scene/stage.h"

int controlKeys[kControlCount] = {KEY_UP, KEY_DOWN, KEY_LEFT, KEY_RIGHT, KEY_Z, KEY_SPACE};
const char* const kControlDescriptions[kControlCount] = {
    "Move space ship Up", "Move space ship Down", "Move space ship Left",
    "Move space ship Right", "Fire missile", "Detonate Bomb",
};
char controlKeyNames[kControlCount][kKeyNameSize];

int nextBullet = 0;
int fireArmed = 0;
int bombArmed = 0;

void NameControlKey(int control) {
  std::snprintf(controlKeyNames[control], kKeyNameSize, "%s", input.KeyName(controlKeys[control]));
}

void AssignControlKey(int control, int scancode) {
  const int old = controlKeys[control];
  for (int other = 0; other < kControlCount; ++other) {
    if (other != control && controlKeys[other] == scancode) {
      controlKeys[other] = old;
      NameControlKey(other);
    }
  }
  controlKeys[control] = scancode;
  NameControlKey(control);
  Settings settings = settingsStore.Current();
  for (int k = 0; k < kControlCount; ++k) settings.keys[k] = controlKeys[k];
  settingsStore.Change(settings);
}

void LoadControlKeys(const Settings& settings) {
  for (int k = 0; k < kControlCount; ++k) controlKeys[k] = settings.keys[k];
}

static void Shoot() {
  Bullet& b = bullets[nextBullet];
  // A beam still in flight is taken back for the new shot.
  stage.Hide(&b);
  b.SetTravelled(0);
  // The shot follows the picture shown, not the ship's heading.
  if (shipImageFacing == 1) {
    b.SetVelocity(Bullet::kSpeed, 0);
    b.SetBitmap(engine.Bitmap(dat::kBeamRight));
    b.SetPosition(ship.GetX() - 350, ship.GetY() + 48);
  } else {
    b.SetVelocity(-Bullet::kSpeed, 0);
    b.SetBitmap(engine.Bitmap(dat::kBeamLeft));
    b.SetPosition(ship.GetX(), ship.GetY() + 48);
  }
  b.BuildOutline();
  engine.PlaySample(dat::kSndShot, 0);
  stage.AddElement(&b);
  nextBullet = nextBullet == kBulletCount - 1 ? 0 : nextBullet + 1;
}

static void Detonate() {
  bombs -= 1;
  TakeBombIcon();
  // Plain comparison with the view's interval: no wrap across the seam.
  for (int i = 0; i < enemyCount; ++i) {
    Entity* e = enemies[i];
    if (!e || !e->IsOnList()) continue;
    if (e->GetX() < ViewX || e->GetX() >= ViewX + 1024) continue;
    e->Kill();
    explosions[i].Init(e->GetFrameBitmap(), e->GetX(), e->GetY(), 0, "Bang!");
    stage.Show(&explosions[i]);
    AddScore(e->GetScore());
  }
}

void AskToQuit() {
  if (AskYesNo(dat::kShipRight, "Really Quit and Exit the program ?")) {
    // The game so far is kept as a replay; no step ran since the last one
    // recorded.
    gameRecorder.Finish(score, waveIndex + 1);
    std::exit(0);
  }
  // The steps missed while the question was open are dropped, not run back
  // to back: the player must not lose a life to unseen seconds.
  DropOwedFrames();
}

bool HandleGameKeys() {
  input.PollKeyboard();
  ActionSource* source = CurrentActionSource();
  if (input.KeyHeld(KEY_ESC)) {
    // Watching a recording, Escape stops it; playing, it asks.
    if (source) return false;
    AskToQuit();
  }

  // One set of actions every step, whatever happens in it, so that a
  // recording holds exactly the steps that ran.
  uint8_t actions = 0;
  if (source) {
    if (!source->Next(actions)) return false;
  } else {
    actions = ReadHeldActions();
  }
  gameRecorder.Record(actions);
  if (ship.IsDestroyed()) return true;

  if (actions & kActionUp) ship.Thrust(0, -2);
  if (actions & kActionDown) ship.Thrust(0, 2);
  if (actions & kActionLeft) {
    ship.SetHeading(-1);
    ship.Thrust(-2, 0);
    if (shipImageFacing != -1) {
      ship.SetBitmap(engine.Bitmap(dat::kShipLeft));
      shipImageFacing = -1;
    }
  }
  if (actions & kActionRight) {
    ship.SetHeading(1);
    ship.Thrust(2, 0);
    if (shipImageFacing != 1) {
      ship.SetBitmap(engine.Bitmap(dat::kShipRight));
      shipImageFacing = 1;
    }
  }

  if (actions & kActionFire) {
    if (fireArmed) Shoot();
    fireArmed = 0;
  } else {
    fireArmed = 1;
  }

  if (actions & kActionBomb) {
    if (bombArmed && bombs > 0) Detonate();
    bombArmed = 0;
  } else {
    bombArmed = 1;
  }
  return true;
}
