#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "engine/game_folders.h"
#include "game/high_scores.h"

namespace {

FolderEnvironment Installed() {
  FolderEnvironment environment;
  environment.workingDirectory = "/home/ann/Documents";
  environment.executable = "/opt/vv/games/vevarnholt";
  environment.hasHome = true;
  environment.home = "/home/ann";
  return environment;
}

bool IsFolder(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace

TEST(GameFoldersTest, AWorkingDirectoryHoldingTheDataFileIsAPortableCopyKeepingEverythingThere) {
  FolderEnvironment environment = Installed();
  environment.dataInWorkingDirectory = true;
  const GameFolders folders = ResolveGameFolders(environment);
  EXPECT_TRUE(folders.portable);
  EXPECT_EQ(folders.DataFile("kav.dat"), "kav.dat");
  EXPECT_EQ(folders.ScoreFile(), "KAVscores.sav");
  EXPECT_EQ(folders.SettingsFile(), "vevarnholt.cfg");
  EXPECT_EQ(folders.ReplayFolder(), "replays");
}

TEST(GameFoldersTest, AnInstalledGameReadsBesideItsProgramAndWritesUnderTheHomeFolder) {
  const GameFolders folders = ResolveGameFolders(Installed());
  EXPECT_FALSE(folders.portable);
  EXPECT_EQ(folders.DataFile("kav.dat"), "/opt/vv/share/games/vevarnholt/kav.dat");
  EXPECT_EQ(folders.ScoreFile(), "/home/ann/.local/share/vevarnholt/KAVscores.sav");
  EXPECT_EQ(folders.ReplayFolder(), "/home/ann/.local/share/vevarnholt/replays");
  EXPECT_EQ(folders.SettingsFile(), "/home/ann/.config/vevarnholt/vevarnholt.cfg");
  ASSERT_EQ(folders.searched.size(), 2u);
  EXPECT_EQ(folders.searched[0], "/home/ann/Documents");
  EXPECT_EQ(folders.searched[1], "/opt/vv/share/games/vevarnholt");
}

TEST(GameFoldersTest, AbsoluteXdgFoldersAreUsedAndEmptyOrRelativeOnesIgnored) {
  FolderEnvironment environment = Installed();
  environment.hasDataHome = environment.hasConfigHome = true;
  environment.dataHome = "/srv/data/";
  environment.configHome = "/srv/config";
  GameFolders folders = ResolveGameFolders(environment);
  EXPECT_EQ(folders.ScoreFile(), "/srv/data/vevarnholt/KAVscores.sav");
  EXPECT_EQ(folders.SettingsFile(), "/srv/config/vevarnholt/vevarnholt.cfg");

  for (const char* ignored : {"", "relative/data", "./data"}) {
    environment.dataHome = environment.configHome = ignored;
    folders = ResolveGameFolders(environment);
    EXPECT_EQ(folders.ScoreFile(), "/home/ann/.local/share/vevarnholt/KAVscores.sav") << ignored;
    EXPECT_EQ(folders.SettingsFile(), "/home/ann/.config/vevarnholt/vevarnholt.cfg") << ignored;
  }
}

TEST(GameFoldersTest, WithoutAUsableHomeThePlayersFilesAreNotKept) {
  for (const char* home : {"", "home/ann"}) {
    FolderEnvironment environment = Installed();
    environment.home = home;
    const GameFolders folders = ResolveGameFolders(environment);
    EXPECT_TRUE(folders.unkept) << home;
    EXPECT_EQ(folders.ScoreFile(), "") << home;
    EXPECT_EQ(folders.ReplayFolder(), "") << home;
    EXPECT_EQ(folders.SettingsFile(), "") << home;
  }
  FolderEnvironment unset = Installed();
  unset.hasHome = false;
  EXPECT_TRUE(ResolveGameFolders(unset).unkept);
  // Both XDG folders given outright need no home.
  unset.hasDataHome = unset.hasConfigHome = true;
  unset.dataHome = "/srv/data";
  unset.configHome = "/srv/config";
  EXPECT_EQ(ResolveGameFolders(unset).ScoreFile(), "/srv/data/vevarnholt/KAVscores.sav");
}

TEST(GameFoldersTest, WithoutItsOwnPathTheProgramFindsNoDataFolder) {
  FolderEnvironment environment = Installed();
  environment.executable.clear();
  const GameFolders folders = ResolveGameFolders(environment);
  EXPECT_EQ(folders.searched.size(), 1u);
  EXPECT_NE(access(folders.DataFile("kav.dat").c_str(), F_OK), 0);
}

class FolderMakingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/kav-folders-XXXXXX";
    root = mkdtemp(pattern);
    saved = gameFolders;
    ResetHighScores();
  }
  void TearDown() override {
    gameFolders = saved;
    ResetHighScores();
    const std::string command = "rm -rf '" + root + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
  }
  std::string root;
  GameFolders saved;
};

TEST_F(FolderMakingTest, TheScoreFolderIsMadeOnTheFirstWriteBelowTheHome) {
  FolderEnvironment environment = Installed();
  environment.home = root;
  gameFolders = ResolveGameFolders(environment);
  ASSERT_EQ(WriteScores(), 1);
  EXPECT_TRUE(IsFolder(root + "/.local/share/vevarnholt"));
  struct stat info;
  ASSERT_EQ(stat((root + "/.local/share/vevarnholt/KAVscores.sav").c_str(), &info), 0);
  EXPECT_EQ(info.st_size, 240);
  highScores[0] = 777;
  ASSERT_EQ(ReadScores(), 1);
  EXPECT_EQ(highScores[0], 0);
}

TEST_F(FolderMakingTest, AMissingHomeIsNeverMadeAndTheTableStaysUnsaved) {
  FolderEnvironment environment = Installed();
  environment.home = root + "/gone";
  gameFolders = ResolveGameFolders(environment);
  highScores[0] = 5000;
  EXPECT_EQ(WriteScores(), 0);
  EXPECT_FALSE(IsFolder(root + "/gone"));
  EXPECT_EQ(highScores[0], 5000);
  EXPECT_EQ(ReadScores(), 0);
}

TEST_F(FolderMakingTest, APortableCopyMakesItsReplaysFolderInTheWorkingDirectory) {
  char here[4096];
  ASSERT_NE(getcwd(here, sizeof here), nullptr);
  ASSERT_EQ(chdir(root.c_str()), 0);
  const bool made = MakeFolders("replays", "");
  const bool isFolder = IsFolder(root + "/replays");
  ASSERT_EQ(chdir(here), 0);
  EXPECT_TRUE(made);
  EXPECT_TRUE(isFolder);
}

TEST_F(FolderMakingTest, AnXdgFolderGivenOutrightIsMadeInFull) {
  EXPECT_TRUE(MakeFolders(root + "/a/b/c", ""));
  EXPECT_TRUE(IsFolder(root + "/a/b/c"));
  EXPECT_TRUE(MakeFolders(root + "/a/b/c", ""));
  EXPECT_FALSE(MakeFolders(root + "/x/y", root + "/x"));
  EXPECT_FALSE(IsFolder(root + "/x"));
}

TEST_F(FolderMakingTest, AFileWhereAFolderShouldBeLeavesTheTableUnsaved) {
  FolderEnvironment environment = Installed();
  environment.home = root;
  gameFolders = ResolveGameFolders(environment);
  ASSERT_TRUE(MakeFolders(root + "/.local", root));
  FILE* blocker = std::fopen((root + "/.local/share").c_str(), "w");
  ASSERT_NE(blocker, nullptr);
  std::fclose(blocker);
  EXPECT_EQ(WriteScores(), 0);
}
