// Choosing the wave to practise: only waves reached are offered, from the
// highest down to 1 and no further either way; the highest is kept in the
// settings across runs, and a wrong entry there gives wave 1 and says so.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "engine/settings.h"
#include "screens/practice_screen.h"
#include "screens/wave_choice.h"
#include "support/allegro_fixture.h"

namespace {

TEST(WaveChoiceTest, ItStartsAtTheHighestWaveReachedAndOffersOnlyWavesReached) {
  WaveChoice choice(7);
  EXPECT_EQ(choice.Wave(), 7);
  EXPECT_EQ(choice.Highest(), 7);
  EXPECT_TRUE(choice.AtLast());
  EXPECT_FALSE(choice.Next()) << "wave 8 has not been reached";
  EXPECT_EQ(choice.Wave(), 7);
  std::vector<int> seen;
  while (choice.Previous()) seen.push_back(choice.Wave());
  EXPECT_EQ(seen, (std::vector<int>{6, 5, 4, 3, 2, 1}));
  EXPECT_TRUE(choice.AtFirst());
  EXPECT_FALSE(choice.Previous()) << "it stops at wave 1";
  EXPECT_EQ(choice.Wave(), 1);
  EXPECT_TRUE(choice.Next());
  EXPECT_EQ(choice.Wave(), 2);
}

TEST(WaveChoiceTest, AtWaveOneNothingMovesAndABestOutsideTheWavesIsTheNearestEnd) {
  WaveChoice first(1);
  EXPECT_TRUE(first.AtFirst() && first.AtLast());
  EXPECT_FALSE(first.Next() || first.Previous());
  EXPECT_EQ(first.Wave(), 1);
  EXPECT_EQ(WaveChoice(0).Wave(), 1);
  EXPECT_EQ(WaveChoice(-5).Highest(), 1);
  WaveChoice beyond(99);
  EXPECT_EQ(beyond.Wave(), 20);
  EXPECT_FALSE(beyond.Next());
}

TEST(WaveChoiceTest, EachWaveIsShownWithWhatItBrings) {
  EXPECT_EQ(WaveLineUp(1), "4 landers and 4 bombers");
  EXPECT_EQ(WaveLineUp(3), "10 landers, 6 fighters, 2 bouncers, 1 pod and 4 bombers");
  EXPECT_EQ(WaveLineUp(20), "4 bombers, 25 baiters and the boss");
  EXPECT_EQ(WaveLineUp(0), "");
  EXPECT_EQ(WaveLineUp(21), "");
}

class BestWaveSettingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    kav_test::InitHeadlessAllegro();
    char pattern[] = "/tmp/kav-bestwave-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
    file_ = dir_ + "/vevarnholt.cfg";
  }
  void TearDown() override { ASSERT_EQ(std::system(("rm -rf '" + dir_ + "'").c_str()), 0); }
  Settings Load(std::vector<std::string>* problems) { return LoadSettings(file_, problems); }
  void Write(const std::string& text) { std::ofstream(file_, std::ios::binary) << text; }

  std::string dir_, file_;
};

TEST_F(BestWaveSettingTest, TheWaveReachedIsRememberedAcrossRuns) {
  std::vector<std::string> problems;
  EXPECT_EQ(Load(&problems).bestWave, 1) << "a new player has reached wave 1";
  Settings reached;
  reached.bestWave = 12;
  ASSERT_TRUE(SaveSettings(file_, reached));
  std::ifstream in(file_);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_NE(text.find("[practice]\nbest_wave = 12\n"), std::string::npos) << text;
  // The next run offers waves 1 to 12.
  const Settings next = Load(&problems);
  EXPECT_TRUE(problems.empty());
  WaveChoice choice(next.bestWave);
  EXPECT_EQ(choice.Wave(), 12);
  EXPECT_TRUE(choice.AtLast());
}

TEST_F(BestWaveSettingTest, AWrongBestWaveFallsBackToOneWithItsLineAndTheRestIsKept) {
  for (const char* wrong : {"0", "21", "-3", "abc", "7x", "", "99999999999999999999"}) {
    Write(std::string("[sound]\nmusic = 3\n[practice]\nbest_wave = ") + wrong + "\n");
    std::vector<std::string> problems;
    const Settings s = Load(&problems);
    EXPECT_EQ(s.bestWave, 1) << wrong;
    EXPECT_EQ(s.musicVolume, 3) << wrong;
    ASSERT_EQ(problems.size(), 1u) << wrong;
    EXPECT_EQ(problems[0].rfind("best wave: ", 0), 0u) << problems[0];
  }
  Write("[practice]\nbest_wave = 20\n");
  std::vector<std::string> problems;
  EXPECT_EQ(Load(&problems).bestWave, 20);
  EXPECT_TRUE(problems.empty());
}

}  // namespace
