#include "entities/human.h"

#include <allegro.h>

#include <cstdlib>

#include "engine/data_index.h"
#include "engine/graphics_engine.h"
#include "entities/world.h"
#include "entities/enemy_roster.h"
#include "entities/entity.h"
#include "entities/lander.h"
#include "entities/play_events.h"
#include "scene/view.h"
#include "scene/stage.h"

namespace {

constexpr int kKinds = kHumanCount;
// The walker of kind 1 picks its direction anew every time it is set walking.
constexpr int kRandomWalk = 99;

struct Look {
  int frameCount;
  int firstFrame;
  int walk;
};

// Frames are consecutive data-file objects starting at firstFrame.
const Look kLooks[kKinds] = {
    {1, dat::kHumanKind0, 0},       {4, dat::kHumanKind1Frame0, kRandomWalk},
    {1, dat::kHumanKind2, 2},       {1, dat::kHumanKind3, 0},
    {4, dat::kHumanKind4Frame0, 0}, {4, dat::kHumanKind5Frame0, 0},
    {8, dat::kHumanKind6Frame0, -1}, {8, dat::kHumanKind7Frame0, 1},
    {1, dat::kHumanKind8, 0},       {1, dat::kHumanKind9, 0},
};

constexpr int kTopLimit = -40;
constexpr int kBottomLimit = 718;

}  // namespace

void Human::Init(int kindValue, int startFrame, int ticks, int px, int py, int centre, int layerValue,
                 const char* text) {
  kind = kindValue >= 0 && kindValue < kKinds ? kindValue : 0;
  const Look& look = kLooks[kind];
  BITMAP* list[kMaxFrames] = {};
  for (int i = 0; i < look.frameCount; ++i) list[i] = engine.Bitmap(look.firstFrame + i);
  TimedSprite::Init(look.frameCount, list, startFrame, ticks, px, py, centre, layerValue, text);
  SetViewport(0, 0, 1023, 767);
  BuildOutline();
  SetWorldSpace();
  state = kPresent;
}

void Human::BuildOutline() {
  outline.ClearVertices();
  outline.AddVertex(3, 1);
  outline.AddVertex(24, 1);
  outline.AddVertex(24, 49);
  outline.AddVertex(3, 49);
}

void Human::SetWalk() {
  const int walk = kLooks[kind].walk;
  SetDrift(walk == kRandomWalk ? (RandomNumber() % 3) * 2 - 2 : walk, 0);
}

void Human::Step() {
  x += driftX;
  y += driftY;
  if (x < 0) x += kWorldWidth;
  if (x > kWorldWidth) x -= kWorldWidth;
  // Held at the limits; a falling human keeps its speed and stays on the ground.
  if (y < kTopLimit) y = kTopLimit;
  if (y > kBottomLimit) y = kBottomLimit;
}

void Human::StandOnGround() {
  BITMAP* shown = GetFrameBitmap();
  y = kGroundY - (shown ? shown->h : 0);
}

void Human::Die() {
  if (state != kDead) ReportPlayEvent(PlayEvent::kHumanLost);
  stage.Hide(this);
  state = kDead;
  world->humansAlive -= 1;
  if (world->humansAlive >= 1) return;
  // The last human is gone: every living lander mutates. The array grows while
  // this runs (the new mutants are skipped, being of another type).
  for (int i = 0; i < enemyCount; ++i) {
    Entity* e = enemies[i];
    if (!e || e->IsDead() || e->GetType() != kLander) continue;
    EnterEnemy(kMutant, e->GetX(), e->GetY());
    world->waveTypeCounts[kMutant] += 1;
    if (Lander* lander = dynamic_cast<Lander*>(e))
      lander->Mutate();
    else
      e->Kill();
  }
}
