#include "server/score_server.h"

#include <httplib.h>
#include <sys/socket.h>

#include <nlohmann/json.hpp>

#include "server/random_source.h"
#include "server/score_page.h"
#include "server/server_log.h"
#include "server/submission_rules.h"

namespace {

using httplib::Request;
using httplib::Response;
using Json = nlohmann::json;

// Connections waiting to be accepted: a burst of hundreds of players is
// queued by the kernel rather than refused (the library's own is 5).
constexpr int kListenBacklog = 1024;
// Threads serving connections, one connection each at a time: enough that
// reads go on while every verifier slot and the whole line in front of them
// are taken, and that a burst of players is served without waiting long for
// idle kept-alive connections to time out.
constexpr int kReadingThreads = 192;
constexpr int kKeepAliveSeconds = 2;
// A busy server asks a client to come back after this long.
constexpr int kBusyRetrySeconds = 10;
// Unused tokens are dropped once they are this old, checked at most this often.
constexpr int64_t kForgetTokensAfterMs = 2 * kTokenLifetimeMs;
constexpr int64_t kForgetTokensEveryMs = 3600 * 1000;

void SendJson(Response& response, int status, const Json& body) {
  response.status = status;
  response.set_header("Cache-Control", "no-store");
  response.set_content(body.dump(-1, ' ', false, Json::error_handler_t::replace) + "\n", "application/json");
}

void SendError(Response& response, int status, const std::string& why) { SendJson(response, status, {{"error", why}}); }

// An answer given before the body was read: the rest of the body is not
// read, so the connection cannot carry another request.
void CloseAfter(Response& response) { response.set_header("Connection", "close"); }

bool IsLoopback(const std::string& address) {
  return address.rfind("127.", 0) == 0 || address == "::1" || address.rfind("::ffff:127.", 0) == 0;
}

// The path as logged: a token is cut to its first digits, so that the log
// cannot be used to spend it.
std::string PathForLog(const std::string& path) {
  static const std::string runs = "/api/v1/runs/";
  if (path.compare(0, runs.size(), runs) == 0 && path.size() > runs.size() + 8)
    return path.substr(0, runs.size() + 8) + "...";
  return path.size() > 200 ? path.substr(0, 200) + "..." : path;
}

}  // namespace

// The library's server, with the deeper backlog it cannot set itself and
// without SO_REUSEPORT, which would let a second server share a port that
// must be reported as taken.
class ScoreServer::Http : public httplib::Server {
 public:
  Http() {
    set_socket_options([](socket_t socket) {
      int yes = 1;
      setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    });
  }
  bool DeepenBacklog() { return ::listen(svr_sock_, kListenBacklog) == 0; }
};

ScoreServer::ScoreServer(Storage& storage, ReplayVerifier& verifier, const ScoreServerSettings& settings)
    : storage_(storage), verifier_(verifier), settings_(settings), gate_(settings.verifiers, settings.queue),
      limiter_(settings.rates), http_(std::make_unique<Http>()) {
  const size_t threads = static_cast<size_t>(kReadingThreads + settings.verifiers + settings.queue);
  http_->new_task_queue = [threads] { return new httplib::ThreadPool(threads); };
  http_->set_payload_max_length(kMaxSubmissionBytes);
  http_->set_keep_alive_max_count(100);
  http_->set_keep_alive_timeout(kKeepAliveSeconds);
  Route();
}

ScoreServer::~ScoreServer() = default;

bool ScoreServer::Bind(std::string& error) {
  errno = 0;
  if (settings_.port == 0)
    port_ = http_->bind_to_any_port(settings_.host);
  else
    port_ = http_->bind_to_port(settings_.host, settings_.port) ? settings_.port : -1;
  if (port_ <= 0) {
    error = errno ? std::strerror(errno) : "the address cannot be used";
    return false;
  }
  if (!http_->DeepenBacklog()) {
    error = std::string("cannot deepen the listen backlog: ") + std::strerror(errno);
    return false;
  }
  return true;
}

bool ScoreServer::Run() { return http_->listen_after_bind(); }

