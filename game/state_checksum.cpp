#include "game/state_checksum.h"

#include <zlib.h>

#include "entities/entity.h"
#include "entities/play_objects.h"
#include "game/game_state.h"

namespace {

class Checksum {
 public:
  void Add(const void* bytes, size_t size) {
    crc_ = crc32(crc_, static_cast<const Bytef*>(bytes), static_cast<uInt>(size));
  }
  // Each value as four little-endian bytes. (The state value itself is read as
  // the machine holds it: every machine the game is made for is little-endian.)
  void Add(int32_t value) {
    const uint32_t v = static_cast<uint32_t>(value);
    const Bytef bytes[4] = {static_cast<Bytef>(v), static_cast<Bytef>(v >> 8), static_cast<Bytef>(v >> 16),
                            static_cast<Bytef>(v >> 24)};
    crc_ = crc32(crc_, bytes, 4);
  }
  void AddSprite(const AnimatedSprite& s) {
    Add(s.IsOnList());
    Add(s.GetX());
    Add(s.GetY());
  }
  void AddDrift(const TimedSprite& s) {
    Add(s.GetDriftX());
    Add(s.GetDriftY());
  }
  uint32_t Value() const { return static_cast<uint32_t>(crc_); }

 private:
  uLong crc_ = crc32(0L, Z_NULL, 0);
};

}  // namespace

uint32_t GameStateChecksum() {
  Checksum sum;
  // The value has no padding: its bytes are exactly its members.
  sum.Add(&game, sizeof game);
  sum.Add(enemyCount);
  for (int i = 0; i < enemyCount; ++i) {
    const Entity* e = enemies[i];
    sum.Add(e != nullptr);
    if (!e) continue;
    sum.Add(e->GetType());
    sum.Add(e->IsDead());
    sum.AddSprite(*e);
    sum.AddDrift(*e);
    sum.Add(e->GetFireCounter());
  }
  sum.AddSprite(ship);
  sum.Add(ship.GetVX());
  sum.Add(ship.GetVY());
  sum.Add(ship.GetHeading());
  sum.Add(ship.IsDestroyed());
  // A shot or a spawn-in off the stage is no part of the game: it is made
  // anew when it is used again.
  for (const Bullet& bullet : bullets) {
    sum.Add(bullet.IsOnList());
    if (!bullet.IsOnList()) continue;
    sum.AddSprite(bullet);
    sum.Add(bullet.GetVX());
    sum.Add(bullet.GetTravelled());
  }
  for (const Missile& missile : missiles) {
    sum.Add(missile.IsOnList());
    if (!missile.IsOnList()) continue;
    sum.AddSprite(missile);
    sum.AddDrift(missile);
    sum.Add(missile.GetKind());
    sum.Add(missile.GetTravelled());
  }
  for (const Human& human : humans) {
    sum.AddSprite(human);
    sum.AddDrift(human);
    sum.Add(human.GetState());
  }
  for (const Implosion& implosion : implosions) {
    sum.Add(implosion.IsOnList());
    if (!implosion.IsOnList()) continue;
    sum.Add(implosion.GetAge());
    sum.Add(implosion.GetSpawnType());
    sum.Add(implosion.GetSpawnX());
    sum.Add(implosion.GetSpawnY());
  }
  sum.Add(boss.IsOnList());
  if (boss.IsOnList()) {
    for (int i = 0; i < Boss::kLegs; ++i) sum.AddSprite(boss.Leg(i));
    for (int i = 0; i < Boss::kArms; ++i) {
      sum.AddSprite(boss.LeftArm(i));
      sum.AddSprite(boss.RightArm(i));
    }
  }
  return sum.Value();
}
