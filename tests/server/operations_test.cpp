// The server in operation: verifiers that crash, hang or cannot run, a full
// line of verifications, a server killed mid-submission, two servers on one
// database, a burst of clients, and its command line.
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <nlohmann/json.hpp>
#include <thread>

#include "server_harness.h"

namespace server_test {
namespace {

using Json = nlohmann::json;

// The game's verifier behind a switch: a file "mode" beside it makes it crash,
// hang, say its data is missing or take its time before verifying.
class SwitchedVerifier {
 public:
  SwitchedVerifier() : path_(folder_.Path() + "/verifier") {
    const std::string real = VerifierProgram();
    std::ofstream(path_) << "#!/bin/sh\n"
                         << "case \"$(cat " << folder_.Path() << "/mode 2>/dev/null)\" in\n"
                         << "  crash) kill -SEGV $$ ;;\n"
                         << "  hang) sleep 600 ;;\n"
                         << "  nodata) echo 'vevarnholt: cannot load kav.dat' >&2; exit 4 ;;\n"
                         << "  slow) sleep 2 ;;\n"
                         << "esac\n"
                         << "cd '" << real.substr(0, real.find_last_of('/')) << "' && exec '" << real << "' \"$@\"\n";
    chmod(path_.c_str(), 0755);
  }
  void Set(const std::string& mode) { std::ofstream(folder_.Path() + "/mode") << mode; }
  void Runnable(bool yes) { chmod(path_.c_str(), yes ? 0755 : 0644); }
  const std::string& Path() const { return path_; }

