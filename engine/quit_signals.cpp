#include "engine/quit_signals.h"

#include <allegro.h>

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

// The window's close button: the library calls this from its input thread.
void OnCloseButton() { quitRequested = 1; }
END_OF_STATIC_FUNCTION(OnCloseButton)

}  // namespace

void InstallQuitSignals() {
  LOCK_FUNCTION(OnCloseButton);
  LOCK_VARIABLE(quitRequested);
  set_close_button_callback(OnCloseButton);
  for (int signal : {SIGTERM, SIGINT, SIGHUP, SIGQUIT}) {
    struct sigaction action = {};
    action.sa_handler = OnQuitSignal;
    sigemptyset(&action.sa_mask);
    sigaction(signal, &action, nullptr);
  }
}

bool QuitRequested() { return quitRequested != 0; }
