#include "game/collisions.h"

#include "entities/entity.h"
#include "game/game_numbers.h"
#include "game/scoring.h"
#include "entities/play_objects.h"
#include "scene/stage.h"

namespace {

// Outline A at (ax, ay) against outline B at (bx, by), then B against A.
bool Touch(PolygonShape& a, int ax, int ay, PolygonShape& b, int bx, int by) {
  return a.AnyVertexInside(ax, ay, b, bx, by) || b.AnyVertexInside(bx, by, a, ax, ay);
}

void ExplodeShip() {
  ship.Explode();
  shipExplosion.Init(ship.GetBitmap(), ship.GetX(), ship.GetY(), 0, "Bang!");
}

// The first flying bullet that touches the outline, or null.
Bullet* BulletTouching(PolygonShape& outline, int x, int y) {
  for (Bullet& bullet : bullets) {
    if (!bullet.IsOnList()) continue;
    if (Touch(outline, x, y, bullet.GetOutline(), bullet.GetX(), bullet.GetY())) return &bullet;
  }
  return nullptr;
}

void ResolveEnemies(int shipX, int shipY, PolygonShape& shipOutline) {
  for (int i = 0; i < enemyCount; ++i) {
    Entity* e = enemies[i];
    if (!e || !e->IsOnList()) continue;
    const int x = e->GetX(), y = e->GetY();
    PolygonShape& outline = e->GetOutline();
    if (Bullet* bullet = BulletTouching(outline, x, y)) {
      e->Kill();
      bullet->Retire();
      CountHit();
      CountEnemyDestroyed(e->GetType());
      explosions[i].Init(e->GetFrameBitmap(), x, y, 0, "Bang!");
      stage.Show(&explosions[i]);
      AddScore(e->GetScore());
      continue;
    }
    if (ship.IsDestroyed()) continue;
    if (outline.AnyVertexInside(x, y, shipOutline, shipX, shipY)) {
      e->Kill();
      CountEnemyDestroyed(e->GetType());
      ship.Explode();
      explosions[i].Init(e->GetFrameBitmap(), x, y, 0, "Bang!");
      shipExplosion.Init(ship.GetBitmap(), ship.GetX(), ship.GetY(), 0, "Bang!");
      stage.Show(&explosions[i]);
      AddScore(e->GetScore());
      stage.Show(&shipExplosion);
    }
  }
}

void ResolveMissiles(int shipX, int shipY, PolygonShape& shipOutline) {
  for (Missile& missile : missiles) {
    if (!missile.IsOnList()) continue;
    const int x = missile.GetX(), y = missile.GetY();
    if (Bullet* bullet = BulletTouching(missile.GetOutline(), x, y)) {
      missile.Retire();
      bullet->Retire();
      CountHit();
      continue;
    }
    if (ship.IsDestroyed()) continue;
    if (missile.GetOutline().AnyVertexInside(x, y, shipOutline, shipX, shipY)) {
      missile.Retire();
      ExplodeShip();
      stage.Show(&shipExplosion);
    }
  }
}

void ResolveHumans() {
  for (int h = 0; h < kHumanCount; ++h) {
    Human& human = humans[h];
    if (!human.IsOnList()) continue;
    const int x = human.GetX(), y = human.GetY();
    if (Bullet* bullet = BulletTouching(human.GetOutline(), x, y)) {
      human.Die();
      bullet->Retire();
      explosions[h].Init(human.GetFrameBitmap(), x, y, 0, "Bang!");
      stage.Show(&explosions[h]);
    }
  }
}

}  // namespace

void ResolveCollisions() {
  const int shipX = ship.GetX(), shipY = ship.GetY();
  PolygonShape& shipOutline = ship.GetOutline();
  ResolveEnemies(shipX, shipY, shipOutline);
  ResolveMissiles(shipX, shipY, shipOutline);
  ResolveHumans();
  if (boss.IsOnList()) boss.Collide();
}
