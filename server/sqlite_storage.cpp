#include "server/sqlite_storage.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "server/storage_schema.h"

namespace {

// Waits this long for a lock another process holds before giving up.
constexpr int kBusyTimeoutMs = 10000;

const char* const kMigrations[] = {
    // 1: tokens and runs.
    "CREATE TABLE tokens ("
    "  token TEXT PRIMARY KEY,"
    "  seed INTEGER NOT NULL,"
    "  issued_at INTEGER NOT NULL,"
    "  refusals INTEGER NOT NULL DEFAULT 0,"
    "  spent INTEGER NOT NULL DEFAULT 0);"
    "CREATE TABLE runs ("
    "  id INTEGER PRIMARY KEY AUTOINCREMENT,"
    "  token TEXT NOT NULL UNIQUE REFERENCES tokens(token),"
    "  name TEXT NOT NULL,"
    "  score INTEGER NOT NULL,"
    "  wave INTEGER NOT NULL,"
    "  steps INTEGER NOT NULL,"
    "  seed INTEGER NOT NULL,"
    "  accepted_at INTEGER NOT NULL,"
    "  replay BLOB NOT NULL);"
    "CREATE INDEX runs_by_rank ON runs (score DESC, accepted_at, id);",
};
static_assert(sizeof kMigrations / sizeof kMigrations[0] == kSchemaVersion, "one migration per schema version");

// A prepared statement, finalised on every way out.
class Statement {
 public:
  Statement(sqlite3* db, const char* sql) : db_(db) {
    if (sqlite3_prepare_v2(db, sql, -1, &statement_, nullptr) != SQLITE_OK) Fail("prepare");
  }
  ~Statement() { sqlite3_finalize(statement_); }
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  Statement& Bind(int index, int64_t value) {
    Check(sqlite3_bind_int64(statement_, index, value), "bind");
    return *this;
  }
  Statement& Bind(int index, const std::string& text) {
    Check(sqlite3_bind_text(statement_, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT),
          "bind");
    return *this;
  }
  Statement& Bind(int index, const std::vector<uint8_t>& bytes) {
    Check(sqlite3_bind_blob(statement_, index, bytes.data(), static_cast<int>(bytes.size()), SQLITE_TRANSIENT),
          "bind");
    return *this;
  }
  // True while a row is there to read.
  bool Step() {
    const int status = sqlite3_step(statement_);
    if (status == SQLITE_ROW) return true;
    if (status != SQLITE_DONE) Fail("step");
    return false;
  }
  int64_t Integer(int column) { return sqlite3_column_int64(statement_, column); }
  std::string Text(int column) {
    const auto* text = sqlite3_column_text(statement_, column);
    return text ? std::string(reinterpret_cast<const char*>(text), sqlite3_column_bytes(statement_, column)) : "";
  }
  std::vector<uint8_t> Blob(int column) {
    const auto* data = static_cast<const uint8_t*>(sqlite3_column_blob(statement_, column));
    return data ? std::vector<uint8_t>(data, data + sqlite3_column_bytes(statement_, column)) : std::vector<uint8_t>();
  }

 private:
  void Check(int status, const char* what) {
    if (status != SQLITE_OK) Fail(what);
  }
  [[noreturn]] void Fail(const char* what) {
    throw StorageError(std::string("SQLite ") + what + ": " + sqlite3_errmsg(db_));
  }
  sqlite3* db_;
  sqlite3_stmt* statement_ = nullptr;
};

// BEGIN IMMEDIATE takes the write lock at once, so that a transaction that
// reads and then writes never fails half way on another writer.
class Transaction {
 public:
  explicit Transaction(sqlite3* db) : db_(db) { Run("BEGIN IMMEDIATE"); }
  ~Transaction() {
    if (!done_) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
  }
  void Commit() {
    Run("COMMIT");
    done_ = true;
  }

