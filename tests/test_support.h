// Helpers shared by the unit tests: a scratch folder per test, reading files
// back, and the bare sine tone that every sample of the engine starts from.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace tonkelwerk_test {

// Pi rounded to single precision: the phase factor of every sample.
inline constexpr double kPhaseFactor = 3.1415927410125732;

// The bare tone of `pitch` half-hertz at frame i (frames count from 1), with
// `noise` added before rounding: round(32767 * sin(pitch * P * (i / 44100)) + noise).
inline std::int32_t ToneSample(double pitch, std::int32_t frame, std::int32_t noise = 0) {
  const double phase = pitch * kPhaseFactor * (frame / 44100.0);
  return static_cast<std::int32_t>(std::nearbyint(32767.0 * std::sin(phase) + noise));
}

// The stored 16-bit sample number s (from 0) of a sample area.
inline std::int16_t SampleAt(const std::uint8_t* samples, std::size_t s) {
  const auto bits = static_cast<std::uint16_t>(samples[2 * s] | (samples[2 * s + 1] << 8));
  return static_cast<std::int16_t>(bits);
}

// What a 32-bit sum looks like once only its low 16 bits are kept.
inline std::int16_t Low16(std::int32_t v) {
  return static_cast<std::int16_t>(static_cast<std::uint16_t>(static_cast<std::uint32_t>(v)));
}

inline std::uint32_t ReadLe32(const std::uint8_t* at) {
  return static_cast<std::uint32_t>(at[0]) | (static_cast<std::uint32_t>(at[1]) << 8) |
         (static_cast<std::uint32_t>(at[2]) << 16) | (static_cast<std::uint32_t>(at[3]) << 24);
}

inline std::vector<std::uint8_t> ReadFileBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in),
                                   std::istreambuf_iterator<char>());
}

inline void WriteFileBytes(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// The folder's entries by name, sorted.
inline std::vector<std::string> Entries(const std::filesystem::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// A fixture with an empty folder of its own, removed after the test.
class ScratchFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    folder_ = std::filesystem::temp_directory_path() /
              ("tonkelwerk-" + std::string(info->test_suite_name()) + "-" + info->name() + "-" +
               std::to_string(::getpid()));
    std::filesystem::remove_all(folder_);
    ASSERT_TRUE(std::filesystem::create_directories(folder_));
  }

  void TearDown() override {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }

  std::filesystem::path Path(const std::string& name) const { return folder_ / name; }

  std::filesystem::path folder_;
};

}  // namespace tonkelwerk_test
