#include "entities/play_objects.h"

Scanner scanner;
Ship ship;
Explosion shipExplosion;
Explosion explosions[kMaxEnemies];
Implosion implosions[kImplosionCount];
Bullet bullets[kBulletCount];
Boss boss;
Missile missiles[kMissileCount];
Human humans[kHumanCount];

void ReleasePlayBitmaps() {
  shipExplosion.ReleasePieces();
  for (Explosion& explosion : explosions) explosion.ReleasePieces();
  for (Implosion& implosion : implosions) implosion.ReleasePieces();
  boss.ReleaseExplosions();
  scanner.ReleaseBuffer();
}
