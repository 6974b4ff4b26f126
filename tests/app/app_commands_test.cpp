// The four commands as the user runs them: by clicking the buttons, with
// the boxes and the save dialog answered as a user would; and the clipboard
// shortcuts Ctrl+C and Ctrl+V as keys pressed in the window. Runs on every
// backend that provides the test hook (app_driver.h).
#include "app/app_commands.h"

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "platform/core/save_path.h"
#include "platform/window/window.h"
#include "sound/settings_line.h"
#include "sound/sound_engine.h"
#include "tests/app/app_driver.h"
#include "tests/test_support.h"

using tonkelwerk::Knob;
using tonkelwerk::KnobAngles;
using tonkelwerk::ParamsFromKnobs;
using tonkelwerk::SettingsLineResult;
using tonkelwerk::SettingsLineText;
using tonkelwerk::WaveImageSize;

namespace tonkelwerk_test {
namespace {

namespace fs = std::filesystem;

const std::string kAttentionText = "The knobs 'Freq' and 'Len.' must be higher than 0.";
const std::string kBadPasteText = "This is no Tonkelwerk link or settings line: ";
// The knobs of SetSoundKnobs as a settings line, without its seed.
const std::string kSoundLine = "zap: start=40 end=200 freq=120 rustle=3 cutter=25 len=25";

void Set(KnobControl* knob, std::int32_t angle) {
  knob->methods->SetValue(knob, angle);
}
std::int32_t Value(KnobControl* knob) {
  return knob->methods->GetValue(knob);
}

void SetSoundKnobs() {
  Set(AppKnob(Knob::kStart), 40);
  Set(AppKnob(Knob::kEnd), 200);
  Set(AppKnob(Knob::kFreq), 120);
  Set(AppKnob(Knob::kRustle), 3);
  Set(AppKnob(Knob::kCutter), 25);
  Set(AppKnob(Knob::kLen), 25);  // 200 ms
}

// Pastes `text` with Ctrl+V.
void Paste(const std::string& text) {
  ASSERT_TRUE(ClipboardSetText(text));
  PressCtrl('V');
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
    lines.push_back(text.substr(start, end - start));
  lines.push_back(text.substr(start));
  return lines;
}

using AppCommandsTest = AppDriverTest;

TEST_F(AppCommandsTest, ResetAllTurnsEveryKnobBackToZero) {
  SetSoundKnobs();
  PressButton("Reset all");
  for (KnobControl* knob : appState.knobs) EXPECT_EQ(Value(knob), 0) << knob->x;
  const std::vector<std::uint8_t> atZero = KnobPicture(AppKnob(Knob::kFreq));
  Set(AppKnob(Knob::kFreq), 0);
  EXPECT_EQ(KnobPicture(AppKnob(Knob::kFreq)), atZero) << "the images show 0 again";
  EXPECT_TRUE(answers_->Boxes().empty());
}

TEST_F(AppCommandsTest, PreviewAndSaveWaveWantFreqAndLenAboveZero) {
  const auto expectAttention = [this](std::size_t count) {
    const std::vector<ShownBox> boxes = answers_->Boxes();
    ASSERT_EQ(boxes.size(), count);
    EXPECT_EQ(boxes.back().title, "Attention");
    EXPECT_EQ(boxes.back().text, kAttentionText);
    EXPECT_EQ(boxes.back().icon, BoxIcon::kWarning);
    EXPECT_EQ(boxes.back().buttonCount, 1);
  };
  PressButton("Preview");  // right after start every knob is 0
  expectAttention(1);
  SetSoundKnobs();
  Set(AppKnob(Knob::kFreq), 0);
  PressButton("Save wave");
  expectAttention(2);
  Set(AppKnob(Knob::kFreq), 1);
  Set(AppKnob(Knob::kLen), 0);
  PressButton("Preview");
  expectAttention(3);
  PressButton("Save wave");
  expectAttention(4);
  EXPECT_TRUE(answers_->SaveDialogs().empty()) << "no dialog opens";
  EXPECT_EQ(Value(AppKnob(Knob::kFreq)), 1) << "no knob changes";
}

TEST_F(AppCommandsTest, SaveWaveWritesTheRenderToTheChosenFile) {
  Paste(kSoundLine + " seed=77");
  const fs::path path = folder_ / "zap.wav";
  SaveAs(path);
  const std::vector<ShownSaveDialog> dialogs = answers_->SaveDialogs();
  ASSERT_EQ(dialogs.size(), 1u);
  EXPECT_EQ(dialogs[0].title, "Saving wave...");
  EXPECT_EQ(dialogs[0].fileTypes, std::vector<std::string>{"WAVE (*.wav)"});
  EXPECT_EQ(dialogs[0].folder, fs::current_path()) << "the dialog opens in the current directory";
  EXPECT_TRUE(answers_->Boxes().empty());
  EXPECT_EQ(ReadFileBytes(path), ExpectedImage(77));
  EXPECT_EQ(appState.savePath, path.string());
}

TEST_F(AppCommandsTest, SaveWaveReplacesAnExistingFileWithoutAsking) {
  SetSoundKnobs();
  const fs::path path = folder_ / "old.wav";
  WriteFileBytes(path, std::string(1000000, 'x'));
  SaveAs(path);
  EXPECT_TRUE(answers_->Boxes().empty());
  EXPECT_EQ(appState.savePath, path.string());
  EXPECT_EQ(fs::file_size(path),
            static_cast<std::uintmax_t>(WaveImageSize(ParamsFromKnobs(KnobAnglesNow()).lengthMs)));
}

TEST_F(AppCommandsTest, SaveWaveAddsWavOnlyWhereTheNameHasNoExtension) {
  SetSoundKnobs();
  fs::create_directories(folder_ / "my.sfx");
  struct Case {
    fs::path chosen;
    fs::path written;
  };
  const Case cases[] = {
      {folder_ / "boom", folder_ / "boom.wav"},
      {folder_ / "loud.WAV", folder_ / "loud.WAV"},
      {folder_ / "other.mp3", folder_ / "other.mp3"},
      {folder_ / "my.sfx" / "boom", folder_ / "my.sfx" / "boom.wav"},
  };
  for (const Case& c : cases) {
    SaveAs(c.chosen);
    EXPECT_TRUE(fs::exists(c.written)) << c.chosen;
    EXPECT_EQ(appState.savePath, c.written.string());
  }
  EXPECT_TRUE(answers_->Boxes().empty());
}

TEST(SavePathRuleTest, AddsWavToAPathWithoutExtensionAndKeepsEveryOther) {
  struct Case {
    const char* chosen;
    const char* written;
  };
  const Case cases[] = {
      {"/sfx/boom", "/sfx/boom.wav"},
      {"/sfx/boom.wav", "/sfx/boom.wav"},
      {"/sfx/boom.WAV", "/sfx/boom.WAV"},
      {"/sfx/boom.mp3", "/sfx/boom.mp3"},
      {"/sfx/boom.", "/sfx/boom..wav"},
      {"/my.sfx/boom", "/my.sfx/boom.wav"},
      {"/sfx/boom ", "/sfx/boom.wav"},
      {"/sfx/boom. ", "/sfx/boom..wav"},
      {"C:\\sfx\\boom", "C:\\sfx\\boom.wav"},
      {"C:\\my.sfx\\boom", "C:\\my.sfx\\boom.wav"},
      // No file name: nothing to add ".wav" to, and the save refuses it.
      {"/sfx/", "/sfx/"},
      {"/sfx/ ", "/sfx/"},
  };
  for (const Case& c : cases) EXPECT_EQ(SavePathWithExtension(c.chosen), c.written) << c.chosen;
}

TEST_F(AppCommandsTest, CancellingTheDialogWritesNothingAndSaysNothing) {
  SetSoundKnobs();
  answers_->CancelSaveDialog();
  const fs::path before = fs::current_path();
  PressButton("Save wave");
  EXPECT_EQ(answers_->SaveDialogs().size(), 1u);
  EXPECT_TRUE(answers_->Boxes().empty());
  EXPECT_TRUE(appState.savePath.empty());
  EXPECT_EQ(fs::current_path(), before);
  EXPECT_TRUE(fs::is_empty(folder_));
}

TEST_F(AppCommandsTest, CtrlCCopiesTheKnobsWithTheSeedThatSaveWaveUses) {
  SetSoundKnobs();
  PressCtrl('C');
  const SettingsLineResult copied = ClipboardLine();
  ASSERT_EQ(copied.error, "");
  EXPECT_EQ(copied.settings.knobs, KnobAnglesNow());
  ASSERT_TRUE(copied.settings.seed.has_value());
  const fs::path path = folder_ / "copied.wav";
  SaveAs(path);
  EXPECT_EQ(ReadFileBytes(path), ExpectedImage(*copied.settings.seed));
  // The knobs stay: the seed stays. A turned knob gets a line of its own.
  PressCtrl('C');
  EXPECT_EQ(ClipboardText(), SettingsLineText(copied.settings));
  Set(AppKnob(Knob::kFreq), 121);
  PressCtrl('C');
  EXPECT_EQ(ClipboardLine().settings.knobs.freq, 121);
}

TEST_F(AppCommandsTest, CtrlVSetsTheKnobsAndKeepsTheSeedWhileTheyStay) {
  Paste(kSoundLine + " seed=77\r\n");
  const KnobAngles pasted = KnobAnglesNow();
  EXPECT_EQ(pasted.start + pasted.end + pasted.freq, 360);
  EXPECT_EQ(pasted.rustle + pasted.cutter + pasted.len, 53);
  for (const char* name : {"first.wav", "second.wav"}) {
    SaveAs(folder_ / name);
    EXPECT_EQ(ReadFileBytes(folder_ / name), ExpectedImage(77)) << name;
  }
  // A clipboard without one good line is refused with the reader's reason,
  // and changes neither the knobs nor the kept seed.
  std::size_t count = answers_->Boxes().size();
  for (const char* text : {"freq=361 len=5 seed=1", "hello", "freq=9 len=9\nfreq=8 len=8", "",
                           "# seed=1", "#seed=1"}) {
    Paste(text);
    EXPECT_EQ(KnobAnglesNow(), pasted) << text;
    const std::vector<ShownBox> boxes = answers_->Boxes();
    EXPECT_EQ(boxes.size(), count + 1) << "one box for '" << text << "'";
    if (boxes.size() == count + 1) {
      EXPECT_EQ(boxes.back().title, "Attention");
      EXPECT_EQ(boxes.back().icon, BoxIcon::kWarning);
      EXPECT_EQ(boxes.back().text.rfind(kBadPasteText, 0), 0u) << boxes.back().text;
      EXPECT_GT(boxes.back().text.size(), kBadPasteText.size()) << "the reason follows";
    }
    count = boxes.size();
  }
  PressCtrl('C');
  EXPECT_EQ(ClipboardLine().settings.seed, 77u) << "the pasted seed is still kept";
}

// Several lines, whatever breaks them, and control characters are refused
// whole, with a reason that says so: never read as one line or half.
TEST_F(AppCommandsTest, CtrlVRefusesSeveralLinesAndControlCharacters) {
  Paste(kSoundLine);
  const KnobAngles pasted = KnobAnglesNow();
  const struct {
    const char* text;
    const char* reason;
  } cases[] = {
      {"freq=9 len=9\u2028freq=8 len=8", "2 lines"},  // Unicode's line separator
      {"freq=9 len=9\n\nfreq=8 len=8\r\nlen=7", "3 lines"},
      {"freq=9 len=9\vfreq=8", "2 lines"},
      {"freq=55\x1b len=360", "control character \\x1b"},
  };
  for (const auto& c : cases) {
    const std::size_t before = answers_->Boxes().size();
    Paste(c.text);
    EXPECT_EQ(KnobAnglesNow(), pasted) << c.text;
    const std::vector<ShownBox> boxes = answers_->Boxes();
    ASSERT_EQ(boxes.size(), before + 1) << c.text;
    EXPECT_EQ(boxes.back().text.rfind(kBadPasteText, 0), 0u) << boxes.back().text;
    EXPECT_NE(boxes.back().text.find(c.reason), std::string::npos) << boxes.back().text;
  }
  // A line between blank lines is one line.
  Paste("\n  \nfreq=9 len=9\r\n\t\n");
  EXPECT_EQ(KnobAnglesNow().freq, 9);
}

TEST_F(AppCommandsTest, InformationsShowsTheAboutTextWithoutIcon) {
  PressButton("Informations");
  const std::vector<ShownBox> boxes = answers_->Boxes();
  ASSERT_EQ(boxes.size(), 1u);
  const ShownBox& box = boxes[0];
  EXPECT_EQ(box.title, "Informations");
  EXPECT_EQ(box.icon, BoxIcon::kNone);
  EXPECT_EQ(box.buttonCount, 1);
  EXPECT_EQ(box.text, AboutText());
  const std::vector<std::string> lines = Lines(box.text);
  ASSERT_EQ(lines.size(), 22u);
  EXPECT_NE(box.text.back(), '\n');
  EXPECT_EQ(std::count(box.text.begin(), box.text.end(), '\n'), 21) << "every break is CR LF";
  EXPECT_EQ(lines[0], "Tonkelwerk V1.00 ");
  for (int empty : {3, 4, 5, 8, 11, 15}) EXPECT_TRUE(lines[empty].empty()) << empty + 1;
  EXPECT_EQ(lines[6], "Tonkelwerk is a little synthesizer for generating gamesounds.");
  EXPECT_EQ(lines[7], "The synthesizer can export the generated sounds as wavefiles.");
  EXPECT_EQ(lines[9], "System-Requirements");
  EXPECT_EQ(lines[10], std::string(22, '-'));
  // What this build needs, not what another backend's build does.
  for (int i = 0; i < 3; ++i) EXPECT_EQ(lines[12 + i], std::string("  ") + kRequirementsShown[i]);
  EXPECT_EQ(lines[16], "  ");
  EXPECT_EQ(lines[17], "  ");
  for (int line : {18, 19, 20, 21}) EXPECT_FALSE(lines[line].empty()) << line + 1;
  EXPECT_EQ(lines[1].rfind("Ctrl+C copies the knobs", 0), 0u) << "the shortcuts on lines 2-3";
  EXPECT_EQ(lines[2].rfind("Ctrl+V sets them", 0), 0u) << lines[2];
}

}  // namespace
}  // namespace tonkelwerk_test
