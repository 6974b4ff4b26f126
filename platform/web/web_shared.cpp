// The web backend's shared part: saved files handed to the browser, the
// thread's sleep turned into a yield to the page, and the wait for input
// between passes of an idle event loop.
//
// A page's script must return to the browser for anything to be painted or
// any input to arrive. The program keeps its blocking shape (the event loop,
// the frame pacing and Preview all sleep) because ASYNCIFY lets a sleeping
// call stack unwind into the browser and resume later; the link wraps the C
// library's nanosleep (under std::this_thread::sleep_for, and so under
// platform/core's SleepMs) so that it sleeps like emscripten_sleep instead of
// spinning, keeping short waits short (tw_sleep).
// Depends on: Emscripten (ASYNCIFY, the in-memory file system),
// tonkelwerk_web.js.
#include "platform/web/web_shared.h"

#include <ctime>

namespace {

bool downloadPending = false;

}  // namespace

void WebDownloadPending() {
  tw_downloads_folder(kWebDownloadsFolder);
  downloadPending = true;
}

void WebDownloadsOffer() {
  if (!downloadPending) return;
  downloadPending = false;
  tw_downloads_offer(kWebDownloadsFolder);
}

void WebInputWait() {
  if (!downloadPending) tw_input_wait();
}

// Reads the request before clearing the rest: callers pass one timespec for
// both (libc++ does).
extern "C" int __wrap_nanosleep(const timespec* request, timespec* remaining) {
  const double ms = static_cast<double>(request->tv_sec) * 1000.0 + request->tv_nsec / 1e6;
  if (remaining) *remaining = timespec{};
  tw_sleep(static_cast<unsigned>(ms + 0.5));
  return 0;
}
