#include "entities/fighter.h"

#include <allegro.h>

#include <cstdlib>

#include "engine/data_index.h"
#include "engine/graphics_engine.h"
#include "entities/world.h"
#include "entities/missile.h"
#include "entities/play_objects.h"

namespace {

constexpr int kCruiseSpeed = 7;
constexpr int kOutlineCorners = 10;
// Facing right; facing left is the mirror image x -> 63 - x.
constexpr int kOutlineRight[kOutlineCorners][2] = {{6, 0},   {18, 0},  {46, 6}, {63, 18}, {63, 21},
                                                   {55, 25}, {32, 25}, {8, 22}, {0, 14},  {0, 3}};
constexpr int kOutlineLeft[kOutlineCorners][2] = {{57, 0}, {45, 0},  {17, 6},  {0, 18},  {0, 21},
                                                  {8, 25}, {31, 25}, {55, 22}, {63, 14}, {63, 3}};

}  // namespace

void Fighter::Place(int, int) {
  const int px = 1988 + 20 * (RandomNumber() % 7);
  const int py = 280 + 40 * (RandomNumber() % 7);
  SetPosition(px, py);
}

void Fighter::GetFrames(int* count, BITMAP** frames) {
  *count = 1;
  frames[0] = engine.Bitmap(dat::kFighterLeft);
}

void Fighter::BuildOutline() {
  const int(*corners)[2] = driftX > 0 ? kOutlineRight : kOutlineLeft;
  outline.ClearVertices();
  for (int i = 0; i < kOutlineCorners; ++i) outline.AddVertex(corners[i][0], corners[i][1]);
}

void Fighter::Think() {
  int dx = driftX != 0 ? driftX : kCruiseSpeed;
  int dy = driftY;
  // Weave in the band between about 269 and 331.
  if (y < 270) dy = 1;
  if (y > 330) dy = -1;
  SetDrift(dx, dy);

  // Turn back once well past the ship: 600 to 800 px on the right, 700 to 900
  // px on the left (plain world x, no wrap).
  const int shipX = ship.GetX();
  if ((dx > 0 && shipX + 600 < x && x < shipX + 800) || (dx < 0 && shipX - 900 < x && x < shipX - 700)) {
    dx = -dx;
    SetDrift(dx, dy);
  }

  // The shown picture follows at the next animation step.
  SetFrameBitmap(0, engine.Bitmap(dx >= 0 ? dat::kFighterRight : dat::kFighterLeft));
  BuildOutline();

  // The shot always leaves from the right edge, half the picture's width down.
  const int w = GetFrameBitmap()->w;
  const int shipY = ship.GetY();
  if (shipY - 100 < y && y < shipY + 150 && std::abs(shipX - x) < 800 && RandomNumber() % 25 == 0)
    FireMissile(1, x + w, y + w / 2, 2 * dx, 0);
}

int Fighter::ScannerColour() { return makecol(255, 204, 102); }
