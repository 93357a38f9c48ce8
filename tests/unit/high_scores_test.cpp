#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "game/high_scores.h"

namespace {

std::vector<unsigned char> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<unsigned char>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void WriteFile(const std::string& path, const std::vector<unsigned char>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

class HighScoresTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/kav-scores-XXXXXX";
    dir = mkdtemp(pattern);
    file = dir + "/KAVscores.sav";
    ResetHighScores();
  }
  void TearDown() override {
    chmod(dir.c_str(), 0755);
    std::string command = "rm -rf '" + dir + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
    ResetHighScores();
  }
  std::string dir, file;
};

TEST_F(HighScoresTest, TheDefaultTableHasZeroScoresAndTheTenNames) {
  EXPECT_STREQ(highScoreNames[0], "Ve Varn Holt");
  EXPECT_STREQ(highScoreNames[9], "Corwin");
  for (int i = 0; i < kHighScoreCount; ++i) {
    EXPECT_EQ(highScores[i], 0);
    EXPECT_STREQ(highScoreTexts[i], "00000000");
    for (int b = static_cast<int>(std::strlen(highScoreNames[i])); b <= kNameLength; ++b)
      EXPECT_EQ(highScoreNames[i][b], 0);
  }
}

TEST_F(HighScoresTest, AScoreIsStoredAsFourLittleEndianBytesBeforeItsName) {
  highScores[0] = 1000;
  ASSERT_EQ(WriteScoresTo(file.c_str()), 1);
  std::vector<unsigned char> bytes = ReadFile(file);
  ASSERT_EQ(bytes.size(), 240u);
  EXPECT_EQ(bytes[0], 0xE8);
  EXPECT_EQ(bytes[1], 0x03);
  EXPECT_EQ(bytes[2], 0x00);
  EXPECT_EQ(bytes[3], 0x00);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(&bytes[4])), "Ve Varn Holt");
  EXPECT_EQ(std::string(reinterpret_cast<char*>(&bytes[28])), "Orm");
}

TEST_F(HighScoresTest, ATableWrittenAndReadBackIsTheSame) {
  for (int i = 0; i < kHighScoreCount; ++i) {
    highScores[i] = 100000 - 1000 * i;
    std::snprintf(highScoreNames[i], sizeof highScoreNames[i], "Player %d", i);
  }
  std::strcpy(highScoreNames[3], "ABCDEFGHIJKLMNOPQRST");  // 20 characters, no room for a terminator
  ASSERT_EQ(WriteScoresTo(file.c_str()), 1);
  ResetHighScores();
  ASSERT_EQ(ReadScoresFrom(file.c_str()), 1);
  for (int i = 0; i < kHighScoreCount; ++i) {
    EXPECT_EQ(highScores[i], 100000 - 1000 * i);
    char expected[16];
    std::snprintf(expected, sizeof expected, "%08d", 100000 - 1000 * i);
    EXPECT_STREQ(highScoreTexts[i], expected);
  }
  EXPECT_STREQ(highScoreNames[3], "ABCDEFGHIJKLMNOPQRST");
  EXPECT_STREQ(highScoreNames[9], "Player 9");
}

TEST_F(HighScoresTest, AMissingFileKeepsTheDefaults) {
  EXPECT_EQ(ReadScoresFrom(file.c_str()), 0);
  EXPECT_STREQ(highScoreNames[1], "Orm");
}

TEST_F(HighScoresTest, AShortFileFillsTheRecordsItHoldsAndLeavesTheRest) {
  std::vector<unsigned char> bytes(24 * 2 + 10, 0);
  bytes[0] = 0x10;  // 16
  std::memcpy(&bytes[4], "First", 5);
  bytes[24] = 0x08;
  std::memcpy(&bytes[28], "Second", 6);
  WriteFile(file, bytes);
  ASSERT_EQ(ReadScoresFrom(file.c_str()), 1);
  EXPECT_EQ(highScores[0], 16);
  EXPECT_STREQ(highScoreNames[0], "First");
  EXPECT_EQ(highScores[1], 8);
  EXPECT_STREQ(highScoreNames[1], "Second");
  EXPECT_EQ(highScores[2], 0);
  EXPECT_STREQ(highScoreNames[2], "Tav");
}

