// The game's side of the online table. With a score server set, the game asks
// it for a token (and the seed to play from) when the menu opens, plays its
// next game from that seed, and sends the game's replay when it ends; the
// answer ("World rank 12", or why the server refused it) is shown on the title.
// A replay that could not be sent (no network, the server down or busy) waits
// in the outbox folder, named by its token, and goes out at the next start
// while its token is good; one the server refused for good is dropped.
// Everything goes through the HTTP client's worker thread: these calls never
// wait on the network (but Flush, at the program's end). Main thread only.
#pragma once

#include <cstdint>
#include <future>
#include <memory>
#include <string>
#include <vector>

#include "engine/http_client.h"
#include "replay/replay_file.h"

// The name a game is listed under when the player chose none.
constexpr char kDefaultOnlineName[] = "Player";
// A token is good for one game this long after it was issued.
constexpr int64_t kTokenLifetimeSeconds = 24 * 3600;

struct OnlineScore {
  int rank = 0;
  std::string name;
  int64_t score = 0;
  int wave = 0;
};

class ScoreExchange {
 public:
  ~ScoreExchange();

  // Called once at start-up: the server's address ("" for none: nothing ever
  // touches the network) and the outbox folder ("" when the player's files are
  // not kept). Sends what waits in the outbox under `name`, dropping replays
  // whose token has expired.
  void Start(const std::string& server, const std::string& outbox, const std::string& name);
  bool Online() const { return client_ != nullptr; }
  const std::string& Server() const { return server_; }

  // Asks for a token for the next game unless one is held or on its way.
  void AskToken();
  // The token's seed for the game about to start, which is then sent when it
  // ends; false (the game is played from a seed of its own and not sent) when
  // no token has come.
  bool TakeToken(uint32_t* seed);
  // The game taken with TakeToken has ended: its replay goes into the outbox,
  // then to the server under `name`. `atExit`: the program is ending, so the
  // request has short time limits (see Flush).
  void SendGame(const Replay& replay, const std::string& name, bool atExit = false);
  // True while a game taken with TakeToken has not been sent.
  bool GameUnderway() const { return !gameToken_.empty(); }

  // Asks for the best ten of the online table.
  void AskTable();
  enum class TableState { kNone, kAsking, kReady, kFailed };
  TableState Table() const { return tableState_; }
  const std::vector<OnlineScore>& TableLines() const { return table_; }
  // Why the table could not be fetched.
  const std::string& TableProblem() const { return tableProblem_; }

  // Picks up the answers that have come; never waits. Once a step on the
  // screens that show results.
  void Poll();
  // Waits at most `timeoutMs` for the replays still being sent (the end of the
  // program); what did not go stays in the outbox.
  void Flush(int timeoutMs);

  // The last game's fate, for the title; empty before any.
  const std::string& Result() const { return result_; }
  // Counts the results, so a screen sees that a new one came.
  int ResultCount() const { return resultCount_; }

 private:
  struct Delivery {
    std::string file;  // in the outbox
    std::future<HttpResponse> answer;
  };
  void Deliver(const std::string& file, const std::string& token, const std::vector<uint8_t>& bytes,
               const std::string& name, bool atExit);
  void Settle(Delivery& delivery, const HttpResponse& response);
  void SetResult(const std::string& text);
  void SendOutbox(const std::string& name);

  std::unique_ptr<HttpClient> client_;
  std::string server_, outbox_;
  std::future<HttpResponse> tokenAnswer_;
  std::string token_;
  uint32_t seed_ = 0;
  std::string gameToken_;
  std::vector<Delivery> deliveries_;
  std::future<HttpResponse> tableAnswer_;
  TableState tableState_ = TableState::kNone;
  std::vector<OnlineScore> table_;
  std::string tableProblem_;
  std::string result_;
  int resultCount_ = 0;
};

extern ScoreExchange scoreExchange;

// What the game tells the player about the server's answer to a submitted
// replay: "World rank 12", "Refused by the server: ..." and so on; `keep` is
// set when the replay should wait in the outbox and be sent again later.
std::string DescribeSubmission(const HttpResponse& response, bool* keep);
// The best scores from the server's answer to GET /api/v1/scores; false when
// the answer is not such a list.
bool ParseScoreTable(const std::string& body, std::vector<OnlineScore>* lines);
// True for a token as the server issues them: 32 lowercase hex digits.
bool IsTokenText(const std::string& token);
