#include "entities/baiter.h"

#include <allegro.h>

#include <cstdlib>

#include "engine/data_index.h"
#include "engine/graphics_engine.h"
#include "entities/world.h"
#include "entities/swarmer.h"
#include "entities/play_objects.h"

namespace {
constexpr int kLeadDistance = 300;
constexpr int kSpacing = 45;
}  // namespace

void Baiter::Init(int interval, int startFrame, int ticks, int px, int py, int centre, int layerValue,
                  const char* text) {
  Entity::Init(interval, startFrame, ticks, px, py, centre, layerValue, text);
  phase = 0;
}

void Baiter::Place(int, int index) {
  // A row 45 px apart, starting 300 px ahead of the moving ship (to the right
  // when it stands still). Not wrapped here: the move wraps it.
  const int speed = ship.GetVX() != 0 ? ship.GetVX() : 5;
  const int ahead = speed > 0 ? kLeadDistance : -kLeadDistance;
  const int px = ship.GetX() + ahead + kSpacing * index;
  SetPosition(px, 300 + 50 * (RandomNumber() % 4));
}

void Baiter::GetFrames(int* count, BITMAP** frames) {
  *count = 8;
  for (int i = 0; i < 8; ++i) frames[i] = engine.Bitmap(dat::kBaiterFrame0 + i);
}

void Baiter::BuildOutline() {
  outline.ClearVertices();
  outline.AddVertex(2, 2);
  outline.AddVertex(29, 2);
  outline.AddVertex(29, 29);
  outline.AddVertex(2, 29);
}

void Baiter::Think() { HomeOnShip(*this, ship.GetX(), ship.GetY()); }

void Baiter::Move() {
  // A strong wobble: eight times the cosine across, twice the sine up and down,
  // both rounded toward minus infinity.
  const int cx = fixcos(itofix(phase)) >> 13;
  const int sy = fixsin(itofix(phase)) >> 15;
  phase = (phase + 1) & 255;
  x += cx;
  y += sy;
  MoveWithin(0, 768);
}

int Baiter::ScannerColour() { return makecol(0, 255, 255); }
