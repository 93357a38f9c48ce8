#include <gtest/gtest.h>

#include <dirent.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

#include <zlib.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "replay/replay_file.h"
#include "replay/replay_library.h"

namespace {

constexpr int64_t kDay = 86400;
constexpr int64_t kFirstGame = 1796704934;  // 8 December 2026, 04:42:14 UTC

class ReplayLibraryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/kav-replays-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir = pattern;
  }
  void TearDown() override { ASSERT_EQ(std::system(("rm -rf '" + dir + "'").c_str()), 0); }

  // A game played `days` after the first one; its file is named by its date.
  static Replay Game(int64_t days, int32_t score, const std::string& name = "") {
    Replay replay;
    replay.header.date = kFirstGame + days * kDay;
    replay.header.seed = static_cast<uint32_t>(days);
    replay.header.name = name;
    replay.actions.assign(50, kActionRight);
    replay.result = {score, 3, 50};
    return replay;
  }
  std::string Save(int64_t days, int32_t score, const std::string& name = "") {
    const Replay replay = Game(days, score, name);
    const std::string file = ReplayFileName(replay.header.date, replay.header.seed);
    EXPECT_TRUE(WriteReplayFile(dir + "/" + file, replay));
    return file;
  }
  // A game of version 1.0.0, whose rules differ: its header as that version
  // wrote it (format 1) over a replay of today's.
  std::string SaveOfVersion100(int64_t days) {
    const std::string file = Save(days, 999999);
    Replay replay;
    EXPECT_EQ(ReadReplayFile(dir + "/" + file, replay), ReplayError::kNone);
    std::vector<uint8_t> bytes = SerializeReplay(replay);
    // HEAD's data: format 2 -> 1, the rules version and the kind and wave
    // bytes dropped, its length and checksum made good again.
    const size_t head = 8;
    uint32_t length = static_cast<uint32_t>(bytes[head] << 24 | bytes[head + 1] << 16 | bytes[head + 2] << 8 |
                                            bytes[head + 3]);
    std::vector<uint8_t> data(bytes.begin() + head + 8, bytes.begin() + head + 8 + length);
    data[3] = 1;
    data.erase(data.begin() + 4, data.begin() + 8);
    data.resize(data.size() - 2);
    std::vector<uint8_t> chunk = {0, 0, 0, static_cast<uint8_t>(data.size()), 'H', 'E', 'A', 'D'};
    chunk.insert(chunk.end(), data.begin(), data.end());
    const uint32_t crc = static_cast<uint32_t>(crc32(0, chunk.data() + 4, static_cast<uInt>(chunk.size() - 4)));
    for (int shift = 24; shift >= 0; shift -= 8) chunk.push_back(static_cast<uint8_t>(crc >> shift));
    bytes.erase(bytes.begin() + head, bytes.begin() + head + 12 + length);
    bytes.insert(bytes.begin() + head, chunk.begin(), chunk.end());
    std::ofstream(dir + "/" + file, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    EXPECT_EQ(ReadReplayFile(dir + "/" + file, replay), ReplayError::kNone);
    EXPECT_EQ(replay.header.rulesVersion, 1u);
    return file;
  }
  void WriteText(const std::string& name, const std::string& text) { std::ofstream(dir + "/" + name) << text; }
  void SetModified(const std::string& name, int64_t when) {
    const timeval times[2] = {{static_cast<time_t>(when), 0}, {static_cast<time_t>(when), 0}};
    ASSERT_EQ(utimes((dir + "/" + name).c_str(), times), 0);
  }
  std::set<std::string> Files() const {
    std::set<std::string> names;
    if (DIR* folder = opendir(dir.c_str())) {
      while (const dirent* entry = readdir(folder))
        if (entry->d_name[0] != '.') names.insert(entry->d_name);
      closedir(folder);
    }
    return names;
  }
  std::string dir;
};

TEST_F(ReplayLibraryTest, AReplayIsNamedByItsUtcDateAndSeed) {
  EXPECT_EQ(ReplayFileName(kFirstGame, 0x1a2b3c4d), "20261208-044214-1a2b3c4d.replay");
  EXPECT_EQ(ReplayFileName(0, 0), "19700101-000000-00000000.replay");
  EXPECT_EQ(ReplayFileName(kMaxReplayDate, 0xFFFFFFFF), "99991231-235959-ffffffff.replay");
}

TEST_F(ReplayLibraryTest, EnsureFolderMakesTheMissingFoldersOnlyWhereNothingElseStands) {
  EXPECT_TRUE(EnsureFolder(dir + "/share/vevarnholt/replays"));
  struct stat info;
  ASSERT_EQ(stat((dir + "/share/vevarnholt/replays").c_str(), &info), 0);
  EXPECT_TRUE(S_ISDIR(info.st_mode));
  EXPECT_EQ(info.st_mode & 0077, 0u);  // the player's own
  EXPECT_TRUE(EnsureFolder(dir + "/share/vevarnholt/replays"));
  WriteText("file", "not a folder");
  EXPECT_FALSE(EnsureFolder(dir + "/file/replays"));
  EXPECT_FALSE(EnsureFolder(dir + "/file"));
}

