#include <gtest/gtest.h>
#include <zlib.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "replay/replay_file.h"

namespace {

using Bytes = std::vector<uint8_t>;
using Chunks = std::vector<std::pair<std::string, Bytes>>;

// Keys as a player holds them: a direction for a few steps, fire tapped, now
// and then a smart bomb.
Bytes PlayedActions(size_t steps) {
  std::mt19937 random(7);
  const uint8_t vertical[3] = {0, kActionUp, kActionDown}, horizontal[3] = {0, kActionLeft, kActionRight};
  Bytes actions;
  uint8_t held = 0;
  int holdLeft = 0, fireLeft = 0;
  bool firing = false;
  for (size_t i = 0; i < steps; ++i) {
    if (--holdLeft <= 0) {
      held = vertical[random() % 3] | horizontal[random() % 3];
      holdLeft = 2 + static_cast<int>(random() % 10);
    }
    if (--fireLeft <= 0) {
      firing = !firing;
      fireLeft = static_cast<int>(firing ? 1 + random() % 3 : 2 + random() % 8);
    }
    actions.push_back(held | (firing ? kActionFire : 0) | (random() % 3000 == 0 ? kActionBomb : 0));
  }
  return actions;
}

ReplayHeader Header(const std::string& version, uint32_t seed, int64_t date, const std::string& name,
                    bool practice = false, int startWave = 1) {
  ReplayHeader header;
  header.rulesVersion = kRulesVersion;
  header.gameVersion = version;
  header.seed = seed;
  header.date = date;
  header.name = name;
  header.practice = practice;
  header.startWave = startWave;
  return header;
}

Replay SampleReplay(size_t steps = 300) {
  Replay replay;
  replay.header = Header("1.1.0", 0x1a2b3c4d, 1796704934, "Marisol");
  replay.actions = PlayedActions(steps);
  replay.result = {48250, 6, static_cast<uint32_t>(steps)};
  return replay;
}

// The file built field by field, apart from the writer, for files the writer
// refuses to make.
void PutU32(Bytes& out, uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(v >> shift));
}

// The header of a format-2 file (format 1, of version 1.0.0, had no rules
// version, kind or starting wave).
Bytes Head(uint32_t version, const std::string& name = "Marisol", int64_t date = 1796704934, uint8_t kind = 0,
           uint8_t startWave = 1) {
  Bytes data;
  PutU32(data, version);
  if (version >= 2) PutU32(data, kRulesVersion);
  for (uint32_t word : {0x1a2b3c4du, static_cast<uint32_t>(static_cast<uint64_t>(date) >> 32),
                        static_cast<uint32_t>(date)})
    PutU32(data, word);
  for (const std::string& text : {std::string(version >= 2 ? "1.1.0" : "1.0.0"), name}) {
    data.push_back(static_cast<uint8_t>(text.size()));
    data.insert(data.end(), text.begin(), text.end());
  }
  if (version >= 2) {
    data.push_back(kind);
    data.push_back(startWave);
  }
  return data;
}

Bytes Deflate(const Bytes& raw) {
  uLongf size = compressBound(raw.size());
  Bytes packed(size);
  EXPECT_EQ(compress2(packed.data(), &size, raw.data(), raw.size(), 9), Z_OK);
  packed.resize(size);
  return packed;
}

Bytes Result(int32_t score, int32_t wave, uint32_t steps) {
  Bytes data;
  for (uint32_t word : {static_cast<uint32_t>(score), static_cast<uint32_t>(wave), steps}) PutU32(data, word);
  return data;
}

// The sample's chunks, changed as a case needs, framed with good checksums.
Bytes SampleFile(const std::function<void(Chunks&)>& change = nullptr) {
  const Replay sample = SampleReplay();
  Chunks chunks = {{"HEAD", Head(2)}, {"ACTS", Deflate(sample.actions)}, {"RSLT", Result(48250, 6, 300)}, {"DONE", {}}};
  if (change) change(chunks);
  Bytes file = {0x8B, 'K', 'V', 'R', '\r', '\n', 0x1A, '\n'};
  for (const auto& [type, data] : chunks) {
    PutU32(file, static_cast<uint32_t>(data.size()));
    Bytes typed(type.begin(), type.end());
    typed.insert(typed.end(), data.begin(), data.end());
    file.insert(file.end(), typed.begin(), typed.end());
    PutU32(file, static_cast<uint32_t>(crc32(0, typed.data(), typed.size())));
  }
  return file;
}

