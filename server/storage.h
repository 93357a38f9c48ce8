// What the score server keeps: the tokens it hands out and the runs it
// accepted. One interface, two databases behind it (SQLite for one machine,
// PostgreSQL for servers that share their table). Every call is one
// transaction; a failing database throws StorageError, which the server
// answers with 503.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

// The schema version a database is brought to on start; raise it with every
// migration added to both databases.
constexpr int kSchemaVersion = 1;

// A refused submission leaves its token for another try; this many spend it.
constexpr int kRefusalsPerToken = 3;

class StorageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct TokenRecord {
  uint32_t seed = 0;
  int64_t issuedAtMs = 0;  // milliseconds since 1970 UTC
  int refusals = 0;
  bool spent = false;
};

struct NewRun {
  std::string token;
  std::string name;
  int32_t score = 0;
  int32_t wave = 1;
  uint32_t steps = 0;
  uint32_t seed = 0;
  std::vector<uint8_t> replay;
};

struct ListedRun {
  int64_t rank = 0;
  int64_t id = 0;
  std::string name;
  int32_t score = 0;
  int32_t wave = 1;
  uint32_t steps = 0;
  int64_t acceptedAtMs = 0;
};

struct AcceptedRun {
  int64_t id = 0;
  int64_t rank = 0;
};

class Storage {
 public:
  virtual ~Storage() = default;

  virtual void AddToken(const std::string& token, uint32_t seed, int64_t nowMs) = 0;
  virtual std::optional<TokenRecord> FindToken(const std::string& token) = 0;
  // Counts one refused submission against an unspent token; the
  // kRefusalsPerToken-th spends it.
  virtual void CountRefusal(const std::string& token) = 0;
  // Stores the run and spends its token in one transaction, committed before
  // it returns. Nothing when the token is unknown or was spent meanwhile (by
  // another submission racing this one, perhaps on another server).
  virtual std::optional<AcceptedRun> AcceptRun(const NewRun& run, int64_t nowMs) = 0;
  // Best first; an equal score: the earlier run first.
  virtual std::vector<ListedRun> BestRuns(int limit, int offset) = 0;
  virtual std::optional<std::vector<uint8_t>> ReplayOf(int64_t id) = 0;
  // Drops tokens issued before `beforeMs` that were never spent.
  virtual void ForgetUnusedTokens(int64_t beforeMs) = 0;
  // Throws when the database cannot be reached.
  virtual void Ping() = 0;
};

// "sqlite:PATH" or "postgresql://..." (also "postgres://..."); opens the
// database and brings its schema up to kSchemaVersion. Throws StorageError
// with a message for the operator when it cannot.
std::unique_ptr<Storage> OpenStorage(const std::string& url);

// The URL as it may be logged: a password in it is replaced by "***".
std::string DatabaseUrlForLog(const std::string& url);

// True when the URL names one of the databases above.
bool IsDatabaseUrl(const std::string& url);
