#include "support/gunnery.h"

#include <map>

#include "engine/data_index.h"
#include "engine/graphics_engine.h"
#include "entities/bullet.h"
#include "scene/polygon_shape.h"
#include "entities/play_objects.h"
#include "scene/stage.h"

namespace kav_test {

bool FireBeamAt(int worldX, int worldY) {
  for (Bullet& bullet : bullets) {
    if (bullet.IsOnList()) continue;
    bullet.SetBitmap(engine.Bitmap(dat::kBeamRight));
    bullet.SetTravelled(0);
    bullet.SetVelocity(Bullet::kSpeed, 0);
    bullet.BuildOutline();
    bullet.SetPosition(worldX - 436 - Bullet::kSpeed, worldY - 4);
    stage.Show(&bullet);
    return true;
  }
  return false;
}

std::pair<int, int> OutlineCentre(PolygonShape& outline) {
  int sx = 0, sy = 0;
  const int n = outline.GetVertexCount();
  for (int i = 0; i < n; ++i) {
    sx += outline.VertexX(i);
    sy += outline.VertexY(i);
  }
  return n > 0 ? std::make_pair(sx / n, sy / n) : std::make_pair(0, 0);
}

std::pair<int, int> InsidePoint(PolygonShape& outline) {
  static std::map<const PolygonShape*, std::pair<int, int>> known;
  auto found = known.find(&outline);
  if (found != known.end()) return found->second;
  for (int y = 3; y < 250; ++y)
    for (int x = 3; x < 250; ++x)
      if (outline.HitTest(x, y) && outline.HitTest(x - 3, y) && outline.HitTest(x + 3, y) &&
          outline.HitTest(x, y - 3) && outline.HitTest(x, y + 3))
        return known[&outline] = {x, y};
  return known[&outline] = OutlineCentre(outline);
}

}  // namespace kav_test