TEST_F(HighScoresTest, ADamagedFileWithExtremeScoresNeverOverflowsTheTexts) {
  std::vector<unsigned char> bytes(240, 0xFF);
  bytes[0] = 0x00;
  bytes[1] = 0x00;
  bytes[2] = 0x00;
  bytes[3] = 0x80;  // INT_MIN
  bytes[24] = 0xFF;
  bytes[25] = 0xFF;
  bytes[26] = 0xFF;
  bytes[27] = 0x7F;  // INT_MAX
  WriteFile(file, bytes);
  ASSERT_EQ(ReadScoresFrom(file.c_str()), 1);
  EXPECT_EQ(highScores[0], INT_MIN);
  EXPECT_STREQ(highScoreTexts[0], "-2147483648");
  EXPECT_EQ(highScores[1], INT_MAX);
  EXPECT_STREQ(highScoreTexts[1], "2147483647");
  EXPECT_EQ(std::strlen(highScoreNames[2]), static_cast<size_t>(kNameLength));  // 0xFF bytes, terminated
}

TEST_F(HighScoresTest, AFolderThatCannotBeWrittenLosesNothing) {
  highScores[0] = 777;
  ASSERT_EQ(WriteScoresTo(file.c_str()), 1);
  const std::vector<unsigned char> saved = ReadFile(file);
  chmod(dir.c_str(), 0555);
  if (access(dir.c_str(), W_OK) == 0) {
    // The superuser writes anywhere: for it, a folder standing where the new
    // table would be written fails the write just the same.
    chmod(dir.c_str(), 0755);
    ASSERT_EQ(mkdir((file + ".tmp").c_str(), 0755), 0);
  }
  highScores[0] = 999;
  EXPECT_EQ(WriteScoresTo(file.c_str()), 0);
  EXPECT_EQ(ReadFile(file), saved);
}

TEST_F(HighScoresTest, AReadOnlyScoreFileIsLeftAsItIs) {
  highScores[0] = 5;
  ASSERT_EQ(WriteScoresTo(file.c_str()), 1);
  const std::vector<unsigned char> saved = ReadFile(file);
  chmod(file.c_str(), 0444);
  highScores[0] = 6;
  EXPECT_EQ(WriteScoresTo(file.c_str()), 0);
  EXPECT_EQ(ReadFile(file), saved);
  struct stat info;
  ASSERT_EQ(stat((file + ".tmp").c_str(), &info), -1);  // no temporary left behind
}

TEST_F(HighScoresTest, AFolderInPlaceOfTheScoreFileIsNeitherReadNorReplaced) {
  ASSERT_EQ(mkdir(file.c_str(), 0755), 0);
  ReadScoresFrom(file.c_str());
  EXPECT_STREQ(highScoreNames[0], "Ve Varn Holt");
  EXPECT_EQ(WriteScoresTo(file.c_str()), 0);
  struct stat info;
  ASSERT_EQ(stat(file.c_str(), &info), 0);
  EXPECT_TRUE(S_ISDIR(info.st_mode));
}

TEST_F(HighScoresTest, AQualifyingScoreGoesBelowAnEqualOneAndPushesTheLastOut) {
  highScores[0] = 10000;
  highScores[1] = 6000;
  std::strcpy(highScoreNames[9], "Last");
  EXPECT_EQ(InsertHighScore(5000), 2);
  EXPECT_EQ(highScores[2], 5000);
  EXPECT_STREQ(highScoreTexts[2], "00005000");
  EXPECT_STREQ(highScoreNames[2], "");
  EXPECT_STREQ(highScoreNames[3], "Tav");
  EXPECT_STREQ(highScoreNames[9], "Pim");  // "Last" dropped out
  EXPECT_EQ(InsertHighScore(10000), 1);
  EXPECT_EQ(highScores[0], 10000);
  EXPECT_STREQ(highScoreNames[0], "Ve Varn Holt");
  EXPECT_EQ(InsertHighScore(0), -1);
}

}  // namespace
