// The API through the real server program, against SQLite and PostgreSQL
// alike: what is accepted and listed, and every refusal with its status.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <thread>

#include "server/submission_rules.h"
#include "server_harness.h"

namespace server_test {
namespace {

using Json = nlohmann::json;

class ApiTest : public ::testing::TestWithParam<DatabaseKind> {
 protected:
  ApiTest() : database_(GetParam()), server_(database_.Url()), client_(server_.Client()) {}

  // A genuine game of `steps` steps played from a new token's seed.
  std::pair<Token, std::vector<uint8_t>> PlayedGame(uint32_t steps = 300) {
    Token token = AskToken(client_);
    return {token, GenuineReplay(token.seed, steps)};
  }
  // Expects the status and, for an error, a JSON reason; returns the body.
  Json Expect(const httplib::Result& answer, int status) {
    EXPECT_TRUE(answer);
    if (!answer) return Json();
    EXPECT_EQ(answer->status, status) << answer->body;
    return Json::parse(answer->body, nullptr, false);
  }
  std::string Refusal(const httplib::Result& answer, int status) {
    const Json body = Expect(answer, status);
    return body.is_object() && body.contains("error") ? body["error"].get<std::string>() : "";
  }
  void BackdateToken(const std::string& token, int64_t ms) {
    database_.Execute("UPDATE tokens SET issued_at = issued_at - " + std::to_string(ms) + " WHERE token = '" +
                      token + "'");
  }

