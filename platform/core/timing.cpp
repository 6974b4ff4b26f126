// Sleep and tick count on the standard clocks. steady_clock is the monotonic
// system clock (time since boot on Linux and Windows), the counterpart of
// GetTickCount.
#include "platform/core/timing.h"

#include <chrono>
#include <thread>

void SleepMs(std::int32_t ms) {
  if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

std::uint32_t TickCountMs() {
  const auto since = std::chrono::steady_clock::now().time_since_epoch();
  return static_cast<std::uint32_t>(
      std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}
