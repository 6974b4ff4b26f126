// Noting Ctrl+C, Ctrl+Break and the end of the console on Windows. The
// console handler runs on a thread of its own: it notes the status and
// returns at once for Ctrl+C and Ctrl+Break. For a closed console, a log-off
// or a shutdown the system ends the process as soon as the handler returns,
// so that handler waits until the catcher's end says the cleanup is done (the
// system allows it a few seconds).
// Depends on: Kernel32 (SetConsoleCtrlHandler, events).
#include <windows.h>

#include <atomic>

#include "cli/interrupts.h"

namespace {

std::atomic<int> noted{0};
HANDLE cleanedUp = nullptr;  // set when the catcher ends

BOOL WINAPI Note(DWORD event) {
  switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
      noted.store(kExitInterrupted);
      return TRUE;
    case CTRL_CLOSE_EVENT:
    case CTRL_LOGOFF_EVENT:
    case CTRL_SHUTDOWN_EVENT:
      noted.store(kExitTerminated);
      WaitForSingleObject(cleanedUp, INFINITE);
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace

InterruptCatcher::InterruptCatcher() {
  cleanedUp = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  SetConsoleCtrlHandler(Note, TRUE);
}

InterruptCatcher::~InterruptCatcher() {
  SetEvent(cleanedUp);
  SetConsoleCtrlHandler(Note, FALSE);
}

int InterruptStatus() {
  return noted.load();
}
