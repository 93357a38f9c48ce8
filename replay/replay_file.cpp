#include "replay/replay_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <cerrno>
#include <cstring>

#include "engine/atomic_file.h"

namespace {

// As in PNG: the high bit catches a 7-bit transfer, "\r\n", 0x1A and "\n" a
// text-mode one that changes line endings or stops at a DOS end of file.
constexpr uint8_t kSignature[8] = {0x8B, 'K', 'V', 'R', '\r', '\n', 0x1A, '\n'};
constexpr size_t kSignatureSize = sizeof kSignature;
// Length, type and CRC around a chunk's data.
constexpr size_t kChunkFrame = 12;
constexpr uint32_t kResultSize = 12;
constexpr int kCompressionLevel = 9;

uint32_t GetU32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 | static_cast<uint32_t>(p[2]) << 8 |
         static_cast<uint32_t>(p[3]);
}

void PutU32(std::vector<uint8_t>& out, uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(value >> shift));
}

void PutI64(std::vector<uint8_t>& out, int64_t value) {
  const uint64_t bits = static_cast<uint64_t>(value);
  PutU32(out, static_cast<uint32_t>(bits >> 32));
  PutU32(out, static_cast<uint32_t>(bits));
}

void PutText(std::vector<uint8_t>& out, const std::string& text) {
  out.push_back(static_cast<uint8_t>(text.size()));
  out.insert(out.end(), text.begin(), text.end());
}

// Reads the fields of one chunk's data, never past its end.
class FieldReader {
 public:
  FieldReader(const uint8_t* data, size_t size) : data_(data), left_(size) {}

  uint32_t U32() {
    if (!Take(4)) return 0;
    return GetU32(data_ - 4);
  }
  int64_t I64() {
    const uint64_t high = U32();
    const uint64_t low = U32();
    return static_cast<int64_t>(high << 32 | low);
  }
  uint8_t U8() {
    if (!Take(1)) return 0;
    return data_[-1];
  }
  std::string Text() {
    if (!Take(1)) return "";
    const size_t length = data_[-1];
    if (!Take(length)) return "";
    return std::string(reinterpret_cast<const char*>(data_ - length), length);
  }
  bool Ok() const { return ok_; }
  bool AtEnd() const { return left_ == 0; }

 private:
  bool Take(size_t n) {
    if (!ok_ || n > left_) return ok_ = false;
    data_ += n;
    left_ -= n;
    return true;
  }
  const uint8_t* data_;
  size_t left_;
  bool ok_ = true;
};

struct Chunk {
  const uint8_t* data = nullptr;
  uint32_t length = 0;
  bool present = false;
};

bool Printable(const std::string& text, size_t maxLength) {
  if (text.size() > maxLength) return false;
  for (char c : text)
    if (c < 32 || c > 126) return false;
  return true;
}

// What breaks the file's rules, or null when the replay keeps them all.
// Replays read may be of an older format; only the current one is written.
const char* Fault(const Replay& replay, bool forWriting) {
  const ReplayHeader& header = replay.header;
  if (forWriting ? header.formatVersion != kReplayFormatVersion
                 : header.formatVersion < kReplayOldestFormat || header.formatVersion > kReplayFormatVersion)
    return "another format version in the header";
  if (!Printable(header.gameVersion, kReplayGameVersionLength)) return "unreadable game version";
  if (!Printable(header.name, kReplayNameLength)) return "unreadable player's name";
  if (header.date < 0 || header.date > kMaxReplayDate) return "date out of range";
  if (header.startWave < 1 || header.startWave > kReplayLastStartWave) return "starting wave out of range";
  if (!header.practice && header.startWave != 1) return "a game that does not start at wave 1";
  if (replay.result.score < 0) return "negative score";
  if (replay.result.wave < 1) return "wave below 1";
  if (replay.result.steps > kMaxReplaySteps) return "more steps than a replay may hold";
  if (replay.result.steps != replay.actions.size()) return "step count differs from the actions";
  for (uint8_t action : replay.actions)
    if (action & ~kActionMask) return "an action with unknown keys";
  if (replay.checkpointInterval == 0) return "checkpoints without an interval";
  if (replay.checkpoints.size() > replay.result.steps / replay.checkpointInterval)
    return "more checkpoints than steps";
  return nullptr;
}

