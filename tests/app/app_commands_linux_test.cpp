// The commands where only the Linux build can set the scene up: Save wave
// into a folder without write access, onto a full disk, past a file size
// limit and onto special targets (POSIX permissions, tmpfs, rlimits,
// FIFOs), and Preview through SDL's disk driver, which writes what the
// device plays to a file. Driven through the test hook like the commands
// on every backend (app_commands_test.cpp).
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>

#include "app/app.h"
#include "platform/window/window.h"
#include "sound/settings_line.h"
#include "sound/sound_engine.h"
#include "tests/app/app_driver.h"
#include "tests/save_faults.h"
#include "tests/test_support.h"

using tonkelwerk::NoiseSource;
using tonkelwerk::ParamsFromKnobs;
using tonkelwerk::ParseSettingsLine;
using tonkelwerk::SettingsLineResult;
using tonkelwerk::SynthParams;
using tonkelwerk::WaveImageSize;
using tonkelwerk::WaveImageWrite;

namespace tonkelwerk_test {
namespace {

namespace fs = std::filesystem;

// Pastes `line` with Ctrl+V: the knobs, and the seed when it has one.
void Paste(const std::string& line) {
  ASSERT_TRUE(ClipboardSetText(line));
  PressCtrl('V');
}

// The file a render of the settings line makes.
std::vector<std::uint8_t> ExpectedImage(const std::string& line) {
  const SettingsLineResult parsed = ParseSettingsLine(line);
  EXPECT_EQ(parsed.error, "");
  const SynthParams params = ParamsFromKnobs(parsed.settings.knobs);
  NoiseSource noise(parsed.settings.seed.value_or(0));
  std::vector<std::uint8_t> image(WaveImageSize(params.lengthMs));
  WaveImageWrite(image.data(), params, noise);
  return image;
}

class AppSaveFaultsTest : public AppDriverTest {
 protected:
  void TearDown() override {
    std::error_code ignored;
    fs::permissions(folder_ / "locked", fs::perms::owner_all, ignored);
    AppDriverTest::TearDown();
  }

  // Runs Save wave with the whole path typed into the dialog's name field, so
  // that the dialog never lists the target's folder (it would read a FIFO).
  // Returns the text of the box that the save showed, "" for none.
  std::string SaveTyped(const fs::path& typed) {
    const std::size_t before = answers_->Boxes().size();
    answers_->TypeInSaveDialog(typed.string());
    PressButton("Save wave");
    const std::vector<ShownBox> boxes = answers_->Boxes();
    if (boxes.size() == before) return "";
    EXPECT_EQ(boxes.back().title, "Error");
    return boxes.back().text;
  }

  // The faults through Save wave: the user types the name without ".wav",
  // which the program adds.
  std::function<std::string(const SaveFault&)> SaveFaultThroughTheDialog() {
    // Len. 60: 84,718 bytes, more than 64 KiB.
    Paste("start=40 end=200 freq=120 rustle=3 cutter=25 len=60");
    return [this](const SaveFault& fault) {
      return SaveTyped(fs::path(fault.target).replace_extension());
    };
  }
};

// True when a file can be made in `folder` (then removed again).
bool CanCreateIn(const fs::path& folder) {
  const fs::path probe = folder / "probe";
  const int fd = open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
  if (fd < 0) return false;
  close(fd);
  fs::remove(probe);
  return true;
}

TEST_F(AppSaveFaultsTest, AFolderWithoutWriteAccessGivesTheErrorBox) {
  Paste("start=40 end=200 freq=120 rustle=3 cutter=25 len=25");
  fs::path locked = folder_ / "locked";
  fs::create_directories(locked);
  fs::permissions(locked, fs::perms::owner_read | fs::perms::owner_exec);
  // A privileged user writes in any ordinary folder; sysfs takes no new files
  // (and, unlike /proc, has no files that block whoever reads them).
  if (CanCreateIn(locked)) locked = "/sys";
  if (CanCreateIn(locked)) GTEST_SKIP() << "no folder without write access here";
  EXPECT_EQ(SaveTyped(locked / "boom.wav"),
            "Couldn't write file to disk.\r\nPermission was denied.");
  const std::vector<ShownBox> boxes = answers_->Boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].icon, BoxIcon::kError);
  EXPECT_FALSE(fs::exists(locked / "boom.wav"));
}

TEST_F(AppSaveFaultsTest, AFullDiskKeepsTheOldFileAndTheBoxSaysSo) {
  SaveFaultLab lab(folder_ / "faults");
  const auto cases = lab.FullDiskCases();
  if (cases.empty()) GTEST_SKIP() << lab.skipReason;
  const auto save = SaveFaultThroughTheDialog();
  for (const SaveFault& fault : cases) lab.Check(fault, save);
  EXPECT_EQ(answers_->Boxes().front().text, "Couldn't write file to disk.\r\nThe disk is full.");
}

// The size limit needs SIGXFSZ ignored, which the program does as it starts.
// A name ending in '/' never comes back from the dialog, which opens that
// folder instead.
TEST_F(AppSaveFaultsTest, SizeLimitsAndSpecialTargetsKeepTheOldFileAndTheBoxSaysSo) {
  SaveFaultLab lab(folder_ / "faults");
  const auto save = SaveFaultThroughTheDialog();
  for (const SaveFault& fault : lab.OtherCases(false)) lab.Check(fault, save);
}

TEST(AppPreviewTest, PlaysTheRenderedImageThroughTheSoundDevice) {
  fs::create_directories(TONKELWERK_APP_TEST_DIR);
  const fs::path output =
      fs::path(TONKELWERK_APP_TEST_DIR) / ("preview-" + std::to_string(getpid()) + ".raw");
  const std::string driver = std::getenv("SDL_AUDIODRIVER") ? std::getenv("SDL_AUDIODRIVER") : "";
  setenv("SDL_AUDIODRIVER", "disk", 1);
  setenv("SDL_DISKAUDIOFILE", output.c_str(), 1);
  ASSERT_TRUE(AppStart());
  const std::string line = "start=40 end=200 freq=120 rustle=3 cutter=25 len=25 seed=5";
  std::chrono::steady_clock::duration waited{};
  {
    DialogAnswers answers;
    Paste(line);
    const auto started = std::chrono::steady_clock::now();
    PressButton("Preview");
    waited = std::chrono::steady_clock::now() - started;
    EXPECT_TRUE(answers.Boxes().empty());
  }
  const std::int32_t lengthMs = ParamsFromKnobs(ParseSettingsLine(line).settings.knobs).lengthMs;
  EXPECT_GE(waited, std::chrono::milliseconds(lengthMs)) << "the command lasts the sound's length";
  const std::vector<std::uint8_t> expected = ExpectedImage(line);
  EXPECT_EQ(AppEnd(), 0);  // closing the device writes the rest of the file
  setenv("SDL_AUDIODRIVER", driver.c_str(), 1);
  unsetenv("SDL_DISKAUDIOFILE");

  const std::vector<std::uint8_t> played = ReadFileBytes(output);
  fs::remove(output);
  // The first 100 ms of samples, as the device received them.
  const auto samples = expected.begin() + 44;
  const auto found = std::search(played.begin(), played.end(), samples, samples + 17640);
  EXPECT_NE(found, played.end()) << "played " << played.size() << " bytes";
}

}  // namespace
}  // namespace tonkelwerk_test