ReplayError Parse(const Bytes& bytes, std::string* detail = nullptr) {
  Replay out;
  return ParseReplay(bytes.data(), bytes.size(), out, detail);
}

// Where a chunk's data starts in a file, and its length.
std::pair<size_t, size_t> FindChunk(const Bytes& file, const char* type) {
  for (size_t at = 8; at + 12 <= file.size();) {
    const size_t length = static_cast<size_t>(file[at]) << 24 | file[at + 1] << 16 | file[at + 2] << 8 | file[at + 3];
    if (std::string(file.begin() + at + 4, file.begin() + at + 8) == type) return {at + 8, length};
    at += 12 + length;
  }
  ADD_FAILURE() << "no chunk " << type;
  return {0, 0};
}

}  // namespace

// ---- Writing and reading back

TEST(ReplayFileTest, AReplayReadsBackAsWrittenInTheDocumentedLayout) {
  EXPECT_EQ(SerializeReplay(SampleReplay()), SampleFile());
  Replay edges;
  edges.header = Header(std::string(31, '~'), 0xFFFFFFFF, kMaxReplayDate, "", true, kReplayLastStartWave);
  edges.result = {2147483647, 2147483647, 0};
  Replay named = edges;
  named.header = Header("", 0, 0, "ABCDEFGHIJKLMNOPQRS ", true, 1);  // 20 characters
  named.actions = {kActionMask, 0, kActionUp | kActionFire};
  named.result.steps = 3;
  Replay checked = SampleReplay(1000);
  checked.checkpoints = {0xDEADBEEF, 0, 0xFFFFFFFF, 42};  // one for each 250 steps
  for (const Replay& replay : {SampleReplay(), edges, named, checked}) {
    const Bytes bytes = SerializeReplay(replay);
    Replay read;
    std::string detail = "unchanged?";
    ASSERT_EQ(ParseReplay(bytes.data(), bytes.size(), read, &detail), ReplayError::kNone);
    EXPECT_EQ(detail, "");
    EXPECT_EQ(read, replay);
  }
}

TEST(ReplayFileTest, ThirtyMinutesOfPlayTakeFarLessThan100KB) {
  const Replay game = SampleReplay(30 * 60 * 50);
  const Bytes bytes = SerializeReplay(game);
  RecordProperty("bytes", static_cast<int>(bytes.size()));  // 25,334 bytes
  EXPECT_LT(bytes.size(), 40u * 1024);
  Replay read;
  ASSERT_EQ(ParseReplay(bytes.data(), bytes.size(), read), ReplayError::kNone);
  EXPECT_EQ(read, game);
}

TEST(ReplayFileTest, AReplayBreakingTheRulesIsNeitherSerializedNorWritten) {
  const std::function<void(Replay&)> breaks[] = {
      [](Replay& r) { r.result.steps += 1; },        [](Replay& r) { r.actions[5] = 0x40; },
      [](Replay& r) { r.header.name = "Tab\there"; }, [](Replay& r) { r.header.name = std::string(21, 'A'); },
      [](Replay& r) { r.header.date = -1; },         [](Replay& r) { r.result.wave = 0; },
      [](Replay& r) { r.result.score = -5; },        [](Replay& r) { r.header.formatVersion = 1; },
      [](Replay& r) { r.header.startWave = 3; },     [](Replay& r) { r.header.practice = true, r.header.startWave = 21; },
      [](Replay& r) { r.checkpointInterval = 0, r.checkpoints = {1}; },
      [](Replay& r) { r.checkpoints = {1, 2}; },  // 300 steps hold one whole interval
  };
  EXPECT_TRUE(ReplayWellFormed(SampleReplay()));
  for (const auto& change : breaks) {
    Replay bad = SampleReplay();
    change(bad);
    EXPECT_FALSE(ReplayWellFormed(bad));
    EXPECT_TRUE(SerializeReplay(bad).empty());
    EXPECT_FALSE(WriteReplayFile("/tmp/never-written.replay", bad));
  }
  EXPECT_NE(access("/tmp/never-written.replay", F_OK), 0);
}

