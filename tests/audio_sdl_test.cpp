// Sound playback on SDL's audio subsystem, observed through SDL's "disk"
// driver, which writes everything the device plays to a file. No sound card
// is needed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/render_wave.h"
#include "platform/audio/audio.h"
#include "platform/core/timing.h"
#include "sound/sound_engine.h"

using tonkelwerk::NoiseSource;
using tonkelwerk::SynthParams;
using tonkelwerk::WaveImageSize;
using tonkelwerk::WaveImageWrite;

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes RenderImage(std::uint32_t seed, const SynthParams& params) {
  NoiseSource noise(seed);
  Bytes image(WaveImageSize(params.lengthMs));
  WaveImageWrite(image.data(), params, noise);
  return image;
}

Bytes ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Where `part` first occurs in `whole`, or npos.
std::size_t Find(const Bytes& whole, const Bytes& part) {
  const auto at = std::search(whole.begin(), whole.end(), part.begin(), part.end());
  return at == whole.end() ? std::string::npos : static_cast<std::size_t>(at - whole.begin());
}

Bytes DataBytes(const Bytes& image) {
  const auto size = static_cast<std::size_t>(image[40] | (image[41] << 8) | (image[42] << 16) |
                                             (image[43] << 24));
  return Bytes(image.begin() + 44, image.begin() + 44 + static_cast<std::ptrdiff_t>(size));
}

