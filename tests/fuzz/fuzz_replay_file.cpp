// Any bytes as a replay file. Reading must not crash, read out of bounds or
// take long (the sanitizers and libFuzzer's limits watch those) and must say
// what is wrong in one line; a replay it accepts keeps every rule of the file,
// and writing it out and reading that back gives the same replay, and writing
// that again the same bytes.
//
// Random bytes seldom get past a signature and checksums, so the mutator also
// starts from well-formed replays, changes one chunk (the actions before they
// are compressed), adds, drops or repeats chunks, and often puts the checksums
// and the step count right again, so that every check behind them is reached.
#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "replay/replay_file.h"

extern "C" size_t LLVMFuzzerMutate(uint8_t* data, size_t size, size_t maxSize);

namespace {

using Bytes = std::vector<uint8_t>;
using Random = std::minstd_rand;

constexpr uint8_t kSignature[8] = {0x8B, 'K', 'V', 'R', '\r', '\n', 0x1A, '\n'};
constexpr size_t kMaxActions = 1 << 16;

struct Chunk {
  std::string type;
  Bytes data;
};

uint32_t GetU32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 | static_cast<uint32_t>(p[2]) << 8 |
         p[3];
}

void PutU32(Bytes& out, uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(v >> shift));
}

// The chunks as far as their lengths hold; false when there is no signature.
bool Split(const uint8_t* data, size_t size, std::vector<Chunk>& chunks) {
  if (size < sizeof kSignature || std::memcmp(data, kSignature, sizeof kSignature) != 0) return false;
  for (size_t at = sizeof kSignature; size - at >= 12;) {
    const uint32_t length = GetU32(data + at);
    if (length > size - at - 12) break;
    chunks.push_back({std::string(reinterpret_cast<const char*>(data + at + 4), 4),
                      Bytes(data + at + 8, data + at + 8 + length)});
    at += 12 + length;
  }
  return !chunks.empty();
}

Bytes Join(const std::vector<Chunk>& chunks) {
  Bytes file(kSignature, kSignature + sizeof kSignature);
  for (const Chunk& chunk : chunks) {
    PutU32(file, static_cast<uint32_t>(chunk.data.size()));
    const size_t start = file.size();
    file.insert(file.end(), chunk.type.begin(), chunk.type.end());
    file.insert(file.end(), chunk.data.begin(), chunk.data.end());
    PutU32(file, static_cast<uint32_t>(crc32(0, file.data() + start, static_cast<uInt>(file.size() - start))));
  }
  return file;
}

// Recomputes the CRC of every chunk whose length fits.
void Reseal(uint8_t* data, size_t size) {
  if (size < sizeof kSignature) return;
  for (size_t at = sizeof kSignature; size - at >= 12;) {
    const uint32_t length = GetU32(data + at);
    if (length > size - at - 12) break;
    const uint32_t crc = static_cast<uint32_t>(crc32(0, data + at + 4, length + 4));
    for (int i = 0; i < 4; ++i) data[at + 8 + length + i] = static_cast<uint8_t>(crc >> (24 - 8 * i));
    at += 12 + length;
  }
}

Bytes Inflate(const Bytes& packed, bool& ok) {
  Bytes raw(kMaxActions);
  uLongf size = raw.size();
  ok = uncompress(raw.data(), &size, packed.data(), packed.size()) == Z_OK;
  raw.resize(ok ? size : 0);
  return raw;
}

Bytes Deflate(const Bytes& raw, int level) {
  uLongf size = compressBound(raw.size());
  Bytes packed(size);
  if (compress2(packed.data(), &size, raw.data(), raw.size(), level) != Z_OK) return {};
  packed.resize(size);
  return packed;
}

// Gives the fuzzer's own mutations a buffer with room to grow.
void MutateBytes(Bytes& bytes, size_t maxSize) {
  if (bytes.empty()) bytes.push_back(0);
  const size_t size = bytes.size();
  bytes.resize(maxSize > size ? maxSize : size + 1);
  bytes.resize(LLVMFuzzerMutate(bytes.data(), size, bytes.size()));
}

std::string RandomText(Random& random, size_t maxLength) {
  std::string text(random() % (maxLength + 1), ' ');
  for (char& c : text) c = static_cast<char>(32 + random() % 95);
  return text;
}

