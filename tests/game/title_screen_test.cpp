// The title screen as a whole: the high-score entry of the last game's score,
// typing the name, closing on a key or a click, the logo's slide and the
// score file written every time.
#include <allegro.h>

#include <cstring>
#include <string>
#include <vector>

#include "engine/graphics_engine.h"
#include "game/game_state.h"
#include "game/high_scores.h"
#include "music_recorder.h"
#include "scene/scene_objects.h"
#include "scratch_folder.h"
#include "screen_script.h"
#include "screens/title_screen.h"
#include "support/allegro_fixture.h"
#include "support/game_fixture.h"

namespace {

class TitleScreenTest : public GameFixture {
 protected:
  void SetUp() override {
    GameFixture::SetUp();
    ResetHighScores();
  }
  void TearDown() override {
    ResetHighScores();
    game.score = 0;
    GameFixture::TearDown();
  }

  // Types the keys one per step from wait `first` on.
  void TypeFrom(long first, std::vector<int> keys) {
    script_.push_back({first, std::move(keys)});
  }

  // Runs the title screen with the scripted keys; returns the number of
  // steps it ran.
  long Run() {
    ScriptScreen(platform, [this](long wait) {
      for (const Burst& burst : script_) {
        const long i = wait - burst.first;
        if (i >= 0 && i < static_cast<long>(burst.keys.size())) platform.Type(burst.keys[i]);
      }
      if (hook_) hook_(wait);
    });
    RunTitleScreen();
    return platform.Waits();
  }

  void SetScores(std::vector<int> values) {
    for (std::size_t i = 0; i < values.size(); ++i) highScores[i] = values[i];
  }

