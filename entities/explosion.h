#pragma once

#include "scene/element.h"
#include "scene/timed_sprite.h"

// A picture cut into an 8 x 8 grid whose pieces fly apart for 100 steps. Each
// effect owns the 64 piece bitmaps of its last set-up.
class Explosion : public Element {
 public:
  static constexpr int kPieces = 64;

  ~Explosion() override;
  void Init(BITMAP* bitmap, int x, int y, int layer, const char* name);
  void MovePieces();
  // Slows the pieces at the 80th call; the 101st takes the effect off the list.
  void Age();
  void Advance() override;
  bool NoteStep(bool cut) override;
  void ForgetSteps() override;
  void Draw(BITMAP* target) override;
  // Frees the piece bitmaps (at exit, before the library goes down).
  void ReleasePieces();

  int GetAge() const { return age; }
  const TimedSprite& Piece(int i) const { return pieces[i]; }

 private:
  int decayCounter = 0;
  int decayPeriod = 80;
  int age = 0;
  TimedSprite pieces[kPieces];
  BITMAP* pieceBitmaps[kPieces] = {};
};

// Direction tables of the pieces, by piece index (row * 8 + column).
extern const int kExplosionDX[64];
extern const int kExplosionDY[64];
extern const int kImplosionDX[64];
extern const int kImplosionDY[64];

// Cuts `bitmap` into 64 pieces of (w / 8) x (h / 8), replacing any pieces in
// `owned` (which are destroyed first). Shared by both effects.
void CutPieces(BITMAP* bitmap, BITMAP* owned[64]);
