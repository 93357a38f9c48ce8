#pragma once

#include "scene/element.h"

// A collision outline of up to 20 corners in the owner's local coordinates
// (relative to the owning sprite's top-left corner).
class PolygonShape : public Element {
 public:
  static constexpr int kMaxVertices = 20;

  PolygonShape();

  void ClearVertices() { vertexCount = 0; }
  int AddVertex(int x, int y);
  int GetVertexCount() const { return vertexCount; }
  int VertexX(int i) const { return vertices[i][0]; }
  int VertexY(int i) const { return vertices[i][1]; }

  // 1 when the local point is inside (even-odd crossings to its left).
  int HitTest(int px, int py) override;
  // -1 when any corner of this outline, placed at (ax, ay), lies inside `other`
  // placed at (bx, by), the horizontal offset wrapped into the world; else 0.
  int AnyVertexInside(int ax, int ay, Element& other, int bx, int by) const;
  void Draw(BITMAP* target) override;

 private:
  int vertices[kMaxVertices][2] = {};
  int vertexCount = 0;
  int outlineColour = 0;
};

// An outlined box that can be pointed at: the highlight boxes of the menu, the
// key boxes of the controls screen and the message-box buttons. Red while
// highlighted; optionally flashing between two colours.
class RectangleShape : public Element {
 public:
  RectangleShape();

  void Init(int id, int normalColour, int flashColour, int flashPeriod, int x1, int y1, int x2, int y2, int flashing,
            const char* name);
  void SetCorners(int left, int top, int right, int bottom) {
    x1 = left;
    y1 = top;
    x2 = right;
    y2 = bottom;
  }
  int HitTest(int px, int py) override;
  void Draw(BITMAP* target) override;
  // Flashing follows the scene's steps, however often the box is drawn.
  void Advance() override;

  int Left() const { return x1; }
  int Top() const { return y1; }
  int Right() const { return x2; }
  int Bottom() const { return y2; }
  // The colour the next Draw uses is decided inside Draw; this reports the
  // colour of the last one (for tests and checks).
  int LastColour() const { return lastColour; }

 private:
  int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  int normalColour = 0;
  int highlightColour = 0;
  int flashColour = 0;
  int flashPeriod = 11;
  int flashCounter = 0;
  int flashing = 0;
  int lastColour = 0;
};
