// The shared database: several servers may use one PostgreSQL database, each
// with a few connections of its own. Row locks keep two servers from spending
// one token twice.
#pragma once

#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include <pqxx/connection>

#include "server/storage.h"

class PostgresStorage : public Storage {
 public:
  explicit PostgresStorage(const std::string& url);
  ~PostgresStorage() override;

  void AddToken(const std::string& token, uint32_t seed, int64_t nowMs) override;
  std::optional<TokenRecord> FindToken(const std::string& token) override;
  void CountRefusal(const std::string& token) override;
  std::optional<AcceptedRun> AcceptRun(const NewRun& run, int64_t nowMs) override;
  std::vector<ListedRun> BestRuns(int limit, int offset) override;
  std::optional<std::vector<uint8_t>> ReplayOf(int64_t id) override;
  void ForgetUnusedTokens(int64_t beforeMs) override;
  void Ping() override;

 private:
  class Lease;
  std::unique_ptr<pqxx::connection> Connect();
  void Migrate();
  // Runs `work` on a pooled connection; a connection found broken is dropped
  // and, when `retry` allows, the work is tried once more on a new one.
  template <typename Work>
  auto WithConnection(bool retry, Work work);

  std::string url_;
  std::mutex mutex_;
  std::condition_variable returned_;
  std::vector<std::unique_ptr<pqxx::connection>> idle_;
  int open_ = 0;
};