void ScoreServer::Stop() {
  verifier_.Stop();
  http_->stop();
}

std::string ScoreServer::ClientAddress(const Request& request) const {
  if (settings_.behindProxy && IsLoopback(request.remote_addr)) {
    // The proxy appends the address it saw last.
    std::string forwarded = request.get_header_value("X-Forwarded-For");
    const auto comma = forwarded.find_last_of(',');
    if (comma != std::string::npos) forwarded = forwarded.substr(comma + 1);
    const auto first = forwarded.find_first_not_of(" \t");
    const auto last = forwarded.find_last_not_of(" \t");
    if (first != std::string::npos) return forwarded.substr(first, last - first + 1);
  }
  return request.remote_addr;
}

bool ScoreServer::WithinRate(const Request& request, Response& response) {
  RequestKind kind = RequestKind::kRead;
  if (request.method == "POST")
    kind = request.path == "/api/v1/runs" ? RequestKind::kToken : RequestKind::kSubmission;
  int retryAfter = 0;
  if (limiter_.Allow(ClientAddress(request), kind, RateLimiter::Clock::now(), retryAfter)) return true;
  response.set_header("Retry-After", std::to_string(retryAfter));
  if (kind == RequestKind::kSubmission) CloseAfter(response);
  SendError(response, 429, "too many requests from this address: try again in " + std::to_string(retryAfter) + " s");
  return false;
}

void ScoreServer::Route() {
  Http& http = *http_;
  http.set_pre_routing_handler([this](const Request& request, Response& response) {
    return WithinRate(request, response) ? httplib::Server::HandlerResponse::Unhandled
                                         : httplib::Server::HandlerResponse::Handled;
  });
  http.Get("/", [this](const Request& q, Response& r) { SendPage(q, r); });
  http.Get("/healthz", [this](const Request& q, Response& r) { SendHealth(q, r); });
  http.Get("/api/v1/scores", [this](const Request& q, Response& r) { ListScores(q, r); });
  http.Get(R"(/runs/(\d{1,18})\.replay)", [this](const Request& q, Response& r) { SendReplay(q, r); });
  // A content reader: the library would refuse a POST without Content-Length
  // before any handler, and asking for a token needs no body.
  http.Post("/api/v1/runs", [this](const Request& q, Response& r, const httplib::ContentReader& read) {
    // A body, which nothing needs, is read past (up to the library's limit)
    // so that the connection can carry the next request.
    const std::string length = q.get_header_value("Content-Length");
    if ((!length.empty() && length != "0") || q.has_header("Transfer-Encoding"))
      read([](const char*, size_t) { return true; });
    IssueToken(q, r);
  });
  http.Post(R"(/api/v1/runs/([^/]*))",
            [this](const Request& q, Response& r, const httplib::ContentReader& read) { Submit(q, r, read); });

  // Answers the library makes itself (no such path, a body too large for the
  // token request) get a body that says so.
  http.set_error_handler(httplib::Server::HandlerWithResponse([](const Request& request, Response& response) {
    if (!response.body.empty()) return httplib::Server::HandlerResponse::Unhandled;
    const std::string why = response.status == 404   ? "no such page"
                            : response.status == 413 ? "the request is too large"
                                                     : "the request cannot be served (" +
                                                           std::to_string(response.status) + ")";
    if (request.path.rfind("/api/", 0) == 0)
      SendError(response, response.status, why);
    else
      response.set_content(why + "\n", "text/plain");
    return httplib::Server::HandlerResponse::Handled;
  }));
  http.set_exception_handler([](const Request& request, Response& response, std::exception_ptr thrown) {
    std::string what = "unknown error";
    bool database = false;
    try {
      std::rethrow_exception(thrown);
    } catch (const StorageError& e) {
      what = e.what();
      database = true;
    } catch (const std::exception& e) {
      what = e.what();
    }
    LogLine("error serving " + request.method + " " + PathForLog(request.path) + ": " + what);
    if (request.method == "POST") CloseAfter(response);
    SendError(response, database ? 503 : 500,
              database ? "the score database is unavailable just now" : "the server failed on this request");
  });
  // A client that waits for "100 Continue" before it sends the body is
  // answered at once when the token, the size or the name is wrong, so that
  // a refused body is never sent at all.
  http.set_expect_100_continue_handler([this](const Request& request, Response& response) {
    static const std::string runs = "/api/v1/runs/";
    if (request.method != "POST" || request.path.compare(0, runs.size(), runs) != 0) return 100;
    if (CheckBeforeBody(request.path.substr(runs.size()), request, response)) return 100;
    // The library sends this answer without its length.
    response.set_header("Content-Length", std::to_string(response.body.size()));
    return response.status;
  });
  http.set_logger([this](const Request& request, const Response& response) {
    if (request.method.empty())
      return LogLine(request.remote_addr + " (unreadable request) " + std::to_string(response.status));
    LogLine(ClientAddress(request) + " " + request.method + " " + PathForLog(request.path) + " " +
            std::to_string(response.status));
  });
}