TEST_F(ReplayLibraryTest, PruningKeepsTheTableGamesAndTheTwentyMostRecent) {
  std::set<std::string> kept;
  // Thirty games without a table place, one a day; the last twenty stay.
  for (int day = 0; day < 30; ++day) {
    const std::string file = Save(day, 100 + day);
    if (day >= 10) kept.insert(file);
  }
  // Old games still in the table stay; one that dropped out of it goes.
  kept.insert(Save(-50, 90000, "Ann"));
  kept.insert(Save(-40, 80000, "Bo"));
  Save(-30, 70000, "Cy");
  // Of two alike, the table holds the earlier.
  kept.insert(Save(-20, 5000, "Ann"));
  Save(-19, 5000, "Ann");
  // A damaged replay is never removed, old or new, nor one of other rules;
  // neither counts among the recent.
  WriteText("old-damaged.replay", "garbage");
  SetModified("old-damaged.replay", kFirstGame - 90 * kDay);
  kept.insert("old-damaged.replay");
  WriteText("new-damaged.replay", "garbage");
  SetModified("new-damaged.replay", kFirstGame + 40 * kDay);
  kept.insert("new-damaged.replay");
  kept.insert(SaveOfVersion100(-60));
  // Nothing but replay files is touched.
  for (const char* other : {"notes.txt", "KAVscores.sav", "game.replay.tmp", "replay"}) {
    WriteText(other, "keep me");
    SetModified(other, 0);
    kept.insert(other);
  }
  ASSERT_EQ(mkdir((dir + "/old.replay").c_str(), 0755), 0);
  ASSERT_EQ(symlink("/dev/null", (dir + "/link.replay").c_str()), 0);
  kept.insert("old.replay");
  kept.insert("link.replay");

  PruneReplays(dir, {{90000, "Ann", ""}, {80000, "Bo", ""}, {5000, "Ann", ""}, {100, "Nobody", ""}});
  EXPECT_EQ(Files(), kept);
}

TEST_F(ReplayLibraryTest, ATableLineKeepsTheReplayItsListNamesWhateverNameTheReplayHolds) {
  // The program ended before the name typed reached the replay: the table's
  // replay list still knows the game.
  const std::string unnamed = Save(-50, 90000);
  const std::string sameScore = Save(-49, 90000, "Ann");
  Save(-48, 90000, "Ann");
  for (int day = 0; day < 20; ++day) Save(day, 10);
  PruneReplays(dir, {{90000, "Ann", unnamed}, {90000, "Ann", ""}});
  const std::set<std::string> files = Files();
  EXPECT_EQ(files.count(unnamed), 1u);
  // The second line, without a name in the list, keeps the earliest alike.
  EXPECT_EQ(files.count(sameScore), 1u);
  EXPECT_EQ(files.size(), 22u);
}

TEST_F(ReplayLibraryTest, ReplaysThatCannotBeOpenedAreNeverRemoved) {
  std::set<std::string> all;
  for (int day = 0; day < 25; ++day) all.insert(Save(day, 10));
  // Too many files open: the folder can be listed, no replay opened.
  rlimit saved;
  ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &saved), 0);
  int lowest = 0;
  while (fcntl(lowest, F_GETFD) != -1 || errno != EBADF) ++lowest;
  rlimit tight = saved;
  tight.rlim_cur = static_cast<rlim_t>(lowest + 1);
  ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &tight), 0);
  PruneReplays(dir, {}, 5);
  ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &saved), 0);
  EXPECT_EQ(Files(), all);
  PruneReplays(dir, {}, 5);
  EXPECT_EQ(Files().size(), 5u);
}

TEST_F(ReplayLibraryTest, PruningWithFewFilesOrNoFolderRemovesNothing) {
  const std::string one = Save(0, 10), two = Save(1, 20);
  PruneReplays(dir, {});
  EXPECT_EQ(Files(), (std::set<std::string>{one, two}));
  PruneReplays(dir, {}, 1);
  EXPECT_EQ(Files(), std::set<std::string>{two});
  PruneReplays(dir + "/missing", {});
  // No folder (the player's files are not kept) is not the working folder.
  char here[4096];
  ASSERT_NE(getcwd(here, sizeof here), nullptr);
  ASSERT_EQ(chdir(dir.c_str()), 0);
  PruneReplays("", {}, 0);
  std::string path;
  EXPECT_FALSE(FindBestReplay("", path));
  ASSERT_EQ(chdir(here), 0);
  EXPECT_EQ(Files(), std::set<std::string>{two});
}

TEST_F(ReplayLibraryTest, TheBestReplayIsTheHighestReadableScoreAndTheLatestOfEqualOnes) {
  std::string path;
  EXPECT_FALSE(FindBestReplay(dir, path));
  EXPECT_FALSE(FindBestReplay(dir + "/missing", path));
  SaveOfVersion100(5);  // the highest score, but it cannot be played here
  Save(0, 3000, "Ann");
  const std::string best = Save(1, 7000, "Bo");
  Save(2, 5000);
  Save(-1, 7000, "Cy");
  // A file claiming more whose result was changed after it was written.
  const std::string forged = Save(3, 1000);
  std::fstream patch(dir + "/" + forged, std::ios::in | std::ios::out | std::ios::binary);
  Replay replay;
  ASSERT_EQ(ReadReplayFile(dir + "/" + forged, replay), ReplayError::kNone);
  patch.seekp(-28, std::ios::end);  // the score's top byte: before the wave, steps, CRC and end mark
  patch.put('\x7F');
  patch.close();
  ASSERT_EQ(ReadReplayFile(dir + "/" + forged, replay), ReplayError::kDamaged);

  ASSERT_TRUE(FindBestReplay(dir, path, &replay));
  EXPECT_EQ(path, dir + "/" + best);
  EXPECT_EQ(replay.result.score, 7000);
  EXPECT_EQ(replay.header.name, "Bo");
}

}  // namespace
