#include "server/rate_limiter.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr size_t kPruneAbove = 20000;
// Past this many addresses at once, all are forgiven: memory stays bounded
// whoever asks.
constexpr size_t kMaxBuckets = 200000;

double MinutesBetween(RateLimiter::Clock::time_point from, RateLimiter::Clock::time_point to) {
  return std::chrono::duration<double, std::ratio<60>>(to - from).count();
}
}  // namespace

RateLimiter::RateLimiter(RateRules rules) : rules_(rules), pruneAbove_(kPruneAbove) {}

const RateRule& RateLimiter::RuleFor(RequestKind kind) const {
  switch (kind) {
    case RequestKind::kToken:
      return rules_.token;
    case RequestKind::kSubmission:
      return rules_.submission;
    case RequestKind::kRead:
      break;
  }
  return rules_.read;
}

bool RateLimiter::Allow(const std::string& address, RequestKind kind, Clock::time_point now,
                        int& retryAfterSeconds) {
  const RateRule& rule = RuleFor(kind);
  std::lock_guard<std::mutex> lock(mutex_);
  if (buckets_.size() > pruneAbove_) Prune(now);
  const std::string key = std::to_string(static_cast<int>(kind)) + ' ' + address;
  auto [entry, added] = buckets_.try_emplace(key, Bucket{rule.burst, now});
  Bucket& bucket = entry->second;
  if (!added) {
    bucket.tokens = std::min(rule.burst, bucket.tokens + MinutesBetween(bucket.updated, now) * rule.perMinute);
    bucket.updated = now;
  }
  if (bucket.tokens >= 1) {
    bucket.tokens -= 1;
    return true;
  }
  retryAfterSeconds = std::max(1, static_cast<int>(std::ceil((1 - bucket.tokens) * 60 / rule.perMinute)));
  return false;
}

void RateLimiter::Prune(Clock::time_point now) {
  for (auto it = buckets_.begin(); it != buckets_.end();) {
    const RateRule& rule = RuleFor(static_cast<RequestKind>(it->first[0] - '0'));
    if (it->second.tokens + MinutesBetween(it->second.updated, now) * rule.perMinute >= rule.burst)
      it = buckets_.erase(it);
    else
      ++it;
  }
  if (buckets_.size() > kMaxBuckets) buckets_.clear();
  // Pruning again only once the map has grown well beyond what stayed keeps
  // the work per request small.
  pruneAbove_ = std::max(kPruneAbove, buckets_.size() * 2);
}
