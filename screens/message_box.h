#pragma once

#include "scene/animated_sprite.h"
#include "scene/element.h"
#include "scene/polygon_shape.h"
#include "scene/text_label.h"

// A modal yes/no dialog drawn over whatever the screen shows: a bordered box
// centred on the screen with a picture at its left, a title and text lines to
// its right, and the buttons "Yes" and "No" along its bottom.
class MessageBox : public Element {
 public:
  static constexpr int kYesId = 16;
  static constexpr int kNoId = 17;

  MessageBox();
  void Init(int id, int fillColour, int borderColour, int borderWidth, AnimatedSprite* picture, TextLabel* title,
            TextLabel* items, int itemCount, int layer);
  void Measure();
  void Centre();
  void PlaceAt(int x, int y);
  void Layout();
  void Show();
  void Hide();
  void Draw(BITMAP* target) override;
  int HitTest(int x, int y) override;

  int Left() const { return boxLeft; }
  int Top() const { return boxTop; }
  int Width() const { return boxWidth; }
  int Height() const { return boxHeight; }
  RectangleShape& YesButton() { return yesButton; }
  RectangleShape& NoButton() { return noButton; }
  TextLabel& YesLabel() { return yesLabel; }
  TextLabel& NoLabel() { return noLabel; }

 private:
  int boxLeft = 0, boxTop = 0;
  int boxRight = 0, boxBottom = 0;
  int boxWidth = 0, boxHeight = 0;
  int titleHeight = 0;
  int itemHeight = 0;
  int pictureWidth = 0, pictureHeight = 0;
  int fillColour = 0;
  int borderColour = 0;
  int borderWidth = 0;
  int itemCount = 0;
  TextLabel* title = nullptr;
  TextLabel* items = nullptr;
  AnimatedSprite* picture = nullptr;
  RectangleShape yesButton;
  RectangleShape noButton;
  TextLabel yesLabel;
  TextLabel noLabel;
  char yesText[4] = "Yes";
  char noText[3] = "No";
};

// Shows the question with the data-file picture at its left and waits for the
// answer: a click on a button, or the Y or N key.
bool AskYesNo(int pictureIndex, const char* question);
