// How often one client address may ask, per kind of request: a bucket of
// `burst` requests that refills at `perMinute`. The defaults are far above
// what a player's game or a reader of the page asks; tokens and submissions,
// which cost a database row or a verification, are held tighter than reads.
#pragma once

#include <chrono>
#include <mutex>
#include <string>
#include <unordered_map>

enum class RequestKind { kRead, kToken, kSubmission };

struct RateRule {
  double burst;
  double perMinute;
};

struct RateRules {
  RateRule read{1200, 1200};
  RateRule token{30, 6};
  RateRule submission{30, 6};
};

class RateLimiter {
 public:
  using Clock = std::chrono::steady_clock;

  explicit RateLimiter(RateRules rules = RateRules());

  // True when `address` may make one more request of `kind` at `now`; else
  // `retryAfterSeconds` says when it may.
  bool Allow(const std::string& address, RequestKind kind, Clock::time_point now, int& retryAfterSeconds);

 private:
  struct Bucket {
    double tokens;
    Clock::time_point updated;
  };
  const RateRule& RuleFor(RequestKind kind) const;
  // Drops the buckets that have filled up again (they are as good as new),
  // so that many addresses asking once cost no lasting memory.
  void Prune(Clock::time_point now);

  RateRules rules_;
  std::mutex mutex_;
  std::unordered_map<std::string, Bucket> buckets_;
  size_t pruneAbove_ = 0;
};