bool IsLetter(uint8_t c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

bool TypeIs(const uint8_t* type, const char* name) { return std::memcmp(type, name, 4) == 0; }

std::string ChunkName(const uint8_t* type) {
  if (TypeIs(type, "HEAD")) return "header";
  if (TypeIs(type, "ACTS")) return "actions";
  if (TypeIs(type, "RSLT")) return "result";
  if (TypeIs(type, "DONE")) return "end mark";
  if (TypeIs(type, "chkp")) return "checkpoints";
  return "chunk " + std::string(reinterpret_cast<const char*>(type), 4);
}

uint32_t ChunkCrc(const uint8_t* typeAndData, uint32_t length) {
  return static_cast<uint32_t>(crc32(0L, typeAndData, length + 4));
}

bool EndsWithEndMark(const uint8_t* data, size_t size) {
  if (size < kSignatureSize + kChunkFrame) return false;
  const uint8_t* mark = data + size - kChunkFrame;
  return GetU32(mark) == 0 && TypeIs(mark + 4, "DONE") && GetU32(mark + 8) == ChunkCrc(mark + 4, 0);
}

ReplayError CheckSignature(const uint8_t* data, size_t size, std::string& why) {
  if (size == 0) {
    why = "empty file";
    return ReplayError::kTruncated;
  }
  const size_t compared = size < kSignatureSize ? size : kSignatureSize;
  if (std::memcmp(data, kSignature, compared) == 0) {
    if (compared == kSignatureSize) return ReplayError::kNone;
    why = "ends inside its signature";
    return ReplayError::kTruncated;
  }
  if (size >= 4 && std::memcmp(data + 1, kSignature + 1, 3) == 0) {
    why = "signature changed, as by a text-mode transfer";
    return ReplayError::kDamaged;
  }
  return ReplayError::kNotAReplay;
}

// A chunk whose length runs past the end: a file cut short, unless the file
// still ends with its end mark, in which case the length itself is wrong.
ReplayError Overrun(const uint8_t* data, size_t size, size_t at, std::string& why) {
  if (EndsWithEndMark(data, size) && size - kChunkFrame > at) {
    why = "a chunk length reaches beyond the end of the file";
    return ReplayError::kDamaged;
  }
  const size_t left = size - at;
  bool named = left >= 8;
  for (size_t i = 4; named && i < 8; ++i) named = IsLetter(data[at + i]);
  why = "ends inside the " + (named ? ChunkName(data + at + 4) : std::string("last chunk"));
  return ReplayError::kTruncated;
}

ReplayError ReadHeader(const Chunk& chunk, ReplayHeader& header, std::string& why) {
  FieldReader in(chunk.data, chunk.length);
  const uint32_t version = in.U32();
  if (!in.Ok()) {
    why = "header cut short";
    return ReplayError::kDamaged;
  }
  if (version < kReplayOldestFormat || version > kReplayFormatVersion) {
    why = "version " + std::to_string(version) + "; this game reads versions " + std::to_string(kReplayOldestFormat) +
          " to " + std::to_string(kReplayFormatVersion);
    return ReplayError::kOtherFormatVersion;
  }
  header.formatVersion = static_cast<int>(version);
  // Format 1 was written by version 1.0.0, whose rules are version 1.
  header.rulesVersion = version >= 2 ? in.U32() : 1;
  header.seed = in.U32();
  header.date = in.I64();
  header.gameVersion = in.Text();
  header.name = in.Text();
  header.practice = false;
  header.startWave = 1;
  if (version >= 2) {
    const uint8_t kind = in.U8();
    header.startWave = in.U8();
    header.practice = kind == 1;
    if (in.Ok() && kind > 1) why = "unknown kind of game";
  }
  if (why.empty() && !in.Ok()) why = "header cut short";
  if (why.empty() && !in.AtEnd()) why = "header longer than its fields";
  return why.empty() ? ReplayError::kNone : ReplayError::kDamaged;
}

// Inflates no more than `steps` bytes (and one buffer beyond, to notice more),
// so a small file cannot claim a great deal of memory.
ReplayError InflateActions(const Chunk& chunk, uint32_t steps, std::vector<uint8_t>& actions, std::string& why) {
  z_stream stream;
  std::memset(&stream, 0, sizeof stream);
  if (inflateInit(&stream) != Z_OK) {
    why = "no memory to inflate the actions";
    return ReplayError::kDamaged;
  }
  stream.next_in = const_cast<Bytef*>(chunk.data);
  stream.avail_in = chunk.length;
  uint8_t buffer[16384];
  int status;
  do {
    stream.next_out = buffer;
    stream.avail_out = sizeof buffer;
    status = inflate(&stream, Z_NO_FLUSH);
    const size_t made = sizeof buffer - stream.avail_out;
    if (made > steps - actions.size()) {
      why = "more actions than steps";
      break;
    }
    actions.insert(actions.end(), buffer, buffer + made);
  } while (status == Z_OK);
  inflateEnd(&stream);
  if (why.empty()) {
    if (status == Z_BUF_ERROR) why = "compressed actions cut short";
    else if (status != Z_STREAM_END) why = "compressed actions unreadable";
    else if (stream.avail_in != 0) why = "data after the compressed actions";
    else if (actions.size() != steps) why = "fewer actions than steps";
  }
  return why.empty() ? ReplayError::kNone : ReplayError::kDamaged;
}

void AppendChunk(std::vector<uint8_t>& out, const char* type, const uint8_t* data, size_t length) {
  PutU32(out, static_cast<uint32_t>(length));
  const size_t start = out.size();
  out.insert(out.end(), type, type + 4);
  if (length > 0) out.insert(out.end(), data, data + length);
  PutU32(out, ChunkCrc(out.data() + start, static_cast<uint32_t>(length)));
}

}  // namespace

