#include "entities/missile.h"

#include <allegro.h>

#include <cstdlib>

#include "engine/data_index.h"
#include "engine/graphics_engine.h"
#include "entities/play_objects.h"
#include "scene/view.h"
#include "scene/stage.h"


namespace {

constexpr int kKinds = 5;

struct MissileKind {
  int frameCount;
  int frames[8];
  int outline[4][2];
  int sample;
};

constexpr int kBouncerShot = dat::kMissile2Frame0;
constexpr int kBossShotA = dat::kMissile3Frame0;
constexpr int kBossShotB = dat::kMissile4Frame0;

const MissileKind kKindTable[kKinds] = {
    // Landers and orbiters.
    {1, {dat::kMissile0}, {{4, 4}, {12, 4}, {12, 12}, {4, 12}}, dat::kSndShot},
    // Fighters.
    {1, {dat::kMissile1}, {{1, 1}, {30, 1}, {30, 30}, {1, 30}}, dat::kSndMissile1},
    // Bouncers.
    {8,
     {kBouncerShot, kBouncerShot + 1, kBouncerShot + 2, kBouncerShot + 3, kBouncerShot + 4, kBouncerShot + 5,
      kBouncerShot + 6, kBouncerShot + 7},
     {{1, 1}, {30, 1}, {30, 30}, {1, 30}},
     dat::kSndMissile2},
    // The boss's two shots ping-pong through four pictures each.
    {6,
     {kBossShotA, kBossShotA + 1, kBossShotA + 2, kBossShotA + 3, kBossShotA + 2, kBossShotA + 1},
     {{25, 12}, {31, 12}, {31, 51}, {25, 51}},
     dat::kSndMissile34},
    {6,
     {kBossShotB, kBossShotB + 1, kBossShotB + 2, kBossShotB + 3, kBossShotB + 2, kBossShotB + 1},
     {{0, 12}, {6, 12}, {6, 51}, {0, 51}},
     dat::kSndMissile34},
};

}  // namespace

void Missile::Init(int kindValue, int ticks, int px, int py, int centre, int layerValue, const char* text) {
  travelled = 0;
  // An unknown kind flies as a lander's shot.
  kind = kindValue >= 0 && kindValue < kKinds ? kindValue : 0;
  const MissileKind& look = kKindTable[kind];
  BITMAP* list[kMaxFrames] = {};
  for (int i = 0; i < look.frameCount; ++i) list[i] = engine.Bitmap(look.frames[i]);
  TimedSprite::Init(look.frameCount, list, 0, ticks, px, py, centre, layerValue, text);
  SetViewport(0, 0, 1023, 767);
  BuildOutline();
  SetWorldSpace();
}

void Missile::BuildOutline() {
  const MissileKind& look = kKindTable[kind];
  outline.ClearVertices();
  for (const auto& corner : look.outline) outline.AddVertex(corner[0], corner[1]);
}

void Missile::Step() {
  y += driftY;
  x += driftX;
  travelled += std::abs(driftY) + std::abs(driftX);
  if (x < 0) x += kWorldWidth;
  if (x > kWorldWidth) x -= kWorldWidth;
}

void Missile::Retire() {
  travelled = 0;
  stage.Hide(this);
}

void Missile::CheckRange() {
  if (travelled > kRange) Retire();
}

void FireMissile(int kind, int x, int y, int dx, int dy) {
  // The ring is reused without regard to whether the oldest shot still flies.
  Missile& m = missiles[world->nextMissile];
  stage.Hide(&m);
  m.Init(kind, 1, x, y, 0, 1, "Missile");
  m.SetDrift(dx, dy);
  engine.PlaySample(kKindTable[m.GetKind()].sample, 0);
  stage.Show(&m);
  world->nextMissile = world->nextMissile + 1 == kMissileCount ? 0 : world->nextMissile + 1;
}
