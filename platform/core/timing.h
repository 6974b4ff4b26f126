// Suspending the thread and reading the millisecond tick counter.
#pragma once

#include <cstdint>

// Suspends the calling thread for `ms` milliseconds (nothing for ms <= 0).
void SleepMs(std::int32_t ms);

// Milliseconds since an arbitrary fixed point (system start where the platform
// says so), wrapping at 2^32 like the Windows tick count.
std::uint32_t TickCountMs();
