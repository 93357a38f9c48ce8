#include "entities/implosion.h"

#include <allegro.h>

#include "engine/graphics_engine.h"
#include "entities/explosion.h"
#include "entities/enemy_roster.h"
#include "scene/stage.h"

namespace {

constexpr int kStartDistance = 1000;  // steps of a piece's direction away
constexpr int kSpeed = 10;            // so every piece is home after 100 steps
constexpr int kLifetime = 100;

}  // namespace

Implosion::~Implosion() { ReleasePieces(); }

void Implosion::Init(BITMAP* bitmap, int type, int x, int y, int layerValue, const char* text) {
  age = 0;
  spawnType = type;
  spawnX = x;
  spawnY = y;
  // Keyed by layer in the render list's tree: only changed while off the list.
  if (!onList) layer = layerValue;
  SetName(text);
  CutPieces(bitmap, pieceBitmaps);
  const int pw = bitmap ? bitmap->w / 8 : 0, ph = bitmap ? bitmap->h / 8 : 0;
  for (int i = 0; i < kPieces; ++i) {
    const int c = i % 8, r = i / 8;
    TimedSprite& piece = pieces[i];
    piece.Init(1, &pieceBitmaps[i], 0, 1, x + c * pw + kStartDistance * kImplosionDX[i],
               y + r * ph + kStartDistance * kImplosionDY[i], 0, layerValue, text);
    piece.SetViewport(0, 0, 1023, 767);
    piece.SetWorldSpace();
    piece.SetDrift(-kSpeed * kImplosionDX[i], -kSpeed * kImplosionDY[i]);
  }
}

void Implosion::MovePieces() {
  for (TimedSprite& piece : pieces) piece.Drift();
}

void Implosion::Age() {
  age += 1;
  if (age > kLifetime) {
    age = 0;
    world->pendingSpawns -= 1;
    stage.Hide(this);
    EnterEnemy(spawnType, spawnX, spawnY);
  }
}

void Implosion::Advance() {
  for (TimedSprite& piece : pieces) piece.Advance();
}

bool Implosion::NoteStep(bool cut) {
  bool moving = false;
  for (TimedSprite& piece : pieces) moving = piece.NoteStep(cut) || moving;
  return moving;
}

void Implosion::ForgetSteps() {
  for (TimedSprite& piece : pieces) piece.ForgetSteps();
}

void Implosion::Draw(BITMAP* target) {
  for (TimedSprite& piece : pieces) piece.Draw(target);
}

void Implosion::ReleasePieces() {
  CutPieces(nullptr, pieceBitmaps);
  for (TimedSprite& piece : pieces) {
    piece.SetFrameBitmap(0, nullptr);
    piece.SetBitmap(nullptr);
  }
}
