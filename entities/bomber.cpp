#include "entities/bomber.h"

#include <allegro.h>

#include <cstdlib>

#include "engine/data_index.h"
#include "engine/graphics_engine.h"
#include "entities/world.h"
#include "entities/enemy_roster.h"
#include "entities/pod.h"

void Bomber::Place(int, int index) {
  SetPosition(SpreadAcrossWorld(index, world->waveTypeCounts[kBomber]), 100 * (3 + RandomNumber() % 4));
}

void Bomber::GetFrames(int* count, BITMAP** frames) {
  *count = 1;
  frames[0] = engine.Bitmap(dat::kBomber);
}

void Bomber::BuildOutline() {
  outline.ClearVertices();
  outline.AddVertex(2, 2);
  outline.AddVertex(29, 2);
  outline.AddVertex(29, 29);
  outline.AddVertex(2, 29);
}

void Bomber::Think() {
  if (RandomNumber() % 50 == 0) {
    // The vertical speed is drawn first.
    const int vy = RandomNumber() % 7 - 3;
    const int vx = RandomNumber() % 7 - 3;
    SetDrift(vx, vy);
  }
  // About one mine every 1000 steps (20 seconds), laid under the bomber.
  if (RandomNumber() % 1000 == 0) {
    EnterEnemy(kMine, x + 8, y + 35);
    world->waveTypeCounts[kMine] += 1;
  }
}

void Bomber::Move() { MoveWithin(96, 650); }

int Bomber::ScannerColour() { return makecol(255, 255, 255); }
