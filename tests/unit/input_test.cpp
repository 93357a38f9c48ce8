#include <allegro.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "engine/graphics_engine.h"
#include "engine/input.h"
#include "engine/name_entry.h"
#include "scene/polygon_shape.h"
#include "scene/stage.h"
#include "support/scripted_platform.h"

namespace {

class InputTest : public ::testing::Test {
 protected:
  void SetUp() override { engine.SetPlatform(&platform); }
  void TearDown() override {
    platform.SetMouse(0, 0, 0);
    Poll();  // leave the engine's button memory clear for the next test
    engine.SetPlatform(nullptr);
  }
  struct Result {
    int key, left, right, x, y;
  };
  Result Poll() {
    Result r{};
    stage.PollInput(r.key, r.left, r.right, r.x, r.y);
    return r;
  }
  ScriptedPlatform platform;
};

TEST_F(InputTest, HoldingTheLeftButtonReportsNothingAndReleasingReportsOneClick) {
  platform.SetMouse(100, 200, 1);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(Poll().left, 0);
  platform.SetMouse(110, 210, 0);
  Result r = Poll();
  EXPECT_EQ(r.left, 1);
  EXPECT_EQ(r.right, 0);
  EXPECT_EQ(r.x, 110);
  EXPECT_EQ(r.y, 210);
  EXPECT_EQ(Poll().left, 0);
}

TEST_F(InputTest, BothButtonsReleasedTogetherReportBothClicksInOnePoll) {
  platform.SetMouse(0, 0, 3);
  Poll();
  platform.SetMouse(0, 0, 0);
  Result r = Poll();
  EXPECT_EQ(r.left, 1);
  EXPECT_EQ(r.right, 2);
}

TEST_F(InputTest, OnlyTheFirstOfSeveralTypedKeysIsDelivered) {
  platform.Type(KEY_A);
  platform.Type(KEY_B);
  platform.Type(KEY_C);
  EXPECT_EQ(Poll().key >> 8, KEY_A);
  EXPECT_EQ(Poll().key, 0);
}

TEST_F(InputTest, APressGoesToTheElementUnderThePointerAndTheReleaseBackToIt) {
  RectangleShape box;
  box.Init(3, 0, 0, 11, 10, 10, 50, 50, 0, "Box");
  stage.AddElement(&box);
  platform.SetMouse(20, 20, 1);
  Poll();
  EXPECT_EQ(stage.Elements().Pressed(), &box);
  platform.SetMouse(500, 500, 0);  // released elsewhere: still a click
  EXPECT_EQ(Poll().left, 1);
  EXPECT_EQ(stage.Elements().Pressed(), nullptr);
  stage.RemoveElement(&box);
}

TEST_F(InputTest, WaitingForTheMouseReturnsOnceTheButtonsAreUp) {
  platform.SetMouse(0, 0, 1);
  platform.ReleaseMouseAfter(3);
  input.WaitMouseRelease();
  EXPECT_EQ(platform.MouseButtons(), 0);
  EXPECT_EQ(platform.Waits(), 3);
}

class EditNameTest : public InputTest {
 protected:
  int Edit(const char* start, int scancode, std::string& out, int maxLength = 20) {
    char text[32] = {};
    std::strcpy(text, start);
    int result = EditName(text, scancode << 8 | 'x', maxLength);
    out = text;
    return result;
  }
  std::string text;
};

TEST_F(EditNameTest, LettersAppendTheCharacterOfTheScancodeWhateverTheTypedCharacter) {
  EXPECT_EQ(Edit("Bo", KEY_B, text), 0);
  EXPECT_EQ(text, "Bob");
  EXPECT_EQ(Edit("", KEY_7_PAD, text), 0);
  EXPECT_EQ(text, "7");
  EXPECT_EQ(Edit("a", KEY_SPACE, text), 0);
  EXPECT_EQ(text, "a ");
}

TEST_F(EditNameTest, AFullNameRefusesTheTwentyFirstCharacter) {
  EXPECT_EQ(Edit("abcdefghijklmnopqrst", KEY_Z, text), 0);
  EXPECT_EQ(text, "abcdefghijklmnopqrst");
}

TEST_F(EditNameTest, BackspaceDeletesTheLastCharacterAndDoesNothingOnAnEmptyName) {
  EXPECT_EQ(Edit("abc", KEY_BACKSPACE, text), 0);
  EXPECT_EQ(text, "ab");
  EXPECT_EQ(Edit("", KEY_BACKSPACE, text), 0);
  EXPECT_EQ(text, "");
}

TEST_F(EditNameTest, TheFullStopAndControlKeysAreIgnoredButTheCommaAppends) {
  for (int s : {KEY_STOP, KEY_ESC, KEY_F1, KEY_F12, KEY_TAB, KEY_LEFT, KEY_UP, KEY_DEL, KEY_HOME, KEY_DEL_PAD,
                KEY_PRTSCR, KEY_COLON2, KEY_KANJI}) {
    EXPECT_EQ(Edit("ab", s, text), 0) << s;
    EXPECT_EQ(text, "ab") << s;
  }
  EXPECT_EQ(Edit("ab", KEY_COMMA, text), 0);
  EXPECT_EQ(text, "ab,");
}

TEST_F(EditNameTest, EnterEndsTheEntryWhateverTheNameHolds) {
  EXPECT_EQ(Edit("", KEY_ENTER, text), -1);
  EXPECT_EQ(text, "");
  EXPECT_EQ(Edit("Zed", KEY_ENTER_PAD, text), -1);
  EXPECT_EQ(text, "Zed");
}

TEST_F(EditNameTest, ScancodesOutsideTheKeyboardRangeDoNothing) {
  EXPECT_EQ(Edit("a", 0, text), 0);
  EXPECT_EQ(Edit("a", 106, text), 0);
  EXPECT_EQ(Edit("a", KEY_LSHIFT, text), 0);
  EXPECT_EQ(text, "a");
}

// A layout that gives control characters for some keys.
class OddLayout : public ScriptedPlatform {
 public:
  int ScancodeToAscii(int scancode) override { return scancode == KEY_AT ? 7 : scancode == KEY_YEN ? 0xA5 : 'q'; }
};

TEST(EditNameLayoutTest, OnlyPrintableCharactersGoIntoAName) {
  OddLayout layout;
  engine.SetPlatform(&layout);
  char text[32] = "a";
  EditName(text, KEY_AT << 8, 20);
  EditName(text, KEY_YEN << 8, 20);
  EXPECT_STREQ(text, "a");
  EditName(text, KEY_Q << 8, 20);
  EXPECT_STREQ(text, "aq");
  engine.SetPlatform(nullptr);
}

}  // namespace
