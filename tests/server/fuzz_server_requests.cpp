// Anything a client may send the score server, read the way the server reads
// it: a name, a number of the scores list, an address to listen on, the
// verifier's output line, and a submitted replay checked against a token.
// What the server lets through must keep its rules; nothing may crash.
//
// Input: the first byte picks the reader; the next four give the token's seed
// and the real time since it (for the replay); the rest is the text or body.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "server/score_page.h"
#include "server/server_options.h"
#include "server/submission_rules.h"

namespace {

void Require(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "property failed: %s\n", what);
  std::abort();
}

void CheckName(const std::string& text) {
  if (IsValidName(text)) {
    Require(!text.empty() && text.size() <= kMaxNameLength, "a name of 1 to 20 characters");
    Require(text.find_first_not_of(' ') != std::string::npos, "a name not all spaces");
    for (const char c : text) Require(c >= 32 && c <= 126, "a name of printable ASCII");
  }
  const std::string escaped = EscapeHtml(text);
  Require(escaped.find_first_of("<>\"'") == std::string::npos, "nothing of markup left in an escaped name");
  ListedRun run;
  run.name = text;
  Require(RenderScorePage({run}).find(escaped) != std::string::npos, "the page shows the escaped name");
}

void CheckNumber(const std::string& text) {
  if (const auto value = ParseBoundedNumber(text, 1, kMaxListLimit, kDefaultListLimit))
    Require(*value >= 1 && *value <= kMaxListLimit, "a limit within its bounds");
  std::string host;
  int port = -1;
  if (ParseListenAddress(text, host, port)) Require(port >= 0 && port <= 65535, "a port within its bounds");
}

void CheckVerifierLine(const std::string& text) {
  const auto result = ParseVerifiedLine(text);
  if (!result) return;
  char line[96];
  std::snprintf(line, sizeof line, "score %d, wave %d, steps %u\n", result->score, result->wave, result->steps);
  Require(text == line, "only the exact result line is a result");
}

void CheckReplay(const uint8_t* data, size_t size, uint32_t seed, int64_t elapsedMs) {
  Replay replay;
  if (ExamineReplay(data, size, seed, elapsedMs, replay)) return;
  Require(ReplayWellFormed(replay), "a replay let through is well formed");
  Require(!replay.header.practice, "no practice game is let through");
  Require(replay.header.rulesVersion == kRulesVersion, "only this game's rules are let through");
  Require(replay.header.seed == seed, "only the token's seed is let through");
  Require(static_cast<int64_t>(replay.result.steps) * 20 <= elapsedMs + kRealTimeSlackMs,
          "no game faster than real time is let through");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 5) return 0;
  uint32_t seed;
  std::memcpy(&seed, data + 1, sizeof seed);
  const uint8_t* body = data + 5;
  const size_t length = size - 5;
  const std::string text(reinterpret_cast<const char*>(body), length);
  switch (data[0] % 4) {
    case 0: CheckName(text); break;
    case 1: CheckNumber(text); break;
    case 2: CheckVerifierLine(text); break;
    default: CheckReplay(body, length, seed & 0xffff, static_cast<int64_t>(seed >> 16) * 1000); break;
  }
  return 0;
}
