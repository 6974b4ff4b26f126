// Seeding the noise source; its step and draw are inline in the header.
#include "sound/sound_engine.h"

namespace tonkelwerk {

void NoiseSource::Seed(std::uint32_t seed) {
  for (auto& word : words_) {
    seed = seed * 2891336453u + 1u;
    word = seed;
  }
  p1_ = 0;
  p2_ = 10;
  for (int i = 0; i < 31; ++i) Step();
}

}  // namespace tonkelwerk
