#include "server/verification_gate.h"

VerificationGate::Pass::~Pass() {
  if (!gate_) return;
  std::lock_guard<std::mutex> lock(gate_->mutex_);
  --gate_->running_;
  gate_->freed_.notify_one();
}

std::optional<VerificationGate::Pass> VerificationGate::Enter() {
  std::unique_lock<std::mutex> lock(mutex_);
  if (running_ >= slots_) {
    if (waiting_ >= waitingRoom_) return std::nullopt;
    ++waiting_;
    freed_.wait(lock, [&] { return running_ < slots_; });
    --waiting_;
  }
  ++running_;
  return Pass(this);
}
