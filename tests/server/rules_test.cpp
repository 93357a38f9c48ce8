// The server's checks of what clients send, its command line, its page and
// its limits, without a running server.
#include <gtest/gtest.h>

#include <thread>

#include "server/rate_limiter.h"
#include "server/score_page.h"
#include "server/server_options.h"
#include "server/storage.h"
#include "server/submission_rules.h"
#include "server/verification_gate.h"

namespace {

TEST(SubmissionRules, NamesAreOneToTwentyPrintableCharactersNotAllSpaces) {
  EXPECT_TRUE(IsValidName("A"));
  EXPECT_TRUE(IsValidName("<b>&x</b>"));
  EXPECT_TRUE(IsValidName(" ann  "));
  EXPECT_TRUE(IsValidName(std::string(20, '~')));
  EXPECT_FALSE(IsValidName(""));
  EXPECT_FALSE(IsValidName("   "));
  EXPECT_FALSE(IsValidName(std::string(21, 'a')));
  EXPECT_FALSE(IsValidName("tab\there"));
  EXPECT_FALSE(IsValidName(std::string("nul\0x", 5)));
  EXPECT_FALSE(IsValidName("del\x7f"));
  EXPECT_FALSE(IsValidName("caf\xc3\xa9"));
}

TEST(SubmissionRules, TokensAreThirtyTwoLowercaseHexDigits) {
  EXPECT_TRUE(IsWellFormedToken("0123456789abcdef0123456789abcdef"));
  EXPECT_FALSE(IsWellFormedToken("0123456789ABCDEF0123456789abcdef"));
  EXPECT_FALSE(IsWellFormedToken("0123456789abcdef0123456789abcde"));
  EXPECT_FALSE(IsWellFormedToken("../../etc/passwd0123456789abcdef"));
}

TEST(SubmissionRules, NumbersArePlainDigitsWithinBounds) {
  EXPECT_EQ(ParseBoundedNumber("", 1, 100, 10), 10);
  EXPECT_EQ(ParseBoundedNumber("100", 1, 100, 10), 100);
  EXPECT_EQ(ParseBoundedNumber("0", 1, 100, 10), std::nullopt);
  EXPECT_EQ(ParseBoundedNumber("101", 1, 100, 10), std::nullopt);
  EXPECT_EQ(ParseBoundedNumber("-1", 0, 100, 10), std::nullopt);
  EXPECT_EQ(ParseBoundedNumber("+5", 0, 100, 10), std::nullopt);
  EXPECT_EQ(ParseBoundedNumber("5x", 0, 100, 10), std::nullopt);
  EXPECT_EQ(ParseBoundedNumber("99999999999999999999", 0, 100, 10), std::nullopt);
}

TEST(SubmissionRules, OnlyTheVerifiersExactResultLineIsAResult) {
  const auto result = ParseVerifiedLine("score 4100, wave 2, steps 2849\n");
  ASSERT_TRUE(result);
  EXPECT_EQ(result->score, 4100);
  EXPECT_EQ(result->wave, 2);
  EXPECT_EQ(result->steps, 2849u);
  for (const char* garbage :
       {"", "score 4100, wave 2, steps 2849", "score 4100, wave 2, steps 2849\nmore\n",
        "score 4100, wave 2, steps 2849, from wave 5\n", "score -1, wave 2, steps 2849\n",
        "score 04100, wave 2, steps 2849\n", "score 99999999999, wave 2, steps 1\n", "Segmentation fault\n"})
    EXPECT_FALSE(ParseVerifiedLine(garbage)) << garbage;
}

Replay SmallReplay(uint32_t seed, uint32_t steps) {
  Replay replay;
  replay.header.seed = seed;
  replay.header.date = 1700000000;
  replay.actions.assign(steps, 0);
  replay.result.steps = steps;
  replay.checkpoints.clear();
  return replay;
}

std::optional<std::string> Examine(const Replay& replay, uint32_t tokenSeed, int64_t elapsedMs) {
  const std::vector<uint8_t> bytes = SerializeReplay(replay);
  Replay read;
  return ExamineReplay(bytes.data(), bytes.size(), tokenSeed, elapsedMs, read);
}

TEST(SubmissionRules, AReplayIsExaminedForItsSeedRulesKindAndRealTime) {
  EXPECT_EQ(Examine(SmallReplay(7, 500), 7, 0), std::nullopt);  // 10 s of play within the slack
  EXPECT_NE(Examine(SmallReplay(7, 501 + 50 * 60), 7, 60000), std::nullopt);
  EXPECT_EQ(Examine(SmallReplay(7, 500 + 50 * 60), 7, 60000), std::nullopt);
  const auto otherSeed = Examine(SmallReplay(8, 100), 7, 0);
  ASSERT_TRUE(otherSeed);
  EXPECT_NE(otherSeed->find("another seed"), std::string::npos);

  Replay practice = SmallReplay(7, 100);
  practice.header.practice = true;
  practice.header.startWave = 5;
  EXPECT_NE(Examine(practice, 7, 0).value_or("").find("practice"), std::string::npos);

  Replay oldRules = SmallReplay(7, 100);
  oldRules.header.rulesVersion = kRulesVersion - 1;
  EXPECT_NE(Examine(oldRules, 7, 0).value_or("").find("rules"), std::string::npos);

  std::vector<uint8_t> damaged = SerializeReplay(SmallReplay(7, 100));
  damaged[damaged.size() / 2] ^= 0x20;
  Replay read;
  EXPECT_NE(ExamineReplay(damaged.data(), damaged.size(), 7, 0, read), std::nullopt);
  EXPECT_NE(ExamineReplay(nullptr, 0, 7, 0, read), std::nullopt);
}

TEST(ServerOptions, TheCommandLineKeepsItsDefaultsAndRefusesWhatItDoesNotKnow) {
  const char* none[] = {"vevarnholt-server"};
  const ServerOptions defaults = ParseServerOptions(1, none);
  EXPECT_EQ(defaults.action, ServerOptions::kServe);
  EXPECT_EQ(defaults.host, "127.0.0.1");
  EXPECT_EQ(defaults.port, 8470);

  const char* given[] = {"s", "--listen=[::1]:9000", "--database", "postgresql://kav@db/scores", "--verifiers", "3",
                         "--behind-proxy"};
  const ServerOptions options = ParseServerOptions(7, given);
  ASSERT_EQ(options.action, ServerOptions::kServe) << options.error;
  EXPECT_EQ(options.host, "::1");
  EXPECT_EQ(options.port, 9000);
  EXPECT_EQ(options.database, "postgresql://kav@db/scores");
  EXPECT_EQ(options.verifiers, 3);
  EXPECT_TRUE(options.behindProxy);

  for (std::vector<const char*> wrong : std::vector<std::vector<const char*>>{
           {"s", "--listen", "8470"}, {"s", "--listen", "::1:80"}, {"s", "--listen", "host:65536"},
           {"s", "--database", "mysql://x"}, {"s", "--verifiers", "0"}, {"s", "--database"}, {"s", "extra"},
           {"s", "--help=yes"}})
    EXPECT_EQ(ParseServerOptions(static_cast<int>(wrong.size()), wrong.data()).action, ServerOptions::kUsageError)
        << wrong[1];
}

TEST(ServerOptions, TheDatabaseDefaultsToTheUsersDataFolder) {
  EXPECT_EQ(DefaultDatabaseUrl("/x/data/", "/home/ann"), "sqlite:/x/data/vevarnholt-server/scores.sqlite");
  EXPECT_EQ(DefaultDatabaseUrl("relative", "/home/ann"),
            "sqlite:/home/ann/.local/share/vevarnholt-server/scores.sqlite");
  EXPECT_EQ(DefaultDatabaseUrl(nullptr, ""), "");
  EXPECT_EQ(DatabaseUrlForLog("postgresql://kav:secret@db/scores?password=two"),
            "postgresql://kav:***@db/scores?password=***");
}

TEST(ScorePage, NamesAreEscapedAndEveryRunLinksItsReplay) {
  ListedRun run;
  run.rank = 1;
  run.id = 42;
  run.name = "<b>&x</b> \"q\" 'a'";
  run.score = 12345;
  run.acceptedAtMs = 1765207560000;  // 2025-12-08T15:26:00Z
  const std::string page = RenderScorePage({run});
  EXPECT_NE(page.find("&lt;b&gt;&amp;x&lt;/b&gt; &quot;q&quot; &#39;a&#39;"), std::string::npos);
  EXPECT_EQ(page.find("<b>&x"), std::string::npos);
  EXPECT_NE(page.find("href=\"/runs/42.replay\""), std::string::npos);
  EXPECT_NE(page.find("2025-12-08"), std::string::npos);
  EXPECT_NE(page.find("name=\"viewport\""), std::string::npos);
  EXPECT_EQ(page.find("<script"), std::string::npos);
  EXPECT_NE(RenderScorePage({}).find("No scores yet"), std::string::npos);
}

TEST(RateLimiter, EachAddressHasItsOwnBucketThatRefills) {
  RateRules rules;
  rules.token = {3, 60};  // three at once, then one a second
  RateLimiter limiter(rules);
  const auto start = RateLimiter::Clock::now();
  int retry = 0;
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(limiter.Allow("10.0.0.1", RequestKind::kToken, start, retry));
  EXPECT_FALSE(limiter.Allow("10.0.0.1", RequestKind::kToken, start, retry));
  EXPECT_EQ(retry, 1);
  EXPECT_TRUE(limiter.Allow("10.0.0.2", RequestKind::kToken, start, retry));
  EXPECT_TRUE(limiter.Allow("10.0.0.1", RequestKind::kRead, start, retry));
  EXPECT_TRUE(limiter.Allow("10.0.0.1", RequestKind::kToken, start + std::chrono::milliseconds(1001), retry));
  // Many addresses asking once each leave no lasting trace and no refusal.
  for (int i = 0; i < 100000; ++i)
    ASSERT_TRUE(limiter.Allow("a" + std::to_string(i), RequestKind::kToken, start + std::chrono::hours(1), retry));
}

TEST(VerificationGate, BeyondTheSlotsAndTheLineTheServerIsBusy) {
  VerificationGate gate(1, 0);
  auto first = gate.Enter();
  ASSERT_TRUE(first);
  EXPECT_FALSE(gate.Enter());
  first.reset();
  EXPECT_TRUE(gate.Enter());

  // One waits in line for the slot and gets it when the slot is freed.
  VerificationGate queued(1, 1);
  auto running = queued.Enter();
  bool waited = false;
  std::thread waiter([&] { waited = queued.Enter().has_value(); });
  running.reset();
  waiter.join();
  EXPECT_TRUE(waited);
}

}  // namespace
