#include "screens/message_box.h"

#include <allegro.h>

#include <algorithm>

#include "engine/graphics_engine.h"
#include "scene/paced_loop.h"
#include "engine/input.h"
#include "scene/stage.h"

MessageBox::MessageBox() {
  clickable = 0;
  layer = 30;
  SetName("MessageBox");
}

void MessageBox::Init(int idValue, int fill, int border, int thickness, AnimatedSprite* pic, TextLabel* heading,
                      TextLabel* lines, int count, int layerValue) {
  SetId(idValue);
  fillColour = fill;
  borderColour = border;
  borderWidth = thickness;
  picture = pic;
  title = heading;
  items = lines;
  itemCount = count;
  SetLayer(layerValue);
  const int black = makecol(0, 0, 0);
  const int red = makecol(255, 0, 0);
  yesLabel.Init(dialogFont, yesText, 0, 0, 0, black, red, TextLabel::kLeft, 31);
  noLabel.Init(dialogFont, noText, 0, 0, 0, black, red, TextLabel::kLeft, 31);
  yesButton.Init(kYesId, makecol(143, 143, 143), black, 10, 0, 0, 0, 0, 1, "Yes");
  noButton.Init(kNoId, makecol(143, 143, 143), black, 10, 0, 0, 0, 0, 1, "No");
  yesButton.SetLayer(32);
  noButton.SetLayer(32);
  Measure();
}

void MessageBox::Measure() {
  const int t = borderWidth;
  boxWidth = boxHeight = titleHeight = itemHeight = pictureWidth = pictureHeight = 0;
  int w = 12;
  int d = 2 * t + 2;
  int p = 2 * t;
  if (title) {
    w = text_length(title->GetFont(), title->GetText()) + 12;
    titleHeight = text_height(title->GetFont());
    d += titleHeight;
  }
  if (picture) {
    pictureWidth = picture->GetWidth();
    pictureHeight = picture->GetHeight();
    p = 2 * t + pictureHeight + 2;
    w += pictureWidth;
  }
  if (itemCount > 0) {
    FONT* font = items[0].GetFont();
    for (int i = 0; i < itemCount; ++i)
      w = std::max(w, text_length(font, items[i].GetText()) + pictureWidth + 12);
    itemHeight = text_height(font);
    d += itemCount * itemHeight;
  }
  boxHeight = std::max(p, d) + text_height(yesLabel.GetFont()) + 4;
  boxWidth = w;
  Centre();
}

void MessageBox::Centre() { PlaceAt((1024 - boxWidth) / 2, (768 - boxHeight) / 2); }

void MessageBox::PlaceAt(int x, int y) {
  boxLeft = x + boxWidth <= 1024 ? x : 1024 - boxWidth;
  boxTop = y + boxHeight <= 768 ? y : 768 - boxHeight;
  Layout();
}

void MessageBox::Layout() {
  const int t = borderWidth;
  const int l = boxLeft, top = boxTop;
  const int r = l + boxWidth, b = top + boxHeight;
  const int e = b - text_height(yesLabel.GetFont()) - 4;
  if (title) title->SetPosition(l + pictureWidth + 6, top + t);
  for (int i = 0; i < itemCount; ++i) items[i].SetPosition(l + pictureWidth + 6, top + t + i * itemHeight + titleHeight);
  if (picture) picture->SetPosition(l + t + 2, top + t + 2);
  // The labels are left-aligned: each word starts at the middle of its button.
  yesLabel.SetPosition(l + boxWidth / 4, e);
  yesButton.SetCorners(l + 4, e, l + boxWidth / 2 - 1, b - 4);
  noLabel.SetPosition(l + 3 * boxWidth / 4, e);
  noButton.SetCorners(l + boxWidth / 2 + 1, e, r - 4, b - 4);
  boxRight = r;
  boxBottom = b;
}

void MessageBox::Show() {
  stage.AddElement(this);
  stage.DrawStillFrame();
  if (title) stage.AddElement(title);
  for (int i = 0; i < itemCount; ++i) stage.AddElement(&items[i]);
  if (picture) stage.AddElement(picture);
  stage.AddElement(&yesLabel);
  stage.AddElement(&yesButton);
  stage.AddElement(&noLabel);
  stage.AddElement(&noButton);
}

void MessageBox::Hide() {
  if (title) stage.RemoveElement(title);
  for (int i = 0; i < itemCount; ++i) stage.RemoveElement(&items[i]);
  if (picture) stage.RemoveElement(picture);
  stage.RemoveElement(&yesLabel);
  stage.RemoveElement(&yesButton);
  stage.RemoveElement(&noLabel);
  stage.RemoveElement(&noButton);
  stage.RemoveElement(this);
}

void MessageBox::Draw(BITMAP* target) {
  const int t = borderWidth;
  const int l = boxLeft, top = boxTop, r = boxRight, b = boxBottom;
  rectfill(target, l, top, r, b, fillColour);
  rectfill(target, l, top, r, top + t, borderColour);
  rectfill(target, l, top, l + t, b, borderColour);
  rectfill(target, l, b - t, r, b, borderColour);
  rectfill(target, r - t, top, r, b, borderColour);
}

int MessageBox::HitTest(int x, int y) {
  return clickable && boxLeft <= x && x <= boxRight && boxTop <= y && y <= boxBottom ? 1 : 0;
}

bool AskYesNo(int pictureIndex, const char* question) {
  BITMAP* bitmap = engine.Bitmap(pictureIndex);
  AnimatedSprite picture;
  picture.Init(bitmap, 0, 0, bitmap->w, bitmap->h, 0, 31, "MBox type");
  TextLabel title;
  title.Init(dialogFont, "Are you sure ?", 0, 0, 0, makecol(255, 0, 0), makecol(255, 0, 0), TextLabel::kLeft, 31);
  TextLabel lines[20];
  lines[0].Init(dialogFont, question, 0, 0, 0, makecol(72, 61, 139), makecol(72, 61, 139), TextLabel::kLeft, 31);
  MessageBox box;
  box.Init(14, makecol(255, 255, 255), makecol(0, 255, 255), 1, &picture, &title, lines, 1, 31);
  box.Show();

  // One pass per tick of the frame clock, like every other screen.
  bool answered = false, answer = false;
  RunPacedLoop([&] {
    int keyValue, leftClick, rightClick, mouseX, mouseY;
    stage.PollInput(keyValue, leftClick, rightClick, mouseX, mouseY);
    const int id = stage.ElementAt(mouseX, mouseY);
    // Over a game nothing moves while the question is open.
    stage.DrawStillFrame();
    if (leftClick) {
      input.WaitMouseRelease();
      if (id == MessageBox::kYesId || id == MessageBox::kNoId) {
        answered = true;
        answer = id == MessageBox::kYesId;
      }
    } else if (keyValue) {
      const int scancode = keyValue >> 8;
      if (scancode == KEY_Y || scancode == KEY_N) {
        answered = true;
        answer = scancode == KEY_Y;
      }
    }
    return answered;
  });

  box.Hide();
  return answer;
}
