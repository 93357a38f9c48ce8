// The checks the server makes of what a client sends, before and after the
// expensive verification. Everything here takes untrusted input and answers
// with a verdict, never more.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "replay/replay_file.h"

// A body larger than this is refused before it is read whole.
constexpr size_t kMaxSubmissionBytes = 1u << 20;
constexpr size_t kMaxNameLength = 20;
// A token is good for one submission this long after it was issued.
constexpr int64_t kTokenLifetimeMs = 24LL * 3600 * 1000;
// Logic steps a second, and the slack a game's real time is given over its
// steps (the time to ask for the token, to start, to send the replay).
constexpr int kStepsPerSecond = 50;
constexpr int64_t kRealTimeSlackMs = 10000;
// The scores list: 1..kMaxListLimit entries a page.
constexpr int kDefaultListLimit = 10;
constexpr int kMaxListLimit = 100;

// 1 to 20 printable ASCII characters (32..126), not all spaces.
bool IsValidName(const std::string& name);

// 32 lowercase hex digits, as the server issues them.
bool IsWellFormedToken(const std::string& token);

// A whole number in [low, high] written in plain decimal digits; `text` empty
// gives `fallback`. Nothing for anything else.
std::optional<int> ParseBoundedNumber(const std::string& text, int low, int high, int fallback);

// What the replay's own bytes show, checked against its token: nothing when
// it may go on to verification, else why not (for the 422 answer). `replay`
// is filled when the bytes parse. `elapsedMs` is the real time since the
// token was issued.
std::optional<std::string> ExamineReplay(const uint8_t* data, size_t size, uint32_t tokenSeed, int64_t elapsedMs,
                                         Replay& replay);

// `text` with every byte outside printable ASCII replaced by '?': what a
// replay or a verifier says goes into answers and the log as plain text.
std::string PrintableText(std::string text);

// The verifier's one line of output, "score S, wave W, steps T" and its
// newline; nothing for any other text (a practice game's ", from wave F"
// included: such a game never enters the table).
std::optional<ReplayResult> ParseVerifiedLine(const std::string& output);
