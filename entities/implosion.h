#pragma once

#include "scene/element.h"
#include "scene/timed_sprite.h"

// How an enemy enters a wave: the pieces of its picture fly in from far away,
// reassemble at its start position after 100 steps, and on the next step the
// effect ends and the real enemy is entered there.
class Implosion : public Element {
 public:
  static constexpr int kPieces = 64;

  ~Implosion() override;
  void Init(BITMAP* bitmap, int type, int x, int y, int layer, const char* name);
  void MovePieces();
  void Age();
  void Advance() override;
  bool NoteStep(bool cut) override;
  void ForgetSteps() override;
  void Draw(BITMAP* target) override;
  void ReleasePieces();

  int GetAge() const { return age; }
  int GetSpawnType() const { return spawnType; }
  int GetSpawnX() const { return spawnX; }
  int GetSpawnY() const { return spawnY; }
  const TimedSprite& Piece(int i) const { return pieces[i]; }

 private:
  int spawnType = 0;
  int spawnX = 0, spawnY = 0;
  int age = 0;
  TimedSprite pieces[kPieces];
  BITMAP* pieceBitmaps[kPieces] = {};
};

constexpr int kImplosionCount = 200;
