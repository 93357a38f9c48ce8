// What the server's tests share: the real server program started on a free
// port of 127.0.0.1 and stopped again, a fresh database of either kind, and
// genuine or forged replays made by the game's own demo pilot.
#pragma once

#include <httplib.h>

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "replay/replay_file.h"

namespace server_test {

enum class DatabaseKind { kSqlite, kPostgres };

// A folder of this test, removed with everything in it.
class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

// A database of its own for one test: a SQLite file in a scratch folder, or a
// new database in the PostgreSQL cluster the environment names (PGHOST,
// PGPORT, PGUSER, PGPASSWORD, as pg_virtualenv sets them), dropped after.
class TestDatabase {
 public:
  explicit TestDatabase(DatabaseKind kind);
  ~TestDatabase();
  const std::string& Url() const { return url_; }
  // Runs SQL directly, as time passing or an operator would.
  void Execute(const std::string& sql);
  // The first column of the first row, as text.
  std::string Query(const std::string& sql);

 private:
  DatabaseKind kind_;
  ScratchFolder folder_;
  std::string url_, name_;
};

// The server program, listening on 127.0.0.1 on a port it chose, with its log
// collected.
class ServerProcess {
 public:
  // Waits for the server to say where it listens and to answer /healthz.
  ServerProcess(const std::string& databaseUrl, const std::vector<std::string>& options = {});
  ~ServerProcess();
  ServerProcess(const ServerProcess&) = delete;
  ServerProcess& operator=(const ServerProcess&) = delete;

  int Port() const { return port_; }
  httplib::Client Client() const;
  // SIGTERM and wait for the exit code.
  int Stop();
  // SIGKILL: the server gets no chance to tidy up.
  void Kill();
  std::string Log();

 private:
  // Stops whatever started and throws.
  [[noreturn]] void Abandon(const std::string& why);

  pid_t pid_ = -1;
  int port_ = 0;
  ScratchFolder tmp_;
  std::thread reader_;
  std::mutex mutex_;
  std::string log_;
};

// Runs a program, waits (at most `timeoutSeconds`), returns its exit code;
// stdout and stderr into the strings given.
int RunProgram(const std::vector<std::string>& argv, std::string* out, std::string* err, int timeoutSeconds = 60,
               const std::string& folder = "");

// A replay the demo pilot played from `seed` for `steps` steps (the game may
// end sooner); the bytes of its file.
std::vector<uint8_t> GenuineReplay(uint32_t seed, uint32_t steps);
// The replay re-written after `change`, with every checksum valid.
std::vector<uint8_t> Forge(const std::vector<uint8_t>& bytes, void (*change)(Replay&));
Replay Parse(const std::vector<uint8_t>& bytes);

struct Token {
  std::string token;
  uint32_t seed = 0;
};
Token AskToken(httplib::Client& client);
// POSTs the replay for the token; the response (status and body).
httplib::Result Submit(httplib::Client& client, const std::string& token, const std::vector<uint8_t>& replay,
                       const std::string& encodedName = "Ann");

// Sends `request` as it stands on a new connection and returns what comes
// back until the server has answered once (or closes, or 30 s pass).
std::string RawExchange(int port, const std::string& request);

std::string VerifierProgram();
std::string ServerProgram();

}  // namespace server_test
