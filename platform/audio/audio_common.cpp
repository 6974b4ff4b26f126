// What every sound backend shares: the volume table, finding the format
// record and the samples in a WAVE image, and the blocking preview.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/audio/audio.h"
#include "platform/core/timing.h"

namespace {

std::uint32_t Read32(const std::uint8_t* at) {
  return at[0] | (at[1] << 8) | (at[2] << 16) | (static_cast<std::uint32_t>(at[3]) << 24);
}

}  // namespace

std::int32_t SoundVolumeEntry(std::int32_t level) {
  level = std::clamp(level, 0, 100);
  if (level == 0) return 0;
  if (level == 100) return 10000;
  return static_cast<std::int32_t>(100.0 * (20.0 * std::log10(level * 1000.0)));
}

bool SoundImageParts(const std::uint8_t* image, std::int32_t imageSize, WaveImageParts& parts) {
  constexpr std::int64_t kFormatBody = 20;
  constexpr std::uint32_t kPcmRecordSize = 16;
  if (!image || imageSize < kFormatBody + kPcmRecordSize) return false;
  if (std::memcmp(image, "RIFF", 4) != 0 || std::memcmp(image + 12, "fmt ", 4) != 0) return false;
  if (Read32(image + 16) < kPcmRecordSize) return false;
  // The RIFF size at 4 is never read; the walk alone decides, and stops at
  // the image's end.
  for (std::int64_t chunk = 12; chunk + 8 <= imageSize;) {
    const std::int64_t size = Read32(image + chunk + 4);
    if (std::memcmp(image + chunk, "data", 4) == 0) {
      const std::int64_t body = chunk + 8;
      if (size == 0 || size > imageSize - body) return false;
      parts = {image + kFormatBody, image + body, static_cast<std::int32_t>(size)};
      return true;
    }
    chunk += 8 + size;
  }
  return false;
}

void SoundPlayAndWait(const std::uint8_t* image, std::int32_t imageSize, std::int32_t waitMs) {
  const ObjectId sound = SoundFromImage(image, imageSize);
  SoundStart(sound);
  SoundSetVolume(sound, 100);
  SleepMs(waitMs);
  SoundRelease(sound);
}
