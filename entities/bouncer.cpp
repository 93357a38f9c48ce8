#include "entities/bouncer.h"

#include <allegro.h>

#include <cstdlib>

#include "engine/data_index.h"
#include "engine/graphics_engine.h"
#include "entities/world.h"
#include "entities/enemy_roster.h"
#include "entities/missile.h"
#include "entities/pod.h"
#include "entities/play_objects.h"

namespace {
constexpr int kSpeed = 4;
constexpr int kShotSpeed = 7;
// Bouncers hold their fire during the first three waves.
constexpr int kFirstFiringWave = 3;
}  // namespace

void Bouncer::Place(int, int index) {
  SetPosition(SpreadAcrossWorld(index, world->waveTypeCounts[kBouncer]), 100 * (RandomNumber() % 8));
}

void Bouncer::GetFrames(int* count, BITMAP** frames) {
  *count = 8;
  for (int i = 0; i < 8; ++i) frames[i] = engine.Bitmap(dat::kBouncerFrame0 + i);
}

void Bouncer::Think() {
  int dx = driftX != 0 ? driftX : kSpeed;
  int dy = driftY != 0 ? driftY : kSpeed;
  SetDrift(dx, dy);
  // Reverse at random, each axis about once in 100 steps.
  if (RandomNumber() % 100 == 0) {
    dx = -dx;
    SetDrift(dx, dy);
  }
  if (RandomNumber() % 100 == 0) {
    dy = -dy;
    SetDrift(dx, dy);
  }

  // The shot flies against the ship's direction of travel.
  const int w = GetFrameBitmap()->w;
  const int shipY = ship.GetY();
  if (shipY - 200 < y && y < shipY + 250 && std::abs(ship.GetX() - x) < 800 && RandomNumber() % 50 == 0 &&
      world->wave >= kFirstFiringWave) {
    if (ship.GetVX() >= 0)
      FireMissile(2, x, y + w / 2, -kShotSpeed, 0);
    else
      FireMissile(2, x + w, y + w / 2, kShotSpeed, 0);
  }
}

void Bouncer::Move() { MoveWithin(70, 768); }

int Bouncer::ScannerColour() { return makecol(255, 165, 0); }
