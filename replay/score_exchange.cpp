#include "replay/score_exchange.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>

#include <nlohmann/json.hpp>

#include "replay/replay_library.h"

ScoreExchange scoreExchange;

namespace {

constexpr char kReplaySuffix[] = ".replay";
// While playing, the server has all the time it needs to verify a game; at
// the program's end the player is not kept waiting long.
constexpr long kSubmitTimeoutMs = 20000;
constexpr long kSubmitAtExitTimeoutMs = 4000;

// The server's own words for a refusal, kept printable and short.
std::string ServerReason(const std::string& body) {
  const nlohmann::json answer = nlohmann::json::parse(body, nullptr, false);
  std::string why;
  if (answer.is_object() && answer.contains("error") && answer["error"].is_string())
    why = answer["error"].get<std::string>();
  std::string shown;
  for (char c : why) {
    if (shown.size() == 80) return shown + "...";
    shown += c >= ' ' && c < 0x7F ? c : '?';
  }
  return shown;
}

bool EndsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

}  // namespace

bool IsTokenText(const std::string& token) {
  if (token.size() != 32) return false;
  for (char c : token)
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
  return true;
}

std::string DescribeSubmission(const HttpResponse& response, bool* keep) {
  *keep = false;
  if (!response.Answered()) {
    *keep = true;
    return "Score not sent (server unreachable): it goes at the next start";
  }
  if (response.status == 201) {
    const nlohmann::json answer = nlohmann::json::parse(response.body, nullptr, false);
    if (answer.is_object() && answer.contains("rank") && answer["rank"].is_number_integer())
      return "World rank " + std::to_string(answer["rank"].get<long long>());
    return "Score sent";
  }
  if (response.status == 429 || response.status >= 500) {
    *keep = true;
    return "Score not sent (the server is busy): it goes at the next start";
  }
  if (response.status == 409) return "Score already on the online table";
  if (response.status == 404) return "Score not sent: the server no longer knows this game";
  const std::string why = ServerReason(response.body);
  return "Score refused by the server" + (why.empty() ? " (" + std::to_string(response.status) + ")" : ": " + why);
}

bool ParseScoreTable(const std::string& body, std::vector<OnlineScore>* lines) {
  const nlohmann::json answer = nlohmann::json::parse(body, nullptr, false);
  if (!answer.is_object() || !answer.contains("scores") || !answer["scores"].is_array()) return false;
  std::vector<OnlineScore> read;
  for (const nlohmann::json& entry : answer["scores"]) {
    if (!entry.is_object()) return false;
    const auto whole = [&](const char* key) { return entry.contains(key) && entry[key].is_number_integer(); };
    if (!whole("rank") || !whole("score") || !whole("wave") || !entry.contains("name") || !entry["name"].is_string())
      return false;
    OnlineScore line;
    line.rank = entry["rank"].get<int>();
    line.score = entry["score"].get<int64_t>();
    line.wave = entry["wave"].get<int>();
    // Drawn with the game's font: printable ASCII only.
    for (char c : entry["name"].get<std::string>())
      if (line.name.size() < kReplayNameLength) line.name += c >= ' ' && c < 0x7F ? c : '?';
    read.push_back(line);
  }
  *lines = std::move(read);
  return true;
}

ScoreExchange::~ScoreExchange() = default;

void ScoreExchange::Start(const std::string& server, const std::string& outbox, const std::string& name) {
  server_ = server;
  while (!server_.empty() && server_.back() == '/') server_.pop_back();
  outbox_ = outbox;
  if (server_.empty()) return;
  client_ = std::make_unique<HttpClient>();
  SendOutbox(name.empty() ? kDefaultOnlineName : name);
}

void ScoreExchange::SendOutbox(const std::string& name) {
  if (outbox_.empty()) return;
  DIR* folder = opendir(outbox_.c_str());
  if (!folder) return;
  std::vector<std::string> names;
  while (const dirent* entry = readdir(folder)) {
    const std::string name = entry->d_name;
    if (EndsWith(name, kReplaySuffix) && IsTokenText(name.substr(0, name.size() - std::strlen(kReplaySuffix))))
      names.push_back(name);
  }
  closedir(folder);
  const int64_t now = std::time(nullptr);
  for (const std::string& fileName : names) {
    const std::string file = outbox_ + "/" + fileName;
    Replay replay;
    // A file that cannot be read stays where it is, as every replay does.
    if (ReadReplayFile(file, replay) != ReplayError::kNone) continue;
    // The token was issued before the game began: past its day it is gone
    // (the game itself stays among the replays).
    if (now - replay.header.date > kTokenLifetimeSeconds) {
      unlink(file.c_str());
      continue;
    }
    Deliver(file, fileName.substr(0, 32), SerializeReplay(replay), name, false);
  }
}