 private:
  ScratchFolder folder_;
  std::string path_;
};

int StatusOf(const httplib::Result& answer) { return answer ? answer->status : -1; }

TEST(Operations, AVerifierThatCrashesOrHangsCostsOnlyThatReplay) {
  TestDatabase database(DatabaseKind::kSqlite);
  SwitchedVerifier verifier;
  ServerProcess server(database.Url(), {"--verifier", verifier.Path(), "--verify-seconds", "1"});
  auto client = server.Client();
  for (const char* mode : {"crash", "hang"}) {
    verifier.Set(mode);
    const Token token = AskToken(client);
    const auto answer = Submit(client, token.token, GenuineReplay(token.seed, 300));
    EXPECT_EQ(StatusOf(answer), 422) << mode;
    verifier.Set("");
    EXPECT_EQ(StatusOf(Submit(client, token.token, GenuineReplay(token.seed, 300))), 201) << mode;
  }
  EXPECT_EQ(client.Get("/api/v1/scores")->status, 200);
}

TEST(Operations, AVerifierThatCannotWorkIsAServerErrorAndTheTokenStaysGood) {
  TestDatabase database(DatabaseKind::kSqlite);
  SwitchedVerifier verifier;
  ServerProcess server(database.Url(), {"--verifier", verifier.Path()});
  auto client = server.Client();
  const Token token = AskToken(client);
  const auto replay = GenuineReplay(token.seed, 300);
  verifier.Set("nodata");
  // More failures than a token's refusals: none of them is counted.
  for (int i = 0; i < 4; ++i) EXPECT_EQ(StatusOf(Submit(client, token.token, replay)), 500);
  verifier.Set("");
  verifier.Runnable(false);
  EXPECT_EQ(StatusOf(Submit(client, token.token, replay)), 500);
  verifier.Runnable(true);
  EXPECT_EQ(StatusOf(Submit(client, token.token, replay)), 201);
  EXPECT_NE(server.Log().find("cannot verify"), std::string::npos);
}

TEST(Operations, AFullLineOfVerificationsIsBusyAndTheTokenStaysGood) {
  TestDatabase database(DatabaseKind::kSqlite);
  SwitchedVerifier verifier;
  verifier.Set("slow");
  ServerProcess server(database.Url(), {"--verifier", verifier.Path(), "--verifiers", "1", "--queue", "1"});
  std::vector<Token> tokens;
  {
    auto client = server.Client();
    for (int i = 0; i < 3; ++i) tokens.push_back(AskToken(client));
  }
  std::vector<int> statuses(3);
  std::vector<std::thread> players;
  for (int i = 0; i < 3; ++i)
    players.emplace_back([&, i] {
      auto client = server.Client();
      statuses[i] = StatusOf(Submit(client, tokens[i].token, GenuineReplay(tokens[i].seed, 300)));
    });
  for (auto& p : players) p.join();
  EXPECT_EQ(std::count(statuses.begin(), statuses.end(), 201), 2);
  ASSERT_EQ(std::count(statuses.begin(), statuses.end(), 503), 1);
  const int busy = static_cast<int>(std::find(statuses.begin(), statuses.end(), 503) - statuses.begin());
  auto client = server.Client();
  EXPECT_EQ(StatusOf(Submit(client, tokens[busy].token, GenuineReplay(tokens[busy].seed, 300))), 201);
}

class Durability : public ::testing::TestWithParam<DatabaseKind> {};

TEST_P(Durability, AServerKilledDuringSubmissionsLosesNoAcceptedRun) {
  TestDatabase database(GetParam());
  constexpr int kPlayers = 6;
  std::vector<Token> tokens;
  std::vector<std::vector<uint8_t>> replays;
  std::vector<int> statuses(kPlayers, -1);
  std::vector<int64_t> ids(kPlayers, 0);
  {
    ServerProcess server(database.Url());
    auto client = server.Client();
    for (int i = 0; i < kPlayers; ++i) {
      tokens.push_back(AskToken(client));
      replays.push_back(GenuineReplay(tokens.back().seed, 250 + 10 * i));
    }
    std::atomic<int> answered{0};
    std::vector<std::thread> players;
    for (int i = 0; i < kPlayers; ++i)
      players.emplace_back([&, i] {
        auto c = server.Client();
        const auto answer = Submit(c, tokens[i].token, replays[i]);
        statuses[i] = StatusOf(answer);
        if (statuses[i] == 201) ids[i] = Json::parse(answer->body)["id"].get<int64_t>();
        ++answered;
      });
    // Killed as soon as the first run is accepted, the others on their way.
    while (answered == 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    server.Kill();
    for (auto& p : players) p.join();
  }
  ServerProcess restarted(database.Url());
  auto client = restarted.Client();
  const Json listed = Json::parse(client.Get("/api/v1/scores?limit=100")->body)["scores"];
  int accepted = 0;
  for (int i = 0; i < kPlayers; ++i) {
    if (statuses[i] == 201) {
      ++accepted;
      bool found = false;
      for (const Json& run : listed) found |= run["id"] == ids[i];
      EXPECT_TRUE(found) << "run " << ids[i] << " was accepted and is gone";
      continue;
    }
    // Unanswered: either stored before the end (its token spent) or its
    // token is still good.
    const int again = StatusOf(Submit(client, tokens[i].token, replays[i]));
    EXPECT_TRUE(again == 201 || again == 409) << again;
  }
  EXPECT_GE(accepted, 1);
  EXPECT_EQ(Json::parse(client.Get("/api/v1/scores?limit=100")->body)["scores"].size(), kPlayers);
  if (GetParam() == DatabaseKind::kSqlite) {
    EXPECT_EQ(database.Query("PRAGMA integrity_check"), "ok");
  }
}

INSTANTIATE_TEST_SUITE_P(Sqlite, Durability, ::testing::Values(DatabaseKind::kSqlite));
INSTANTIATE_TEST_SUITE_P(Postgres, Durability, ::testing::Values(DatabaseKind::kPostgres));

TEST(PostgresShared, TwoServersShareOneDatabase) {
  TestDatabase database(DatabaseKind::kPostgres);
  ServerProcess first(database.Url()), second(database.Url());
  auto a = first.Client(), b = second.Client();
  const Token token = AskToken(a);
  const auto replay = GenuineReplay(token.seed, 300);
  EXPECT_EQ(StatusOf(Submit(b, token.token, replay)), 201);
  EXPECT_EQ(StatusOf(Submit(a, token.token, replay)), 409);
  EXPECT_EQ(Json::parse(a.Get("/api/v1/scores")->body)["scores"].size(), 1u);

  // One token sent to both at once is accepted once.
  const Token raced = AskToken(b);
  const auto racedReplay = GenuineReplay(raced.seed, 300);
  int statuses[2];
  std::thread toFirst([&] {
    auto c = first.Client();
    statuses[0] = StatusOf(Submit(c, raced.token, racedReplay));
  });
  auto c = second.Client();
  statuses[1] = StatusOf(Submit(c, raced.token, racedReplay));
  toFirst.join();
  EXPECT_EQ(std::min(statuses[0], statuses[1]), 201);
  EXPECT_EQ(std::max(statuses[0], statuses[1]), 409);
}

TEST(Operations, ABurstOfHundredsOfClientsIsAnsweredCorrectlyInTime) {
  TestDatabase database(DatabaseKind::kSqlite);
  ServerProcess server(database.Url());
  auto client = server.Client();
  const Token token = AskToken(client);
  const auto replay = GenuineReplay(token.seed, 300);
  const Json run = Json::parse(Submit(client, token.token, replay, "loaded")->body);
  const std::string replayPath = "/runs/" + std::to_string(run["id"].get<int64_t>()) + ".replay";
  const std::string scores = client.Get("/api/v1/scores")->body;

  // Every connection is open before any asks: the backlog must hold them.
  constexpr int kClients = 400;
  std::vector<int> sockets;
  for (int i = 0; i < kClients; ++i) {
    const int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(server.Port()));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address), 0) << "connection " << i;
    sockets.push_back(s);
  }
  const auto start = std::chrono::steady_clock::now();
  const char* paths[] = {"/", "/api/v1/scores", "/healthz", nullptr};
  std::atomic<int> correct{0};
  std::vector<std::thread> readers;
  for (int t = 0; t < 8; ++t)
    readers.emplace_back([&, t] {
      for (int i = t; i < kClients; i += 8) {
        const std::string path = paths[i % 4] ? paths[i % 4] : replayPath;
        const std::string request = "GET " + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n";
        if (send(sockets[i], request.data(), request.size(), MSG_NOSIGNAL) != static_cast<ssize_t>(request.size()))
          continue;
        std::string answer;
        char buffer[8192];
        ssize_t n;
        while ((n = recv(sockets[i], buffer, sizeof buffer, 0)) > 0) answer.append(buffer, static_cast<size_t>(n));
        close(sockets[i]);
        const auto body = answer.find("\r\n\r\n");
        if (answer.rfind("HTTP/1.1 200 ", 0) != 0 || body == std::string::npos) continue;
        const std::string content = answer.substr(body + 4);
        const bool right = path == "/"                 ? content.find(">loaded<") != std::string::npos
                           : path == "/healthz"        ? content == "ok"
                           : path == "/api/v1/scores" ? content == scores
                                                       : content == std::string(replay.begin(), replay.end());
        if (right) ++correct;
      }
    });
  for (auto& r : readers) r.join();
  EXPECT_EQ(correct, kClients);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30));
}

