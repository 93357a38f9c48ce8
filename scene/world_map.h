#pragma once

#include "scene/element.h"

class Ship;

// The picture of the whole wrapping world, scrolled to follow the player's
// ship; it publishes the scroll position as the view origin (ViewX, ViewY).
class WorldMap : public Element {
 public:
  void Init(BITMAP* bitmap, int scrollX, int scrollY, int worldWidth, int worldHeight, int screenX, int screenY,
            int viewWidth, int viewHeight, int layer, const char* name);
  // One step of following: moves with dx and slides toward the ship's lead.
  void Scroll(int dx, int dy);
  void SetScroll(int x, int y);
  void Draw(BITMAP* target) override;
  bool Covers(int targetWidth, int targetHeight) const override;

  int GetScrollX() const { return scrollX; }
  int GetScrollY() const { return scrollY; }
  // The ship the view follows (the game's ship unless a test says otherwise).
  void Follow(const Ship* target) { ship = target; }

 private:
  BITMAP* bitmap = nullptr;
  int scrollX = 0, scrollY = 0;
  int worldWidth = 0, worldHeight = 0;
  int screenX = 0, screenY = 0;
  int viewWidth = 0, viewHeight = 0;
  const Ship* ship = nullptr;
};
