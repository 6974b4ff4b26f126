// The program's noise generator, and RenderWave's save path: the file holds the image byte for
// byte, an existing file is replaced, and a file that cannot be written, wholly or partly, gives
// the reason and leaves the old file, or none, as it was.
#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <csignal>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/render_wave.h"
#include "platform/core/timing.h"
#include "sound/sound_engine.h"
#include "tests/test_support.h"
#ifndef _WIN32
#include "tests/save_faults.h"
#endif

using tonkelwerk::NoiseSource;
using tonkelwerk::ParamsFromKnobs;
using tonkelwerk::SynthParams;
using tonkelwerk::WaveImageSize;
using tonkelwerk::WaveImageWrite;

namespace {

namespace fs = std::filesystem;
using tonkelwerk_test::ReadFileBytes;
using tonkelwerk_test::ToneSample;
using tonkelwerk_test::WriteFileBytes;
#ifndef _WIN32
using tonkelwerk_test::FileSizeLimit;
#endif

// Saves with noise from `seed`; "" or why the file was not written.
std::string Save(const fs::path& target, const SynthParams& p, std::uint32_t seed = 1) {
  NoiseSource noise(seed);
  return RenderWave(target.string(), p, noise);
}

// The image that a render seeded with `seed` produces.
std::vector<std::uint8_t> ImageBytes(std::uint32_t seed, const SynthParams& params) {
  NoiseSource noise(seed);
  std::vector<std::uint8_t> image(static_cast<std::size_t>(WaveImageSize(params.lengthMs)));
  WaveImageWrite(image.data(), params, noise);
  return image;
}

class RenderWaveSave : public tonkelwerk_test::ScratchFolderTest {
 protected:
  void SetUp() override {
    ScratchFolderTest::SetUp();
#ifdef SIGXFSZ
    std::signal(SIGXFSZ, SIG_IGN);  // as both programs do
#endif
  }
};

const SynthParams kBusySound =
    ParamsFromKnobs({.start = 120, .end = 200, .freq = 90, .rustle = 150, .cutter = 40, .len = 60});

TEST_F(RenderWaveSave, FileHoldsTheImageByteForByte) {
  const auto expected = ImageBytes(11, kBusySound);
  const fs::path target = Path("busy.wav");
  ASSERT_EQ(Save(target, kBusySound, 11), "");
  EXPECT_EQ(fs::file_size(target), 84718u);  // 480 ms: D = 84,672
  EXPECT_EQ(ReadFileBytes(target), expected);
}

TEST_F(RenderWaveSave, FileSizesAreDataSizePlus46) {
  struct Case {
    std::int32_t len;
    std::uintmax_t bytes;
  };
  for (const Case& c :
       {Case{1, 1457}, Case{2, 2868}, Case{3, 4234 + 46}, Case{125, 176446}, Case{360, 508078}}) {
    const fs::path target = Path("len" + std::to_string(c.len) + ".wav");
    ASSERT_EQ(Save(target, ParamsFromKnobs({.freq = 200, .rustle = 360, .len = c.len})), "");
    EXPECT_EQ(fs::file_size(target), c.bytes) << "Len. " << c.len;
  }
}

TEST_F(RenderWaveSave, SavingOverAnExistingFileReplacesIt) {
  const fs::path target = Path("old.wav");
  WriteFileBytes(target, std::string(600000, 'x'));
  const SynthParams shortSound = ParamsFromKnobs({.freq = 55, .len = 1});
  const auto expected = ImageBytes(2, shortSound);
  ASSERT_EQ(Save(target, shortSound, 2), "");
  EXPECT_EQ(fs::file_size(target), 1457u);
  EXPECT_EQ(ReadFileBytes(target), expected);
}

TEST_F(RenderWaveSave, PathInAMissingFolderSaysSo) {
  const fs::path target = Path("missing") / "sound.wav";
  EXPECT_EQ(Save(target, kBusySound), "the folder does not exist");
  EXPECT_FALSE(fs::exists(target));
  EXPECT_FALSE(fs::exists(Path("missing")));
}

// Permission bits, file size limits and /dev/full are POSIX's ways to make
// a write fail; the Windows build has none of them.
#ifndef _WIN32
TEST_F(RenderWaveSave, FolderWithoutWriteAccessFails) {
  // Permission bits do not stop root; /proc takes no new files from anyone.
  const bool root = ::geteuid() == 0;
  const fs::path locked = root ? fs::path("/proc") : Path("locked");
  if (!root) {
    ASSERT_TRUE(fs::create_directory(locked));
    fs::permissions(locked, fs::perms::owner_read | fs::perms::owner_exec);
  }
  EXPECT_NE(Save(locked / "sound.wav", kBusySound), "");
  EXPECT_FALSE(fs::exists(locked / "sound.wav"));
  if (!root) fs::permissions(locked, fs::perms::owner_all);
}

TEST_F(RenderWaveSave, DeviceIsRefusedAndLeftInPlace) {
  const fs::path device = "/dev/full";
  if (!fs::is_character_file(device)) GTEST_SKIP() << "this system has no /dev/full";
  EXPECT_EQ(Save(device, kBusySound), "the target is not a regular file");
  EXPECT_TRUE(fs::is_character_file(device));
  // The failure left nothing open: the next save works.
  const fs::path target = Path("after.wav");
  EXPECT_EQ(Save(target, kBusySound), "");
  EXPECT_EQ(fs::file_size(target), static_cast<std::uintmax_t>(WaveImageSize(480)));
}

TEST_F(RenderWaveSave, WriteCutShortRemovesTheFile) {
  const fs::path target = Path("partial.wav");
  std::string result;
  {
    FileSizeLimit limit(1000);
    if (!limit.active()) GTEST_SKIP() << "no file size limit can be set here";
    result = Save(target, ParamsFromKnobs({.freq = 55, .len = 125}));
  }
  EXPECT_EQ(result, "the file is larger than the system allows");
  EXPECT_FALSE(fs::exists(target));
  EXPECT_TRUE(fs::is_empty(folder_)) << "no temporary file remains";
}

TEST_F(RenderWaveSave, LastByteMissingKeepsTheOldFile) {
  const SynthParams params = ParamsFromKnobs({.freq = 55, .len = 125});
  const fs::path target = Path("one-short.wav");
  const std::string old = "an older file that survives a failed save";
  WriteFileBytes(target, old);
  std::string result;
  {
    FileSizeLimit limit(static_cast<rlim_t>(WaveImageSize(params.lengthMs)) - 1);
    if (!limit.active()) GTEST_SKIP() << "no file size limit can be set here";
    result = Save(target, params);
  }
  EXPECT_EQ(result, "the file is larger than the system allows");
  EXPECT_EQ(ReadFileBytes(target), std::vector<std::uint8_t>(old.begin(), old.end()));
  EXPECT_EQ(tonkelwerk_test::Entries(folder_), std::vector<std::string>{"one-short.wav"});
  // With the limit gone the same save succeeds.
  EXPECT_EQ(Save(target, params), "");
  EXPECT_EQ(fs::file_size(target), 176446u);
}
#endif  // _WIN32

// An independent WAV reader (Python's wave module) accepts the saved file and
// finds the format and samples that were rendered.
TEST_F(RenderWaveSave, PythonWaveModuleReadsTheFileBack) {
#ifndef TONKELWERK_TEST_PYTHON
  GTEST_SKIP() << "no Python interpreter was found when the tests were configured";
#else
  const fs::path target = Path("tone.wav");
  ASSERT_EQ(Save(target, ParamsFromKnobs({.freq = 55, .len = 125})), "");
  const std::string command =
      std::string("\"") + TONKELWERK_TEST_PYTHON +
      "\" -c \"import sys, wave, struct\n"
      "with wave.open(sys.argv[1], 'rb') as w:\n"
      "    f = w.readframes(w.getnframes())\n"
      "    print(w.getnchannels(), w.getframerate(), w.getsampwidth(), w.getnframes(), "
      "len(f), *struct.unpack('<6h', f[:12]), *struct.unpack('<2h', f[-4:]))\" \"" +
      target.string() + "\"";
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
  ASSERT_NE(pipe, nullptr);
  std::string output;
  char chunk[256];
  while (std::fgets(chunk, sizeof chunk, pipe.get())) output += chunk;
  std::ostringstream expected;
  const std::int32_t last = ToneSample(880, 44100);
  expected << "2 44100 2 44100 176400 2053 2053 4098 4098 6126 6126 " << last << " " << last
           << "\n";
  EXPECT_EQ(output, expected.str());
#endif
}

// Unseeded, the program's generator seeds itself from the tick count on its
// first draw. Run in a fresh process so that no earlier test has seeded it
// (where there are processes: not in WebAssembly).
#ifdef GTEST_HAS_DEATH_TEST
TEST(SharedNoiseDeathTest, FirstDrawSeedsFromTheTickCount) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        const std::uint32_t before = TickCountMs();
        const std::int32_t first = SharedNoise().UpTo(INT32_MAX);
        const std::int32_t second = SharedNoise().UpTo(INT32_MAX);
        const std::uint32_t after = TickCountMs();
        int matches = 0;
        for (std::uint32_t tick = before; tick != after + 1; ++tick) {
          NoiseSource probe(tick);
          const std::int32_t a = probe.UpTo(INT32_MAX);
          if (a == first && probe.UpTo(INT32_MAX) == second) ++matches;
        }
        std::exit(matches == 1 ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
}
#endif

}  // namespace
