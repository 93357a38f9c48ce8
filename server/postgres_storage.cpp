#include "server/postgres_storage.h"

#include <pqxx/pqxx>

#include "server/storage_schema.h"

namespace {

// Connections per server: the verifiers, not the database, are the narrow
// part, and every statement here is short.
constexpr int kMaxConnections = 8;

// Held through a migration, so that servers starting together migrate once.
constexpr int64_t kMigrationLock = 0x76657661726e;

const char* const kMigrations[] = {
    // 1: tokens and runs.
    "CREATE TABLE tokens ("
    "  token TEXT PRIMARY KEY,"
    "  seed BIGINT NOT NULL,"
    "  issued_at BIGINT NOT NULL,"
    "  refusals INTEGER NOT NULL DEFAULT 0,"
    "  spent INTEGER NOT NULL DEFAULT 0);"
    "CREATE TABLE runs ("
    "  id BIGSERIAL PRIMARY KEY,"
    "  token TEXT NOT NULL UNIQUE REFERENCES tokens(token),"
    "  name TEXT NOT NULL,"
    "  score INTEGER NOT NULL,"
    "  wave INTEGER NOT NULL,"
    "  steps BIGINT NOT NULL,"
    "  seed BIGINT NOT NULL,"
    "  accepted_at BIGINT NOT NULL,"
    "  replay BYTEA NOT NULL);"
    "CREATE INDEX runs_by_rank ON runs (score DESC, accepted_at, id);",
};
static_assert(sizeof kMigrations / sizeof kMigrations[0] == kSchemaVersion, "one migration per schema version");

}  // namespace

// A connection borrowed from the pool, given back on every way out unless it
// broke.
class PostgresStorage::Lease {
 public:
  explicit Lease(PostgresStorage& owner) : owner_(owner) {
    std::unique_lock<std::mutex> lock(owner.mutex_);
    owner.returned_.wait(lock, [&] { return !owner.idle_.empty() || owner.open_ < kMaxConnections; });
    if (!owner.idle_.empty()) {
      connection_ = std::move(owner.idle_.back());
      owner.idle_.pop_back();
      return;
    }
    ++owner.open_;
    lock.unlock();
    try {
      connection_ = owner.Connect();
    } catch (...) {
      Release(false);
      throw;
    }
  }
  ~Lease() { Release(connection_ && connection_->is_open()); }
  pqxx::connection& operator*() { return *connection_; }

 private:
  void Release(bool keep) {
    std::lock_guard<std::mutex> lock(owner_.mutex_);
    if (keep)
      owner_.idle_.push_back(std::move(connection_));
    else
      --owner_.open_;
    owner_.returned_.notify_one();
  }
  PostgresStorage& owner_;
  std::unique_ptr<pqxx::connection> connection_;
};

PostgresStorage::PostgresStorage(const std::string& url) : url_(url) {
  try {
    Migrate();
  } catch (const pqxx::failure& e) {
    throw StorageError(e.what());
  }
}

PostgresStorage::~PostgresStorage() = default;

std::unique_ptr<pqxx::connection> PostgresStorage::Connect() {
  auto connection = std::make_unique<pqxx::connection>(url_);
  // The notices of harmless statements would only fill the log; a statement
  // stuck on the database must not hold a connection of the pool for ever.
  pqxx::nontransaction settings(*connection);
  settings.exec("SET client_min_messages = warning");
  settings.exec("SET statement_timeout = '30s'");
  settings.commit();
  return connection;
}

template <typename Work>
auto PostgresStorage::WithConnection(bool retry, Work work) {
  for (int attempt = 0;; ++attempt) {
    try {
      Lease connection(*this);
      return work(*connection);
    } catch (const pqxx::broken_connection& e) {
      if (!retry || attempt > 0) throw StorageError(std::string("PostgreSQL: ") + e.what());
    } catch (const pqxx::failure& e) {
      throw StorageError(std::string("PostgreSQL: ") + e.what());
    }
  }
}

void PostgresStorage::Migrate() {
  WithConnection(true, [](pqxx::connection& c) {
    pqxx::work work(c);
    work.exec_params("SELECT pg_advisory_xact_lock($1)", kMigrationLock);
    work.exec("CREATE TABLE IF NOT EXISTS schema_version (version INTEGER NOT NULL)");
    const pqxx::result rows = work.exec("SELECT version FROM schema_version");
    const int version = rows.empty() ? 0 : rows[0][0].as<int>();
    CheckSchemaVersion(version);
    if (version == kSchemaVersion) return;
    for (int next = version + 1; next <= kSchemaVersion; ++next) work.exec(kMigrations[next - 1]);
    work.exec("DELETE FROM schema_version");
    work.exec_params("INSERT INTO schema_version (version) VALUES ($1)", kSchemaVersion);
    work.commit();
  });
}

