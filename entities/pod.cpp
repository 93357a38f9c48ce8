#include "entities/pod.h"

#include <allegro.h>

#include <cstdlib>

#include "engine/data_index.h"
#include "engine/graphics_engine.h"
#include "entities/world.h"
#include "entities/enemy_roster.h"
#include "scene/view.h"

namespace {
constexpr int kSwarmersPerPod = 8;
}

void Pod::Kill() {
  // A pod bursts once: a second kill must not spawn a second swarm.
  if (dead) return;
  // The burst: eight swarmers within 48 px of the pod's corner. Each is counted
  // even when the full enemy array turns it away.
  for (int i = 0; i < kSwarmersPerPod; ++i) {
    const int ox = RandomNumber() % 97 - 48;
    const int oy = RandomNumber() % 97 - 48;
    EnterEnemy(kSwarmer, x + ox, y + oy);
    world->waveTypeCounts[kSwarmer] += 1;
  }
  Entity::Kill();
}

int SpreadAcrossWorld(int index, int count) {
  // A wave's set-up places only types it counts; the guard keeps a stray call
  // from dividing by zero.
  if (count < 1) count = 1;
  int px = index * (kWorldWidth / count) + kWorldWidth / 2;
  while (px > kWorldWidth) px -= kWorldWidth;
  return px;
}

void Pod::Place(int, int index) {
  SetPosition(SpreadAcrossWorld(index, world->waveTypeCounts[kPod]), 100 * (RandomNumber() % 8));
}

void Pod::GetFrames(int* count, BITMAP** frames) {
  *count = 1;
  frames[0] = engine.Bitmap(dat::kPod);
}

void Pod::BuildOutline() {
  outline.ClearVertices();
  outline.AddVertex(19, 44);
  outline.AddVertex(76, 44);
  outline.AddVertex(76, 52);
  outline.AddVertex(19, 52);
}

void Pod::Think() {
  // A slow diagonal drift, twice as fast across as up or down, re-chosen about
  // every 50 steps.
  if (RandomNumber() % 50 == 0) {
    const int a = RandomNumber() % 7 - 3;
    SetDrift(2 * a, a);
  }
}

void Pod::Move() { MoveWithin(50, 768); }

int Pod::ScannerColour() { return makecol(255, 0, 0); }