void ScoreServer::IssueToken(const Request&, Response& response) {
  const int64_t now = NowMs();
  const std::string token = NewToken();
  const uint32_t seed = NewSeed();
  storage_.AddToken(token, seed, now);
  ForgetOldTokens(now);
  SendJson(response, 201, {{"token", token}, {"seed", seed}});
}

void ScoreServer::ForgetOldTokens(int64_t nowMs) {
  int64_t last = tokensForgottenAtMs_;
  if (nowMs - last < kForgetTokensEveryMs || !tokensForgottenAtMs_.compare_exchange_strong(last, nowMs)) return;
  storage_.ForgetUnusedTokens(nowMs - kForgetTokensAfterMs);
}

void ScoreServer::Refuse(const std::string& token, Response& response, int status, const std::string& reason) {
  storage_.CountRefusal(token);
  const std::string why = PrintableText(reason);
  LogLine("refused a replay for token " + token.substr(0, 8) + "...: " + why);
  SendError(response, status, why);
}

std::optional<TokenRecord> ScoreServer::CheckBeforeBody(const std::string& token, const Request& request,
                                                        Response& response) {
  // Answered before the body is read: the rest of it is not wanted.
  CloseAfter(response);
  const auto record = IsWellFormedToken(token) ? storage_.FindToken(token) : std::nullopt;
  if (!record || NowMs() - record->issuedAtMs > kTokenLifetimeMs) {
    SendError(response, 404, "this token is unknown or has expired: ask for a new one");
    return std::nullopt;
  }
  if (record->spent) {
    SendError(response, 409, "this token has been used");
    return std::nullopt;
  }
  const std::string declared = request.get_header_value("Content-Length");
  if (!declared.empty() && !ParseBoundedNumber(declared, 0, static_cast<int>(kMaxSubmissionBytes), 0)) {
    Refuse(token, response, 413, "a replay may have at most 1 MiB");
    return std::nullopt;
  }
  if (!IsValidName(request.get_param_value("name"))) {
    Refuse(token, response, 400, "the name must have 1 to 20 printable ASCII characters, not all spaces");
    return std::nullopt;
  }
  response.headers.erase("Connection");
  return record;
}

