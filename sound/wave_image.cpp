// The WaveImage: a complete RIFF/WAVE file in one block. Its data chunk size D
// and the sample bytes 4 * N are rounded separately, so the 2 spare bytes
// after the data chunk take the sample bytes that can run past it.
#include <cmath>

#include "sound/sound_engine.h"

namespace tonkelwerk {

namespace {

constexpr std::int32_t kByteRate = kChannels * kBitsPerSample / 8 * kSampleRate;  // 176,400
constexpr std::int32_t kBlockAlign = kBitsPerSample / 8 * kChannels;              // 4
constexpr std::int32_t kSpareBytes = 2;

void PutTag(std::uint8_t* at, const char (&tag)[5]) {
  for (int i = 0; i < 4; ++i) at[i] = static_cast<std::uint8_t>(tag[i]);
}

void Put16(std::uint8_t* at, std::uint32_t value) {
  at[0] = static_cast<std::uint8_t>(value & 0xFFu);
  at[1] = static_cast<std::uint8_t>((value >> 8) & 0xFFu);
}

void Put32(std::uint8_t* at, std::uint32_t value) {
  Put16(at, value & 0xFFFFu);
  Put16(at + 2, value >> 16);
}

}  // namespace

std::int32_t WaveDataSize(std::int32_t lengthMs) {
  const double duration = lengthMs / 1000.0;
  return static_cast<std::int32_t>(std::nearbyint(kByteRate * duration));
}

std::int32_t WaveImageSize(std::int32_t lengthMs) {
  return kWaveHeaderSize + WaveDataSize(lengthMs) + kSpareBytes;
}

void WaveImageWrite(std::uint8_t* image, const SynthParams& params, NoiseSource& noise) {
  const auto dataSize = static_cast<std::uint32_t>(WaveDataSize(params.lengthMs));
  // The RIFF size leaves out the pad byte that an odd D would call for.
  PutTag(image + 0, "RIFF");
  Put32(image + 4, dataSize + 36u);
  PutTag(image + 8, "WAVE");
  PutTag(image + 12, "fmt ");
  Put32(image + 16, 16u);
  Put16(image + 20, 1u);  // PCM
  Put16(image + 22, kChannels);
  Put32(image + 24, kSampleRate);
  Put32(image + 28, kByteRate);
  Put16(image + 32, kBlockAlign);
  Put16(image + 34, kBitsPerSample);
  PutTag(image + 36, "data");
  Put32(image + 40, dataSize);
  FillSamples(image + kWaveHeaderSize, params, noise);
}

}  // namespace tonkelwerk
