#include "scene/polygon_shape.h"

#include <allegro.h>

#include <cmath>

#include "scene/view.h"

PolygonShape::PolygonShape() {
  clickable = 0;
  layer = 1;
  SetName("polygon");
}

int PolygonShape::AddVertex(int x, int y) {
  if (vertexCount >= kMaxVertices) return vertexCount - 1;
  vertices[vertexCount][0] = x;
  vertices[vertexCount][1] = y;
  return vertexCount++;
}

// The crossing of each edge is found from the line through its two ends,
// written as y = m x + b. An edge whose first corner lies at local x = 0 makes
// that form undefined and is taken as crossed at x = 0; the ship's nose edge
// relies on this to fill the area in front of it.
int PolygonShape::HitTest(int px, int py) {
  // A point or a line has no inside (both of its edges would be the same).
  if (vertexCount < 3) return 0;
  int crossings = 0;
  for (int i = 0; i < vertexCount; ++i) {
    const int* a = vertices[i];
    const int* c = vertices[i + 1 < vertexCount ? i + 1 : 0];
    const double x1 = a[0], y1 = a[1], x2 = c[0], y2 = c[1];
    const double lo = y1 < y2 ? y1 : y2;
    const double hi = y1 < y2 ? y2 : y1;
    if (!(lo <= py && py < hi)) continue;
    const double b = (x2 * y1 - x1 * y2) / (x2 - x1);
    const double m = (y1 - b) / x1;
    const double crossing = (py - b) / m;
    int X = std::isfinite(crossing) && std::fabs(crossing) < 2e9 ? static_cast<int>(crossing) : 0;
    if (X == 0) X = a[0] < c[0] ? a[0] : c[0];
    if (X < px) ++crossings;
  }
  return crossings % 2 == 1 ? 1 : 0;
}

int PolygonShape::AnyVertexInside(int ax, int ay, Element& other, int bx, int by) const {
  for (int i = 0; i < vertexCount; ++i) {
    int tx = vertices[i][0] + ax - bx;
    if (tx < 0) tx += kWorldWidth;
    if (tx > kWorldWidth) tx -= kWorldWidth;
    int ty = vertices[i][1] + ay - by;
    if (other.HitTest(tx, ty)) return -1;
  }
  return 0;
}

void PolygonShape::Draw(BITMAP* target) {
  if (vertexCount < 2) return;
  for (int i = 0; i < vertexCount; ++i) {
    const int* a = vertices[i];
    const int* c = vertices[i + 1 < vertexCount ? i + 1 : 0];
    line(target, a[0], a[1], c[0], c[1], outlineColour);
  }
}

RectangleShape::RectangleShape() {
  clickable = -1;
  layer = 6;
  SetName("Rectangle");
  highlightColour = makecol(255, 0, 0);
  flashColour = makecol(255, 252, 25);
}

void RectangleShape::Init(int idValue, int normal, int flash, int period, int left, int top, int right, int bottom,
                          int flashingValue, const char* text) {
  id = idValue;
  normalColour = normal;
  flashColour = flash;
  flashPeriod = period;
  x1 = left;
  y1 = top;
  x2 = right;
  y2 = bottom;
  flashing = flashingValue;
  SetName(text);
  // The global boxes are constructed before the colour depth is set, when
  // makecol can't yet give the screen's red; by set-up time it can.
  highlightColour = makecol(255, 0, 0);
}

int RectangleShape::HitTest(int px, int py) {
  return clickable && x1 <= px && px <= x2 && y1 <= py && py <= y2 ? 1 : 0;
}

void RectangleShape::Advance() {
  flashCounter += 1;
  // While highlighted the count runs on; flashing resumes with a new cycle.
  if (flashing && !highlighted && flashCounter > 2 * flashPeriod) flashCounter = 0;
}

void RectangleShape::Draw(BITMAP* target) {
  int colour = normalColour;
  if (highlighted)
    colour = highlightColour;
  else if (flashing)
    colour = flashCounter < flashPeriod ? normalColour : flashColour;
  lastColour = colour;
  line(target, x1, y1, x2, y1, colour);
  line(target, x2, y1, x2, y2, colour);
  line(target, x2, y2, x1, y2, colour);
  line(target, x1, y2, x1, y1, colour);
}
