#include <allegro.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "engine/clock.h"

#include "engine/data_index.h"
#include "engine/graphics_engine.h"
#include "screens/message_box.h"
#include "support/game_fixture.h"
#include "scene/stage.h"

namespace {

constexpr const char* kQuestion = "Really Quit and Exit the program ?";

class MessageBoxTest : public GameFixture {
 protected:
  // The quit question as AskYesNo builds it.
  void Build(MessageBox& box, AnimatedSprite& picture, TextLabel& title, TextLabel* lines) {
    BITMAP* ship = engine.Bitmap(dat::kShipRight);
    picture.Init(ship, 0, 0, ship->w, ship->h, 0, 31, "MBox type");
    title.Init(dialogFont, "Are you sure ?", 0, 0, 0, makecol(255, 0, 0), makecol(255, 0, 0), 0, 31);
    lines[0].Init(dialogFont, kQuestion, 0, 0, 0, makecol(72, 61, 139), makecol(72, 61, 139), 0, 31);
    box.Init(14, makecol(255, 255, 255), makecol(0, 255, 255), 1, &picture, &title, lines, 1, 31);
  }
};

TEST_F(MessageBoxTest, TheQuitQuestionIsSizedByItsTextsAndCentred) {
  MessageBox box;
  AnimatedSprite picture;
  TextLabel title, lines[20];
  Build(box, picture, title, lines);
  const int expectedWidth =
      std::max(text_length(dialogFont, "Are you sure ?") + 12 + 124, text_length(dialogFont, kQuestion) + 124 + 12);
  EXPECT_EQ(box.Width(), expectedWidth);
  const int h = text_height(dialogFont);
  EXPECT_EQ(box.Height(), std::max(2 + 92 + 2, 4 + 2 * h) + h + 4);
  EXPECT_EQ(box.Left(), (1024 - box.Width()) / 2);
  EXPECT_EQ(box.Top(), (768 - box.Height()) / 2);
  EXPECT_EQ(picture.GetX(), box.Left() + 3);
  EXPECT_EQ(picture.GetY(), box.Top() + 3);
  EXPECT_EQ(lines[0].GetX(), box.Left() + 130);
  EXPECT_EQ(title.GetX(), box.Left() + 130);
  EXPECT_EQ(box.YesButton().Left(), box.Left() + 4);
  EXPECT_EQ(box.NoButton().Right(), box.Left() + box.Width() - 4);
  EXPECT_EQ(box.YesLabel().GetX(), box.Left() + box.Width() / 4);
}

TEST_F(MessageBoxTest, ABoxWiderThanTheScreenStaysLeftOfItsEdge) {
  MessageBox box;
  AnimatedSprite picture;
  TextLabel title, lines[20];
  Build(box, picture, title, lines);
  box.PlaceAt(900, 700);
  EXPECT_EQ(box.Left(), 1024 - box.Width());
  EXPECT_EQ(box.Top(), 768 - box.Height());
}

TEST_F(MessageBoxTest, YAnswersYesAndNAnswersNoWhateverTheCase) {
  platform.Type(KEY_Y);
  EXPECT_TRUE(AskYesNo(dat::kShipRight, kQuestion));
  platform.Type(KEY_N);
  EXPECT_FALSE(AskYesNo(dat::kShipRight, kQuestion));
  EXPECT_EQ(ElementsOnList(), 0);  // everything of the box is gone again
}

TEST_F(MessageBoxTest, OtherKeysAndEscapeAreIgnored) {
  platform.OnWait([&](long wait) {
    if (wait == 0) platform.Type(KEY_ESC);
    if (wait == 2) platform.Type(KEY_SPACE);
    if (wait == 4) platform.Type(KEY_N);
  });
  EXPECT_FALSE(AskYesNo(dat::kShipRight, kQuestion));
  EXPECT_GE(platform.Waits(), 4);
}

TEST_F(MessageBoxTest, OnlyTheTwoButtonsAnswerAClick) {
  MessageBox box;
  AnimatedSprite picture;
  TextLabel title, lines[20];
  Build(box, picture, title, lines);
  const int yesX = (box.YesButton().Left() + box.YesButton().Right()) / 2;
  const int yesY = (box.YesButton().Top() + box.YesButton().Bottom()) / 2;
  const int insideX = box.Left() + 200, insideY = box.Top() + 30;
  platform.OnWait([&](long wait) {
    if (wait == 0) platform.SetMouse(insideX, insideY, 1);  // on the box: nothing
    if (wait == 2) platform.SetMouse(insideX, insideY, 0);
    if (wait == 4) platform.SetMouse(yesX, yesY, 1);
    if (wait == 6) platform.SetMouse(yesX, yesY, 0);
  });
  EXPECT_TRUE(AskYesNo(dat::kShipRight, kQuestion));
  EXPECT_GE(platform.Waits(), 6);
}

TEST_F(MessageBoxTest, TheButtonUnderThePointerTurnsRedWhileTheOtherFlashes) {
  MessageBox box;
  AnimatedSprite picture;
  TextLabel title, lines[20];
  Build(box, picture, title, lines);
  box.Show();
  const int noX = (box.NoButton().Left() + box.NoButton().Right()) / 2;
  const int noY = (box.NoButton().Top() + box.NoButton().Bottom()) / 2;
  EXPECT_EQ(stage.ElementAt(noX, noY), MessageBox::kNoId);
  TickCallback();
  stage.ElementAt(noX, noY);
  stage.DrawFrame();
  EXPECT_EQ(box.NoButton().LastColour(), makecol(255, 0, 0));
  std::vector<int> colours;
  for (int i = 0; i < 40; ++i) {
    stage.DrawFrame();
    colours.push_back(box.YesButton().LastColour());
  }
  EXPECT_NE(std::find(colours.begin(), colours.end(), makecol(143, 143, 143)), colours.end());
  EXPECT_NE(std::find(colours.begin(), colours.end(), makecol(0, 0, 0)), colours.end());
  box.Hide();
}

}  // namespace