// ---- Damaged and foreign files

TEST(ReplayFileTest, ABadChecksumInAnyChunkIsDamageNamingTheChunk) {
  for (const auto& [type, name] : {std::pair<const char*, const char*>{"HEAD", "header"},
                                   {"ACTS", "actions"}, {"RSLT", "result"}, {"DONE", "end mark"}}) {
    Bytes bad = SerializeReplay(SampleReplay());
    const auto [data, length] = FindChunk(bad, type);
    bad[data + length + 3] ^= 0x01;  // the CRC's last byte
    std::string detail;
    EXPECT_EQ(Parse(bad, &detail), ReplayError::kDamaged) << type;
    EXPECT_EQ(ReplayErrorMessage(ReplayError::kDamaged, detail),
              std::string("damaged (checksum mismatch in the ") + name + ")");
  }
}

TEST(ReplayFileTest, AFileCutAtAnyLengthIsTruncated) {
  const Bytes good = SerializeReplay(SampleReplay(40));
  for (size_t length = 0; length < good.size(); ++length)
    EXPECT_EQ(Parse(Bytes(good.begin(), good.begin() + length)), ReplayError::kTruncated) << "cut at " << length;
  std::string detail;
  EXPECT_EQ(Parse({}, &detail), ReplayError::kTruncated);
  EXPECT_EQ(ReplayErrorMessage(ReplayError::kTruncated, detail), "truncated (empty file)");
}

TEST(ReplayFileTest, AnyChangedByteIsFoundAndOneInTheActionsIsDamage) {
  const Bytes good = SerializeReplay(SampleReplay(200));
  const auto [acts, length] = FindChunk(good, "ACTS");
  for (size_t at = 0; at < good.size(); ++at) {
    for (uint8_t flip : {0x01, 0x80, 0xFF}) {
      Bytes bad = good;
      bad[at] ^= flip;
      const ReplayError error = Parse(bad);
      EXPECT_NE(error, ReplayError::kNone) << "byte " << at;
      if (at >= acts && at < acts + length) {
        EXPECT_EQ(error, ReplayError::kDamaged) << "byte " << at;
      }
    }
  }
}

TEST(ReplayFileTest, FilesOfOtherKindsAreNotReplaysAndATextModeTransferIsDamage) {
  const std::string text = "score 48250, wave 6\nMarisol\n";
  EXPECT_EQ(Parse({0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13, 'I', 'H', 'D', 'R'}),
            ReplayError::kNotAReplay);
  EXPECT_EQ(Parse(Bytes(text.begin(), text.end())), ReplayError::kNotAReplay);
  EXPECT_EQ(Parse(Bytes(240, 0)), ReplayError::kNotAReplay);  // a score file
  EXPECT_EQ(ReplayErrorMessage(ReplayError::kNotAReplay), "not a replay file");

  Bytes lineFeeds = SerializeReplay(SampleReplay());
  lineFeeds.erase(lineFeeds.begin() + 4);  // "\r\n" became "\n"
  std::string detail;
  EXPECT_EQ(Parse(lineFeeds, &detail), ReplayError::kDamaged);
  EXPECT_EQ(detail, "signature changed, as by a text-mode transfer");
  Bytes sevenBit = SerializeReplay(SampleReplay());
  sevenBit[0] &= 0x7F;
  EXPECT_EQ(Parse(sevenBit), ReplayError::kDamaged);
}

