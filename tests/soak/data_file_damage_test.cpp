// "kav.dat" cut short, damaged, short of objects or with an object of the
// wrong kind: the game refuses it at start-up (and the engine then exits with
// code 4) instead of letting the library's loader crash on it; an intact file
// is accepted and loads.
#include <allegro.h>
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "engine/data_file_check.h"
#include "engine/graphics_engine.h"
#include "support/allegro_fixture.h"

namespace {

using Bytes = std::vector<unsigned char>;

Bytes ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

uint32_t BigEndian(const Bytes& b, size_t at) {
  return static_cast<uint32_t>(b[at]) << 24 | static_cast<uint32_t>(b[at + 1]) << 16 |
         static_cast<uint32_t>(b[at + 2]) << 8 | b[at + 3];
}

void PutBigEndian(Bytes& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<unsigned char>(v >> (24 - 8 * i));
}

// The game's data file object by object: each record is an object with the
// properties before it, exactly as stored (the file itself is not packed as a
// whole; its objects are, one by one).
struct DataFileRecords {
  Bytes head;  // "slh." "ALL." and the count
  std::vector<Bytes> records;

  explicit DataFileRecords(const Bytes& file) {
    head.assign(file.begin(), file.begin() + 12);
    size_t at = 12, start = 12;
    while (at + 4 <= file.size()) {
      const uint32_t type = BigEndian(file, at);
      if (type == static_cast<uint32_t>(DAT_PROPERTY)) {
        at += 12 + BigEndian(file, at + 8);
        continue;
      }
      at += 12 + BigEndian(file, at + 4);
      records.emplace_back(file.begin() + start, file.begin() + at);
      start = at;
    }
  }

  Bytes Join() const {
    Bytes out = head;
    PutBigEndian(out, 8, static_cast<uint32_t>(records.size()));
    for (const Bytes& record : records) out.insert(out.end(), record.begin(), record.end());
    return out;
  }
};

class DataFileDamageTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { kav_test::InitHeadlessAllegro(); }

  void SetUp() override {
    original = ReadAll(kav_test::DataDir() + "/kav.dat");
    ASSERT_GT(original.size(), 1000u);
    path = ::testing::TempDir() + "kav-damage-" + std::to_string(::getpid()) + ".dat";
  }
  void TearDown() override { std::remove(path.c_str()); }

  const char* Write(const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return path.c_str();
  }

  // What an engine makes of the file at start-up: true when it is taken.
  bool EngineAccepts(const Bytes& bytes) {
    GraphicsEngine other;
    const bool taken = other.InitialiseOffscreen(Write(bytes));
    other.ReleaseOffscreen();
    return taken;
  }

  Bytes original;
  std::string path;
};

TEST_F(DataFileDamageTest, TheGamesOwnDataFileIsIntactAndTaken) {
  EXPECT_TRUE(DataFileIntact(Write(original)));
  EXPECT_TRUE(EngineAccepts(original));
}

TEST_F(DataFileDamageTest, AMissingOrEmptyFileIsRefused) {
  EXPECT_FALSE(DataFileIntact((path + ".absent").c_str()));
  EXPECT_FALSE(DataFileIntact(Write(Bytes())));
  EXPECT_FALSE(EngineAccepts(Bytes()));
}

TEST_F(DataFileDamageTest, AFileCutShortAnywhereIsRefused) {
  // The library's own loader calls through a null pointer on most of these.
  const size_t n = original.size();
  std::vector<size_t> cuts = {4, 8, 11, 12, 15, 16, 40, 100, n / 3, n / 2, 2 * n / 3, n - 100, n - 1};
  std::mt19937 random(7);
  for (int i = 0; i < 8; ++i) cuts.push_back(std::uniform_int_distribution<size_t>(0, n - 1)(random));
  for (size_t cut : cuts) {
    const Bytes shorter(original.begin(), original.begin() + cut);
    EXPECT_FALSE(DataFileIntact(Write(shorter))) << "cut at " << cut;
  }
  EXPECT_FALSE(EngineAccepts(Bytes(original.begin(), original.begin() + n / 2)));
}

TEST_F(DataFileDamageTest, DamagedBytesAreRefusedOrLoadWithoutHarm) {
  // Without the check, most of these crash the loader.
  std::mt19937 random(11);
  int refused = 0;
  constexpr int kFiles = 24;
  for (int i = 0; i < kFiles; ++i) {
    Bytes damaged = original;
    const size_t at = std::uniform_int_distribution<size_t>(0, i % 2 ? 4000 : damaged.size() - 1)(random);
    for (int k = 0; k < 1 + i % 8; ++k)
      damaged[std::min(damaged.size() - 1, at + k * 17)] ^= static_cast<unsigned char>(1 + random() % 255);
    if (!DataFileIntact(Write(damaged))) {
      ++refused;
      continue;
    }
    DATAFILE* data = load_datafile(path.c_str());
    EXPECT_NE(data, nullptr) << "an intact file did not load (damage at " << at << ")";
    if (data) unload_datafile(data);
  }
  EXPECT_GT(refused, kFiles / 2);
}

TEST_F(DataFileDamageTest, AFileShortOfAnObjectLoadsButIsNotTaken) {
  DataFileRecords file(original);
  ASSERT_EQ(file.records.size(), 151u);
  file.records.pop_back();
  const Bytes fewer = file.Join();
  ASSERT_TRUE(DataFileIntact(Write(fewer)));
  EXPECT_FALSE(EngineAccepts(fewer));
}

TEST_F(DataFileDamageTest, AnObjectOfTheWrongKindAtAUsedIndexIsNotTaken) {
  DataFileRecords file(original);
  ASSERT_EQ(file.records.size(), 151u);
  // The title picture and the first font change places.
  std::swap(file.records[133], file.records[134]);
  const Bytes swapped = file.Join();
  ASSERT_TRUE(DataFileIntact(Write(swapped)));
  EXPECT_FALSE(EngineAccepts(swapped));
}

}  // namespace
