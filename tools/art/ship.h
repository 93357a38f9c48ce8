// The player's ship, painted at any size: the game's two pictures and life
// icon use it, and so do the desktop icons.
#pragma once

#include "tools/art/canvas.h"

namespace art {

// Draws the ship at `k` times the size of the 124 x 92 picture, with its
// corner at the canvas's origin.
void PaintShip(Canvas& c, bool facingRight, float k);

}  // namespace art