  TestDatabase database_;
  ServerProcess server_;
  httplib::Client client_;
};

TEST_P(ApiTest, AGenuineGameIsAcceptedListedAndItsReplayServed) {
  const auto [token, replay] = PlayedGame();
  EXPECT_EQ(token.token.size(), 32u);
  const Replay played = Parse(replay);
  const Json accepted = Expect(Submit(client_, token.token, replay, "%3Cb%3E%26x%3C%2Fb%3E"), 201);
  EXPECT_EQ(accepted["rank"], 1);
  EXPECT_EQ(accepted["score"], played.result.score);
  EXPECT_EQ(accepted["wave"], played.result.wave);
  EXPECT_EQ(accepted["steps"], played.result.steps);

  const Json scores = Expect(client_.Get("/api/v1/scores"), 200);
  ASSERT_EQ(scores["scores"].size(), 1u);
  const Json& entry = scores["scores"][0];
  EXPECT_EQ(entry["id"], accepted["id"]);
  EXPECT_EQ(entry["name"], "<b>&x</b>");
  EXPECT_EQ(entry["score"], played.result.score);
  EXPECT_EQ(entry["rank"], 1);
  EXPECT_TRUE(std::regex_match(entry["date"].get<std::string>(),
                               std::regex(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\dZ)")));

  const auto download = client_.Get(("/runs/" + std::to_string(entry["id"].get<int64_t>()) + ".replay").c_str());
  ASSERT_TRUE(download);
  EXPECT_EQ(download->status, 200);
  EXPECT_EQ(download->get_header_value("Content-Type"), "application/octet-stream");
  EXPECT_NE(download->get_header_value("Content-Disposition").find("filename="), std::string::npos);
  EXPECT_EQ(download->body, std::string(replay.begin(), replay.end()));
  EXPECT_EQ(client_.Get("/runs/999999.replay")->status, 404);

  const auto page = client_.Get("/");
  EXPECT_NE(page->body.find("&lt;b&gt;&amp;x&lt;/b&gt;"), std::string::npos);
  EXPECT_EQ(client_.Get("/healthz")->body, "ok");
}

TEST_P(ApiTest, ATokenIsGoodForOneSubmission) {
  const auto [token, replay] = PlayedGame();
  Expect(Submit(client_, token.token, replay), 201);
  EXPECT_FALSE(Refusal(Submit(client_, token.token, replay), 409).empty());
  // The same game under a new token: its seed is another.
  const Token other = AskToken(client_);
  EXPECT_NE(Refusal(Submit(client_, other.token, replay), 422).find("seed"), std::string::npos);
}

TEST_P(ApiTest, UnknownAndExpiredTokensAreNotFound) {
  const auto replay = GenuineReplay(1, 300);
  Refusal(Submit(client_, "0123456789abcdef0123456789abcdef", replay), 404);
  Refusal(Submit(client_, "not-a-token", replay), 404);
  const auto [token, game] = PlayedGame();
  BackdateToken(token.token, kTokenLifetimeMs + 1000);
  Refusal(Submit(client_, token.token, game), 404);
}

TEST_P(ApiTest, EveryForgeryIsRefusedAndThreeRefusalsSpendTheToken) {
  auto [token, replay] = PlayedGame(500);
  const auto refused = [&](const std::vector<uint8_t>& forged, const char* expected) {
    const std::string why = Refusal(Submit(client_, token.token, forged), 422);
    EXPECT_NE(why.find(expected), std::string::npos) << why;
  };
  std::vector<uint8_t> damaged = replay;
  damaged[damaged.size() / 2] ^= 0x10;
  refused(damaged, "damaged");
  refused(Forge(replay, [](Replay& r) { r.header.rulesVersion = kRulesVersion + 1; }), "rules");
  // The third refusal spends the token.
  refused(Forge(replay, [](Replay& r) { r.result.score += 50; }), "result");
  Refusal(Submit(client_, token.token, replay), 409);

  std::tie(token, replay) = PlayedGame(500);
  refused(Forge(replay, [](Replay& r) {
            r.header.practice = true;
            r.header.startWave = 3;
          }),
          "practice");
  // A checksum of the game's state that the game does not reach.
  refused(Forge(replay, [](Replay& r) {
            ASSERT_FALSE(r.checkpoints.empty());
            r.checkpoints[0] ^= 0xdeadbeef;
          }),
          "departs");
  Expect(Submit(client_, token.token, replay), 201);

  // Other keys played than recorded: the game departs from its first
  // checkpoint on.
  std::tie(token, replay) = PlayedGame(500);
  refused(Forge(replay, [](Replay& r) {
            for (size_t i = 10; i < r.actions.size(); ++i) r.actions[i] = kActionUp | kActionFire;
          }),
          "departs from its game at step 250");
}

TEST_P(ApiTest, AGameCannotHaveBeenPlayedFasterThanRealTime) {
  // 1600 steps last 32 s: not within 10 s of the token.
  const auto [token, replay] = PlayedGame(1600);
  const uint32_t steps = Parse(replay).result.steps;
  ASSERT_GT(steps, 1000u) << "the pilot's game ended too soon for this test";
  EXPECT_NE(Refusal(Submit(client_, token.token, replay), 422).find("issued only"), std::string::npos);
  BackdateToken(token.token, steps * 1000 / 50);
  Expect(Submit(client_, token.token, replay), 201);
}

TEST_P(ApiTest, BadNamesAndOversizedBodiesAreRefusedBeforeVerification) {
  const auto [token, replay] = PlayedGame();
  for (const char* name : {"", "%20%20%20", "abcdefghijklmnopqrstu", "tab%09", "caf%C3%A9"}) {
    const Token fresh = AskToken(client_);
    Refusal(Submit(client_, fresh.token, replay, name), 400);
  }
  // A body over 1 MiB is refused on its declared length: the answer comes
  // before a byte of it is sent, with or without "Expect: 100-continue".
  for (const char* expect : {"", "Expect: 100-continue\r\n"}) {
    const Token declared = AskToken(client_);
    const std::string answer = RawExchange(server_.Port(), "POST /api/v1/runs/" + declared.token +
                                                               "?name=Ann HTTP/1.1\r\nHost: 127.0.0.1\r\n" + expect +
                                                               "Content-Length: 5000000\r\n\r\n");
    EXPECT_EQ(answer.rfind("HTTP/1.1 413 ", 0), 0u) << answer;
  }
  // Sent all the same, declared or chunked, it is still refused (or the
  // connection is closed before the client has sent it all).
  const auto refusedOrClosed = [](const httplib::Result& answer) {
    if (answer) {
      EXPECT_EQ(answer->status, 413) << answer->body;
    }
  };
  const Token big = AskToken(client_);
  const std::string huge(kMaxSubmissionBytes + 1, 'x');
  refusedOrClosed(
      client_.Post(("/api/v1/runs/" + big.token + "?name=Ann").c_str(), huge, "application/octet-stream"));
  const Token chunked = AskToken(client_);
  size_t sent = 0;
  const auto answer = client_.Post(
      ("/api/v1/runs/" + chunked.token + "?name=Ann").c_str(),
      [&](size_t, httplib::DataSink& sink) {
        const size_t piece = std::min<size_t>(65536, huge.size() - sent);
        sink.write(huge.data() + sent, piece);
        sent += piece;
        if (sent == huge.size()) sink.done();
        return true;
      },
      "application/octet-stream");
  refusedOrClosed(answer);
  // The checks come in order: a used token is 409 whatever the body.
  Expect(Submit(client_, token.token, replay), 201);
  const std::string used = RawExchange(server_.Port(), "POST /api/v1/runs/" + token.token +
                                                           "?name= HTTP/1.1\r\nHost: 127.0.0.1\r\n"
                                                           "Content-Length: 5000000\r\n\r\n");
  EXPECT_EQ(used.rfind("HTTP/1.1 409 ", 0), 0u) << used;
}

TEST_P(ApiTest, ScoresAreListedBestFirstInPages) {
  std::vector<int> scores;
  for (uint32_t steps : {250, 500, 400}) {
    const auto [token, replay] = PlayedGame(steps);
    scores.push_back(Parse(replay).result.score);
    Expect(Submit(client_, token.token, replay, "p" + std::to_string(steps)), 201);
  }
  std::sort(scores.rbegin(), scores.rend());
  const Json all = Expect(client_.Get("/api/v1/scores?limit=100"), 200);
  ASSERT_EQ(all["scores"].size(), 3u);
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(all["scores"][i]["score"], scores[i]);
    EXPECT_EQ(all["scores"][i]["rank"], i + 1);
  }
  const Json second = Expect(client_.Get("/api/v1/scores?limit=1&offset=1"), 200);
  ASSERT_EQ(second["scores"].size(), 1u);
  EXPECT_EQ(second["scores"][0]["rank"], 2);
  for (const char* wrong : {"limit=0", "limit=101", "limit=x", "offset=-1", "limit=1e2"})
    Refusal(client_.Get((std::string("/api/v1/scores?") + wrong).c_str()), 400);
}

TEST_P(ApiTest, AnAddressAskingTooOftenIsToldToWait) {
  int refused = 0;
  for (int i = 0; i < 40 && !refused; ++i) {
    const auto answer = client_.Post("/api/v1/runs");
    ASSERT_TRUE(answer);
    if (answer->status == 429) {
      ++refused;
      EXPECT_FALSE(answer->get_header_value("Retry-After").empty());
    } else {
      EXPECT_EQ(answer->status, 201);
    }
  }
  EXPECT_EQ(refused, 1);
  // Reading goes on.
  EXPECT_EQ(client_.Get("/api/v1/scores")->status, 200);
}

INSTANTIATE_TEST_SUITE_P(Sqlite, ApiTest, ::testing::Values(DatabaseKind::kSqlite));
INSTANTIATE_TEST_SUITE_P(Postgres, ApiTest, ::testing::Values(DatabaseKind::kPostgres));

}  // namespace
}  // namespace server_test
