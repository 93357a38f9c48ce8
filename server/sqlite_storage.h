// The embedded database: one file, written in WAL mode with full
// synchronisation, so that a run is on the disk when its answer leaves.
#pragma once

#include <sqlite3.h>

#include <mutex>
#include <string>

#include "server/storage.h"

class SqliteStorage : public Storage {
 public:
  // Creates the file (and its folder) when missing.
  explicit SqliteStorage(const std::string& path);
  ~SqliteStorage() override;
  SqliteStorage(const SqliteStorage&) = delete;
  SqliteStorage& operator=(const SqliteStorage&) = delete;

  void AddToken(const std::string& token, uint32_t seed, int64_t nowMs) override;
  std::optional<TokenRecord> FindToken(const std::string& token) override;
  void CountRefusal(const std::string& token) override;
  std::optional<AcceptedRun> AcceptRun(const NewRun& run, int64_t nowMs) override;
  std::vector<ListedRun> BestRuns(int limit, int offset) override;
  std::optional<std::vector<uint8_t>> ReplayOf(int64_t id) override;
  void ForgetUnusedTokens(int64_t beforeMs) override;
  void Ping() override;

 private:
  void Execute(const char* sql);
  void Migrate();

  // One connection; SQLite writes one transaction at a time anyway, and every
  // call here is short.
  std::mutex mutex_;
  sqlite3* db_ = nullptr;
  std::string path_;
};