class DiskAudio : public ::testing::Test {
 protected:
  void SetUp() override {
    output_ =
        std::filesystem::temp_directory_path() /
        ("tonkelwerk-audio-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
         "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".raw");
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", output_.c_str(), 1);
    // Much faster than real time, so the device runs well ahead of the waits.
    setenv("SDL_DISKAUDIODELAY", "1", 1);
    ASSERT_NE(SoundInit(), 0);
  }
  void TearDown() override {
    SoundShutdown();
    std::filesystem::remove(output_);
  }
  // Everything the device has played, once the device is closed.
  Bytes Played() {
    SoundShutdown();
    return ReadFile(output_);
  }
  std::filesystem::path output_;
};

TEST(SoundVolume, TableEntriesAndClamping) {
  EXPECT_EQ(SoundVolumeEntry(0), 0);
  EXPECT_EQ(SoundVolumeEntry(1), 6000);
  EXPECT_EQ(SoundVolumeEntry(10), 8000);
  EXPECT_EQ(SoundVolumeEntry(50), 9397);
  EXPECT_EQ(SoundVolumeEntry(99), 9991);
  EXPECT_EQ(SoundVolumeEntry(100), 10000);
  EXPECT_EQ(SoundVolumeEntry(150), 10000);
  EXPECT_EQ(SoundVolumeEntry(-5), 0);
}

TEST(SoundWithoutDevice, InitFailsAndHandlesStayInert) {
  setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
  EXPECT_EQ(SoundInit(), 0);
  const Bytes image = RenderImage(1, {880, 8, 0, 0, 0, 0});
  EXPECT_EQ(SoundFromImage(image.data(), static_cast<std::int32_t>(image.size())), 0);
  EXPECT_EQ(SoundStart(0), 0);
  SoundSetVolume(0, 100);
  SoundRelease(0);
  // A preview without a device is silent but still takes the sound's length.
  const std::uint32_t before = TickCountMs();
  EXPECT_EQ(RenderWave("", SynthParams{.freq = 880, .lengthMs = 40}, SharedNoise()), "");
  EXPECT_GE(TickCountMs() - before, 40u);
  SoundShutdown();
}

TEST_F(DiskAudio, RefusesMalformedImages) {
  const Bytes good = RenderImage(2, {880, 16, 0, 0, 0, 0});
  const auto size = static_cast<std::int32_t>(good.size());
  EXPECT_EQ(SoundFromImage(nullptr, size), 0);

  Bytes notRiff = good;
  std::memcpy(notRiff.data(), "RIFX", 4);
  EXPECT_EQ(SoundFromImage(notRiff.data(), size), 0);

  Bytes noFormat = good;
  std::memcpy(noFormat.data() + 12, "junk", 4);
  EXPECT_EQ(SoundFromImage(noFormat.data(), size), 0);

  Bytes noData = good;
  std::memcpy(noData.data() + 36, "dat?", 4);
  EXPECT_EQ(SoundFromImage(noData.data(), size), 0);

  Bytes dataTooLong = good;
  dataTooLong[43] = 0x7F;  // a data chunk far beyond the image
  EXPECT_EQ(SoundFromImage(dataTooLong.data(), size), 0);

  Bytes compressed = good;
  compressed[20] = 2;  // not PCM
  EXPECT_EQ(SoundFromImage(compressed.data(), size), 0);

  // A chunk walk that would run past the image stops at its end.
  EXPECT_EQ(SoundFromImage(good.data(), 40), 0);

  const ObjectId sound = SoundFromImage(good.data(), size);
  EXPECT_NE(sound, 0);
  SoundRelease(sound);
  EXPECT_EQ(SoundStart(sound), 0) << "a released handle is dead";
}

TEST_F(DiskAudio, PreviewPlaysTheImageDataBytes) {
  const SynthParams params{2000, 120, 9000, 300, 150, 20};
  const Bytes image = RenderImage(7, params);
  NoiseSource noise(7);
  ASSERT_EQ(RenderWave("", params, noise), "");
  const Bytes played = Played();
  const std::size_t at = Find(played, DataBytes(image));
  ASSERT_NE(at, std::string::npos) << "the data bytes were not played in one piece";
}

TEST_F(DiskAudio, OddDataSizeIsPaddedToAWholeFrame) {
  const Bytes image = RenderImage(3, {1500, 8, 4000, 0, 0, 0});  // D = 1411
  const ObjectId sound = SoundFromImage(image.data(), static_cast<std::int32_t>(image.size()));
  ASSERT_NE(SoundStart(sound), 0);
  SleepMs(60);
  SoundRelease(sound);
  const Bytes played = Played();
  Bytes expected = DataBytes(image);
  ASSERT_EQ(expected.size(), 1411u);
  expected.push_back(0);
  EXPECT_NE(Find(played, expected), std::string::npos);
}

TEST_F(DiskAudio, VolumeScalesTheSamples) {
  const Bytes image = RenderImage(4, {3000, 40, 0, 0, 0, 0});
  const ObjectId sound = SoundFromImage(image.data(), static_cast<std::int32_t>(image.size()));
  SoundSetVolume(sound, 50);  // -6.03 dB
  ASSERT_NE(SoundStart(sound), 0);
  SleepMs(120);
  SoundRelease(sound);
  const Bytes played = Played();

  const Bytes data = DataBytes(image);
  const double gain = std::pow(10.0, -603 / 2000.0);
  Bytes expected(data.size());
  for (std::size_t i = 0; i + 1 < data.size(); i += 2) {
    const auto sample = static_cast<std::int16_t>(data[i] | (data[i + 1] << 8));
    const auto scaled = static_cast<std::uint16_t>(std::lrint(sample * gain));
    expected[i] = static_cast<std::uint8_t>(scaled & 0xFF);
    expected[i + 1] = static_cast<std::uint8_t>(scaled >> 8);
  }
  EXPECT_EQ(Find(played, data), std::string::npos) << "played at full volume";
  EXPECT_NE(Find(played, expected), std::string::npos);
}

TEST_F(DiskAudio, LevelZeroIsSilence) {
  const Bytes image = RenderImage(5, {3000, 40, 0, 0, 0, 0});
  const ObjectId sound = SoundFromImage(image.data(), static_cast<std::int32_t>(image.size()));
  SoundSetVolume(sound, -5);
  ASSERT_NE(SoundStart(sound), 0);
  SleepMs(100);
  SoundRelease(sound);
  const Bytes played = Played();
  EXPECT_TRUE(std::all_of(played.begin(), played.end(), [](std::uint8_t b) { return b == 0; }));
}

TEST_F(DiskAudio, StartRestartsASoundFromItsBeginning) {
  const Bytes image = RenderImage(6, {2500, 400, 2000, 0, 0, 0});
  const ObjectId sound = SoundFromImage(image.data(), static_cast<std::int32_t>(image.size()));
  ASSERT_NE(SoundStart(sound), 0);
  SleepMs(60);
  ASSERT_NE(SoundStart(sound), 0);
  SleepMs(500);
  SoundRelease(sound);
  const Bytes played = Played();
  const Bytes data = DataBytes(image);
  const Bytes opening(data.begin(), data.begin() + 4096);
  const std::size_t first = Find(played, opening);
  ASSERT_NE(first, std::string::npos);
  const Bytes rest(played.begin() + static_cast<std::ptrdiff_t>(first + 1), played.end());
  EXPECT_NE(Find(rest, opening), std::string::npos) << "the restart did not play the beginning";
  EXPECT_NE(Find(played, data), std::string::npos) << "the restarted sound did not play through";
}

TEST_F(DiskAudio, TwoSoundsPlayMixed) {
  // A steady level under a quiet tone: wherever they overlap, each output
  // sample is the tone's scaled sample plus the level.
  Bytes level = RenderImage(8, {1000, 400, 0, 0, 0, 0});
  for (std::size_t i = 44; i + 1 < level.size(); i += 2) {
    level[i] = 1000 & 0xFF;
    level[i + 1] = 1000 >> 8;
  }
  const Bytes tone = RenderImage(9, {4000, 40, 0, 0, 0, 0});
  const ObjectId steady = SoundFromImage(level.data(), static_cast<std::int32_t>(level.size()));
  const ObjectId quiet = SoundFromImage(tone.data(), static_cast<std::int32_t>(tone.size()));
  SoundSetVolume(quiet, 50);
  ASSERT_NE(SoundStart(steady), 0);
  ASSERT_NE(SoundStart(quiet), 0);
  SleepMs(150);
  const Bytes played = Played();

  const Bytes data = DataBytes(tone);
  const double gain = std::pow(10.0, -603 / 2000.0);
  Bytes expected(data.size());
  for (std::size_t i = 0; i + 1 < data.size(); i += 2) {
    const auto sample = static_cast<std::int16_t>(data[i] | (data[i + 1] << 8));
    const auto mixed = static_cast<std::uint16_t>(std::lrint(sample * gain) + 1000);
    expected[i] = static_cast<std::uint8_t>(mixed & 0xFF);
    expected[i + 1] = static_cast<std::uint8_t>(mixed >> 8);
  }
  EXPECT_NE(Find(played, expected), std::string::npos);
}

}  // namespace
