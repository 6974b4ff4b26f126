// The noise source: a RANROT-W generator of 17 pairs of 32-bit words with lags
// 17 and 10 and rotations by 19 and 27 bits.
#include <array>
#include <bit>

#include "platform/core/timing.h"
#include "sound/sound_engine.h"

namespace {

constexpr int kPairs = 17;

struct NoiseState {
  std::array<std::uint32_t, 2 * kPairs> words{};
  int p1 = 0;  // pair that the next step rewrites
  int p2 = 0;  // pair that it adds in, 10 ahead of p1
  bool seeded = false;
};

NoiseState noise;

// One step; the result is z * 2^32 + y, returned as its halves.
struct Draw {
  std::uint32_t z;
  std::uint32_t y;
};

Draw Step() {
  std::uint32_t* first = &noise.words[2 * noise.p1];
  const std::uint32_t* added = &noise.words[2 * noise.p2];
  const std::uint32_t z = std::rotl(first[0], 19) + added[0];
  const std::uint32_t y = std::rotl(first[1], 27) + added[1];
  // The halves cross over: the sum built from the second word goes first.
  first[0] = y;
  first[1] = z;
  noise.p1 = noise.p1 == 0 ? kPairs - 1 : noise.p1 - 1;
  noise.p2 = noise.p2 == 0 ? kPairs - 1 : noise.p2 - 1;
  return {z, y};
}

}  // namespace

void NoiseSeed(std::uint32_t seed) {
  for (auto& word : noise.words) {
    seed = seed * 2891336453u + 1u;
    word = seed;
  }
  noise.p1 = 0;
  noise.p2 = 10;
  noise.seeded = true;
  for (int i = 0; i < 31; ++i) Step();
}

std::int32_t RandomUpTo(std::int32_t n) {
  if (!noise.seeded) NoiseSeed(TickCountMs());
  const Draw x = Step();
  if (n < 0) return INT32_MIN;
  // floor(X * c / 2^64) for X = z * 2^32 + y, c = n + 1: the high word of
  // z * c plus the carry from adding its low word to the high word of y * c.
  const std::uint64_t c = static_cast<std::uint64_t>(n) + 1u;
  const std::uint64_t zc = x.z * c;
  const std::uint64_t yc = x.y * c;
  const std::uint64_t sum = (zc & 0xFFFFFFFFu) + (yc >> 32);
  return static_cast<std::int32_t>((zc >> 32) + (sum >> 32));
}
