// RenderWave's save path: the file holds the image byte for byte, an existing
// file is replaced, and a file that cannot be written, wholly or partly,
// gives 0 and leaves no file behind.
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

#include "platform/core/memory.h"
#include "sound/render_wave.h"
#include "sound/sound_engine.h"
#include "tests/test_support.h"

namespace {

namespace fs = std::filesystem;
using tonkelwerk_test::ReadFileBytes;
using tonkelwerk_test::ToneSample;
using tonkelwerk_test::WriteFileBytes;

std::int32_t Save(const fs::path& target, const SynthParams& p) {
  return RenderWave(target.string(), p);
}

// The image that a render seeded with `seed` produces.
std::vector<std::uint8_t> ImageBytes(std::uint32_t seed, const SynthParams& params) {
  NoiseSeed(seed);
  std::uint8_t* image = WaveImageNew(params);
  EXPECT_NE(image, nullptr);
  if (!image) return {};
  std::vector<std::uint8_t> bytes(image, image + WaveImageSize(params.lengthMs));
  MemRelease(image);
  return bytes;
}

#ifndef _WIN32
// Lowers this process's file size limit for its lifetime; writes past the
// limit then fail with EFBIG instead of raising SIGXFSZ.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
#ifdef __EMSCRIPTEN__
    // Emscripten's setrlimit accepts limits that no write obeys.
    (void)bytes;
    return;
#endif
    active_ = getrlimit(RLIMIT_FSIZE, &saved_) == 0;
    if (!active_) return;
    previous_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit lowered = saved_;
    lowered.rlim_cur = bytes;
    active_ = setrlimit(RLIMIT_FSIZE, &lowered) == 0;
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &saved_);
    std::signal(SIGXFSZ, previous_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;
  bool active() const { return active_; }

 private:
  rlimit saved_{};
  void (*previous_)(int) = SIG_DFL;
  bool active_ = false;
};
#endif  // _WIN32

class RenderWaveSave : public tonkelwerk_test::ScratchFolderTest {};

const SynthParams kBusySound =
    ParamsFromKnobs({.start = 120, .end = 200, .freq = 90, .rustle = 150, .cutter = 40, .len = 60});

TEST_F(RenderWaveSave, FileHoldsTheImageByteForByte) {
  const auto expected = ImageBytes(11, kBusySound);
  NoiseSeed(11);
  const fs::path target = Path("busy.wav");
  ASSERT_EQ(Save(target, kBusySound), 1);
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
    ASSERT_EQ(Save(target, ParamsFromKnobs({.freq = 200, .rustle = 360, .len = c.len})), 1);
    EXPECT_EQ(fs::file_size(target), c.bytes) << "Len. " << c.len;
  }
}

TEST_F(RenderWaveSave, SavingOverAnExistingFileReplacesIt) {
  const fs::path target = Path("old.wav");
  WriteFileBytes(target, std::string(600000, 'x'));
  const SynthParams shortSound = ParamsFromKnobs({.freq = 55, .len = 1});
  const auto expected = ImageBytes(2, shortSound);
  NoiseSeed(2);
  ASSERT_EQ(Save(target, shortSound), 1);
  EXPECT_EQ(fs::file_size(target), 1457u);
  EXPECT_EQ(ReadFileBytes(target), expected);
}

TEST_F(RenderWaveSave, PathInAMissingFolderGivesZero) {
  const fs::path target = Path("missing") / "sound.wav";
  EXPECT_EQ(Save(target, kBusySound), 0);
  EXPECT_FALSE(fs::exists(target));
  EXPECT_FALSE(fs::exists(Path("missing")));
}

// Permission bits, file size limits and /dev/full are POSIX's ways to make
// a write fail; the Windows build has none of them.
#ifndef _WIN32
TEST_F(RenderWaveSave, FolderWithoutWriteAccessGivesZero) {
  // Permission bits do not stop root; /proc takes no new files from anyone.
  const bool root = ::geteuid() == 0;
  const fs::path locked = root ? fs::path("/proc") : Path("locked");
  if (!root) {
    ASSERT_TRUE(fs::create_directory(locked));
    fs::permissions(locked, fs::perms::owner_read | fs::perms::owner_exec);
  }
  EXPECT_EQ(Save(locked / "sound.wav", kBusySound), 0);
  EXPECT_FALSE(fs::exists(locked / "sound.wav"));
  if (!root) fs::permissions(locked, fs::perms::owner_all);
}

TEST_F(RenderWaveSave, FullDeviceGivesZeroAndIsLeftInPlace) {
  const fs::path device = "/dev/full";
  if (!fs::is_character_file(device)) GTEST_SKIP() << "this system has no /dev/full";
  EXPECT_EQ(Save(device, kBusySound), 0);
  EXPECT_TRUE(fs::is_character_file(device));
  // The failure left nothing open: the next save works.
  const fs::path target = Path("after.wav");
  EXPECT_EQ(Save(target, kBusySound), 1);
  EXPECT_EQ(fs::file_size(target), static_cast<std::uintmax_t>(WaveImageSize(480)));
}

TEST_F(RenderWaveSave, WriteCutShortRemovesTheFile) {
  const fs::path target = Path("partial.wav");
  std::int32_t result = -1;
  {
    FileSizeLimit limit(1000);
    if (!limit.active()) GTEST_SKIP() << "no file size limit can be set here";
    result = Save(target, ParamsFromKnobs({.freq = 55, .len = 125}));
  }
  EXPECT_EQ(result, 0);
  EXPECT_FALSE(fs::exists(target));
}

TEST_F(RenderWaveSave, LastByteMissingRemovesTheFile) {
  const SynthParams params = ParamsFromKnobs({.freq = 55, .len = 125});
  const fs::path target = Path("one-short.wav");
  WriteFileBytes(target, "an older file that must not survive either");
  std::int32_t result = -1;
  {
    FileSizeLimit limit(static_cast<rlim_t>(WaveImageSize(params.lengthMs)) - 1);
    if (!limit.active()) GTEST_SKIP() << "no file size limit can be set here";
    result = Save(target, params);
  }
  EXPECT_EQ(result, 0);
  EXPECT_FALSE(fs::exists(target));
  // With the limit gone the same save succeeds.
  EXPECT_EQ(Save(target, params), 1);
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
  ASSERT_EQ(Save(target, ParamsFromKnobs({.freq = 55, .len = 125})), 1);
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

}  // namespace
