// The game's own generator gives a fixed, published sequence: xoshiro128**
// from its authors' reference state, seeded through SplitMix64. A game's
// numbers depend on nothing else.
#include <gtest/gtest.h>

#include <cstdlib>

#include "engine/random_generator.h"

namespace {

TEST(RandomGeneratorTest, FromTheReferenceStateItGivesXoshiro128StarStarsPublishedNumbers) {
  RandomGenerator random;  // state 1, 2, 3, 4
  for (uint32_t expected : {11520u, 0u, 5927040u, 70819200u, 2031721883u, 1637235492u})
    EXPECT_EQ(random.Next(), expected);
}

TEST(RandomGeneratorTest, ASeedIsSpreadOverTheStateBySplitMix64) {
  RandomGenerator random;
  random.Seed(0);
  // SplitMix64's first two numbers from 0: 0xE220A8397B1DCDAF, 0x6E789E6AA1B965F4.
  EXPECT_EQ(random.Word(0), 0x7B1DCDAFu);
  EXPECT_EQ(random.Word(1), 0xE220A839u);
  EXPECT_EQ(random.Word(2), 0xA1B965F4u);
  EXPECT_EQ(random.Word(3), 0x6E789E6Au);
  for (uint32_t expected : {3737715805u, 2584255861u, 2876756834u, 3286328325u, 1553311962u})
    EXPECT_EQ(random.Next(), expected);
}

TEST(RandomGeneratorTest, TheDrawsOfASeedAreFixedAndNothingElseMovesThem) {
  RandomGenerator random;
  random.Seed(20261208);
  std::srand(1);
  for (int expected : {2541, 32635, 30256, 16129, 1875, 14101, 9211, 17655}) {
    EXPECT_EQ(random.Draw(), expected);
    // Whatever else draws numbers in the program is no part of the game's.
    (void)std::rand();
  }
}

TEST(RandomGeneratorTest, ACopyGoesOnFromTheSamePlace) {
  RandomGenerator random;
  random.Seed(4242);
  for (int i = 0; i < 100; ++i) random.Next();
  RandomGenerator copy = random;
  for (int i = 0; i < 100; ++i) ASSERT_EQ(copy.Next(), random.Next());
}

TEST(RandomGeneratorTest, DrawsCoverZeroTo32767Evenly) {
  RandomGenerator random;
  random.Seed(7);
  int below[4] = {};
  int lowest = 32767, highest = 0;
  for (int i = 0; i < 40000; ++i) {
    const int draw = random.Draw();
    ASSERT_GE(draw, 0);
    ASSERT_LE(draw, 32767);
    lowest = std::min(lowest, draw);
    highest = std::max(highest, draw);
    below[draw / 8192] += 1;
  }
  EXPECT_LT(lowest, 10);
  EXPECT_GT(highest, 32757);
  for (int quarter : below) {
    EXPECT_GT(quarter, 9500);
    EXPECT_LT(quarter, 10500);
  }
}

}  // namespace