TEST(CommandLine, HelpVersionUsageAndStartFailuresAreClear) {
  std::string out, err;
  EXPECT_EQ(RunProgram({ServerProgram(), "--help"}, &out, &err), 0);
  EXPECT_NE(out.find("--database"), std::string::npos);
  EXPECT_EQ(RunProgram({ServerProgram(), "--version"}, &out, &err), 0);
  EXPECT_EQ(out.rfind("vevarnholt-server ", 0), 0u);
  EXPECT_EQ(RunProgram({ServerProgram(), "--listen", "nowhere"}, &out, &err), 64);
  EXPECT_NE(err.find("nowhere"), std::string::npos);

  ScratchFolder folder;
  const std::string notADatabase = folder.Path() + "/text.sqlite";
  std::ofstream(notADatabase) << std::string(4096, 'x');
  EXPECT_EQ(RunProgram({ServerProgram(), "--listen", "127.0.0.1:0", "--verifier", VerifierProgram(), "--database",
                        "sqlite:" + notADatabase},
                       &out, &err),
            1);
  EXPECT_NE(err.find("cannot open the database"), std::string::npos) << err;
  EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;

  TestDatabase database(DatabaseKind::kSqlite);
  ServerProcess running(database.Url());
  EXPECT_EQ(RunProgram({ServerProgram(), "--listen", "127.0.0.1:" + std::to_string(running.Port()), "--verifier",
                        VerifierProgram(), "--database", "sqlite:" + folder.Path() + "/other.sqlite"},
                       &out, &err),
            1);
  EXPECT_NE(err.find("cannot listen on 127.0.0.1:" + std::to_string(running.Port())), std::string::npos) << err;
  EXPECT_EQ(running.Stop(), 0);
}

}  // namespace
}  // namespace server_test