Replay FreshReplay(Random& random) {
  Replay replay;
  replay.header.gameVersion = RandomText(random, kReplayGameVersionLength);
  replay.header.name = RandomText(random, kReplayNameLength);
  replay.header.seed = static_cast<uint32_t>(random());
  replay.header.date = static_cast<int64_t>(random() % 2000000000);
  replay.actions.resize(random() % 400);
  uint8_t held = 0;
  for (uint8_t& action : replay.actions) {
    if (random() % 4 == 0) held = static_cast<uint8_t>(random() & kActionMask);
    action = held;
  }
  replay.result.score = static_cast<int32_t>(random() % 1000000);
  replay.result.wave = 1 + static_cast<int32_t>(random() % 30);
  replay.result.steps = static_cast<uint32_t>(replay.actions.size());
  if (random() % 3 == 0) {
    replay.header.practice = true;
    replay.header.startWave = 1 + static_cast<int>(random() % kReplayLastStartWave);
  }
  replay.checkpointInterval = 1 + static_cast<uint32_t>(random() % 300);
  replay.checkpoints.resize(random() % (replay.result.steps / replay.checkpointInterval + 1));
  for (uint32_t& sum : replay.checkpoints) sum = static_cast<uint32_t>(random());
  return replay;
}

// Changes one chunk, or the list of chunks, and keeps the framing right.
void MutateChunks(std::vector<Chunk>& chunks, Random& random, size_t maxSize) {
  Chunk& chunk = chunks[random() % chunks.size()];
  switch (random() % 6) {
    case 0:
    case 1:
    case 2:
      if (chunk.type == "ACTS") {
        bool ok;
        Bytes actions = Inflate(chunk.data, ok);
        if (ok) {
          MutateBytes(actions, maxSize);
          chunk.data = Deflate(actions, static_cast<int>(random() % 10));
          // Mostly keep the result's step count with the actions.
          for (Chunk& result : chunks)
            if (result.type == "RSLT" && result.data.size() == 12 && random() % 4 != 0) {
              result.data.resize(8);
              PutU32(result.data, static_cast<uint32_t>(actions.size()));
            }
          break;
        }
      }
      MutateBytes(chunk.data, maxSize);
      break;
    case 3: chunks.erase(chunks.begin() + static_cast<long>(random() % chunks.size())); break;
    case 4: chunks.insert(chunks.begin() + static_cast<long>(random() % chunks.size()), chunk); break;
    default: {
      static const char* const kExtras[] = {"note", "SHIP", "chkp"};
      Chunk extra{kExtras[random() % 3], {}};
      extra.data.resize(random() % 8, 0x55);
      chunks.insert(chunks.begin() + static_cast<long>(random() % (chunks.size() + 1)), extra);
    }
  }
  if (chunks.empty()) chunks.push_back({"DONE", {}});
}

}  // namespace

extern "C" size_t LLVMFuzzerCustomMutator(uint8_t* data, size_t size, size_t maxSize, unsigned int seed) {
  Random random(seed);
  const unsigned way = random() % 8;
  if (way == 0) return LLVMFuzzerMutate(data, size, maxSize);  // damage of any kind
  if (way == 1) {
    const size_t made = LLVMFuzzerMutate(data, size, maxSize);  // damage with good checksums
    Reseal(data, made);
    return made;
  }
  std::vector<Chunk> chunks;
  Bytes file;
  if (way == 2 || !Split(data, size, chunks)) {
    file = SerializeReplay(FreshReplay(random));
  } else {
    MutateChunks(chunks, random, maxSize);
    file = Join(chunks);
  }
  if (file.empty() || file.size() > maxSize) return LLVMFuzzerMutate(data, size, maxSize);
  std::memcpy(data, file.data(), file.size());
  return file.size();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Replay replay;
  replay.header.name = "untouched";
  std::string detail;
  const ReplayError error = ParseReplay(data, size, replay, &detail);
  const std::string message = ReplayErrorMessage(error, detail);
  fuzz::Require(message.find('\n') == std::string::npos, "the message is one line");
  if (error != ReplayError::kNone) {
    fuzz::Require(replay.header.name == "untouched", "a refused file leaves the replay as it was");
    return 0;
  }
  fuzz::Require(detail.empty(), "nothing to say about a good file");
  fuzz::Require(replay.result.steps == replay.actions.size(), "one action a step");
  fuzz::Require(replay.checkpoints.size() <= replay.result.steps / replay.checkpointInterval,
                "no more checkpoints than whole intervals");
  if (replay.header.formatVersion != kReplayFormatVersion) {
    // A replay of version 1.0.0 is read to be refused by its rules; it is
    // never written in its old format.
    fuzz::Require(replay.header.rulesVersion == 1 && !OtherRulesMessage(replay.header).empty(),
                  "an old replay is of the first rules");
    fuzz::Require(SerializeReplay(replay).empty(), "an old replay is not written again");
    return 0;
  }
  fuzz::Require(ReplayWellFormed(replay), "an accepted replay keeps the rules");
  const Bytes bytes = SerializeReplay(replay);
  fuzz::Require(!bytes.empty(), "an accepted replay can be written");
  Replay again;
  fuzz::Require(ParseReplay(bytes.data(), bytes.size(), again) == ReplayError::kNone, "what is written is read");
  fuzz::Require(again == replay, "the replay survives writing and reading");
  fuzz::Require(SerializeReplay(again) == bytes, "the same replay is written the same way");
  return 0;
}