  struct Burst {
    long first;
    std::vector<int> keys;
  };
  std::vector<Burst> script_;
  std::function<void(long)> hook_;
  ScratchFolder folder_;
};

std::string NameInFile(const std::string& file, int entry) {
  return std::string(file.c_str() + entry * 24 + 4, strnlen(file.c_str() + entry * 24 + 4, 20));
}

int ScoreInFile(const std::string& file, int entry) {
  const unsigned char* p = reinterpret_cast<const unsigned char*>(file.data()) + entry * 24;
  return static_cast<int>(p[0] | p[1] << 8 | p[2] << 16 | static_cast<unsigned>(p[3]) << 24);
}

TEST_F(TitleScreenTest, AtProgramStartNoEntryIsMadeAndAnyKeyClosesTheScreen) {
  game.score = 0;
  TypeFrom(10, {KEY_Q});
  const long steps = Run();

  EXPECT_EQ(steps, 11);
  EXPECT_STREQ(highScoreNames[0], "Ve Varn Holt");
  EXPECT_STREQ(highScoreNames[1], "Orm");
  EXPECT_STREQ(highScoreNames[9], "Corwin");
  EXPECT_EQ(ElementsOnList(), 0);
}

TEST_F(TitleScreenTest, AQualifyingScoreIsInsertedAndTheOldTenthEntryIsLost) {
  SetScores({10000, 6000});
  game.score = 5000;
  TypeFrom(5, {KEY_A, KEY_B, KEY_ENTER});
  TypeFrom(10, {KEY_SPACE});
  Run();

  EXPECT_EQ(highScores[2], 5000);
  EXPECT_STREQ(highScoreTexts[2], "00005000");
  EXPECT_STREQ(highScoreNames[2], "ab");
  EXPECT_EQ(highScores[0], 10000);
  EXPECT_EQ(highScores[1], 6000);
  // Entries 3 to 9 moved down one place; "Corwin", the tenth, is gone.
  const char* const moved[] = {"Tav", "Rollo", "Marisol", "Dace", "Fenn", "Ysolde", "Pim"};
  for (int k = 3; k < 10; ++k) EXPECT_STREQ(highScoreNames[k], moved[k - 3]) << "entry " << k;
  for (int k = 0; k < 10; ++k) EXPECT_STRNE(highScoreNames[k], "Corwin");

  const std::string file = ReadWholeFile(folder_.Path("KAVscores.sav"));
  ASSERT_EQ(file.size(), 240u);
  EXPECT_EQ(ScoreInFile(file, 2), 5000);
  EXPECT_EQ(NameInFile(file, 2), "ab");
  EXPECT_EQ(NameInFile(file, 9), "Pim");
}

TEST_F(TitleScreenTest, AScoreEqualToTheTopScoreEntersAsTheSecond) {
  SetScores({7000, 3000});
  game.score = 7000;
  TypeFrom(5, {KEY_Z, KEY_ENTER, KEY_SPACE});
  Run();

  EXPECT_STREQ(highScoreNames[0], "Ve Varn Holt");
  EXPECT_EQ(highScores[1], 7000);
  EXPECT_STREQ(highScoreNames[1], "z");
  EXPECT_EQ(highScores[2], 3000);
  EXPECT_STREQ(highScoreNames[2], "Orm");
}

TEST_F(TitleScreenTest, EscapeArrowsAndFunctionKeysAreIgnoredWhileTypingAndDoNotClose) {
  game.score = 100;
  TypeFrom(5, {KEY_ESC, KEY_LEFT, KEY_UP, KEY_F1, KEY_F12, KEY_X});
  TypeFrom(20, {KEY_ENTER});
  TypeFrom(30, {KEY_SPACE});
  const long steps = Run();

  EXPECT_STREQ(highScoreNames[0], "x");
  EXPECT_EQ(steps, 31) << "only the key after Enter closes the screen";
}

TEST_F(TitleScreenTest, TheTwentyFirstCharacterOfANameIsRefused) {
  game.score = 100;
  std::vector<int> keys;
  for (int i = 0; i < 21; ++i) keys.push_back(KEY_A + i);
  keys.push_back(KEY_ENTER);
  keys.push_back(KEY_SPACE);
  TypeFrom(5, keys);
  Run();

  EXPECT_STREQ(highScoreNames[0], "abcdefghijklmnopqrst");
  const std::string file = ReadWholeFile(folder_.Path("KAVscores.sav"));
  ASSERT_EQ(file.size(), 240u);
  EXPECT_EQ(file.substr(4, 20), "abcdefghijklmnopqrst") << "a full name fills the field";
}

TEST_F(TitleScreenTest, BackspaceTakesBackTheLastCharacter) {
  game.score = 100;
  TypeFrom(5, {KEY_A, KEY_B, KEY_BACKSPACE, KEY_C, KEY_ENTER, KEY_SPACE});
  Run();
  EXPECT_STREQ(highScoreNames[0], "ac");
}

TEST_F(TitleScreenTest, EnterWithAnEmptyNameLeavesTheNameEmpty) {
  game.score = 100;
  TypeFrom(5, {KEY_ENTER});
  TypeFrom(10, {KEY_SPACE});
  const long steps = Run();

  EXPECT_EQ(steps, 11);
  EXPECT_EQ(highScores[0], 100);
  EXPECT_STREQ(highScoreNames[0], "");
  EXPECT_STREQ(highScoreNames[1], "Ve Varn Holt");
  const std::string file = ReadWholeFile(folder_.Path("KAVscores.sav"));
  ASSERT_EQ(file.size(), 240u);
  EXPECT_EQ(NameInFile(file, 0), "");
}

TEST_F(TitleScreenTest, AClickClosesTheScreenDuringTheEntryAndKeepsTheNameTyped) {
  game.score = 100;
  TypeFrom(5, {KEY_K, KEY_O});
  hook_ = [this](long wait) {
    if (wait == 10) {
      platform.SetMouse(600, 200, 1);
      platform.ReleaseMouseAfter(3);
    }
  };
  const long steps = Run();

  EXPECT_LT(steps, 20);
  EXPECT_STREQ(highScoreNames[0], "ko");
  EXPECT_EQ(NameInFile(ReadWholeFile(folder_.Path("KAVscores.sav")), 0), "ko");
}

TEST_F(TitleScreenTest, AClickClosesTheScreenWithoutAnEntry) {
  hook_ = [this](long wait) {
    if (wait == 4) {
      platform.SetMouse(10, 10, 1);
      platform.ReleaseMouseAfter(2);
    }
  };
  EXPECT_LT(Run(), 10);
}

TEST_F(TitleScreenTest, TheScoreFileIsWrittenEvenWhenTheTableDidNotChange) {
  {
    FILE* junk = std::fopen(folder_.Path("KAVscores.sav").c_str(), "wb");
    ASSERT_NE(junk, nullptr);
    std::fputs("old", junk);
    std::fclose(junk);
  }
  highScores[0] = 1000;
  TypeFrom(3, {KEY_SPACE});
  Run();

  const std::string file = ReadWholeFile(folder_.Path("KAVscores.sav"));
  ASSERT_EQ(file.size(), 240u);
  EXPECT_EQ(file.substr(0, 4), std::string("\xE8\x03\x00\x00", 4));
  EXPECT_EQ(NameInFile(file, 0), "Ve Varn Holt");
  EXPECT_EQ(NameInFile(file, 9), "Corwin");
}

TEST_F(TitleScreenTest, TheLogoSpeedsUpFromOneToElevenPixelsAStep) {
  std::vector<int> ve;
  hook_ = [&](long) { ve.push_back(logoVe.GetX()); };
  TypeFrom(8, {KEY_SPACE});
  Run();

  // Read before each step: the start, then 1, 3, 5, 7, 9 and 11 px further.
  const std::vector<int> expected = {-200, -199, -196, -191, -184, -175, -164, -153};
  ASSERT_GE(ve.size(), expected.size());
  EXPECT_EQ(std::vector<int>(ve.begin(), ve.begin() + expected.size()), expected);
}

TEST_F(TitleScreenTest, TheLogoComesToRestAt276_416_303And598) {
  TypeFrom(300, {KEY_SPACE});
  Run();
  EXPECT_EQ(logoVe.GetX(), 276);
  EXPECT_EQ(logoVarn.GetX(), 416);
  EXPECT_EQ(logoHolt.GetX(), 303);
  EXPECT_EQ(logoSubtitle.GetX(), 598);
  EXPECT_EQ(logoVe.GetY(), 18);
  EXPECT_EQ(logoVarn.GetY(), 63);
  EXPECT_EQ(logoHolt.GetY(), 185);
  EXPECT_EQ(logoSubtitle.GetY(), 290);
}

TEST_F(TitleScreenTest, AKeyStillHeldFromTheGameNeitherTypesNorCloses) {
  game.score = 100;
  // The fire key was down when the last life went; its auto-repeat keeps
  // arriving until it is let go.
  platform.Hold(KEY_Z);
  TypeFrom(2, {KEY_Z, KEY_Z, KEY_Z, KEY_Z});
  hook_ = [this](long wait) {
    if (wait == 8) platform.Hold(KEY_Z, false);
  };
  TypeFrom(10, {KEY_Z, KEY_ENTER, KEY_SPACE});
  const long steps = Run();

  EXPECT_STREQ(highScoreNames[0], "z");
  EXPECT_EQ(steps, 13);
}

// The hint above the table is drawn in yellow while a name is typed.
int YellowPixelsOfTheHint(BITMAP* frame) {
  int n = 0;
  for (int y = 362; y < 390; ++y)
    for (int x = 262; x < 762; ++x) {
      const int c = getpixel(frame, x, y);
      if (getr(c) > 150 && getg(c) > 150 && getb(c) < 100) ++n;
    }
  return n;
}

TEST_F(TitleScreenTest, AHintShowsWhileANameIsTypedAndGoesWithEnter) {
  game.score = 100;
  platform.KeepFrames(true);
  int during = -1, after = -1;
  hook_ = [&](long wait) {
    if (wait == 6) during = YellowPixelsOfTheHint(platform.LastFrame());
    if (wait == 12) after = YellowPixelsOfTheHint(platform.LastFrame());
  };
  TypeFrom(8, {KEY_ENTER});
  TypeFrom(14, {KEY_SPACE});
  Run();

  EXPECT_GT(during, 200);
  EXPECT_EQ(after, 0);
}

TEST_F(TitleScreenTest, TheTitleMusicPlaysAtFullVolumeAndRampsDownWhenTheScreenCloses) {
  MusicRecorder music;
  ASSERT_TRUE(folder_.LinkMusic()) << "the music tracks are built into " << kav_test::DataDir();
  TypeFrom(100, {KEY_SPACE});
  Run();

  const MusicRecord& record = music.Record();
  EXPECT_EQ(record.starts, 1);
  EXPECT_EQ(record.startVolume, 255);
  EXPECT_EQ(record.startPan, 128);
  EXPECT_GT(record.loudSamples, 44100) << "about two seconds of sound reached the output";
  ASSERT_EQ(record.volumes.size(), 128u);
  EXPECT_EQ(record.volumes.front(), 128);
  EXPECT_EQ(record.volumes.back(), 1);
  EXPECT_EQ(record.stops, 1);
}

TEST_F(TitleScreenTest, WithoutItsMusicFileTheScreenRunsSilently) {
  MusicRecorder music;
  TypeFrom(20, {KEY_SPACE});
  EXPECT_EQ(Run(), 21);
  EXPECT_EQ(music.Record().starts, 0);
}

}  // namespace
