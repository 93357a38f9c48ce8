// A game's numbers as they are shown and printed: the time played from the
// steps, the share of shots that hit, and the JSON object of --verify --stats
// with every kind listed.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "game/game_numbers.h"

namespace {

TEST(GameNumbersTest, TimePlayedIsTheStepsAtFiftyASecondRounded) {
  EXPECT_EQ(FormatPlayTime(0), "0:00");
  EXPECT_EQ(FormatPlayTime(2849), "0:57");  // 56.98 s
  EXPECT_EQ(FormatPlayTime(2974), "0:59");  // 59.48 s
  EXPECT_EQ(FormatPlayTime(2975), "1:00");  // 59.5 s
  EXPECT_EQ(FormatPlayTime(50 * 3599), "59:59");
  EXPECT_EQ(FormatPlayTime(50 * 3725), "1:02:05");
  EXPECT_EQ(StepsToTenths(2849), 570);
  EXPECT_EQ(StepsToTenths(7), 1);
  EXPECT_EQ(StepsToTenths(8), 2);
  EXPECT_GT(StepsToTenths(UINT64_MAX), 0);
  EXPECT_FALSE(FormatPlayTime(UINT64_MAX).empty());
}

TEST(GameNumbersTest, TheHitShareIsWholePercentAndZeroWithoutAShot) {
  GameNumbers n;
  EXPECT_EQ(n.HitPercent(), 0);
  n.shots = 212;
  n.hits = 61;
  EXPECT_EQ(n.HitPercent(), 28);
  n.enemies[0] = 9;
  n.enemies[11] = 2;
  n.bosses = 1;
  EXPECT_EQ(n.EnemiesDestroyed(), 12);
  EXPECT_EQ(EnemyCountText(0, 1), "1 lander");
  EXPECT_EQ(EnemyCountText(9, 25), "25 baiters");
}

TEST(GameNumbersTest, TheJsonObjectHoldsEveryNumberAndEveryKind) {
  GameSummary game;
  game.score = 4100;
  game.wave = 2;
  game.steps = 2849;
  game.numbers.shots = 212;
  game.numbers.hits = 61;
  game.numbers.enemies[0] = 9;
  game.numbers.enemies[7] = 4;
  game.numbers.humansRescued = 1;
  game.numbers.humansLost = 2;
  game.numbers.bombs = 1;
  game.numbers.livesLost = 1;
  const std::string text = GameSummaryJson(game);
  EXPECT_EQ(text.find('\n'), std::string::npos) << "one line";
  EXPECT_EQ(text.rfind("{\"score\": 4100, \"wave\": 2, \"start_wave\": 1, \"steps\": 2849, \"seconds\": 57.0, "
                       "\"shots\": 212, \"hits\": 61, \"enemies\": {\"lander\": 9, ",
                       0),
            0u)
      << text;
  const nlohmann::json json = nlohmann::json::parse(text);
  EXPECT_EQ(json["enemies"].size(), 13u);
  EXPECT_EQ(json["enemies"]["bomber"], 4);
  EXPECT_EQ(json["enemies"]["orbiter"], 0);
  EXPECT_EQ(json["enemies"]["boss"], 0);
  EXPECT_EQ(json["humans_rescued"], 1);
  EXPECT_EQ(json["humans_lost"], 2);
  EXPECT_EQ(json["bombs"], 1);
  EXPECT_EQ(json["lives_lost"], 1);
  EXPECT_DOUBLE_EQ(json["seconds"].get<double>(), 57.0);
}

}  // namespace