bool operator==(const ReplayHeader& a, const ReplayHeader& b) {
  return a.formatVersion == b.formatVersion && a.rulesVersion == b.rulesVersion && a.gameVersion == b.gameVersion &&
         a.seed == b.seed && a.date == b.date && a.name == b.name && a.practice == b.practice &&
         a.startWave == b.startWave;
}

bool operator==(const ReplayResult& a, const ReplayResult& b) {
  return a.score == b.score && a.wave == b.wave && a.steps == b.steps;
}

bool operator==(const Replay& a, const Replay& b) {
  return a.header == b.header && a.actions == b.actions && a.result == b.result &&
         a.checkpoints == b.checkpoints && (a.checkpoints.empty() || a.checkpointInterval == b.checkpointInterval);
}

std::string ReplayErrorMessage(ReplayError error, const std::string& detail) {
  std::string message;
  switch (error) {
    case ReplayError::kNone: message = "valid replay"; break;
    case ReplayError::kCannotOpen: message = "cannot be read"; break;
    case ReplayError::kNotAReplay: message = "not a replay file"; break;
    case ReplayError::kOtherFormatVersion: message = "replay of another format"; break;
    case ReplayError::kTruncated: message = "truncated"; break;
    case ReplayError::kDamaged: message = "damaged"; break;
    case ReplayError::kTooLarge: message = "too large for a replay"; break;
  }
  if (!detail.empty()) message += " (" + detail + ")";
  return message;
}

bool ReplayWellFormed(const Replay& replay) { return Fault(replay, true) == nullptr; }

std::string OtherRulesMessage(const ReplayHeader& header) {
  if (header.rulesVersion == kRulesVersion) return "";
  const std::string made = header.gameVersion.empty() ? "an unnamed version" : "version " + header.gameVersion;
  return "recorded by " + made + " of the game, whose rules differ from this version (" KAV_VERSION ")";
}

