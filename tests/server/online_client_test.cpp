// The game's side of the online table against the real server program (on
// SQLite): a game played from a token's seed listed with its rank, a game the
// server refuses dropped with its reason, and a game that could not be sent
// kept in the outbox until the next start reaches the server.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <dirent.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <ctime>
#include <fstream>
#include <functional>
#include <thread>

#include "engine/http_client.h"
#include "replay/score_exchange.h"
#include "server_harness.h"

namespace server_test {
namespace {

bool Exists(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0;
}

// Polls the exchange, as the screens do every step, until `done` or 60 s.
bool PollUntil(ScoreExchange& exchange, const std::function<bool()>& done) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (std::chrono::steady_clock::now() < deadline) {
    exchange.Poll();
    if (done()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return false;
}

uint32_t TakeTokenSeed(ScoreExchange& exchange) {
  exchange.AskToken();
  uint32_t seed = 0;
  EXPECT_TRUE(PollUntil(exchange, [&] { return exchange.TakeToken(&seed); }));
  return seed;
}

// The result line after the next answer.
std::string NextResult(ScoreExchange& exchange) {
  const int before = exchange.ResultCount();
  EXPECT_TRUE(PollUntil(exchange, [&] { return exchange.ResultCount() != before; }));
  return exchange.Result();
}

// The one outbox file's path, or "".
std::string OutboxFile(const std::string& outbox) {
  std::string found;
  if (DIR* folder = opendir(outbox.c_str())) {
    while (const dirent* entry = readdir(folder))
      if (entry->d_name[0] != '.') found = outbox + "/" + entry->d_name;
    closedir(folder);
  }
  return found;
}

class OnlineClientTest : public ::testing::Test {
 protected:
  OnlineClientTest() : outbox_(scratch_.Path() + "/outbox") {}
  std::string Url(const ServerProcess& server) const { return "http://127.0.0.1:" + std::to_string(server.Port()); }

  ScratchFolder scratch_;
  std::string outbox_;
};

TEST_F(OnlineClientTest, AGamePlayedFromTheTokensSeedGetsItsWorldRankAndLeavesNothingBehind) {
  TestDatabase database(DatabaseKind::kSqlite);
  ServerProcess server(database.Url());
  ScoreExchange exchange;
  exchange.Start(Url(server), outbox_, "");
  ASSERT_TRUE(exchange.Online());

  const uint32_t seed = TakeTokenSeed(exchange);
  EXPECT_TRUE(exchange.GameUnderway());
  const Replay game = Parse(GenuineReplay(seed, 300));
  exchange.SendGame(game, "Ann <3");
  EXPECT_FALSE(exchange.GameUnderway());
  EXPECT_EQ(NextResult(exchange), "World rank 1");
  EXPECT_EQ(OutboxFile(outbox_), "");

  exchange.AskTable();
  ASSERT_TRUE(PollUntil(exchange, [&] { return exchange.Table() != ScoreExchange::TableState::kAsking; }));
  ASSERT_EQ(exchange.Table(), ScoreExchange::TableState::kReady) << exchange.TableProblem();
  ASSERT_EQ(exchange.TableLines().size(), 1u);
  EXPECT_EQ(exchange.TableLines()[0].name, "Ann <3");
  EXPECT_EQ(exchange.TableLines()[0].score, game.result.score);
  EXPECT_EQ(exchange.TableLines()[0].rank, 1);

  // A second game, under the default name since none was chosen.
  const uint32_t second = TakeTokenSeed(exchange);
  exchange.SendGame(Parse(GenuineReplay(second, 250)), "");
  EXPECT_NE(NextResult(exchange).find("World rank"), std::string::npos);
  exchange.AskTable();
  ASSERT_TRUE(PollUntil(exchange, [&] { return exchange.Table() == ScoreExchange::TableState::kReady; }));
  ASSERT_EQ(exchange.TableLines().size(), 2u);
  const auto& lines = exchange.TableLines();
  EXPECT_TRUE(lines[0].name == kDefaultOnlineName || lines[1].name == kDefaultOnlineName);
}

TEST_F(OnlineClientTest, AGameTheServerRefusesIsDroppedWithItsReason) {
  TestDatabase database(DatabaseKind::kSqlite);
  ServerProcess server(database.Url());
  ScoreExchange exchange;
  exchange.Start(Url(server), outbox_, "Bob");
  const uint32_t seed = TakeTokenSeed(exchange);
  // Played from another seed than the token's.
  exchange.SendGame(Parse(GenuineReplay(seed + 1, 300)), "Bob");
  const std::string result = NextResult(exchange);
  EXPECT_EQ(result.rfind("Score refused by the server: ", 0), 0u) << result;
  EXPECT_EQ(OutboxFile(outbox_), "");
}

TEST_F(OnlineClientTest, AGameThatCouldNotBeSentWaitsInTheOutboxAndGoesAtTheNextStart) {
  TestDatabase database(DatabaseKind::kSqlite);
  Replay game;
  std::string waiting;
  {
    ServerProcess server(database.Url());
    ScoreExchange exchange;
    exchange.Start(Url(server), outbox_, "Cy");
    const uint32_t seed = TakeTokenSeed(exchange);
    game = Parse(GenuineReplay(seed, 300));
    server.Stop();
    exchange.SendGame(game, "Cy");
    EXPECT_EQ(NextResult(exchange), "Score not sent (server unreachable): it goes at the next start");
    waiting = OutboxFile(outbox_);
    ASSERT_NE(waiting, "");
    Replay kept;
    ASSERT_EQ(ReadReplayFile(waiting, kept), ReplayError::kNone);
    EXPECT_TRUE(kept == game);
  }
  // The next run, with the server back on the same database.
  ServerProcess server(database.Url());
  ScoreExchange exchange;
  exchange.Start(Url(server), outbox_, "Cy");
  EXPECT_EQ(NextResult(exchange), "World rank 1");
  EXPECT_FALSE(Exists(waiting));
  httplib::Client client = server.Client();
  const httplib::Result scores = client.Get("/api/v1/scores");
  ASSERT_TRUE(scores);
  EXPECT_NE(scores->body.find("\"Cy\""), std::string::npos) << scores->body;
}

TEST_F(OnlineClientTest, AnOutboxGameWhoseTokenExpiredIsDroppedAndStrangersAreLeftAlone) {
  TestDatabase database(DatabaseKind::kSqlite);
  ServerProcess server(database.Url());
  ASSERT_EQ(mkdir(outbox_.c_str(), 0700), 0);
  Replay old = Parse(GenuineReplay(7, 100));
  old.header.date = std::time(nullptr) - kTokenLifetimeSeconds - 60;
  const std::string expired = outbox_ + "/0123456789abcdef0123456789abcdef.replay";
  ASSERT_TRUE(WriteReplayFile(expired, old));
  const std::string stranger = outbox_ + "/notes.replay";
  std::ofstream(stranger) << "not ours";

  ScoreExchange exchange;
  exchange.Start(Url(server), outbox_, "");
  EXPECT_FALSE(Exists(expired));
  EXPECT_TRUE(Exists(stranger));
  exchange.Flush(1000);
  EXPECT_EQ(exchange.ResultCount(), 0);
}

TEST(OnlineClientOfflineTest, WithoutAServerNothingTouchesTheNetwork) {
  ScoreExchange exchange;
  exchange.Start("", "/nonexistent/outbox", "Ann");
  EXPECT_FALSE(exchange.Online());
  exchange.AskToken();
  exchange.AskTable();
  uint32_t seed = 5;
  EXPECT_FALSE(exchange.TakeToken(&seed));
  EXPECT_EQ(seed, 5u);
  EXPECT_EQ(exchange.Table(), ScoreExchange::TableState::kNone);
}

TEST(OnlineClientOfflineTest, ANoAnswerComesBackWithinItsTimeLimits) {
  // A port nobody listens on: refused at once, never a hang.
  HttpClient client;
  HttpRequest request;
  request.url = "http://127.0.0.1:1/healthz";
  request.connectTimeoutMs = 1000;
  request.totalTimeoutMs = 2000;
  std::future<HttpResponse> answer = client.Send(request);
  ASSERT_EQ(answer.wait_for(std::chrono::seconds(10)), std::future_status::ready);
  const HttpResponse response = answer.get();
  EXPECT_FALSE(response.Answered());
  EXPECT_FALSE(response.error.empty());
}

TEST(OnlineClientOfflineTest, ClosingTheClientCutsASlowRequestShort) {
  // A server that takes the connection and never answers.
  const int listener = socket(AF_INET, SOCK_STREAM, 0);
  ASSERT_GE(listener, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  ASSERT_EQ(listen(listener, 4), 0);
  socklen_t length = sizeof address;
  ASSERT_EQ(getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length), 0);

  std::future<HttpResponse> answer;
  const auto start = std::chrono::steady_clock::now();
  {
    HttpClient client;
    HttpRequest request;
    request.url = "http://127.0.0.1:" + std::to_string(ntohs(address.sin_port)) + "/healthz";
    request.totalTimeoutMs = 30000;
    answer = client.Send(request);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
  }
  const auto waited = std::chrono::steady_clock::now() - start;
  EXPECT_LT(waited, std::chrono::seconds(5));
  ASSERT_EQ(answer.wait_for(std::chrono::seconds(0)), std::future_status::ready);
  EXPECT_FALSE(answer.get().Answered());
  close(listener);
}

TEST(OnlineClientOfflineTest, EveryAnswerToASubmissionSaysWhatBecameOfTheGame) {
  bool keep = true;
  auto answer = [](long status, const std::string& body) {
    HttpResponse r;
    r.status = status;
    r.body = body;
    return r;
  };
  EXPECT_EQ(DescribeSubmission(answer(201, R"({"id":4,"rank":12,"score":5,"wave":1,"steps":9})"), &keep),
            "World rank 12");
  EXPECT_FALSE(keep);
  for (long status : {0L, 429L, 500L, 503L}) {
    DescribeSubmission(answer(status, ""), &keep);
    EXPECT_TRUE(keep) << status;
  }
  EXPECT_EQ(DescribeSubmission(answer(422, R"({"error":"the replay departs\nat step 9"})"), &keep),
            "Score refused by the server: the replay departs?at step 9");
  EXPECT_FALSE(keep);
  for (long status : {400L, 404L, 409L, 413L, 418L}) {
    DescribeSubmission(answer(status, "<html>"), &keep);
    EXPECT_FALSE(keep) << status;
  }
  EXPECT_EQ(DescribeSubmission(answer(418, "garbage"), &keep), "Score refused by the server (418)");
}

TEST(OnlineClientOfflineTest, OnlyAWellFormedTableIsRead) {
  std::vector<OnlineScore> lines;
  ASSERT_TRUE(ParseScoreTable(
      R"({"scores":[{"rank":1,"id":3,"name":"A\u00e9\u0001","score":900,"wave":2,"steps":10,"date":"x"}]})", &lines));
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].name, "A???");
  EXPECT_EQ(lines[0].score, 900);
  for (const char* bad : {"", "[]", "{}", R"({"scores":{}})", R"({"scores":[{"rank":"1"}]})", R"({"scores":[1]})"})
    EXPECT_FALSE(ParseScoreTable(bad, &lines)) << bad;
  EXPECT_TRUE(IsTokenText("0123456789abcdef0123456789abcdef"));
  for (const char* bad : {"", "0123456789ABCDEF0123456789ABCDEF", "../../etc/passwd", "0123456789abcdef"})
    EXPECT_FALSE(IsTokenText(bad)) << bad;
}

}  // namespace
}  // namespace server_test
