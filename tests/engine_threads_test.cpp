// The engine as a library on its own: this program links tonkelwerk_sound and
// nothing of the platform. Four threads render at once, each with its own
// noise source, and must get what the same renders give one after another;
// the tsan preset runs it under ThreadSanitizer, which reports any state that
// the threads would share.
#include <gtest/gtest.h>

#include <cstdint>
#include <thread>
#include <vector>

#include "sound/sound_engine.h"

using tonkelwerk::NoiseSource;
using tonkelwerk::ParamsFromKnobs;
using tonkelwerk::SynthParams;
using tonkelwerk::WaveImageSize;
using tonkelwerk::WaveImageWrite;

namespace {

using Image = std::vector<std::uint8_t>;

// Noise decides most of each sample here, so a mixed-up generator shows.
Image Render(std::uint32_t seed) {
  const SynthParams params = ParamsFromKnobs({.start = 40, .end = 200, .freq = 150,
                                              .rustle = 300, .cutter = 90, .len = 120});
  NoiseSource noise(seed);
  Image image(WaveImageSize(params.lengthMs));
  WaveImageWrite(image.data(), params, noise);
  return image;
}

TEST(EngineThreads, FourThreadsRenderWhatOneThreadRenders) {
  constexpr std::uint32_t kSeeds[] = {1, 7, 4242, 4294967295u};
  std::vector<Image> serial;
  for (const std::uint32_t seed : kSeeds) serial.push_back(Render(seed));

  std::vector<Image> parallel(std::size(kSeeds));
  std::vector<std::thread> threads;
  for (std::size_t i = 0; i < std::size(kSeeds); ++i) {
    threads.emplace_back([&parallel, &kSeeds, i] { parallel[i] = Render(kSeeds[i]); });
  }
  for (std::thread& thread : threads) thread.join();

  for (std::size_t i = 0; i < std::size(kSeeds); ++i) {
    EXPECT_EQ(parallel[i], serial[i]) << "seed " << kSeeds[i];
    if (i > 0) {
      EXPECT_NE(serial[i], serial[0]) << "seed " << kSeeds[i] << " made no difference";
    }
  }
}

}  // namespace
