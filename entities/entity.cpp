#include "entities/entity.h"

#include <allegro.h>

#include "engine/data_index.h"
#include "engine/graphics_engine.h"
#include "entities/enemy_roster.h"
#include "scene/view.h"
#include "scene/stage.h"

void Entity::Init(int interval, int startFrame, int ticks, int px, int py, int centre, int layerValue,
                  const char* text) {
  int count = 0;
  BITMAP* list[kMaxFrames] = {};
  GetFrames(&count, list);
  TimedSprite::Init(count, list, startFrame, ticks, px, py, centre, layerValue, text);
  fireInterval = interval;
  dead = 0;
  fireCounter = 0;
  SetViewport(0, 0, 1023, 767);
  BuildOutline();
  SetWorldSpace();
}

void Entity::Kill() {
  // A second kill would count the enemy out of the wave twice.
  if (dead) return;
  stage.Hide(this);
  engine.PlaySample(dat::kSndEnemyDestroyed, 0);
  dead = -1;
  world->waveTypeCounts[type] -= 1;
  world->liveEnemies -= 1;
}

void Entity::Place(int, int) {}

void Entity::GetFrames(int* count, BITMAP** frames) {
  *count = 1;
  frames[0] = engine.Bitmap(dat::kLanderFrame0);
}

void Entity::BuildOutline() { BuildStandardOutline(); }

void Entity::BuildStandardOutline() {
  static const int kCorners[9][2] = {{49, 13}, {69, 30}, {72, 40}, {72, 61}, {57, 78},
                                     {40, 78}, {27, 61}, {27, 38}, {30, 30}};
  outline.ClearVertices();
  for (const auto& corner : kCorners) outline.AddVertex(corner[0], corner[1]);
}

void Entity::Think() {}

void Entity::Move() { MoveWithin(0, kWorldHeight); }

void Entity::MoveWithin(int top, int bottom) {
  x += driftX;
  y += driftY;
  if (y < top) {
    y = top;
    driftY = -driftY;
  }
  if (y > bottom) {
    y = bottom;
    driftY = -driftY;
  }
  // Once per step: an x placed far outside the world comes back 4096 a step.
  if (x < 0) x += kWorldWidth;
  if (x > kWorldWidth) x -= kWorldWidth;
}

int Entity::ScannerColour() { return makecol(255, 0, 0); }
