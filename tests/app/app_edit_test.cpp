// Editing the sound in the window as the user does it: the preset, Random and
// Mutate keys, undo and redo, and the wheel over a knob, each checked by the
// knobs it leaves and the bytes that Save wave then writes. Runs on the
// backends whose test hook presses keys and turns the wheel (app_driver.h).
#include "app/app_edit.h"

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "app/app_commands.h"
#include "app/app_state.h"
#include "platform/window/window.h"
#include "sound/presets.h"
#include "sound/settings_line.h"
#include "tests/app/app_driver.h"
#include "tests/test_support.h"

using tonkelwerk::AngleRange;
using tonkelwerk::DrawPreset;
using tonkelwerk::kEveryKnob;
using tonkelwerk::kKnobs;
using tonkelwerk::kMutateDegrees;
using tonkelwerk::Knob;
using tonkelwerk::KnobAngles;
using tonkelwerk::KnobIndex;
using tonkelwerk::KnobSpec;
using tonkelwerk::MutateKnobs;
using tonkelwerk::NoiseSource;
using tonkelwerk::ParamsFromKnobs;
using tonkelwerk::Preset;
using tonkelwerk::PresetDraws;
using tonkelwerk::Presets;
using tonkelwerk::SettingsLineResult;

namespace tonkelwerk_test {
namespace {

namespace fs = std::filesystem;

// The middle of a knob's dial in the window.
struct Point {
  int x;
  int y;
};
Point DialMiddle(Knob knob) {
  const KnobControl* control = AppKnob(knob);
  return {control->x + control->size / 2, control->y + control->size / 2};
}

std::int32_t Angle(Knob knob) {
  KnobControl* control = AppKnob(knob);
  return control->methods->GetValue(control);
}

class AppEditTest : public AppDriverTest {
 protected:
  // Ctrl+C, then Save wave: the line copied and the file saved must be one
  // sound, the one the knobs make with the line's seed.
  SettingsLineResult CopyAndSaveAgree(const std::string& name) {
    PressCtrl('C');
    const SettingsLineResult line = ClipboardLine();
    EXPECT_EQ(line.error, "") << name;
    EXPECT_EQ(line.settings.knobs, KnobAnglesNow()) << name;
    EXPECT_TRUE(line.settings.seed.has_value()) << name;
    SaveAs(folder_ / (name + ".wav"));
    EXPECT_EQ(ReadFileBytes(folder_ / (name + ".wav")),
              ExpectedImage(line.settings.seed.value_or(0)))
        << name;
    return line;
  }
};

TEST_F(AppEditTest, PresetKeysSetEveryKnobInItsRangeAndPlayTheSoundThatCtrlCCopies) {
  const char keys[] = {'1', '2', '3', '4', '5', '6', '7', 'R'};
  for (std::size_t i = 0; i < Presets().size(); ++i) {
    const Preset& preset = Presets()[i];
    const auto started = std::chrono::steady_clock::now();
    PressKey(keys[i]);
    const auto waited = std::chrono::steady_clock::now() - started;
    const KnobAngles knobs = KnobAnglesNow();
    for (const KnobSpec& spec : kKnobs) {
      const AngleRange range = preset.ranges[KnobIndex(spec.knob)];
      EXPECT_GE(knobs.*spec.angle, range.low) << preset.name << " " << spec.word;
      EXPECT_LE(knobs.*spec.angle, range.high) << preset.name << " " << spec.word;
    }
    EXPECT_GE(waited, std::chrono::milliseconds(ParamsFromKnobs(knobs).lengthMs))
        << preset.name << ": the key plays the sound, for its length";
    const SettingsLineResult line = CopyAndSaveAgree(std::string(preset.name));
    // The renderer's --preset with that seed draws the very same knobs.
    NoiseSource draws = PresetDraws(line.settings.seed.value_or(0));
    EXPECT_EQ(DrawPreset(preset, draws), knobs) << preset.name;
  }
  const KnobAngles before = KnobAnglesNow();
  PressKey('M');
  const SettingsLineResult mutated = CopyAndSaveAgree("mutated");
  NoiseSource draws = PresetDraws(mutated.settings.seed.value_or(0));
  EXPECT_EQ(MutateKnobs(before, kEveryKnob, kMutateDegrees, draws), KnobAnglesNow())
      << "Mutate is the renderer's --mutate";
  EXPECT_NE(KnobAnglesNow(), before);
  EXPECT_TRUE(answers_->Boxes().empty());
}

TEST_F(AppEditTest, UndoAndRedoReturnTheKnobsAndTheSoundOfEachStep) {
  // Three changes, each with noise in its sound so that only the step's own
  // seed gives its bytes: a preset, a pasted line, Mutate.
  std::vector<std::vector<std::uint8_t>> sounds;
  std::vector<KnobAngles> knobs;
  const auto keep = [&](const std::string& name) {
    SaveAs(folder_ / (name + ".wav"));
    sounds.push_back(ReadFileBytes(folder_ / (name + ".wav")));
    knobs.push_back(KnobAnglesNow());
  };
  PressKey('5');  // hit
  keep("preset");
  ASSERT_TRUE(ClipboardSetText("start=40 end=200 freq=120 rustle=100 cutter=25 len=25 seed=77"));
  PressCtrl('V');
  keep("pasted");
  PressKey('M');
  keep("mutated");
  const auto expectStep = [&](std::size_t step, const std::string& after) {
    EXPECT_EQ(KnobAnglesNow(), knobs[step]) << after;
    const fs::path path = folder_ / ("again-" + std::to_string(step) + ".wav");
    SaveAs(path);
    EXPECT_EQ(ReadFileBytes(path), sounds[step]) << after;
  };
  PressKey('Z', kKeyControl);
  expectStep(1, "undo");
  PressKey('Z', kKeyControl);
  expectStep(0, "undo twice");
  PressKey('Z', kKeyControl | kKeyShift);
  expectStep(1, "redo with Ctrl+Shift+Z");
  PressKey('Y', kKeyControl);
  expectStep(2, "redo with Ctrl+Y");
  PressKey('Y', kKeyControl);
  expectStep(2, "nothing left to redo");
  PressKey('Z', kKeyControl);
  PressKey('Z', kKeyControl);
  PressKey('Z', kKeyControl);
  EXPECT_EQ(KnobAnglesNow(), KnobAngles{}) << "back at the start";
  // A new change drops what could be redone.
  PressButton("Reset all");
  PressKey('7');
  const KnobAngles blip = KnobAnglesNow();
  PressKey('Y', kKeyControl);
  EXPECT_EQ(KnobAnglesNow(), blip);

  // More than a hundred steps can be undone.
  for (int freq = 1; freq <= 105; ++freq) {
    ASSERT_TRUE(ClipboardSetText("freq=" + std::to_string(freq) + " len=9"));
    PressCtrl('V');
  }
  for (int undo = 0; undo < 104; ++undo) PressKey('Z', kKeyControl);
  EXPECT_EQ(Angle(Knob::kFreq), 1);
  EXPECT_TRUE(answers_->Boxes().empty());
}

TEST_F(AppEditTest, TheWheelTurnsTheKnobUnderTheCursorByItsStepAndClamps) {
  const Point freq = DialMiddle(Knob::kFreq);
  const Point start = DialMiddle(Knob::kStart);
  for (int notch = 0; notch < 3; ++notch) TurnWheel(freq.x, freq.y, 1);
  EXPECT_EQ(Angle(Knob::kFreq), 3) << "Freq's step is 1";
  TurnWheel(freq.x, freq.y, 1, true);
  EXPECT_EQ(Angle(Knob::kFreq), 13) << "Shift: ten steps";
  TurnWheel(freq.x, freq.y, -2);
  EXPECT_EQ(Angle(Knob::kFreq), 11);
  TurnWheel(freq.x, freq.y, -1, true);
  TurnWheel(freq.x, freq.y, -1, true);
  EXPECT_EQ(Angle(Knob::kFreq), 0) << "kept at 0";
  TurnWheel(start.x, start.y, 1);
  EXPECT_EQ(Angle(Knob::kStart), 5) << "Start's step is 5";
  for (int notch = 0; notch < 8; ++notch) TurnWheel(start.x, start.y, 1, true);
  EXPECT_EQ(Angle(Knob::kStart), 360) << "kept at 360";
  EXPECT_EQ(Angle(Knob::kFreq), 0) << "only the knob under the cursor turns";
  TurnWheel(kKnobAreaWidth + 40, 140, 1);      // below the buttons
  TurnWheel(start.x, kKnobAreaHeight - 2, 1);  // below the knob
  EXPECT_EQ(KnobAnglesNow(), (KnobAngles{.start = 360}));

  // The notches of one gesture are one step, whose undo returns them all.
  std::this_thread::sleep_for(std::chrono::milliseconds(600));
  for (int notch = 0; notch < 3; ++notch) TurnWheel(freq.x, freq.y, 1);
  std::this_thread::sleep_for(std::chrono::milliseconds(600));
  TurnWheel(freq.x, freq.y, 1);
  PressKey('Z', kKeyControl);
  EXPECT_EQ(Angle(Knob::kFreq), 3) << "the later gesture undone";
  PressKey('Z', kKeyControl);
  EXPECT_EQ(Angle(Knob::kFreq), 0) << "the three notches undone at once";
  EXPECT_EQ(Angle(Knob::kStart), 360);
}

}  // namespace
}  // namespace tonkelwerk_test