TEST(ReplayFileTest, AnotherFormatVersionIsRefusedByItsNumberWhateverFollowsItsHeader) {
  std::string detail;
  EXPECT_EQ(Parse(SampleFile([](Chunks& c) { c[0].second = Head(3); }), &detail), ReplayError::kOtherFormatVersion);
  EXPECT_EQ(ReplayErrorMessage(ReplayError::kOtherFormatVersion, detail),
            "replay of another format (version 3; this game reads versions 1 to 2)");
  EXPECT_EQ(Parse(SampleFile([](Chunks& c) { c = {{"HEAD", Head(3)}, {"MOVE", {1, 2, 3}}}; })),
            ReplayError::kOtherFormatVersion);
  EXPECT_EQ(Parse(SampleFile([](Chunks& c) { c[0].second = Head(0); })), ReplayError::kOtherFormatVersion);
}

TEST(ReplayFileTest, AReplayOfVersionOneZeroZeroIsReadAsOfTheFirstRulesAndNamedWhenRefused) {
  Replay read;
  const Bytes old = SampleFile([](Chunks& c) { c[0].second = Head(1); });
  ASSERT_EQ(ParseReplay(old.data(), old.size(), read), ReplayError::kNone);
  EXPECT_EQ(read.header.formatVersion, 1);
  EXPECT_EQ(read.header.rulesVersion, 1u);
  EXPECT_EQ(read.header.gameVersion, "1.0.0");
  EXPECT_FALSE(read.header.practice);
  EXPECT_EQ(read.header.startWave, 1);
  EXPECT_EQ(read.actions, SampleReplay().actions);
  EXPECT_EQ(OtherRulesMessage(read.header),
            "recorded by version 1.0.0 of the game, whose rules differ from this version (" KAV_VERSION ")");
  EXPECT_EQ(OtherRulesMessage(SampleReplay().header), "");
  // Read, it is never written back in the old format.
  EXPECT_TRUE(SerializeReplay(read).empty());
}

TEST(ReplayFileTest, APracticeGameKeepsItsKindAndStartingWave) {
  Replay practice = SampleReplay();
  practice.header.practice = true;
  practice.header.startWave = 17;
  const Bytes bytes = SerializeReplay(practice);
  EXPECT_EQ(bytes, SampleFile([](Chunks& c) { c[0].second = Head(2, "Marisol", 1796704934, 1, 17); }));
  Replay read;
  ASSERT_EQ(ParseReplay(bytes.data(), bytes.size(), read), ReplayError::kNone);
  EXPECT_TRUE(read.header.practice);
  EXPECT_EQ(read.header.startWave, 17);
}

TEST(ReplayFileTest, CheckpointsAreAnOptionalChunkCheckedLikeTheOthers) {
  auto withCheckpoints = [](const Bytes& data) {
    return [data](Chunks& c) { c.insert(c.end() - 1, {"chkp", data}); };
  };
  Bytes one;
  PutU32(one, 250);
  PutU32(one, 0xABCDEF01);
  Replay read;
  const Bytes good = SampleFile(withCheckpoints(one));
  ASSERT_EQ(ParseReplay(good.data(), good.size(), read), ReplayError::kNone);
  EXPECT_EQ(read.checkpointInterval, 250u);
  EXPECT_EQ(read.checkpoints, std::vector<uint32_t>{0xABCDEF01});

  Bytes two = one;
  PutU32(two, 7);  // 300 steps hold one whole interval of 250
  Bytes noInterval;
  PutU32(noInterval, 0);
  PutU32(noInterval, 1);
  const std::pair<Bytes, const char*> cases[] = {
      {two, "more checkpoints than steps"},
      {noInterval, "checkpoints without an interval"},
      {{0, 0, 1}, "checkpoints of the wrong size"},
      {Bytes(one.begin(), one.end() - 1), "checkpoints of the wrong size"},
  };
  for (const auto& [data, expected] : cases) {
    std::string detail;
    EXPECT_EQ(Parse(SampleFile(withCheckpoints(data)), &detail), ReplayError::kDamaged) << expected;
    EXPECT_EQ(detail, expected);
  }
  Bytes bad = SerializeReplay(read);
  const auto [data, length] = FindChunk(bad, "chkp");
  bad[data + length + 3] ^= 0x01;
  std::string detail;
  EXPECT_EQ(Parse(bad, &detail), ReplayError::kDamaged);
  EXPECT_EQ(detail, "checksum mismatch in the checkpoints");
}