ReplayError ParseReplay(const uint8_t* data, size_t size, Replay& out, std::string* detail) {
  std::string scratch;
  std::string& why = detail ? *detail : scratch;
  why.clear();
  if (data == nullptr) size = 0;
  const ReplayError signature = CheckSignature(data, size, why);
  if (signature != ReplayError::kNone) return signature;

  Replay replay;
  Chunk head, acts, rslt, chkp;
  bool ended = false;
  size_t at = kSignatureSize;
  while (!ended) {
    const size_t left = size - at;
    if (left == 0) {
      why = "ends before its end mark";
      return ReplayError::kTruncated;
    }
    if (left < kChunkFrame) return Overrun(data, size, at, why);
    const uint32_t length = GetU32(data + at);
    if (length > left - kChunkFrame) return Overrun(data, size, at, why);
    const uint8_t* type = data + at + 4;
    for (int i = 0; i < 4; ++i) {
      if (!IsLetter(type[i])) {
        why = "chunk type not four letters";
        return ReplayError::kDamaged;
      }
    }
    if (GetU32(type + 4 + length) != ChunkCrc(type, length)) {
      why = "checksum mismatch in the " + ChunkName(type);
      return ReplayError::kDamaged;
    }
    // The header comes first, so that the format version is known before
    // anything else is read.
    if (at == kSignatureSize && !TypeIs(type, "HEAD")) {
      why = "does not begin with its header";
      return ReplayError::kDamaged;
    }
    Chunk* slot = nullptr;
    if (TypeIs(type, "HEAD")) slot = &head;
    else if (TypeIs(type, "ACTS")) slot = &acts;
    else if (TypeIs(type, "RSLT")) slot = &rslt;
    else if (TypeIs(type, "chkp")) slot = &chkp;
    else if (TypeIs(type, "DONE")) ended = true;
    else if (type[0] >= 'A' && type[0] <= 'Z') {
      why = "unknown " + ChunkName(type);
      return ReplayError::kDamaged;
    }
    if (slot) {
      if (slot->present) {
        why = "repeated " + ChunkName(type);
        return ReplayError::kDamaged;
      }
      *slot = Chunk{type + 4, length, true};
      if (slot == &head) {
        const ReplayError error = ReadHeader(head, replay.header, why);
        if (error != ReplayError::kNone) return error;
      }
    }
    if (ended && length != 0) {
      why = "end mark with data";
      return ReplayError::kDamaged;
    }
    at += kChunkFrame + length;
  }
  if (at != size) {
    why = "data after the end mark";
    return ReplayError::kDamaged;
  }
  if (!acts.present || !rslt.present) {
    why = acts.present ? "no result" : "no actions";
    return ReplayError::kDamaged;
  }
  if (rslt.length != kResultSize) {
    why = "result of the wrong size";
    return ReplayError::kDamaged;
  }

  FieldReader result(rslt.data, rslt.length);
  replay.result.score = static_cast<int32_t>(result.U32());
  replay.result.wave = static_cast<int32_t>(result.U32());
  replay.result.steps = result.U32();
  if (replay.result.steps > kMaxReplaySteps) {
    why = "more steps than a replay may hold";
    return ReplayError::kDamaged;
  }
  const ReplayError inflated = InflateActions(acts, replay.result.steps, replay.actions, why);
  if (inflated != ReplayError::kNone) return inflated;
  if (chkp.present) {
    if (chkp.length < 4 || chkp.length % 4 != 0) {
      why = "checkpoints of the wrong size";
      return ReplayError::kDamaged;
    }
    FieldReader in(chkp.data, chkp.length);
    replay.checkpointInterval = in.U32();
    // Bounded by the chunk's length, which the file's size bounds.
    replay.checkpoints.reserve((chkp.length - 4) / 4);
    while (!in.AtEnd()) replay.checkpoints.push_back(in.U32());
  }
  if (const char* fault = Fault(replay, false)) {
    why = fault;
    return ReplayError::kDamaged;
  }
  out = std::move(replay);
  return ReplayError::kNone;
}

