#pragma once

#include "scene/element.h"

// The long-range radar strip at the top of the game screen: the whole world at
// one eighth of its width, with a dot for every live enemy, every human in play
// and the ship, scrolled so the part of the world on screen is in its middle.
class Scanner : public Element {
 public:
  ~Scanner() override;
  void Init(int x, int y, int layer);
  void Draw(BITMAP* target) override;
  void ReleaseBuffer();

  BITMAP* Buffer() const { return buffer; }

 private:
  int x = 0, y = 0;
  BITMAP* buffer = nullptr;
};
