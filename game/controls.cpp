#include "game/controls.h"

#include <allegro.h>

#include <cstdio>
#include <cstdlib>

#include "engine/clock.h"
#include "engine/data_index.h"
#include "engine/graphics_engine.h"
#include "engine/input.h"
#include "engine/settings_store.h"
#include "entities/entity.h"
#include "entities/play_objects.h"
#include "game/game_numbers.h"
#include "game/game_state.h"
#include "game/player_actions.h"
#include "game/scoring.h"
#include "scene/stage.h"

const char* const kControlDescriptions[kControlCount] = {
    "Move space ship Up", "Move space ship Down", "Move space ship Left",
    "Move space ship Right", "Fire missile", "Detonate Bomb",
};
char controlKeyNames[kControlCount][kKeyNameSize];

namespace {
bool (*quitQuestion)() = nullptr;
}  // namespace

int ControlKey(int control) { return settingsStore.Current().keys[control]; }

void NameControlKey(int control) {
  std::snprintf(controlKeyNames[control], kKeyNameSize, "%s", input.KeyName(ControlKey(control)));
}

void AssignControlKey(int control, int scancode) {
  Settings settings = settingsStore.Current();
  const int old = settings.keys[control];
  for (int other = 0; other < kControlCount; ++other)
    if (other != control && settings.keys[other] == scancode) settings.keys[other] = old;
  settings.keys[control] = scancode;
  settingsStore.Change(settings);
  for (int k = 0; k < kControlCount; ++k) NameControlKey(k);
}

void SetQuitQuestion(bool (*ask)()) { quitQuestion = ask; }

static void Shoot() {
  Bullet& b = bullets[game.nextBullet];
  // A beam still in flight is taken back for the new shot.
  stage.Hide(&b);
  b.SetTravelled(0);
  // The shot follows the picture shown, not the ship's heading.
  if (world->shipImageFacing == 1) {
    b.SetVelocity(Bullet::kSpeed, 0);
    b.SetBitmap(engine.Bitmap(dat::kBeamRight));
    b.SetPosition(ship.GetX() - 350, ship.GetY() + 48);
  } else {
    b.SetVelocity(-Bullet::kSpeed, 0);
    b.SetBitmap(engine.Bitmap(dat::kBeamLeft));
    b.SetPosition(ship.GetX(), ship.GetY() + 48);
  }
  b.BuildOutline();
  CountShot();
  engine.PlaySample(dat::kSndShot, 0);
  stage.AddElement(&b);
  game.nextBullet = game.nextBullet == kBulletCount - 1 ? 0 : game.nextBullet + 1;
}

static void Detonate() {
  game.bombs -= 1;
  TakeBombIcon();
  CountBomb();
  // Plain comparison with the view's interval: no wrap across the seam.
  const int viewX = world->scroll.x;
  for (int i = 0; i < enemyCount; ++i) {
    Entity* e = enemies[i];
    if (!e || !e->IsOnList()) continue;
    if (e->GetX() < viewX || e->GetX() >= viewX + 1024) continue;
    e->Kill();
    CountEnemyDestroyed(e->GetType());
    explosions[i].Init(e->GetFrameBitmap(), e->GetX(), e->GetY(), 0, "Bang!");
    stage.Show(&explosions[i]);
    AddScore(e->GetScore());
  }
}

void AskToQuit() {
  // A yes ends the program as any ordinary end does: the game so far is kept
  // as a replay by the program's clean-up (no step ran since the last one
  // recorded).
  if (quitQuestion && quitQuestion()) std::exit(0);
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
  TellActionObserver(actions);
  if (ship.IsDestroyed()) return true;

  if (actions & kActionUp) ship.Thrust(0, -2);
  if (actions & kActionDown) ship.Thrust(0, 2);
  if (actions & kActionLeft) {
    ship.SetHeading(-1);
    ship.Thrust(-2, 0);
    if (world->shipImageFacing != -1) {
      ship.SetBitmap(engine.Bitmap(dat::kShipLeft));
      world->shipImageFacing = -1;
    }
  }
  if (actions & kActionRight) {
    ship.SetHeading(1);
    ship.Thrust(2, 0);
    if (world->shipImageFacing != 1) {
      ship.SetBitmap(engine.Bitmap(dat::kShipRight));
      world->shipImageFacing = 1;
    }
  }

  if (actions & kActionFire) {
    if (game.fireArmed) Shoot();
    game.fireArmed = 0;
  } else {
    game.fireArmed = 1;
  }

  if (actions & kActionBomb) {
    if (game.bombArmed && game.bombs > 0) Detonate();
    game.bombArmed = 0;
  } else {
    game.bombArmed = 1;
  }
  return true;
}