ReplayError ReadReplayFile(const std::string& path, Replay& out, std::string* detail) {
  std::string scratch;
  std::string& why = detail ? *detail : scratch;
  why.clear();
  // Not blocking: a pipe named like a replay must not hang the game waiting
  // for a writer; only regular files are read.
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    why = std::strerror(errno);
    return ReplayError::kCannotOpen;
  }
  struct stat info;
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    close(fd);
    why = "not a regular file";
    return ReplayError::kCannotOpen;
  }
  std::vector<uint8_t> bytes;
  ReplayError error = ReplayError::kNone;
  if (info.st_size > static_cast<off_t>(kMaxReplayFileSize)) {
    error = ReplayError::kTooLarge;
  } else {
    bytes.reserve(static_cast<size_t>(info.st_size));
    // The size is checked again while reading: the file may grow meanwhile.
    uint8_t buffer[16384];
    for (;;) {
      const ssize_t got = read(fd, buffer, sizeof buffer);
      if (got < 0 && errno == EINTR) continue;
      if (got < 0) {
        why = std::strerror(errno);
        error = ReplayError::kCannotOpen;
        break;
      }
      if (got == 0) break;
      if (bytes.size() + static_cast<size_t>(got) > kMaxReplayFileSize) {
        error = ReplayError::kTooLarge;
        break;
      }
      bytes.insert(bytes.end(), buffer, buffer + got);
    }
  }
  close(fd);
  if (error == ReplayError::kTooLarge) why = "over " + std::to_string(kMaxReplayFileSize >> 20) + " MB";
  if (error != ReplayError::kNone) return error;
  return ParseReplay(bytes.data(), bytes.size(), out, detail);
}

std::vector<uint8_t> SerializeReplay(const Replay& replay) {
  if (!ReplayWellFormed(replay)) return {};
  const ReplayHeader& header = replay.header;
  std::vector<uint8_t> head;
  PutU32(head, static_cast<uint32_t>(header.formatVersion));
  PutU32(head, header.rulesVersion);
  PutU32(head, header.seed);
  PutI64(head, header.date);
  PutText(head, header.gameVersion);
  PutText(head, header.name);
  head.push_back(header.practice ? 1 : 0);
  head.push_back(static_cast<uint8_t>(header.startWave));

  static const uint8_t kNothing = 0;
  const uint8_t* actions = replay.actions.empty() ? &kNothing : replay.actions.data();
  uLongf packedSize = compressBound(static_cast<uLong>(replay.actions.size()));
  std::vector<uint8_t> packed(packedSize);
  if (compress2(packed.data(), &packedSize, actions, static_cast<uLong>(replay.actions.size()), kCompressionLevel) !=
      Z_OK)
    return {};

  std::vector<uint8_t> result;
  PutU32(result, static_cast<uint32_t>(replay.result.score));
  PutU32(result, static_cast<uint32_t>(replay.result.wave));
  PutU32(result, replay.result.steps);

  std::vector<uint8_t> out(kSignature, kSignature + kSignatureSize);
  out.reserve(kSignatureSize + 4 * kChunkFrame + head.size() + packedSize + result.size());
  AppendChunk(out, "HEAD", head.data(), head.size());
  AppendChunk(out, "ACTS", packed.data(), packedSize);
  AppendChunk(out, "RSLT", result.data(), result.size());
  if (!replay.checkpoints.empty()) {
    std::vector<uint8_t> sums;
    sums.reserve(4 + 4 * replay.checkpoints.size());
    PutU32(sums, replay.checkpointInterval);
    for (uint32_t sum : replay.checkpoints) PutU32(sums, sum);
    AppendChunk(out, "chkp", sums.data(), sums.size());
  }
  AppendChunk(out, "DONE", nullptr, 0);
  return out;
}

bool WriteReplayFile(const std::string& path, const Replay& replay) {
  const std::vector<uint8_t> bytes = SerializeReplay(replay);
  if (bytes.empty() || bytes.size() > kMaxReplayFileSize) return false;
  return WriteFileAtomically(path, bytes.data(), bytes.size());
}
