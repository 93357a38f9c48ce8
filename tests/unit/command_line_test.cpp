#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

#include "engine/command_line.h"

namespace {

CommandLine Parse(std::initializer_list<const char*> arguments) {
  std::vector<const char*> argv = {"vevarnholt"};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  return ParseCommandLine(static_cast<int>(argv.size()), argv.data());
}

}  // namespace

TEST(CommandLineTest, NoOptionsPlaysAsTheSettingsSay) {
  const CommandLine line = Parse({});
  EXPECT_EQ(line.action, CommandLine::kPlay);
  EXPECT_EQ(line.fullscreen, -1);
  EXPECT_EQ(line.scale, -1);
  EXPECT_FALSE(line.refresh.has_value());
}

TEST(CommandLineTest, HelpAndVersionWinWhereverTheyStand) {
  EXPECT_EQ(Parse({"--help"}).action, CommandLine::kHelp);
  EXPECT_EQ(Parse({"-h"}).action, CommandLine::kHelp);
  EXPECT_EQ(Parse({"--window", "--version"}).action, CommandLine::kVersion);
  EXPECT_EQ(Parse({"--help", "--bogus"}).action, CommandLine::kHelp);
}

TEST(CommandLineTest, DisplayOptionsTheLastOneWins) {
  EXPECT_EQ(Parse({"--window"}).fullscreen, 0);
  EXPECT_EQ(Parse({"--fullscreen"}).fullscreen, 1);
  EXPECT_EQ(Parse({"--fullscreen", "--window"}).fullscreen, 0);
  EXPECT_EQ(Parse({"--scale", "2"}).scale, 2);
  EXPECT_EQ(Parse({"--scale=1"}).scale, 1);
  EXPECT_EQ(Parse({"--scale", "4"}).scale, 4);
  EXPECT_EQ(Parse({"--scale", "fit"}).scale, kScaleFit);
  EXPECT_EQ(Parse({"--scale", "3", "--scale=fit"}).scale, kScaleFit);
  EXPECT_EQ(Parse({"--refresh", "step"}).refresh, RefreshMode::kStep);
  EXPECT_EQ(Parse({"--refresh=step", "--refresh", "display"}).refresh, RefreshMode::kDisplay);
}

TEST(CommandLineTest, ReplayAndVerifyTakeAFile) {
  CommandLine line = Parse({"--replay", "game.replay"});
  EXPECT_EQ(line.action, CommandLine::kReplay);
  EXPECT_EQ(line.file, "game.replay");
  line = Parse({"--verify=-odd name.replay", "--window"});
  EXPECT_EQ(line.action, CommandLine::kVerify);
  EXPECT_EQ(line.file, "-odd name.replay");
}

TEST(CommandLineTest, WrongCommandLinesAreUsageErrors) {
  for (auto wrong : std::vector<std::vector<const char*>>{
           {"--bogus"}, {"-x"}, {"stray"}, {"--scale"}, {"--scale", "5"}, {"--scale", "0"}, {"--scale", "two"}, {"--scale="},
           {"--scale", "Fit"}, {"--scale", "2.5"}, {"--scale", "12"}, {"--refresh"}, {"--refresh", "60"},
           {"--refresh", "vsync"}, {"--refresh="},
           {"--window=1"}, {"--replay"}, {"--replay="}, {"--replay", "a", "--verify", "b"}, {"-"},
           {"--", "--window"}, {"--window", "--", "file"}, {"--server"}, {"--server="},
           {"--server", "127.0.0.1:8470"}, {"--server", "ftp://x"}}) {
    std::vector<const char*> argv = {"vevarnholt"};
    argv.insert(argv.end(), wrong.begin(), wrong.end());
    const CommandLine line = ParseCommandLine(static_cast<int>(argv.size()), argv.data());
    EXPECT_EQ(line.action, CommandLine::kUsageError) << wrong[0];
    EXPECT_FALSE(line.error.empty()) << wrong[0];
  }
}

TEST(CommandLineTest, AnEmptyDoubleDashEndsTheOptions) {
  EXPECT_EQ(Parse({"--window", "--"}).action, CommandLine::kPlay);
  EXPECT_EQ(Parse({"--window", "--"}).fullscreen, 0);
}

TEST(CommandLineTest, ServerTakesAnHttpAddressForThisRun) {
  EXPECT_EQ(Parse({}).server, "");
  EXPECT_EQ(Parse({"--server", "http://127.0.0.1:8470"}).server, "http://127.0.0.1:8470");
  const CommandLine line = Parse({"--window", "--server=https://scores.example.org"});
  EXPECT_EQ(line.action, CommandLine::kPlay);
  EXPECT_EQ(line.server, "https://scores.example.org");
}

TEST(CommandLineTest, StatsGoesWithVerifyBeforeOrAfterItsFile) {
  for (auto arguments : std::vector<std::vector<const char*>>{
           {"--verify", "--stats", "game.replay"}, {"--verify", "game.replay", "--stats"},
           {"--stats", "--verify", "game.replay"}, {"--verify=game.replay", "--stats"}}) {
    std::vector<const char*> argv = {"vevarnholt"};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    const CommandLine line = ParseCommandLine(static_cast<int>(argv.size()), argv.data());
    EXPECT_EQ(line.action, CommandLine::kVerify) << arguments[0] << " " << arguments[1];
    EXPECT_EQ(line.file, "game.replay");
    EXPECT_TRUE(line.stats);
  }
  EXPECT_FALSE(Parse({"--verify", "game.replay"}).stats);
  // A file of that name is still reached with the equals sign.
  const CommandLine odd = Parse({"--verify=--stats"});
  EXPECT_EQ(odd.file, "--stats");
  EXPECT_FALSE(odd.stats);
  for (auto wrong : std::vector<std::vector<const char*>>{
           {"--stats"}, {"--replay", "a", "--stats"}, {"--verify", "--stats"}, {"--stats=1", "--verify", "a"}}) {
    std::vector<const char*> argv = {"vevarnholt"};
    argv.insert(argv.end(), wrong.begin(), wrong.end());
    EXPECT_EQ(ParseCommandLine(static_cast<int>(argv.size()), argv.data()).action, CommandLine::kUsageError)
        << wrong[0];
  }
}