 private:
  void Run(const char* sql) {
    if (sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
      throw StorageError(std::string("SQLite ") + sql + ": " + sqlite3_errmsg(db_));
  }
  sqlite3* db_;
  bool done_ = false;
};

std::string Parent(const std::string& path) {
  const auto slash = path.find_last_of('/');
  if (slash == std::string::npos) return "";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// The database's folder and the missing ones above it, private to the server.
void MakeFolders(const std::string& folder) {
  if (folder.empty()) return;
  struct stat info;
  if (stat(folder.c_str(), &info) == 0) return;
  MakeFolders(Parent(folder));
  if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
    throw StorageError("cannot make the folder " + folder + ": " + std::strerror(errno));
}

}  // namespace

SqliteStorage::SqliteStorage(const std::string& path) : path_(path) {
  if (path.empty()) throw StorageError("no file named");
  MakeFolders(Parent(path));
  const int status = sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE |
                                     SQLITE_OPEN_FULLMUTEX, nullptr);
  if (status != SQLITE_OK) {
    const std::string message = db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(status);
    sqlite3_close(db_);
    db_ = nullptr;
    throw StorageError(message);
  }
  try {
    sqlite3_busy_timeout(db_, kBusyTimeoutMs);
    // A file that is not a database fails here, on its first read.
    Execute("PRAGMA journal_mode=WAL");
    Execute("PRAGMA synchronous=FULL");
    Execute("PRAGMA foreign_keys=ON");
    Migrate();
  } catch (...) {
    sqlite3_close(db_);
    db_ = nullptr;
    throw;
  }
}

SqliteStorage::~SqliteStorage() { sqlite3_close(db_); }

void SqliteStorage::Execute(const char* sql) {
  char* error = nullptr;
  if (sqlite3_exec(db_, sql, nullptr, nullptr, &error) != SQLITE_OK) {
    const std::string message = error ? error : sqlite3_errmsg(db_);
    sqlite3_free(error);
    throw StorageError(message);
  }
}

void SqliteStorage::Migrate() {
  Transaction transaction(db_);
  Execute("CREATE TABLE IF NOT EXISTS schema_version (version INTEGER NOT NULL)");
  int version = 0;
  {
    Statement read(db_, "SELECT version FROM schema_version");
    if (read.Step()) version = static_cast<int>(read.Integer(0));
  }
  CheckSchemaVersion(version);
  if (version == kSchemaVersion) return;
  for (int next = version + 1; next <= kSchemaVersion; ++next) Execute(kMigrations[next - 1]);
  Execute("DELETE FROM schema_version");
  Statement(db_, "INSERT INTO schema_version (version) VALUES (?)").Bind(1, kSchemaVersion).Step();
  transaction.Commit();
}

void SqliteStorage::AddToken(const std::string& token, uint32_t seed, int64_t nowMs) {
  std::lock_guard<std::mutex> lock(mutex_);
  Statement(db_, "INSERT INTO tokens (token, seed, issued_at) VALUES (?, ?, ?)")
      .Bind(1, token).Bind(2, seed).Bind(3, nowMs).Step();
}

std::optional<TokenRecord> SqliteStorage::FindToken(const std::string& token) {
  std::lock_guard<std::mutex> lock(mutex_);
  Statement find(db_, "SELECT seed, issued_at, refusals, spent FROM tokens WHERE token = ?");
  if (!find.Bind(1, token).Step()) return std::nullopt;
  TokenRecord record;
  record.seed = static_cast<uint32_t>(find.Integer(0));
  record.issuedAtMs = find.Integer(1);
  record.refusals = static_cast<int>(find.Integer(2));
  record.spent = find.Integer(3) != 0;
  return record;
}

void SqliteStorage::CountRefusal(const std::string& token) {
  std::lock_guard<std::mutex> lock(mutex_);
  Statement(db_, kCountRefusalSql).Bind(1, kRefusalsPerToken).Bind(2, token).Step();
}

std::optional<AcceptedRun> SqliteStorage::AcceptRun(const NewRun& run, int64_t nowMs) {
  std::lock_guard<std::mutex> lock(mutex_);
  Transaction transaction(db_);
  {
    Statement token(db_, "SELECT spent FROM tokens WHERE token = ?");
    if (!token.Bind(1, run.token).Step() || token.Integer(0) != 0) return std::nullopt;
  }
  AcceptedRun accepted;
  {
    Statement insert(db_, "INSERT INTO runs (token, name, score, wave, steps, seed, accepted_at, replay) "
                          "VALUES (?, ?, ?, ?, ?, ?, ?, ?) RETURNING id");
    insert.Bind(1, run.token).Bind(2, run.name).Bind(3, run.score).Bind(4, run.wave).Bind(5, run.steps);
    insert.Bind(6, run.seed).Bind(7, nowMs).Bind(8, run.replay);
    if (!insert.Step()) throw StorageError("SQLite insert returned no id");
    accepted.id = insert.Integer(0);
  }
  Statement(db_, "UPDATE tokens SET spent = 1 WHERE token = ?").Bind(1, run.token).Step();
  {
    Statement rank(db_, kRankSql);
    rank.Bind(1, run.score).Bind(2, nowMs).Bind(3, accepted.id);
    rank.Step();
    accepted.rank = rank.Integer(0) + 1;
  }
  transaction.Commit();
  return accepted;
}

std::vector<ListedRun> SqliteStorage::BestRuns(int limit, int offset) {
  std::lock_guard<std::mutex> lock(mutex_);
  Statement best(db_, kBestRunsSql);
  best.Bind(1, limit).Bind(2, offset);
  std::vector<ListedRun> runs;
  while (best.Step()) {
    ListedRun run;
    run.rank = offset + static_cast<int64_t>(runs.size()) + 1;
    run.id = best.Integer(0);
    run.name = best.Text(1);
    run.score = static_cast<int32_t>(best.Integer(2));
    run.wave = static_cast<int32_t>(best.Integer(3));
    run.steps = static_cast<uint32_t>(best.Integer(4));
    run.acceptedAtMs = best.Integer(5);
    runs.push_back(std::move(run));
  }
  return runs;
}

std::optional<std::vector<uint8_t>> SqliteStorage::ReplayOf(int64_t id) {
  std::lock_guard<std::mutex> lock(mutex_);
  Statement find(db_, "SELECT replay FROM runs WHERE id = ?");
  if (!find.Bind(1, id).Step()) return std::nullopt;
  return find.Blob(0);
}

void SqliteStorage::ForgetUnusedTokens(int64_t beforeMs) {
  std::lock_guard<std::mutex> lock(mutex_);
  Statement(db_, kForgetTokensSql).Bind(1, beforeMs).Step();
}

void SqliteStorage::Ping() {
  std::lock_guard<std::mutex> lock(mutex_);
  Statement(db_, "SELECT version FROM schema_version").Step();
}
