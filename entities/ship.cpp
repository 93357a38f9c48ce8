#include "entities/ship.h"

#include "engine/data_index.h"
#include "engine/graphics_engine.h"
#include "scene/view.h"
#include "scene/stage.h"


namespace {

constexpr int kMaxSpeed = 16;
constexpr int kTopLimit = 56;  // below the score line and the scanner
constexpr int kBottomLimit = 718;

int Clamp(int value, int low, int high) { return value < low ? low : value > high ? high : value; }

}  // namespace

void Ship::Init(BITMAP* bmp, int px, int py, int w, int h, int centre, int layerValue, const char* text) {
  heading = 1;
  destroyed = 0;
  AnimatedSprite::Init(bmp, px, py, w, h, centre, layerValue, text);
  SetViewport(0, 0, 1023, 767);
  // One outline for both pictures: it is not mirrored when the ship turns.
  static const int kCorners[17][2] = {{0, 36},  {57, 30}, {52, 1},  {69, 0},   {89, 31},  {114, 32},
                                      {114, 52}, {90, 54}, {69, 91}, {53, 91},  {57, 53},  {26, 48},
                                      {6, 59},   {1, 58},  {1, 55},  {8, 42},   {0, 39}};
  outline.ClearVertices();
  for (const auto& corner : kCorners) outline.AddVertex(corner[0], corner[1]);
  SetWorldSpace();
}

void Ship::Draw(BITMAP* target) { DrawUnrotated(target); }

void Ship::Move() {
  x += vx;
  y += vy;
  if (x < 0) x += kWorldWidth;
  if (x > kWorldWidth) x -= kWorldWidth;
  // The limits hold the ship without taking its vertical speed away.
  if (y < kTopLimit) y = kTopLimit;
  if (y > kBottomLimit) y = kBottomLimit;
}

void Ship::Thrust(int ax, int ay) {
  // Pushing against the motion stops it for one step instead of reversing it.
  if ((vx < 0 && ax > 0) || (vx > 0 && ax < 0)) {
    vx = 0;
    return;
  }
  if ((vy < 0 && ay > 0) || (vy > 0 && ay < 0)) {
    vy = 0;
    return;
  }
  vx = Clamp(vx + ax, -kMaxSpeed, kMaxSpeed);
  vy = Clamp(vy + ay, -kMaxSpeed, kMaxSpeed);
}

void Ship::ApplyFriction() {
  if (vx < 0) vx += 1;
  if (vx > 0) vx -= 1;
  if (vy < 0) vy += 1;
  if (vy > 0) vy -= 1;
}

void Ship::Explode() {
  stage.Hide(this);
  destroyed = -1;
  engine.PlaySample(dat::kSndShipExplodes, 0);
}
