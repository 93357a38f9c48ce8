#include "server/submission_rules.h"

#include <cinttypes>
#include <cstdio>

bool IsValidName(const std::string& name) {
  if (name.empty() || name.size() > kMaxNameLength) return false;
  bool onlySpaces = true;
  for (const char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 32 || byte > 126) return false;
    if (c != ' ') onlySpaces = false;
  }
  return !onlySpaces;
}

std::string PrintableText(std::string text) {
  for (char& c : text)
    if (c < 32 || c > 126) c = '?';
  return text;
}

bool IsWellFormedToken(const std::string& token) {
  if (token.size() != 32) return false;
  for (const char c : token)
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
  return true;
}

std::optional<int> ParseBoundedNumber(const std::string& text, int low, int high, int fallback) {
  if (text.empty()) return fallback;
  if (text.size() > 10) return std::nullopt;
  int64_t value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  if (value < low || value > high) return std::nullopt;
  return static_cast<int>(value);
}

std::optional<std::string> ExamineReplay(const uint8_t* data, size_t size, uint32_t tokenSeed, int64_t elapsedMs,
                                         Replay& replay) {
  std::string detail;
  const ReplayError error = ParseReplay(data, size, replay, &detail);
  if (error != ReplayError::kNone) return "the replay is " + ReplayErrorMessage(error, detail);
  const std::string otherRules = OtherRulesMessage(replay.header);
  if (!otherRules.empty()) return "the replay was " + otherRules;
  if (replay.header.practice) return "a practice game does not enter the table";
  if (replay.header.seed != tokenSeed) return "the replay was played from another seed than its token's";
  // Each step lasts 1/50 s of real time: a game cannot have been played
  // faster than that since its token was issued.
  const int64_t playedMs = static_cast<int64_t>(replay.result.steps) * 1000 / kStepsPerSecond;
  if (playedMs > elapsedMs + kRealTimeSlackMs) {
    char text[160];
    std::snprintf(text, sizeof text,
                  "the replay's %u steps last %" PRId64 " s, but its token was issued only %" PRId64 " s ago",
                  replay.result.steps, playedMs / 1000, elapsedMs / 1000);
    return std::string(text);
  }
  return std::nullopt;
}

namespace {

// Reads `literal` then a number of 1..10 digits at most `high`, without
// leading zeros, from `text` at `at`.
bool ReadField(const std::string& text, size_t& at, const char* literal, int64_t high, int64_t& value) {
  const std::string expected(literal);
  if (text.compare(at, expected.size(), expected) != 0) return false;
  at += expected.size();
  const size_t first = at;
  value = 0;
  while (at < text.size() && text[at] >= '0' && text[at] <= '9' && at - first < 10)
    value = value * 10 + (text[at++] - '0');
  const size_t digits = at - first;
  return digits > 0 && !(digits > 1 && text[first] == '0') && value <= high;
}

}  // namespace

std::optional<ReplayResult> ParseVerifiedLine(const std::string& output) {
  size_t at = 0;
  int64_t score = 0, wave = 0, steps = 0;
  if (!ReadField(output, at, "score ", INT32_MAX, score) || !ReadField(output, at, ", wave ", INT32_MAX, wave) ||
      !ReadField(output, at, ", steps ", UINT32_MAX, steps) || output.compare(at, std::string::npos, "\n") != 0)
    return std::nullopt;
  ReplayResult result;
  result.score = static_cast<int32_t>(score);
  result.wave = static_cast<int32_t>(wave);
  result.steps = static_cast<uint32_t>(steps);
  return result;
}
