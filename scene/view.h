#pragma once

// World x and y shown at the top-left of the view. The world map writes them
// every step; world-space elements subtract them when they are drawn.
extern int ViewX;
extern int ViewY;

constexpr int kWorldWidth = 4096;
constexpr int kWorldHeight = 768;
// Once the view's left edge is this far into the world, the view shows the seam.
constexpr int kSeamViewX = 3072;