TEST(ReplayFileTest, ALengthBeyondTheEndIsDamageWhenTheFileEndsWholeElseTruncation) {
  Bytes bad = SerializeReplay(SampleReplay());
  const size_t lengthField = FindChunk(bad, "ACTS").first - 8;
  for (uint8_t top : {0x00, 0x7F, 0xFF}) {
    bad[lengthField] = top;
    bad[lengthField + 1] = 0xFF;
    std::string detail;
    EXPECT_EQ(Parse(bad, &detail), ReplayError::kDamaged);
    EXPECT_EQ(detail, "a chunk length reaches beyond the end of the file");
    EXPECT_EQ(Parse(Bytes(bad.begin(), bad.end() - 1), &detail), ReplayError::kTruncated);
    EXPECT_EQ(detail, "ends inside the actions");
  }
}

TEST(ReplayFileTest, ContentsBreakingTheRulesAreDamageEvenWithGoodChecksums) {
  const Bytes actions = SampleReplay().actions;
  Bytes withBit6 = actions;
  withBit6[123] |= 0x40;
  const Bytes bomb = Deflate(Bytes(16 << 20, 0));  // 16 MB of nothing in about 16 KB
  Bytes longHead = Head(2);
  longHead.push_back(0);
  const std::pair<std::function<void(Chunks&)>, const char*> cases[] = {
      {[](Chunks& c) { c[2].second = Result(1, 1, 299); }, "more actions than steps"},
      {[](Chunks& c) { c[2].second = Result(1, 1, 301); }, "fewer actions than steps"},
      {[&](Chunks& c) { c[1].second = Deflate(withBit6); }, "an action with unknown keys"},
      {[&](Chunks& c) { c[1].second = bomb; }, "more actions than steps"},
      {[](Chunks& c) { c[1].second = Deflate({}), c[2].second = Result(1, 1, kMaxReplaySteps + 1); },
       "more steps than a replay may hold"},
      {[&](Chunks& c) { c[1].second = actions; }, "compressed actions unreadable"},
      {[](Chunks& c) { c[0].second = Head(2, "Mari\x1b[2Jsol"); }, "unreadable player's name"},
      {[](Chunks& c) { c[0].second = Head(2, std::string(21, 'n')); }, "unreadable player's name"},
      {[](Chunks& c) { c[0].second = Head(2, "A", -5); }, "date out of range"},
      {[](Chunks& c) { c[0].second = Head(2, "A", 0, 2); }, "unknown kind of game"},
      {[](Chunks& c) { c[0].second = Head(2, "A", 0, 1, 0); }, "starting wave out of range"},
      {[](Chunks& c) { c[0].second = Head(2, "A", 0, 0, 5); }, "a game that does not start at wave 1"},
      {[](Chunks& c) { c[0].second.pop_back(); }, "header cut short"},
      {[&](Chunks& c) { c[0].second = longHead; }, "header longer than its fields"},
      {[](Chunks& c) { c[2].second = Result(-1, 1, 300); }, "negative score"},
      {[](Chunks& c) { c[2].second = Result(1, 0, 300); }, "wave below 1"},
      {[](Chunks& c) { std::swap(c[0], c[1]); }, "does not begin with its header"},
      {[](Chunks& c) { c.erase(c.begin() + 1); }, "no actions"},
      {[](Chunks& c) { c.insert(c.begin() + 2, c[2]); }, "repeated result"},
      {[](Chunks& c) { c.insert(c.begin() + 3, {"SHIP", {1}}); }, "unknown chunk SHIP"},
      {[](Chunks& c) { c.push_back({"RSLT", {}}); }, "data after the end mark"},
  };
  for (const auto& [change, expected] : cases) {
    std::string detail;
    EXPECT_EQ(Parse(SampleFile(change), &detail), ReplayError::kDamaged) << expected;
    EXPECT_EQ(detail, expected);
  }
}

