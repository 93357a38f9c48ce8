#include "engine/quit_signals.h"

#include <csignal>
#include <initializer_list>

namespace {

volatile std::sig_atomic_t quitRequested = 0;

void OnQuitSignal(int signal) {
  if (quitRequested) {
    std::signal(signal, SIG_DFL);
    std::raise(signal);
    return;
  }
  quitRequested = 1;
}

}  // namespace

void InstallQuitSignals() {
  for (int signal : {SIGTERM, SIGINT, SIGHUP, SIGQUIT}) {
    struct sigaction action = {};
    action.sa_handler = OnQuitSignal;
    sigemptyset(&action.sa_mask);
    sigaction(signal, &action, nullptr);
  }
}

bool QuitRequested() { return quitRequested != 0; }
