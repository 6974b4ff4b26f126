// The WaveImage: its sizes, its header byte for byte, and where the sample
// bytes land when the data size D and the 4 * N sample bytes differ.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "sound/sound_engine.h"
#include "tests/test_support.h"

using tonkelwerk::FillSamples;
using tonkelwerk::FrameCount;
using tonkelwerk::NoiseSource;
using tonkelwerk::ParamsFromKnobs;
using tonkelwerk::SynthParams;
using tonkelwerk::WaveDataSize;
using tonkelwerk::WaveImageSize;
using tonkelwerk::WaveImageWrite;

namespace {

using tonkelwerk_test::ReadLe32;
using tonkelwerk_test::SampleAt;
using tonkelwerk_test::ToneSample;

constexpr std::size_t kHeader = 44;

using Image = std::vector<std::uint8_t>;

// A zero-filled block of the image's size with the sound written into it.
Image NewImage(const SynthParams& params, NoiseSource& noise) {
  Image image(static_cast<std::size_t>(WaveImageSize(params.lengthMs)));
  WaveImageWrite(image.data(), params, noise);
  return image;
}

// For sounds without rustle, whose bytes do not depend on the draws.
Image NewImage(const SynthParams& params) {
  NoiseSource noise(1);
  return NewImage(params, noise);
}

// The 4 * N sample bytes that FillSamples writes for these parameters after
// the noise source is seeded with `seed`.
std::vector<std::uint8_t> SampleBytes(std::uint32_t seed, const SynthParams& p) {
  std::vector<std::uint8_t> samples(4 * static_cast<std::size_t>(FrameCount(p.lengthMs)));
  NoiseSource noise(seed);
  FillSamples(samples.data(), p, noise);
  return samples;
}

TEST(WaveImageSize, DataSizeAndImageSizeFollowTheLength) {
  struct Case {
    std::int32_t lengthMs, dataSize, imageSize;
  };
  for (const Case& c : {Case{8, 1411, 1457}, Case{16, 2822, 2868}, Case{24, 4234, 4280},
                        Case{1000, 176400, 176446}, Case{2880, 508032, 508078}}) {
    EXPECT_EQ(WaveDataSize(c.lengthMs), c.dataSize) << "length " << c.lengthMs;
    EXPECT_EQ(WaveImageSize(c.lengthMs), c.imageSize) << "length " << c.lengthMs;
  }
}

TEST(WaveImageSize, SampleBytesNeverOverrunTheSpareBytes) {
  // 4 * N - D is always within -2..2, so the 2 spare bytes take any overrun.
  for (std::int32_t lengthMs = 1; lengthMs <= 2880; ++lengthMs) {
    const std::int32_t difference = 4 * FrameCount(lengthMs) - WaveDataSize(lengthMs);
    ASSERT_GE(difference, -2) << "length " << lengthMs;
    ASSERT_LE(difference, 2) << "length " << lengthMs;
  }
}

TEST(WaveImage, HeaderOfAOneSecondSound) {
  const Image image = NewImage(ParamsFromKnobs({.freq = 55, .len = 125}));
  const std::array<std::uint8_t, kHeader> expected = {
      'R',  'I',  'F',  'F',  0x34, 0xB1, 0x02, 0x00,  // RIFF, size 176436
      'W',  'A',  'V',  'E',  'f',  'm',  't',  ' ',   // WAVE, fmt
      0x10, 0x00, 0x00, 0x00, 0x01, 0x00, 0x02, 0x00,  // 16, PCM, 2 channels
      0x44, 0xAC, 0x00, 0x00, 0x10, 0xB1, 0x02, 0x00,  // 44100 Hz, 176400 bytes/s
      0x04, 0x00, 0x10, 0x00, 'd',  'a',  't',  'a',   // align 4, 16 bits, data
      0x10, 0xB1, 0x02, 0x00,                          // D = 176400
  };
  for (std::size_t k = 0; k < kHeader; ++k) EXPECT_EQ(image[k], expected[k]) << "header byte " << k;
}

TEST(WaveImage, RiffAndDataSizesFollowTheLength) {
  struct Case {
    std::int32_t len;
    std::uint32_t riffSize, dataSize;
  };
  for (const Case& c : {Case{1, 1447, 1411}, Case{2, 2858, 2822}, Case{3, 4270, 4234},
                        Case{125, 176436, 176400}, Case{360, 508068, 508032}}) {
    const Image image = NewImage(ParamsFromKnobs({.freq = 1, .len = c.len}));
    EXPECT_EQ(ReadLe32(image.data() + 4), c.riffSize) << "Len. " << c.len;
    EXPECT_EQ(ReadLe32(image.data() + 40), c.dataSize) << "Len. " << c.len;
  }
}

// The sample area holds the 4 * N sample bytes from byte 44 on and nothing
// but zeros after them, up to the end of the image.
void ExpectSampleArea(const SynthParams& params) {
  const auto samples = SampleBytes(21, params);
  NoiseSource noise(21);
  const Image image = NewImage(params, noise);
  const auto size = static_cast<std::size_t>(WaveImageSize(params.lengthMs));
  for (std::size_t k = 0; k < samples.size(); ++k)
    ASSERT_EQ(image[kHeader + k], samples[k]) << "sample byte " << k;
  for (std::size_t k = kHeader + samples.size(); k < size; ++k)
    EXPECT_EQ(image[k], 0) << "byte " << k << " of " << size;
}

TEST(WaveImage, SampleAreaHoldsTheSamplesThenZeros) {
  for (const std::int32_t len : {1, 2, 3, 125}) {
    SCOPED_TRACE(::testing::Message() << "Len. " << len);
    ExpectSampleArea(ParamsFromKnobs(
        {.start = 40, .end = 90, .freq = 100, .rustle = 200, .cutter = 30, .len = len}));
  }
}

TEST(WaveImage, OddDataSizePutsTheLastByteInTheFirstSpareByte) {
  // Len. 1: D = 1411, 353 frames = 1412 sample bytes, image 1457 bytes.
  const Image image = NewImage(ParamsFromKnobs({.freq = 55, .len = 1}));
  const std::int32_t lastRight = ToneSample(880, 353);
  const auto highByte = static_cast<std::uint8_t>((static_cast<std::uint32_t>(lastRight) >> 8));
  ASSERT_NE(highByte, 0) << "the check needs a last sample with a nonzero high byte";
  EXPECT_EQ(SampleAt(image.data() + kHeader, 2 * 353 - 1), lastRight);
  EXPECT_EQ(image[kHeader + 1411], highByte);  // first spare byte
  EXPECT_EQ(image[kHeader + 1412], 0);         // second spare byte
}

TEST(WaveImage, RightSampleOfTheLastFrameFillsBothSpareBytes) {
  // Len. 2: D = 2822, 706 frames = 2824 sample bytes: the data chunk ends
  // after the left sample of the last frame.
  const Image image = NewImage(ParamsFromKnobs({.freq = 55, .len = 2}));
  // Without noise both samples of a frame are the same tone.
  const std::int32_t last = ToneSample(880, 706);
  ASSERT_NE(last, 0);
  EXPECT_EQ(SampleAt(image.data() + kHeader, 2 * 705), last);   // left: inside the chunk
  EXPECT_EQ(SampleAt(image.data() + kHeader + 2822, 0), last);  // right: the spare bytes
}

TEST(WaveImage, ShortSampleBytesLeaveTheDataChunkEndingInZeros) {
  // Len. 3: D = 4234, 1058 frames = 4232 sample bytes.
  const Image image = NewImage(ParamsFromKnobs({.freq = 55, .len = 3}));
  const std::uint8_t* data = image.data() + kHeader;
  EXPECT_EQ(SampleAt(data, 2 * 1058 - 1), ToneSample(880, 1058));
  ASSERT_NE(ToneSample(880, 1058), 0);
  EXPECT_EQ(data[4232], 0);  // last 2 bytes of the data chunk
  EXPECT_EQ(data[4233], 0);
  EXPECT_EQ(data[4234], 0);  // spare bytes
  EXPECT_EQ(data[4235], 0);
}

// Nothing of a render stays behind in the engine: once the source is seeded
// again, the same sound comes out byte for byte, with another sound rendered
// in between.
TEST(WaveImage, SameSeedGivesTheSameImageWhateverWasRenderedBefore) {
  const SynthParams params =
      ParamsFromKnobs({.start = 10, .end = 20, .freq = 30, .rustle = 40, .cutter = 50, .len = 60});
  NoiseSource noise(4);
  const Image image = NewImage(params, noise);
  const SynthParams other =
      ParamsFromKnobs({.start = 300, .end = 7, .freq = 200, .rustle = 90, .cutter = 3, .len = 5});
  NewImage(other, noise);
  std::vector<std::uint8_t> block(static_cast<std::size_t>(WaveImageSize(params.lengthMs)));
  noise.Seed(4);
  WaveImageWrite(block.data(), params, noise);
  EXPECT_TRUE(std::equal(block.begin(), block.end(), image.data()));
}

// Walks the chunks as a WAV reader does and checks what it finds.
TEST(WaveImage, ChunkWalkFindsFormatAndData) {
  const SynthParams params = ParamsFromKnobs({.freq = 55, .len = 125});
  const Image image = NewImage(params);
  const std::uint8_t* bytes = image.data();
  const auto size = static_cast<std::size_t>(WaveImageSize(params.lengthMs));
  ASSERT_EQ(std::string(bytes, bytes + 4), "RIFF");
  ASSERT_EQ(std::string(bytes + 8, bytes + 12), "WAVE");
  std::size_t at = 12;
  bool sawFormat = false;
  bool sawData = false;
  while (at + 8 <= size && !sawData) {
    const std::string id(bytes + at, bytes + at + 4);
    const std::uint32_t length = ReadLe32(bytes + at + 4);
    ASSERT_LE(at + 8 + length, size) << "chunk " << id << " runs past the image";
    if (id == "fmt ") {
      sawFormat = true;
      EXPECT_EQ(length, 16u);
      EXPECT_EQ(bytes[at + 8] | bytes[at + 9] << 8, 1);     // PCM
      EXPECT_EQ(bytes[at + 10] | bytes[at + 11] << 8, 2);   // channels
      EXPECT_EQ(ReadLe32(bytes + at + 12), 44100u);         // frames per second
      EXPECT_EQ(bytes[at + 22] | bytes[at + 23] << 8, 16);  // bits
    } else if (id == "data") {
      sawData = true;
      EXPECT_EQ(at + 8, kHeader);
      EXPECT_EQ(length, 176400u);
      EXPECT_EQ(SampleAt(bytes + at + 8, 0), 2053);
    }
    at += 8 + length + (length & 1);
  }
  EXPECT_TRUE(sawFormat);
  EXPECT_TRUE(sawData);
}

}  // namespace
