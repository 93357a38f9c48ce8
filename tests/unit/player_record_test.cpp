// The player's record file: totals written are read back; a file that is
// missing, cut, lengthened, of another kind, altered or out of range reads as
// zeros with one line and is replaced by the next game's end; one of a newer
// format and one made read-only are left as they are. (The fuzz target sees
// that totals never wrap.)
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "engine/game_folders.h"
#include "game/player_record.h"

namespace {

using Bytes = std::vector<uint8_t>;

PlayerRecord Sample() {
  PlayerRecord r;
  r.games = 12;
  r.steps = 180000;
  r.enemies = 1234;
  r.humansRescued = 17;
  r.bestWave = 14;
  return r;
}

GameSummary AGame(uint32_t steps, int enemies, int rescued, int wave, int highest = 0) {
  GameSummary game;
  game.steps = steps;
  game.wave = wave;
  game.numbers.enemies[0] = enemies;
  game.numbers.humansRescued = rescued;
  game.numbers.highestWave = highest;
  return game;
}

// The checksum put right after a change, so that only the check under test
// can refuse the file.
Bytes Resealed(Bytes bytes) {
  const uint32_t crc = static_cast<uint32_t>(crc32(0L, bytes.data(), 48));
  for (int k = 0; k < 4; ++k) bytes[48 + k] = static_cast<uint8_t>(crc >> (24 - 8 * k));
  return bytes;
}

class PlayerRecordTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/kav-record-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
    file_ = dir_ + "/" + kRecordFileName;
    saved_ = gameFolders;
    gameFolders = GameFolders();
    gameFolders.portable = false;
    gameFolders.user = dir_;
  }
  void TearDown() override {
    gameFolders = saved_;
    playerRecord = PlayerRecord();
    ASSERT_EQ(std::system(("chmod -R u+w '" + dir_ + "'; rm -rf '" + dir_ + "'").c_str()), 0);
  }
  void Write(const Bytes& bytes) {
    std::ofstream out(file_, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }
  Bytes Read() {
    std::ifstream in(file_, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  }
  // What start-up says of the file, and the record it gives.
  std::string Load() {
    testing::internal::CaptureStderr();
    LoadPlayerRecord();
    return testing::internal::GetCapturedStderr();
  }

  std::string dir_, file_;
  GameFolders saved_;
};

TEST_F(PlayerRecordTest, ARecordWrittenIsReadBackTheSame) {
  const Bytes bytes = SerializePlayerRecord(Sample());
  ASSERT_EQ(bytes.size(), kRecordFileSize);
  EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 8), (Bytes{0x8B, 'K', 'V', 'P', '\r', '\n', 0x1A, '\n'}));
  EXPECT_EQ(Bytes(bytes.begin() + 8, bytes.begin() + 12), (Bytes{0, 0, 0, 1}));
  ASSERT_TRUE(WritePlayerRecordFile(file_, Sample()));
  EXPECT_FALSE(access((file_ + ".tmp").c_str(), F_OK) == 0) << "no temporary file is left";
  PlayerRecord read;
  EXPECT_EQ(ReadPlayerRecordFile(file_, read), RecordRead::kGood);
  EXPECT_EQ(read, Sample());
  EXPECT_EQ(Read(), bytes);
}

TEST_F(PlayerRecordTest, NoFileIsAPlayerWithoutGamesAndNothingIsSaid) {
  EXPECT_EQ(Load(), "");
  EXPECT_EQ(playerRecord, PlayerRecord());
}

