#include "entities/bomber.h"

#include <allegro.h>

#include <cstdlib>

#include "engine/data_index.h"
#include "engine/graphics_engine.h"
#include "entities/enemy_roster.h"
#include "entities/pod.h"
#include "game/waves.h"

void Bomber::Place(int, int index) {
  SetPosition(SpreadAcrossWorld(index, waveTypeCounts[kBomber]), 100 * (3 + std::rand() % 4));
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
  if (std::rand() % 50 == 0) {
    // The vertical speed is drawn first.
    const int vy = std::rand() % 7 - 3;
    const int vx = std::rand() % 7 - 3;
    SetDrift(vx, vy);
  }
  // About one mine every 1000 steps (20 seconds), laid under the bomber.
  if (std::rand() % 1000 == 0) {
    EnterEnemy(kMine, x + 8, y + 35);
    waveTypeCounts[kMine] += 1;
  }
}

void Bomber::Move() { MoveWithin(96, 650); }

int Bomber::ScannerColour() { return makecol(255, 255, 255); }