void ScoreServer::Submit(const Request& request, Response& response, const httplib::ContentReader& read) {
  // The cheap checks first, the body unread: the token, the size, the name.
  const std::string token = request.matches[1];
  const auto record = CheckBeforeBody(token, request, response);
  if (!record) return;
  const std::string name = request.get_param_value("name");
  const int64_t now = NowMs();

  std::vector<uint8_t> body;
  bool tooLarge = false;
  const bool complete = read([&](const char* data, size_t length) {
    if (body.size() + length > kMaxSubmissionBytes) {
      tooLarge = true;
      return false;
    }
    body.insert(body.end(), data, data + length);
    return true;
  });
  if (tooLarge) {
    CloseAfter(response);
    return Refuse(token, response, 413, "a replay may have at most 1 MiB");
  }
  if (!complete) {
    CloseAfter(response);
    return SendError(response, 400, "the replay did not arrive whole");
  }

  Replay replay;
  if (const auto why = ExamineReplay(body.data(), body.size(), record->seed, now - record->issuedAtMs, replay))
    return Refuse(token, response, 422, *why);

  VerifierVerdict verdict;
  {
    auto pass = gate_.Enter();
    if (!pass) {
      response.set_header("Retry-After", std::to_string(kBusyRetrySeconds));
      return SendError(response, 503, "the server is busy verifying other games: try again soon");
    }
    verdict = verifier_.Verify(body, replay.result.steps);
  }
  if (verdict.kind == VerifierVerdict::kFault) {
    LogLine("cannot verify a replay: " + PrintableText(verdict.message));
    return SendError(response, 500, "the server cannot verify replays just now; the token stays good");
  }
  if (verdict.kind == VerifierVerdict::kRefused) return Refuse(token, response, 422, verdict.message);
  const ReplayResult& claimed = replay.result;
  if (!(verdict.result == claimed)) {
    char why[200];
    std::snprintf(why, sizeof why,
                  "the replay claims score %d, wave %d, steps %u but plays to score %d, wave %d, steps %u",
                  claimed.score, claimed.wave, claimed.steps, verdict.result.score, verdict.result.wave,
                  verdict.result.steps);
    return Refuse(token, response, 422, why);
  }

  NewRun run;
  run.token = token;
  run.name = name;
  run.score = claimed.score;
  run.wave = claimed.wave;
  run.steps = claimed.steps;
  run.seed = record->seed;
  run.replay = std::move(body);
  const auto accepted = storage_.AcceptRun(run, NowMs());
  if (!accepted) return SendError(response, 409, "this token has been used");
  LogLine("accepted run " + std::to_string(accepted->id) + ": score " + std::to_string(run.score) + ", wave " +
          std::to_string(run.wave) + ", steps " + std::to_string(run.steps) + ", rank " +
          std::to_string(accepted->rank));
  SendJson(response, 201,
           {{"id", accepted->id}, {"rank", accepted->rank}, {"score", run.score}, {"wave", run.wave},
            {"steps", run.steps}});
}

void ScoreServer::ListScores(const Request& request, Response& response) {
  const auto limit = ParseBoundedNumber(request.get_param_value("limit"), 1, kMaxListLimit, kDefaultListLimit);
  const auto offset = ParseBoundedNumber(request.get_param_value("offset"), 0, 1000000000, 0);
  if (!limit) return SendError(response, 400, "limit must be a whole number from 1 to 100");
  if (!offset) return SendError(response, 400, "offset must be a whole number from 0");
  Json scores = Json::array();
  for (const ListedRun& run : storage_.BestRuns(*limit, *offset))
    scores.push_back({{"rank", run.rank}, {"id", run.id}, {"name", run.name}, {"score", run.score},
                      {"wave", run.wave}, {"steps", run.steps}, {"date", IsoDate(run.acceptedAtMs)}});
  SendJson(response, 200, {{"scores", scores}});
}

void ScoreServer::SendReplay(const Request& request, Response& response) {
  const std::string id = request.matches[1];
  const auto bytes = storage_.ReplayOf(std::stoll(id));
  if (!bytes) {
    response.status = 404;
    return response.set_content("no such replay\n", "text/plain");
  }
  response.set_header("Content-Disposition", "attachment; filename=\"vevarnholt-run-" + id + ".replay\"");
  response.set_content(std::string(bytes->begin(), bytes->end()), "application/octet-stream");
}

void ScoreServer::SendPage(const Request&, Response& response) {
  const std::string page = RenderScorePage(storage_.BestRuns(kPageRuns, 0));
  response.set_header("Cache-Control", "no-cache");
  // The page needs no script, no frame and nothing from elsewhere.
  response.set_header("Content-Security-Policy",
                      "default-src 'none'; style-src 'unsafe-inline'; frame-ancestors 'none'");
  response.set_header("X-Content-Type-Options", "nosniff");
  response.set_content(page, "text/html; charset=utf-8");
}

void ScoreServer::SendHealth(const Request&, Response& response) {
  storage_.Ping();
  response.set_content("ok", "text/plain");
}
