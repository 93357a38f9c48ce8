#include <gtest/gtest.h>

#include <cstdlib>

#include "support/allegro_fixture.h"
#include "support/game_fixture.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  kav_test::InitHeadlessAllegro();
  std::srand(12345);
  const int result = RUN_ALL_TESTS();
  kav_test::ReleaseEverything();
  return result;
}
