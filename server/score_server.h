// The HTTP side of the score server: the API, the page and the replays, the
// limits per client, one log line per request. The storage, the verifier and
// the gate in front of it do the work.
#pragma once

#include <atomic>
#include <memory>
#include <string>

#include "server/rate_limiter.h"
#include "server/replay_verifier.h"
#include "server/storage.h"
#include "server/verification_gate.h"

namespace httplib {
struct Request;
struct Response;
class ContentReader;
}  // namespace httplib

struct ScoreServerSettings {
  std::string host = "127.0.0.1";
  int port = 0;
  bool behindProxy = false;
  int verifiers = 1;
  int queue = 4;
  RateRules rates;
};

class ScoreServer {
 public:
  ScoreServer(Storage& storage, ReplayVerifier& verifier, const ScoreServerSettings& settings);
  ~ScoreServer();

  // Binds the address; false with `error` set when it cannot.
  bool Bind(std::string& error);
  // The port bound (the one chosen when 0 was asked for).
  int Port() const { return port_; }
  // Serves until Stop; false when it stopped on an error.
  bool Run();
  // From any thread.
  void Stop();

 private:
  class Http;
  void Route();
  std::string ClientAddress(const httplib::Request& request) const;
  bool WithinRate(const httplib::Request& request, httplib::Response& response);

  void IssueToken(const httplib::Request& request, httplib::Response& response);
  void Submit(const httplib::Request& request, httplib::Response& response, const httplib::ContentReader& read);
  void ListScores(const httplib::Request& request, httplib::Response& response);
  void SendReplay(const httplib::Request& request, httplib::Response& response);
  void SendPage(const httplib::Request& request, httplib::Response& response);
  void SendHealth(const httplib::Request& request, httplib::Response& response);

  // The token, the declared size and the name, checked before the body is
  // read; nothing, with the answer made, when one is wrong.
  std::optional<TokenRecord> CheckBeforeBody(const std::string& token, const httplib::Request& request,
                                             httplib::Response& response);
  // A refusal the token pays for (400, 413, 422).
  void Refuse(const std::string& token, httplib::Response& response, int status, const std::string& why);
  void ForgetOldTokens(int64_t nowMs);

  Storage& storage_;
  ReplayVerifier& verifier_;
  ScoreServerSettings settings_;
  VerificationGate gate_;
  RateLimiter limiter_;
  std::unique_ptr<Http> http_;
  int port_ = 0;
  std::atomic<int64_t> tokensForgottenAtMs_{0};
};
