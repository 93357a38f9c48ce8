#include "entities/mine.h"

#include <allegro.h>

#include "engine/data_index.h"
#include "engine/graphics_engine.h"

// Mines of a wave's set-up sit above the visible area, where only the smart
// bomb (which tests x alone) can reach them.
void Mine::Place(int, int) { SetPosition(2048, -100); }

void Mine::GetFrames(int* count, BITMAP** frames) {
  *count = 8;
  for (int i = 0; i < 8; ++i) frames[i] = engine.Bitmap(dat::kMineFrame0 + i);
}

void Mine::BuildOutline() {
  outline.ClearVertices();
  outline.AddVertex(2, 2);
  outline.AddVertex(2, 14);
  outline.AddVertex(14, 14);
  outline.AddVertex(14, 2);
}

void Mine::Think() {}

void Mine::Move() {}

int Mine::ScannerColour() { return makecol(255, 0, 0); }
