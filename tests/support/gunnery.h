// Aiming helpers shared by the tests that shoot things: a beam launched from
// the pool onto a world point, and points inside collision outlines.
#pragma once

#include <utility>

class PolygonShape;

namespace kav_test {

// Launches a free right-flying beam so that, after its move in the coming logic
// step, the corner (436, 4) of its tip lies on the world point. False when all
// twenty beams are flying.
bool FireBeamAt(int worldX, int worldY);

// The mean of an outline's corners (inside every enemy outline of the game).
std::pair<int, int> OutlineCentre(PolygonShape& outline);

// A point with 3 px of the outline all around it, found once per outline (the
// centre when there is none).
std::pair<int, int> InsidePoint(PolygonShape& outline);

}  // namespace kav_test
