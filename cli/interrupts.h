// Interrupts that tonkelwerk-render notes instead of dying of them, while it
// has temporary files on the disk that only it can remove: Ctrl+C and SIGTERM
// on POSIX systems; Ctrl+C, Ctrl+Break and a closed console window on Windows.
// The system's handler only notes the interrupt; the work in progress asks
// InterruptStatus, stops, cleans up and exits with that status.
// Leaves out: other signals (SIGHUP, SIGQUIT end the program as before), and
// interrupts that the program was started to ignore (a background job's
// Ctrl+C), which stay ignored.
// Sources: interrupts_posix.cpp, interrupts_win32.cpp (chosen by the build).
#pragma once

// The exit statuses of a program ended by Ctrl+C and by SIGTERM (128 + the
// signal number, as shells report them).
inline constexpr int kExitInterrupted = 130;
inline constexpr int kExitTerminated = 143;

// While one exists, interrupts are noted rather than ending the program. Its
// end gives them back to the system and, on Windows, lets a closing console
// (which waits for the cleanup) go on. One at a time.
class InterruptCatcher {
 public:
  InterruptCatcher();
  ~InterruptCatcher();
  InterruptCatcher(const InterruptCatcher&) = delete;
  InterruptCatcher& operator=(const InterruptCatcher&) = delete;
};

// 0 while no interrupt was noted, else the exit status it calls for:
// kExitInterrupted or kExitTerminated. Any thread may ask.
int InterruptStatus();
