#include "entities/explosion.h"

#include <allegro.h>

#include "engine/graphics_engine.h"
#include "scene/stage.h"

// Piece i is row i / 8, column i % 8 of the picture. Directions of flight, by
// row: the pieces fly outward from the centre.
const int kExplosionDX[64] = {
    -6, -6, -5, -4, 4, 5, 6, 6,   //
    -6, -5, -4, -3, 3, 4, 5, 6,   //
    -5, -4, -3, -2, 2, 3, 4, 5,   //
    -4, -3, -2, -2, 2, 2, 3, 0,   //
    -3, -2, -2, 2,  2, 3, 4, -5,  //
    -4, -3, -2, 2,  3, 4, 5, -6,  //
    -5, -4, -3, 3,  4, 5, 6, -6,  //
    -6, -5, -4, 4,  5, 6, 6, 0,   //
};
const int kExplosionDY[64] = {
    -6, -6, -5, -4, -4, -5, -6, -6,  //
    -6, -5, -4, -3, -3, -4, -5, -6,  //
    -5, -4, -3, -2, -2, -3, -4, -5,  //
    -4, -3, -2, -2, -2, -2, -3, -4,  //
    4,  3,  2,  2,  2,  2,  3,  4,   //
    5,  1,  3,  2,  2,  3,  4,  5,   //
    6,  1,  4,  3,  3,  4,  5,  6,   //
    6,  6,  5,  4,  4,  5,  6,  6,   //
};
// A spawn-in's pieces start 1000 steps of these away and fly back in.
const int kImplosionDX[64] = {
    -7, -6, -5, -4, 4, 5, 6, 7,   //
    -6, -5, -4, -3, 3, 4, 5, 6,   //
    -5, -4, -3, -2, 2, 3, 4, 5,   //
    -4, -3, -2, -1, 1, 2, 3, 0,   //
    -3, -2, -1, 1,  2, 3, 4, -5,  //
    -4, -3, -2, 2,  3, 4, 5, -6,  //
    -5, -4, -3, 3,  4, 5, 6, -7,  //
    -6, -5, -4, 4,  5, 6, 7, 0,   //
};
const int kImplosionDY[64] = {
    -7, -6, -5, -4, -4, -5, -6, -7,  //
    -6, -5, -4, -3, -3, -4, -5, -6,  //
    -5, -4, -3, -2, -2, -3, -4, -5,  //
    -4, -3, -2, -1, -1, -2, -3, -4,  //
    4,  3,  2,  1,  1,  2,  3,  4,   //
    5,  1,  3,  2,  2,  3,  4,  5,   //
    6,  1,  4,  3,  3,  4,  5,  6,   //
    7,  6,  5,  4,  4,  5,  6,  7,   //
};

namespace {

constexpr int kSpeed = 5;
constexpr int kDecayPeriod = 80;
constexpr int kLifetime = 100;

void DestroyPieces(BITMAP* owned[64]) {
  for (int i = 0; i < 64; ++i) {
    // At program exit the library may already be down; its memory goes then.
    if (owned[i] && system_driver) destroy_bitmap(owned[i]);
    owned[i] = nullptr;
  }
}

int TowardZero(int value) { return value > 0 ? value - 1 : value < 0 ? value + 1 : 0; }

}  // namespace

void CutPieces(BITMAP* bitmap, BITMAP* owned[64]) {
  DestroyPieces(owned);
  if (!bitmap) return;
  // The right and bottom remainders of a size not divisible by 8 are left out.
  const int pw = bitmap->w / 8, ph = bitmap->h / 8;
  if (pw < 1 || ph < 1) return;
  const int depth = bitmap_color_depth(bitmap);
  for (int i = 0; i < 64; ++i) {
    owned[i] = create_bitmap_ex(depth, pw, ph);
    if (owned[i]) blit(bitmap, owned[i], (i % 8) * pw, (i / 8) * ph, 0, 0, pw, ph);
  }
}

Explosion::~Explosion() { ReleasePieces(); }

void Explosion::Init(BITMAP* bitmap, int x, int y, int layerValue, const char* text) {
  age = 0;
  // The effect sits in the render list's tree by its layer, so the layer only
  // changes while it is off the list (a restart keeps its place).
  if (!onList) layer = layerValue;
  SetName(text);
  CutPieces(bitmap, pieceBitmaps);
  const int pw = bitmap ? bitmap->w / 8 : 0, ph = bitmap ? bitmap->h / 8 : 0;
  for (int i = 0; i < kPieces; ++i) {
    const int c = i % 8, r = i / 8;
    TimedSprite& piece = pieces[i];
    piece.Init(1, &pieceBitmaps[i], 0, 1, x + c * pw, y + r * ph, 0, layerValue, text);
    piece.SetViewport(0, 0, 1023, 767);
    piece.SetWorldSpace();
    piece.SetDrift(kSpeed * kExplosionDX[i], kSpeed * kExplosionDY[i]);
  }
  decayCounter = 0;
  decayPeriod = kDecayPeriod;
}

void Explosion::MovePieces() {
  for (TimedSprite& piece : pieces) piece.Drift();
}

void Explosion::Age() {
  decayCounter += 1;
  if (decayCounter >= decayPeriod) {
    decayCounter = 0;
    for (TimedSprite& piece : pieces) piece.SetDrift(TowardZero(piece.GetDriftX()), TowardZero(piece.GetDriftY()));
  }
  age += 1;
  if (age > kLifetime) {
    age = 0;
    stage.Hide(this);
  }
}

void Explosion::Advance() {
  for (TimedSprite& piece : pieces) piece.Advance();
}

bool Explosion::NoteStep(bool cut) {
  bool moving = false;
  for (TimedSprite& piece : pieces) moving = piece.NoteStep(cut) || moving;
  return moving;
}

void Explosion::ForgetSteps() {
  for (TimedSprite& piece : pieces) piece.ForgetSteps();
}

void Explosion::Draw(BITMAP* target) {
  for (TimedSprite& piece : pieces) piece.Draw(target);
}

void Explosion::ReleasePieces() {
  DestroyPieces(pieceBitmaps);
  // The pieces must not keep pointing at freed pictures.
  for (TimedSprite& piece : pieces) {
    piece.SetFrameBitmap(0, nullptr);
    piece.SetBitmap(nullptr);
  }
}
