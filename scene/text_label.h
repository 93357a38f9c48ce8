#pragma once

#include "scene/element.h"

struct FONT;

// One line of text in a data-file font, left-aligned, centred or right-aligned,
// in a fixed colour or cycling through a 16-colour rainbow. The label doesn't
// own its text: it reads the owner's buffer at every draw, so rewriting the
// buffer changes what is shown.
class TextLabel : public Element {
 public:
  enum Alignment { kLeft = 0, kCentre = 1, kRight = 2 };

  TextLabel() { layer = 1; }

  void Init(FONT* font, const char* text, int x, int y, int flashing, int colour, int background, int alignment,
            int layer);
  void Draw(BITMAP* target) override;
  // A flashing label takes its next colour with the scene's steps, however
  // often it is drawn.
  void Advance() override;

  void SetPosition(int px, int py) {
    x = px;
    y = py;
  }
  int GetX() const { return x; }
  int GetY() const { return y; }
  FONT* GetFont() const { return font; }
  const char* GetText() const { return text; }
  void SetText(const char* value) { text = value; }
  int GetColour() const { return colour; }

 private:
  const char* text = nullptr;
  int x = 0, y = 0;
  int colour = 0;
  int background = 0;
  FONT* font = nullptr;
  int alignment = 0;
  int flashing = 0;
  int flashFrames = 0;
  int flashIndex = 0;
};
