#include "entities/mutant.h"

#include <allegro.h>

#include <cstdlib>

#include "engine/data_index.h"
#include "engine/graphics_engine.h"
#include "entities/world.h"
#include "entities/play_objects.h"

void Mutant::Place(int, int index) { SetPosition(2048 + 100 * index, 10); }

void Mutant::GetFrames(int* count, BITMAP** list) {
  *count = 1;
  list[0] = engine.Bitmap(dat::kMutant);
}

void Mutant::Think() {
  // Re-aims on average every 10 steps, diagonally, by plain world x (no wrap).
  if (RandomNumber() % 10 != 0) return;
  const int dx = x > ship.GetX() ? -11 : 11;
  const int dy = y > ship.GetY() ? -7 : 7;
  SetDrift(dx, dy);
}

int Mutant::ScannerColour() { return makecol(255, 0, 0); }