void ScoreExchange::AskToken() {
  if (!client_ || !token_.empty() || tokenAnswer_.valid()) return;
  HttpRequest request;
  request.method = HttpRequest::kPost;
  request.url = server_ + "/api/v1/runs";
  tokenAnswer_ = client_->Send(request);
}

bool ScoreExchange::TakeToken(uint32_t* seed) {
  Poll();
  if (token_.empty()) return false;
  gameToken_ = token_;
  token_.clear();
  *seed = seed_;
  return true;
}

void ScoreExchange::SendGame(const Replay& replay, const std::string& name, bool atExit) {
  if (gameToken_.empty()) return;
  const std::string token = gameToken_;
  gameToken_.clear();
  if (!client_) return;
  const std::vector<uint8_t> bytes = SerializeReplay(replay);
  if (bytes.empty()) return;
  // Into the outbox first: whatever happens to the request, the game waits
  // there until the server has answered it.
  std::string file;
  if (!outbox_.empty() && EnsureFolder(outbox_)) {
    file = outbox_ + "/" + token + kReplaySuffix;
    if (!WriteReplayFile(file, replay)) {
      std::fprintf(stderr, "vevarnholt: the game could not be kept in %s to send later\n", file.c_str());
      file.clear();
    }
  }
  Deliver(file, token, bytes, name.empty() ? kDefaultOnlineName : name, atExit);
}

void ScoreExchange::Deliver(const std::string& file, const std::string& token, const std::vector<uint8_t>& bytes,
                            const std::string& name, bool atExit) {
  HttpRequest request;
  request.method = HttpRequest::kPost;
  request.url = server_ + "/api/v1/runs/" + token + "?name=" + HttpClient::Escape(name);
  request.body = bytes;
  request.totalTimeoutMs = atExit ? kSubmitAtExitTimeoutMs : kSubmitTimeoutMs;
  if (atExit) request.connectTimeoutMs = 2000;
  deliveries_.push_back(Delivery{file, client_->Send(std::move(request))});
}

void ScoreExchange::Settle(Delivery& delivery, const HttpResponse& response) {
  bool keep = false;
  SetResult(DescribeSubmission(response, &keep));
  if (!keep && !delivery.file.empty()) unlink(delivery.file.c_str());
  if (!response.Answered())
    std::fprintf(stderr, "vevarnholt: the score server at %s did not answer: %s\n", server_.c_str(),
                 response.error.c_str());
}

void ScoreExchange::SetResult(const std::string& text) {
  result_ = text;
  ++resultCount_;
}

void ScoreExchange::Poll() {
  if (!client_) return;
  if (Ready(tokenAnswer_)) {
    const HttpResponse response = tokenAnswer_.get();
    const nlohmann::json answer = nlohmann::json::parse(response.body, nullptr, false);
    if (response.status == 201 && answer.is_object() && answer.contains("token") && answer["token"].is_string() &&
        IsTokenText(answer["token"].get<std::string>()) && answer.contains("seed") &&
        answer["seed"].is_number_unsigned() && answer["seed"].get<uint64_t>() <= UINT32_MAX) {
      token_ = answer["token"].get<std::string>();
      seed_ = static_cast<uint32_t>(answer["seed"].get<uint64_t>());
    } else if (!response.Answered()) {
      std::fprintf(stderr, "vevarnholt: the score server at %s did not answer: %s\n", server_.c_str(),
                   response.error.c_str());
    } else {
      std::fprintf(stderr, "vevarnholt: the score server at %s gave no token (status %ld)\n", server_.c_str(),
                   response.status);
    }
  }
  for (size_t i = 0; i < deliveries_.size();) {
    if (Ready(deliveries_[i].answer)) {
      Settle(deliveries_[i], deliveries_[i].answer.get());
      deliveries_.erase(deliveries_.begin() + static_cast<long>(i));
    } else {
      ++i;
    }
  }
  if (Ready(tableAnswer_)) {
    const HttpResponse response = tableAnswer_.get();
    if (response.status == 200 && ParseScoreTable(response.body, &table_)) {
      tableState_ = TableState::kReady;
    } else {
      tableState_ = TableState::kFailed;
      tableProblem_ = response.Answered() ? "the server's answer was not a table (status " +
                                                std::to_string(response.status) + ")"
                                          : "the server did not answer";
    }
  }
}

void ScoreExchange::AskTable() {
  if (!client_ || tableAnswer_.valid()) return;
  HttpRequest request;
  request.url = server_ + "/api/v1/scores?limit=10";
  tableAnswer_ = client_->Send(request);
  tableState_ = TableState::kAsking;
}

void ScoreExchange::Flush(int timeoutMs) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (Delivery& delivery : deliveries_) delivery.answer.wait_until(deadline);
  Poll();
}
