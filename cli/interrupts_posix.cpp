// Noting SIGINT and SIGTERM on POSIX systems: the handler stores the exit
// status in a lock-free atomic, which is all it may do safely; SA_RESTART
// keeps the writes and syncs under way from failing with EINTR.
// Depends on: POSIX sigaction.
#include <signal.h>

#include <atomic>

#include "cli/interrupts.h"

namespace {

std::atomic<int> noted{0};
static_assert(std::atomic<int>::is_always_lock_free, "the signal handler needs a lock-free flag");

struct sigaction previousInterrupt;
struct sigaction previousTerminate;

extern "C" void Note(int signal) {
  noted.store(signal == SIGTERM ? kExitTerminated : kExitInterrupted, std::memory_order_relaxed);
}

// Catches `signal` unless the program was started to ignore it.
void Catch(int signal, struct sigaction& previous) {
  sigaction(signal, nullptr, &previous);
  if (previous.sa_handler == SIG_IGN) return;
  struct sigaction action {};
  action.sa_handler = Note;
  action.sa_flags = SA_RESTART;
  sigemptyset(&action.sa_mask);
  sigaction(signal, &action, nullptr);
}

}  // namespace

InterruptCatcher::InterruptCatcher() {
  Catch(SIGINT, previousInterrupt);
  Catch(SIGTERM, previousTerminate);
}

InterruptCatcher::~InterruptCatcher() {
  sigaction(SIGINT, &previousInterrupt, nullptr);
  sigaction(SIGTERM, &previousTerminate, nullptr);
}

int InterruptStatus() {
  return noted.load(std::memory_order_relaxed);
}
