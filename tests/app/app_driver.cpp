// The backend-neutral part of the test hook: loop passes and the fixture of
// the command tests; see app_driver.h.
#include "tests/app/app_driver.h"

#include <unistd.h>

#include <chrono>

#include "app/app.h"
#include "app/app_commands.h"
#include "app/app_state.h"
#include "platform/window/window.h"

using tonkelwerk::NoiseSource;
using tonkelwerk::ParamsFromKnobs;
using tonkelwerk::ParseSettingsLine;
using tonkelwerk::SettingsLineResult;
using tonkelwerk::SynthParams;
using tonkelwerk::WaveImageSize;
using tonkelwerk::WaveImageWrite;

namespace tonkelwerk_test {

namespace fs = std::filesystem;

bool RunFrames(int frames) {
  while (frames > 0) {
    if (!AppLoopPass()) return false;
    if (appState.lastEvent == kEventNone) --frames;
  }
  return true;
}

void RunUntilEvent(std::int32_t code) {
  // The platform may take a moment to hand the input over: waiting a fixed
  // number of passes would be too short somewhere.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (std::chrono::steady_clock::now() < deadline) {
    if (!AppLoopPass()) break;
    if (appState.lastEvent == code) {
      RunFrames(1);
      return;
    }
  }
  ADD_FAILURE() << "event " << code << " never reached the program";
}

std::vector<std::uint8_t> ExpectedImage(std::uint32_t seed) {
  const SynthParams params = ParamsFromKnobs(KnobAnglesNow());
  NoiseSource noise(seed);
  std::vector<std::uint8_t> image(WaveImageSize(params.lengthMs));
  WaveImageWrite(image.data(), params, noise);
  return image;
}

SettingsLineResult ClipboardLine() {
  return ParseSettingsLine(ClipboardText().value_or("no text"));
}

void AppDriverTest::SaveAs(const fs::path& path) {
  answers_->TypeInSaveDialog(path.string());
  PressButton("Save wave");
}

void AppDriverTest::SetUp() {
  ASSERT_TRUE(AppStart());
  answers_ = std::make_unique<DialogAnswers>();
  folder_ = fs::absolute(TONKELWERK_APP_TEST_DIR) / ("commands-" + std::to_string(getpid()));
  fs::remove_all(folder_);
  fs::create_directories(folder_);
}

void AppDriverTest::TearDown() {
  std::error_code ignored;
  fs::remove_all(folder_, ignored);
  answers_.reset();
  EXPECT_EQ(AppEnd(), 0);
}

}  // namespace tonkelwerk_test
