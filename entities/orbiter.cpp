#include "entities/orbiter.h"

#include <allegro.h>

#include <cstdlib>

#include "engine/data_index.h"
#include "engine/graphics_engine.h"
#include "entities/missile.h"
#include "entities/play_objects.h"
#include "scene/view.h"

namespace {
constexpr int kShotSpeed = 5;
constexpr int kFiringRange = 1000;
constexpr int kTop = 100;
constexpr int kBottom = 700;
}  // namespace

void Orbiter::Init(int interval, int startFrame, int ticks, int px, int py, int centre, int layerValue,
                   const char* text) {
  Entity::Init(interval, startFrame, ticks, px, py, centre, layerValue, text);
  phase = 0;
}

void Orbiter::Place(int, int index) {
  int px = 2048 + 300 * index;
  while (px > kWorldWidth) px -= kWorldWidth;
  SetPosition(px, 400);
}

void Orbiter::GetFrames(int* count, BITMAP** frames) {
  *count = 1;
  frames[0] = engine.Bitmap(dat::kOrbiter);
}

void Orbiter::Think() {
  fireCounter += 1;
  if (fireCounter <= fireInterval) return;
  // The counter restarts whether or not the ship is near enough to shoot at.
  fireCounter = 0;
  if (std::abs(x - ship.GetX()) >= kFiringRange) return;
  // Four diagonal shots from the corners, outward.
  const BITMAP* picture = GetFrameBitmap();
  const int w = picture->w, h = picture->h;
  FireMissile(0, x, y, -kShotSpeed, -kShotSpeed);
  FireMissile(0, x + w, y, kShotSpeed, -kShotSpeed);
  FireMissile(0, x, y + h, -kShotSpeed, kShotSpeed);
  FireMissile(0, x + w, y + h, kShotSpeed, kShotSpeed);
}

void Orbiter::Move() {
  // Along a circle of about 326 px radius in 256 steps; the clamps flatten it
  // where it would leave the band.
  SetDrift(fixcos(itofix(phase)) >> 13, fixsin(itofix(phase)) >> 13);
  phase = (phase + 1) & 255;
  x += driftX;
  y += driftY;
  if (y < kTop) y = kTop;
  if (y > kBottom) y = kBottom;
  if (x < 0) x += kWorldWidth;
  if (x > kWorldWidth) x -= kWorldWidth;
}

int Orbiter::ScannerColour() { return makecol(255, 255, 224); }
