#include "entities/phantom.h"

#include <allegro.h>

#include "engine/data_index.h"
#include "engine/graphics_engine.h"

// Still, above the visible area.
void Phantom::Place(int, int) { SetPosition(2048, -100); }

void Phantom::GetFrames(int* count, BITMAP** frames) {
  static const int kSequence[6] = {0, 1, 2, 3, 2, 1};
  *count = 6;
  for (int i = 0; i < 6; ++i) frames[i] = engine.Bitmap(dat::kLanderFrame0 + kSequence[i]);
}

int Phantom::ScannerColour() { return makecol(255, 0, 0); }
