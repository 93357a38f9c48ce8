// At most `slots` verifications at once (one a processor core), and at most
// `waiting` more in line for a slot; anyone beyond that is told the server is
// busy rather than piling up.
#pragma once

#include <condition_variable>
#include <mutex>
#include <optional>

class VerificationGate {
 public:
  VerificationGate(int slots, int waiting) : slots_(slots), waitingRoom_(waiting) {}

  // Holds a slot while it lives.
  class Pass {
   public:
    explicit Pass(VerificationGate* gate) : gate_(gate) {}
    Pass(Pass&& other) noexcept : gate_(other.gate_) { other.gate_ = nullptr; }
    Pass(const Pass&) = delete;
    Pass& operator=(const Pass&) = delete;
    Pass& operator=(Pass&&) = delete;
    ~Pass();

   private:
    VerificationGate* gate_;
  };

  // Waits for a slot; nothing when the line is full.
  std::optional<Pass> Enter();

 private:
  std::mutex mutex_;
  std::condition_variable freed_;
  int slots_, waitingRoom_;
  int running_ = 0, waiting_ = 0;
};