TEST_F(PlayerRecordTest, EveryDamagedFileGivesZerosAndOneLine) {
  const Bytes good = SerializePlayerRecord(Sample());
  std::vector<std::pair<const char*, Bytes>> damaged;
  damaged.push_back({"empty", {}});
  damaged.push_back({"cut", Bytes(good.begin(), good.begin() + 40)});
  Bytes longer = good;
  longer.push_back(0);
  damaged.push_back({"longer", longer});
  Bytes other = good;
  other[3] = 'X';
  damaged.push_back({"another kind", other});
  Bytes flipped = good;
  flipped[20] ^= 0x10;
  damaged.push_back({"altered", flipped});
  Bytes version0 = good;
  version0[11] = 0;
  damaged.push_back({"version 0", Resealed(version0)});
  Bytes wave21 = good;
  wave21[47] = 21;
  damaged.push_back({"wave 21", Resealed(wave21)});
  Bytes waveWithoutGames = SerializePlayerRecord(PlayerRecord());
  waveWithoutGames[47] = 3;
  damaged.push_back({"a best wave without a game", Resealed(waveWithoutGames)});
  damaged.push_back({"text", Bytes{'g', 'a', 'm', 'e', 's', '=', '3', '\n'}});

  for (const auto& [what, bytes] : damaged) {
    Write(bytes);
    playerRecord = Sample();
    const std::string said = Load();
    EXPECT_EQ(playerRecord, PlayerRecord()) << what;
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << what << ": " << said;
    EXPECT_NE(said.find(file_), std::string::npos) << what << ": " << said;
    EXPECT_NE(said.find("starts again from zero"), std::string::npos) << what << ": " << said;
  }
  // The next game's end replaces the damaged file with a good one.
  RecordFinishedGame(AGame(500, 3, 1, 2));
  PlayerRecord read;
  ASSERT_EQ(ReadPlayerRecordFile(file_, read), RecordRead::kGood);
  EXPECT_EQ(read.games, 1u);
  EXPECT_EQ(read.steps, 500u);
  EXPECT_EQ(read.bestWave, 2);
}

TEST_F(PlayerRecordTest, AFolderOrAPipeInPlaceOfTheFileIsNoRecordAndNeverHangs) {
  ASSERT_EQ(mkfifo(file_.c_str(), 0600), 0);
  std::string said = Load();
  EXPECT_NE(said.find("not a regular file"), std::string::npos) << said;
  unlink(file_.c_str());
  ASSERT_EQ(mkdir(file_.c_str(), 0700), 0);
  said = Load();
  EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
  EXPECT_EQ(playerRecord, PlayerRecord());
}

TEST_F(PlayerRecordTest, ARecordOfANewerFormatIsLeftAsItIs) {
  Bytes newer = SerializePlayerRecord(Sample());
  newer[11] = 2;
  newer = Resealed(newer);
  Write(newer);
  const std::string said = Load();
  EXPECT_NE(said.find("newer version"), std::string::npos) << said;
  EXPECT_EQ(playerRecord, PlayerRecord());
  RecordFinishedGame(AGame(500, 3, 1, 2));
  EXPECT_EQ(Read(), newer);
}

TEST_F(PlayerRecordTest, AReadOnlyRecordIsLeftAsItIs) {
  ASSERT_TRUE(WritePlayerRecordFile(file_, Sample()));
  ASSERT_EQ(chmod(file_.c_str(), 0444), 0);
  Load();
  EXPECT_EQ(playerRecord, Sample());
  const Bytes before = Read();
  testing::internal::CaptureStderr();
  RecordFinishedGame(AGame(500, 3, 1, 2));
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_EQ(Read(), before);
  EXPECT_EQ(playerRecord.games, 13u) << "the run itself still counts the game";
}

TEST_F(PlayerRecordTest, AGameAddsItsTotalsAndRaisesTheBestWave) {
  PlayerRecord record;
  AddGameToRecord(record, AGame(2849, 9, 1, 2));
  EXPECT_EQ(record.games, 1u);
  EXPECT_EQ(record.steps, 2849u);
  EXPECT_EQ(record.enemies, 9u);
  EXPECT_EQ(record.humansRescued, 1u);
  EXPECT_EQ(record.bestWave, 2);
  // A game past wave 20 ends on 11..20 again: the highest wave begun counts.
  GameSummary looped = AGame(100, 1, 0, 11, 20);
  looped.numbers.bosses = 1;
  AddGameToRecord(record, looped);
  EXPECT_EQ(record.games, 2u);
  EXPECT_EQ(record.enemies, 11u) << "the boss counts among the enemies";
  EXPECT_EQ(record.bestWave, 20);
  AddGameToRecord(record, AGame(100, 0, 0, 3));
  EXPECT_EQ(record.bestWave, 20) << "a lower wave leaves the best";
}

}  // namespace
