#include "platform/quit_signals.h"

#include <atomic>
#include <csignal>

namespace mokuren {

namespace {

std::atomic<int> requested{0};
std::atomic<bool> recording{false};
static_assert(std::atomic<int>::is_always_lock_free && std::atomic<bool>::is_always_lock_free,
              "read and written from a signal handler");

extern "C" void OnQuitSignal(int sig) {
  if (!recording.load() || requested.exchange(sig) != 0) {
    // Before the main loop nobody would look at the flag; asked twice, the close is stuck or too slow
    // for whoever is waiting. The signal, raised again without a handler, ends the process (it is
    // blocked until this handler returns).
    std::signal(sig, SIG_DFL);
    std::raise(sig);
  }
}

}  // namespace

void InstallQuitSignals() {
  struct sigaction action {};
  action.sa_handler = OnQuitSignal;
  sigemptyset(&action.sa_mask);
  // Interrupted waits start again; the engine looks at the flag on every pass anyway.
  action.sa_flags = SA_RESTART;
  for (int sig : {SIGTERM, SIGINT, SIGHUP}) sigaction(sig, &action, nullptr);
  std::signal(SIGPIPE, SIG_IGN);
}

void RecordQuitSignals() { recording.store(true); }

int QuitSignal() { return requested.load(); }

}  // namespace mokuren
