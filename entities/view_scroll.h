// The view follows the player's ship: it moves with the ship's speed and
// slides 15 px a step until the ship's left edge is 200 px from the screen's
// left when heading right, or 700 px when heading left.
#pragma once

#include "entities/world.h"

class Ship;

// One step of following the ship, which moved `dx` this step.
void FollowShip(ViewScroll& view, int dx, const Ship& ship);
