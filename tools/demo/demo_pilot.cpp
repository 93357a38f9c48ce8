#include "demo_pilot.h"

#include <cstdlib>

#include "entities/enemy_roster.h"
#include "entities/entity.h"
#include "game/game_state.h"
#include "game/waves.h"
#include "replay/replay_file.h"
#include "entities/play_objects.h"

namespace {

constexpr int kWorld = 4096;
// The ship's picture is 124 x 92; its beam leaves 48 px below its top and is
// 12 px high.
constexpr int kShipHalfWidth = 62;
constexpr int kShipHalfHeight = 46;
constexpr int kBeamOffset = 54;

// How far right of the ship's middle `x` lies, the short way round the world.
int Ahead(int x) {
  return ((x - ship.GetX() - kShipHalfWidth) % kWorld + kWorld + kWorld / 2) % kWorld - kWorld / 2;
}

bool Alive(const Entity* e) { return e && !e->IsDead() && e->IsOnList(); }

Entity* NearestTarget() {
  Entity* best = nullptr;
  int bestDistance = 0;
  for (int i = 0; i < enemyCount; ++i) {
    Entity* e = enemies[i];
    if (!Alive(e) || e->GetType() == kMine) continue;
    const int distance = std::abs(Ahead(e->GetX() + e->GetWidth() / 2)) + std::abs(e->GetY() - ship.GetY());
    if (!best || distance < bestDistance) {
      best = e;
      bestDistance = distance;
    }
  }
  return best;
}

int EnemiesInView() {
  int n = 0;
  for (int i = 0; i < enemyCount; ++i)
    if (Alive(enemies[i]) && std::abs(Ahead(enemies[i]->GetX())) < 500) ++n;
  return n;
}

// Something too close to the ship, by the middle of each: which way to move
// away from it (+1 up, -1 down), or 0 when nothing is near.
int Threat(int cx, int cy, int w, int h, int reachX, int reachY) {
  const int dx = Ahead(cx);
  const int dy = cy - (ship.GetY() + kShipHalfHeight);
  if (std::abs(dx) > reachX + w / 2 + kShipHalfWidth || std::abs(dy) > reachY + h / 2 + kShipHalfHeight) return 0;
  return dy > 0 ? 1 : -1;
}

int Dodge() {
  for (Missile& m : missiles)
    if (m.IsOnList())
      if (int way = Threat(m.GetX() + m.GetWidth() / 2, m.GetY() + m.GetHeight() / 2, m.GetWidth(), m.GetHeight(),
                           90, 40))
        return way;
  for (int i = 0; i < enemyCount; ++i) {
    Entity* e = enemies[i];
    if (!Alive(e)) continue;
    if (int way = Threat(e->GetX() + e->GetWidth() / 2, e->GetY() + e->GetHeight() / 2, e->GetWidth(),
                         e->GetHeight(), 60, 30))
      return way;
  }
  return 0;
}

}  // namespace

bool DemoPilot::Next(uint8_t& actions) {
  if (step_ >= steps_) return false;
  ++step_;
  actions = Decide();
  return true;
}

uint8_t DemoPilot::Decide() {
  uint8_t actions = 0;
  const Entity* target = NearestTarget();
  int wantY = 360;
  int dx = 700;
  if (target) {
    dx = Ahead(target->GetX() + target->GetWidth() / 2);
    wantY = target->GetY() + target->GetHeight() / 2 - kBeamOffset;
  }
  if (wantY < 70) wantY = 70;
  if (wantY > 610) wantY = 610;

  // Away from anything about to touch the ship; else level with the target.
  const int dodge = Dodge();
  const int y = ship.GetY();
  if (dodge > 0 || (dodge == 0 && y > wantY + 6)) actions |= kActionUp;
  if (dodge < 0 || (dodge == 0 && y < wantY - 6)) actions |= kActionDown;
  if (dodge > 0 && y < 80) actions = kActionDown;
  if (dodge < 0 && y > 600) actions = kActionUp;

  // Close in at a moderate speed to a good range, facing the target.
  const int facing = dx >= 0 ? 1 : -1;
  const int range = std::abs(dx);
  const int speed = ship.GetVX() * facing;
  if (world->shipImageFacing != facing || (range > 420 && speed < 9)) actions |= facing > 0 ? kActionRight : kActionLeft;
  // Too close and still closing: a touch the other way stops the ship dead.
  if (range < 220 && speed > 2) actions = (actions & ~(kActionLeft | kActionRight)) | (facing > 0 ? kActionLeft : kActionRight);

  // One shot a press: the key goes down and up again.
  const int beam = y + kBeamOffset;
  const bool lined = target && world->shipImageFacing == facing && range < 700 && beam > target->GetY() - 8 &&
                     beam < target->GetY() + target->GetHeight() + 2;
  fireHeld_ = lined && !fireHeld_;
  if (fireHeld_) actions |= kActionFire;

  bombHeld_ = !bombHeld_ && game.bombs > 0 && EnemiesInView() >= 7 && step_ % 50 == 0;
  if (bombHeld_) actions |= kActionBomb;
  return actions;
}
