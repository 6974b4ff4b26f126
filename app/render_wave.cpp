// The program's noise generator and RenderWave. A preview and a save of the
// same render use the very same bytes; a save goes through the one safe file
// writer that tonkelwerk-render uses too.
#include "app/render_wave.h"

#include "platform/audio/audio.h"
#include "platform/core/files.h"
#include "platform/core/memory.h"
#include "platform/core/timing.h"

using tonkelwerk::NoiseSource;
using tonkelwerk::SynthParams;
using tonkelwerk::WaveImageSize;
using tonkelwerk::WaveImageWrite;

NoiseSource& SharedNoise() {
  static NoiseSource noise(TickCountMs());
  return noise;
}

std::string RenderWave(std::string_view target, const SynthParams& params, NoiseSource& noise) {
  const std::int32_t size = WaveImageSize(params.lengthMs);
  auto* image = static_cast<std::uint8_t*>(MemAlloc(size));
  if (!image) return "there is not enough memory";
  WaveImageWrite(image, params, noise);
  std::string failure;
  if (target.empty()) {
    SoundPlayAndWait(image, size, params.lengthMs);
  } else {
    failure = FileSaveWhole(target, image, size);
  }
  MemRelease(image);
  return failure;
}