void PostgresStorage::AddToken(const std::string& token, uint32_t seed, int64_t nowMs) {
  WithConnection(true, [&](pqxx::connection& c) {
    pqxx::work work(c);
    work.exec_params("INSERT INTO tokens (token, seed, issued_at) VALUES ($1, $2, $3)", token,
                     static_cast<int64_t>(seed), nowMs);
    work.commit();
  });
}

std::optional<TokenRecord> PostgresStorage::FindToken(const std::string& token) {
  return WithConnection(true, [&](pqxx::connection& c) -> std::optional<TokenRecord> {
    pqxx::read_transaction work(c);
    const pqxx::result rows =
        work.exec_params("SELECT seed, issued_at, refusals, spent FROM tokens WHERE token = $1", token);
    if (rows.empty()) return std::nullopt;
    TokenRecord record;
    record.seed = static_cast<uint32_t>(rows[0][0].as<int64_t>());
    record.issuedAtMs = rows[0][1].as<int64_t>();
    record.refusals = rows[0][2].as<int>();
    record.spent = rows[0][3].as<int>() != 0;
    return record;
  });
}

void PostgresStorage::CountRefusal(const std::string& token) {
  WithConnection(true, [&](pqxx::connection& c) {
    pqxx::work work(c);
    work.exec_params(kCountRefusalSql, kRefusalsPerToken, token);
    work.commit();
  });
}

std::optional<AcceptedRun> PostgresStorage::AcceptRun(const NewRun& run, int64_t nowMs) {
  // Not retried: a connection lost during the commit leaves unknown whether
  // the run was stored, and a second try would call it a used token.
  return WithConnection(false, [&](pqxx::connection& c) -> std::optional<AcceptedRun> {
    pqxx::work work(c);
    const pqxx::result token = work.exec_params("SELECT spent FROM tokens WHERE token = $1 FOR UPDATE", run.token);
    if (token.empty() || token[0][0].as<int>() != 0) return std::nullopt;
    AcceptedRun accepted;
    accepted.id = work.exec_params1(
                         "INSERT INTO runs (token, name, score, wave, steps, seed, accepted_at, replay) "
                         "VALUES ($1, $2, $3, $4, $5, $6, $7, $8) RETURNING id",
                         run.token, run.name, run.score, run.wave, static_cast<int64_t>(run.steps),
                         static_cast<int64_t>(run.seed), nowMs,
                         pqxx::binarystring(run.replay.data(), run.replay.size()))[0]
                      .as<int64_t>();
    work.exec_params("UPDATE tokens SET spent = 1 WHERE token = $1", run.token);
    accepted.rank = work.exec_params1(kRankSql, run.score, nowMs, accepted.id)[0].as<int64_t>() + 1;
    work.commit();
    return accepted;
  });
}

std::vector<ListedRun> PostgresStorage::BestRuns(int limit, int offset) {
  return WithConnection(true, [&](pqxx::connection& c) {
    pqxx::read_transaction work(c);
    std::vector<ListedRun> runs;
    for (const pqxx::row& row : work.exec_params(kBestRunsSql, limit, offset)) {
      ListedRun run;
      run.rank = offset + static_cast<int64_t>(runs.size()) + 1;
      run.id = row[0].as<int64_t>();
      run.name = row[1].as<std::string>();
      run.score = row[2].as<int32_t>();
      run.wave = row[3].as<int32_t>();
      run.steps = static_cast<uint32_t>(row[4].as<int64_t>());
      run.acceptedAtMs = row[5].as<int64_t>();
      runs.push_back(std::move(run));
    }
    return runs;
  });
}

std::optional<std::vector<uint8_t>> PostgresStorage::ReplayOf(int64_t id) {
  return WithConnection(true, [&](pqxx::connection& c) -> std::optional<std::vector<uint8_t>> {
    pqxx::read_transaction work(c);
    const pqxx::result rows = work.exec_params("SELECT replay FROM runs WHERE id = $1", id);
    if (rows.empty()) return std::nullopt;
    const pqxx::binarystring bytes(rows[0][0]);
    return std::vector<uint8_t>(bytes.data(), bytes.data() + bytes.size());
  });
}

void PostgresStorage::ForgetUnusedTokens(int64_t beforeMs) {
  WithConnection(true, [&](pqxx::connection& c) {
    pqxx::work work(c);
    work.exec_params(kForgetTokensSql, beforeMs);
    work.commit();
  });
}

void PostgresStorage::Ping() {
  WithConnection(true, [](pqxx::connection& c) { pqxx::nontransaction(c).exec("SELECT 1"); });
}
