#include "entities/swarmer.h"

#include <allegro.h>

#include <cstdlib>

#include "engine/data_index.h"
#include "engine/graphics_engine.h"
#include "entities/world.h"
#include "entities/play_objects.h"

void HomeOnShip(Entity& enemy, int x, int y) {
  // Plain world coordinates, no wrap: across the seam it aims the long way.
  if (enemy.GetDriftX() != 0 && RandomNumber() % 50 != 0) return;
  const int dx = enemy.GetX() <= x ? 3 : -3;
  const int dy = enemy.GetY() > y ? -3 : 3;
  enemy.SetDrift(dx, dy);
}

void Swarmer::Init(int interval, int startFrame, int ticks, int px, int py, int centre, int layerValue,
                   const char* text) {
  Entity::Init(interval, startFrame, ticks, px, py, centre, layerValue, text);
  phase = 0;
}

void Swarmer::Place(int, int) {
  // Far beyond the world's right end: the move's wrap brings it in within
  // three steps.
  const int px = 12228 + 20 * (RandomNumber() % 7);
  const int py = 280 + 40 * (RandomNumber() % 7);
  SetPosition(px, py);
}

void Swarmer::GetFrames(int* count, BITMAP** frames) {
  *count = 1;
  frames[0] = engine.Bitmap(dat::kSwarmer);
}

void Swarmer::BuildOutline() {
  outline.ClearVertices();
  outline.AddVertex(2, 2);
  outline.AddVertex(30, 2);
  outline.AddVertex(30, 30);
  outline.AddVertex(2, 30);
}

void Swarmer::Think() { HomeOnShip(*this, ship.GetX(), ship.GetY()); }

void Swarmer::Move() {
  // A one-pixel wobble on top of the homing drift. The integer parts of the
  // cosine and sine round toward minus infinity, so over a turn the swarmer
  // also creeps up and to the left.
  const int cx = fixcos(itofix(phase)) >> 16;
  const int sy = fixsin(itofix(phase)) >> 16;
  phase = (phase + 1) & 255;
  x += cx;
  y += sy;
  MoveWithin(0, 768);
}

int Swarmer::ScannerColour() { return makecol(255, 165, 0); }
