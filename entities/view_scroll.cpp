#include "entities/view_scroll.h"

#include "entities/ship.h"
#include "scene/view.h"

void FollowShip(ViewScroll& view, int dx, const Ship& ship) {
  // The lead is measured from where the view stood before this step's move.
  int lead = ship.GetX() - view.x;
  if (lead < 0) lead += kWorldWidth;
  view.x += dx;
  if (ship.GetHeading() == 1 && lead > 200) view.x += 15;
  if (ship.GetHeading() == -1 && lead < 700) view.x -= 15;
  if (view.x < 0) view.x += kWorldWidth;
  if (view.x > kWorldWidth) view.x -= kWorldWidth;
}
