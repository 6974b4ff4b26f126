// The program's noise generator, RenderWave and its two delivery paths. A
// preview and a save of the same render use the very same bytes.
#include "sound/render_wave.h"

#include "platform/audio/audio.h"
#include "platform/core/files.h"
#include "platform/core/memory.h"
#include "platform/core/timing.h"

namespace {

// The save path always writes through file slot 1.
constexpr ObjectId kSaveSlot = 1;

}  // namespace

NoiseSource& SharedNoise() {
  static NoiseSource noise(TickCountMs());
  return noise;
}

std::int32_t RandomUpTo(std::int32_t n) {
  return SharedNoise().UpTo(n);
}

void NoiseSeed(std::uint32_t seed) {
  SharedNoise().Seed(seed);
}

std::uint8_t* WaveImageNew(const SynthParams& params) {
  auto* image = static_cast<std::uint8_t*>(MemAlloc(WaveImageSize(params.lengthMs)));
  if (image) WaveImageWrite(image, params, SharedNoise());
  return image;
}

void WavePreview(const std::uint8_t* image, std::int32_t lengthMs) {
  const ObjectId sound = SoundFromImage(image, WaveImageSize(lengthMs));
  SoundStart(sound);
  SoundSetVolume(sound, 100);
  // The wait is the nominal length, not one derived from the data size.
  SleepMs(lengthMs);
  SoundRelease(sound);
}

std::int32_t WaveSave(const std::uint8_t* image, std::int32_t lengthMs, std::string_view target) {
  if (FileCreate(kSaveSlot, target) == 0) return 0;
  const std::int32_t size = WaveImageSize(lengthMs);
  const bool written = FileWrite(kSaveSlot, image, size) == size;
  // FileClose drops a file that lost bytes: a partial one never takes the
  // target's place.
  return FileClose(kSaveSlot) && written ? 1 : 0;
}

std::int32_t RenderWave(std::string_view target, const SynthParams& params) {
  std::uint8_t* image = WaveImageNew(params);
  if (!image) return 0;
  std::int32_t result = 1;
  if (target.empty()) {
    WavePreview(image, params.lengthMs);
  } else {
    result = WaveSave(image, params.lengthMs, target);
  }
  MemRelease(image);
  return result;
}
