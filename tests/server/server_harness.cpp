#include "server_harness.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <ftw.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <ctime>
#include <map>
#include <nlohmann/json.hpp>
#include <pqxx/pqxx>
#include <regex>
#include <sqlite3.h>
#include <stdexcept>

namespace server_test {

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kStartTimeout = std::chrono::seconds(60);

std::vector<char*> Arguments(const std::vector<std::string>& argv) {
  std::vector<char*> result;
  for (const std::string& a : argv) result.push_back(const_cast<char*>(a.c_str()));
  result.push_back(nullptr);
  return result;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

[[noreturn]] void Fail(const std::string& what) { throw std::runtime_error(what); }

// A server may close a connection while a test still sends (a body it
// refused): that is an error on the socket, not the end of the test.
const bool kPipeSignalIgnored = signal(SIGPIPE, SIG_IGN) != SIG_ERR;

}  // namespace

ScratchFolder::ScratchFolder() {
  const char* tmp = std::getenv("TMPDIR");
  std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/kav-server-test.XXXXXX";
  if (!mkdtemp(&pattern[0])) Fail("cannot make a scratch folder");
  path_ = pattern;
}

ScratchFolder::~ScratchFolder() {
  nftw(path_.c_str(), [](const char* path, const struct stat*, int, FTW*) { return remove(path); }, 8,
       FTW_DEPTH | FTW_PHYS);
}

int RunProgram(const std::vector<std::string>& argv, std::string* out, std::string* err, int timeoutSeconds,
               const std::string& folder) {
  ScratchFolder capture;
  const std::string outFile = capture.Path() + "/out", errFile = capture.Path() + "/err";
  auto args = Arguments(argv);
  const pid_t pid = fork();
  if (pid == 0) {
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    const int o = open(outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int e = open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    dup2(o, 1);
    dup2(e, 2);
    if (!folder.empty() && chdir(folder.c_str()) != 0) _exit(126);
    execv(args[0], args.data());
    _exit(127);
  }
  int status = 0;
  const auto deadline = Clock::now() + std::chrono::seconds(timeoutSeconds);
  while (waitpid(pid, &status, WNOHANG) == 0) {
    if (Clock::now() > deadline) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      Fail(argv[0] + " did not finish within " + std::to_string(timeoutSeconds) + " s");
    }
    usleep(10000);
  }
  if (out) *out = ReadFile(outFile);
  if (err) *err = ReadFile(errFile);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// --- databases

TestDatabase::TestDatabase(DatabaseKind kind) : kind_(kind) {
  if (kind == DatabaseKind::kSqlite) {
    url_ = "sqlite:" + folder_.Path() + "/scores.sqlite";
    return;
  }
  if (!std::getenv("PGHOST") || !std::getenv("PGPORT"))
    Fail("no PostgreSQL cluster: run these tests under pg_virtualenv -v 15, which sets PGHOST and PGPORT");
  static std::atomic<int> made{0};
  name_ = "kav_test_" + std::to_string(getpid()) + "_" + std::to_string(++made);
  pqxx::connection admin("dbname=postgres");
  pqxx::nontransaction(admin).exec("CREATE DATABASE " + name_);
  // The server is given the cluster on 127.0.0.1 by URL; libpq takes the
  // password from the environment.
  url_ = std::string("postgresql://") + (std::getenv("PGUSER") ? std::getenv("PGUSER") : "postgres") +
         "@127.0.0.1:" + std::getenv("PGPORT") + "/" + name_;
}

TestDatabase::~TestDatabase() {
  if (kind_ != DatabaseKind::kPostgres) return;
  try {
    pqxx::connection admin("dbname=postgres");
    pqxx::nontransaction(admin).exec("DROP DATABASE IF EXISTS " + name_ + " WITH (FORCE)");
  } catch (const std::exception&) {
  }
}

std::string TestDatabase::Query(const std::string& sql) {
  if (kind_ == DatabaseKind::kPostgres) {
    pqxx::connection c(url_);
    pqxx::work work(c);
    const pqxx::result rows = work.exec(sql);
    work.commit();
    return rows.empty() || rows[0].empty() || rows[0][0].is_null() ? "" : rows[0][0].c_str();
  }
  sqlite3* db = nullptr;
  sqlite3_open(url_.substr(7).c_str(), &db);
  sqlite3_busy_timeout(db, 10000);
  sqlite3_stmt* statement = nullptr;
  std::string value;
  if (sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK) {
    const std::string error = sqlite3_errmsg(db);
    sqlite3_close(db);
    Fail("SQLite: " + error);
  }
  if (sqlite3_step(statement) == SQLITE_ROW && sqlite3_column_text(statement, 0))
    value = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
  sqlite3_finalize(statement);
  sqlite3_close(db);
  return value;
}

void TestDatabase::Execute(const std::string& sql) { Query(sql); }

// --- the server

ServerProcess::ServerProcess(const std::string& databaseUrl, const std::vector<std::string>& options) {
  std::vector<std::string> argv = {ServerProgram(), "--listen", "127.0.0.1:0", "--database", databaseUrl};
  bool verifierGiven = false;
  for (const std::string& option : options) verifierGiven |= option == "--verifier";
  if (!verifierGiven) argv.insert(argv.end(), {"--verifier", VerifierProgram()});
  argv.insert(argv.end(), options.begin(), options.end());
  auto args = Arguments(argv);
  int logPipe[2];
  if (pipe2(logPipe, O_CLOEXEC) != 0) Fail("pipe");
  const std::string tmpdir = "TMPDIR=" + tmp_.Path();
  pid_ = fork();
  if (pid_ == 0) {
    // A test that dies takes its server with it.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    dup2(logPipe[1], 2);
    putenv(const_cast<char*>(tmpdir.c_str()));
    execv(args[0], args.data());
    _exit(127);
  }
  close(logPipe[1]);
  const int readEnd = logPipe[0];
  reader_ = std::thread([this, readEnd] {
    char buffer[4096];
    ssize_t n;
    while ((n = read(readEnd, buffer, sizeof buffer)) > 0) {
      std::lock_guard<std::mutex> lock(mutex_);
      log_.append(buffer, static_cast<size_t>(n));
    }
    close(readEnd);
  });
  static const std::regex listening("listening on http://127\\.0\\.0\\.1:(\\d+)/");
  const auto deadline = Clock::now() + kStartTimeout;
  std::smatch match;
  std::string log;
  for (;;) {
    log = Log();
    if (std::regex_search(log, match, listening)) break;
    if (waitpid(pid_, nullptr, WNOHANG) == pid_) {
      pid_ = -1;
      Abandon("the server ended before it listened");
    }
    if (Clock::now() > deadline) Abandon("the server did not start listening");
    usleep(10000);
  }
  port_ = std::stoi(match[1]);
  auto client = Client();
  while (!client.Get("/healthz")) {
    if (Clock::now() > deadline) Abandon("the server does not answer /healthz");
    usleep(10000);
  }
}

void ServerProcess::Abandon(const std::string& why) {
  Kill();
  if (reader_.joinable()) reader_.join();
  Fail(why + ": " + log_);
}

ServerProcess::~ServerProcess() {
  // Stopped as an operator stops it: it must end cleanly (and, under the
  // sanitizers, without a leak or an error reported on its way out).
  if (pid_ > 0) {
    const int code = Stop();
    if (code != 0) ADD_FAILURE() << "the server ended with code " << code << ":\n" << log_;
  }
  if (reader_.joinable()) reader_.join();
}

httplib::Client ServerProcess::Client() const {
  httplib::Client client("127.0.0.1", port_);
  client.set_connection_timeout(10);
  client.set_read_timeout(120);
  return client;
}

int ServerProcess::Stop() {
  if (pid_ <= 0) return -1;
  kill(pid_, SIGTERM);
  int status = 0;
  waitpid(pid_, &status, 0);
  pid_ = -1;
  reader_.join();
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

void ServerProcess::Kill() {
  if (pid_ <= 0) return;
  kill(pid_, SIGKILL);
  waitpid(pid_, nullptr, 0);
  pid_ = -1;
  if (reader_.joinable()) reader_.join();
}

std::string ServerProcess::Log() {
  std::lock_guard<std::mutex> lock(mutex_);
  return log_;
}

// --- replays

Replay Parse(const std::vector<uint8_t>& bytes) {
  Replay replay;
  if (ParseReplay(bytes.data(), bytes.size(), replay) != ReplayError::kNone) Fail("not a replay");
  return replay;
}

std::vector<uint8_t> GenuineReplay(uint32_t seed, uint32_t steps) {
  static std::mutex mutex;
  static std::map<std::pair<uint32_t, uint32_t>, std::vector<uint8_t>> made;
  std::lock_guard<std::mutex> lock(mutex);
  auto& bytes = made[{seed, steps}];
  if (bytes.empty()) {
    ScratchFolder folder;
    const std::string file = folder.Path() + "/demo.replay";
    std::string out, err;
    // Dated now, as a game just played is: the outbox keeps a game only for
    // a day after its date.
    if (RunProgram({KAV_TEST_DEMOGEN, KAV_TEST_GAME_DATA, file, "--seed", std::to_string(seed), "--steps",
                    std::to_string(steps), "--date", std::to_string(static_cast<long long>(std::time(nullptr)))},
                   &out, &err) != 0)
      Fail("the demo pilot failed: " + err);
    const std::string content = ReadFile(file);
    bytes.assign(content.begin(), content.end());
  }
  return bytes;
}

std::vector<uint8_t> Forge(const std::vector<uint8_t>& bytes, void (*change)(Replay&)) {
  Replay replay = Parse(bytes);
  change(replay);
  std::vector<uint8_t> forged = SerializeReplay(replay);
  if (forged.empty()) Fail("the forged replay is not well formed");
  return forged;
}

// --- requests

Token AskToken(httplib::Client& client) {
  const auto answer = client.Post("/api/v1/runs");
  if (!answer || answer->status != 201) Fail("no token");
  const auto body = nlohmann::json::parse(answer->body);
  return {body.at("token").get<std::string>(), body.at("seed").get<uint32_t>()};
}

httplib::Result Submit(httplib::Client& client, const std::string& token, const std::vector<uint8_t>& replay,
                       const std::string& encodedName) {
  return client.Post(("/api/v1/runs/" + token + "?name=" + encodedName).c_str(),
                     std::string(replay.begin(), replay.end()), "application/octet-stream");
}

std::string RawExchange(int port, const std::string& request) {
  const int s = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  const timeval timeout{30, 0};
  setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
  std::string answer;
  if (connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
      send(s, request.data(), request.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(request.size())) {
    char buffer[4096];
    ssize_t n;
    // Done once the headers and as many body bytes as they declare are in.
    while ((n = recv(s, buffer, sizeof buffer, 0)) > 0) {
      answer.append(buffer, static_cast<size_t>(n));
      const auto end = answer.find("\r\n\r\n");
      const auto length = answer.find("Content-Length: ");
      if (end != std::string::npos && length != std::string::npos && length < end &&
          answer.size() >= end + 4 + std::stoul(answer.substr(length + 16)))
        break;
    }
  }
  close(s);
  return answer;
}

std::string VerifierProgram() { return KAV_TEST_VERIFIER; }
std::string ServerProgram() { return KAV_SERVER_PROGRAM; }

}  // namespace server_test