TEST(ReplayFileTest, AnExtraChunkWithASmallLetterIsSkipped) {
  const Bytes bytes = SampleFile([](Chunks& c) { c.insert(c.begin() + 1, {"note", {'h', 'i'}}); });
  Replay read;
  ASSERT_EQ(ParseReplay(bytes.data(), bytes.size(), read), ReplayError::kNone);
  EXPECT_EQ(read, SampleReplay());
}

// ---- Files on disk

class ReplayFileOnDiskTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/kav-replay-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir = pattern;
    file = dir + "/game.replay";
  }
  void TearDown() override {
    chmod(dir.c_str(), 0755);
    ASSERT_EQ(std::system(("rm -rf '" + dir + "'").c_str()), 0);
  }
  static Bytes ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  }
  std::string dir, file;
};

TEST_F(ReplayFileOnDiskTest, AWrittenFileReadsBackAndLeavesNoTemporary) {
  ASSERT_TRUE(WriteReplayFile(file, SampleReplay()));
  Replay read;
  ASSERT_EQ(ReadReplayFile(file, read), ReplayError::kNone);
  EXPECT_EQ(read, SampleReplay());
  EXPECT_NE(access((file + ".tmp").c_str(), F_OK), 0);
}

TEST_F(ReplayFileOnDiskTest, AFailedWriteKeepsTheOldFile) {
  ASSERT_TRUE(WriteReplayFile(file, SampleReplay(10)));
  const Bytes saved = ReadBytes(file);
  chmod(dir.c_str(), 0555);
  if (access(dir.c_str(), W_OK) == 0) {
    // The superuser writes anywhere: for it, a folder standing where the
    // temporary file would go fails the write just the same.
    chmod(dir.c_str(), 0755);
    ASSERT_EQ(mkdir((file + ".tmp").c_str(), 0755), 0);
  }
  EXPECT_FALSE(WriteReplayFile(file, SampleReplay(20)));
  EXPECT_EQ(ReadBytes(file), saved);
}

TEST_F(ReplayFileOnDiskTest, AFolderInPlaceOfTheReplayIsNotReplaced) {
  ASSERT_EQ(mkdir(file.c_str(), 0755), 0);
  EXPECT_FALSE(WriteReplayFile(file, SampleReplay()));
  struct stat info;
  ASSERT_EQ(stat(file.c_str(), &info), 0);
  EXPECT_TRUE(S_ISDIR(info.st_mode));
  EXPECT_NE(access((file + ".tmp").c_str(), F_OK), 0);
}

TEST_F(ReplayFileOnDiskTest, OnlyRegularFilesOfASaneSizeAreRead) {
  Replay read;
  std::string detail;
  EXPECT_EQ(ReadReplayFile(dir + "/missing.replay", read, &detail), ReplayError::kCannotOpen);
  EXPECT_EQ(ReplayErrorMessage(ReplayError::kCannotOpen, detail), "cannot be read (No such file or directory)");
  EXPECT_EQ(ReadReplayFile(dir, read, &detail), ReplayError::kCannotOpen);
  EXPECT_EQ(detail, "not a regular file");
  // A pipe with no writer would block a reader that waited for one.
  ASSERT_EQ(mkfifo((dir + "/pipe.replay").c_str(), 0644), 0);
  EXPECT_EQ(ReadReplayFile(dir + "/pipe.replay", read), ReplayError::kCannotOpen);
  ASSERT_TRUE(WriteReplayFile(file, SampleReplay()));
  ASSERT_EQ(truncate(file.c_str(), kMaxReplayFileSize + 1), 0);
  EXPECT_EQ(ReadReplayFile(file, read, &detail), ReplayError::kTooLarge);
  EXPECT_EQ(ReplayErrorMessage(ReplayError::kTooLarge, detail), "too large for a replay (over 16 MB)");
}
