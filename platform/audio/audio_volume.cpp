// The volume table shared by every sound backend.
#include <algorithm>
#include <cmath>

#include "platform/audio/audio.h"

std::int32_t SoundVolumeEntry(std::int32_t level) {
  level = std::clamp(level, 0, 100);
  if (level == 0) return 0;
  if (level == 100) return 10000;
  return static_cast<std::int32_t>(100.0 * (20.0 * std::log10(level * 1000.0)));
}
