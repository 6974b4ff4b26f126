// The four commands as the user runs them: by clicking the buttons, with
// the boxes and the save dialog answered as a user would; and the clipboard
// shortcuts Ctrl+C and Ctrl+V as keys pressed in the window.
#include "app/app_commands.h"

#include <fcntl.h>
#include <unistd.h>

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <cstdlib>
#include <filesystem>

#include "app/app_state.h"
#include "platform/core/save_path.h"
#include "platform/window/window.h"
#include "app/render_wave.h"
#include "sound/settings_line.h"
#include "sound/sound_engine.h"
#include "tests/app/app_test_support.h"
#include "tests/save_faults.h"
#include "tests/test_support.h"

namespace tonkelwerk_test {
namespace {

namespace fs = std::filesystem;

const QString kAttentionText = "The knobs 'Freq' and 'Len.' must be higher than 0.";

void Click(const QPoint& at) {
  auto* button = qobject_cast<QPushButton*>(MainWidget()->childAt(at));
  ASSERT_NE(button, nullptr);
  button->click();
  RunFrames(1);
}
void ClickPreview() {
  Click({590, 22});
}
void ClickSaveWave() {
  Click({590, 52});
}
void ClickResetAll() {
  Click({590, 82});
}
void ClickInformations() {
  Click({590, 132});
}

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

SynthParams KnobParams() {
  KnobAngles angles;
  angles.start = Value(AppKnob(Knob::kStart));
  angles.end = Value(AppKnob(Knob::kEnd));
  angles.freq = Value(AppKnob(Knob::kFreq));
  angles.rustle = Value(AppKnob(Knob::kRustle));
  angles.cutter = Value(AppKnob(Knob::kCutter));
  angles.len = Value(AppKnob(Knob::kLen));
  return ParamsFromKnobs(angles);
}

// The image a render of the knobs makes with noise from `seed`.
std::vector<std::uint8_t> ExpectedImage(std::uint32_t seed) {
  NoiseSource noise(seed);
  const SynthParams params = KnobParams();
  std::vector<std::uint8_t> image(WaveImageSize(params.lengthMs));
  WaveImageWrite(image.data(), params, noise);
  return image;
}

class AppCommandsTest : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    answerer_ = std::make_unique<ModalAnswerer>();
    // Not in the shared temporary folder: the dialog reads the start of every
    // file in the folders it shows, and a pipe there would stall it.
    folder_ = fs::path(TONKELWERK_APP_TEST_DIR) / ("commands-" + std::to_string(getpid()));
    fs::remove_all(folder_);
    fs::create_directories(folder_);
  }
  void TearDown() override {
    std::error_code ignored;
    fs::permissions(folder_ / "locked", fs::perms::owner_all, ignored);
    fs::remove_all(folder_, ignored);
    answerer_.reset();
    AppTest::TearDown();
  }

  // Runs Save wave with the dialog answered by choosing `chosen`.
  void SaveAs(const QString& chosen) {
    answerer_->onFileDialog = [this, chosen](QWidget* widget) {
      auto* dialog = static_cast<QFileDialog*>(widget);
      dialogTitle_ = dialog->windowTitle();
      dialogFilters_ = dialog->nameFilters();
      dialogFolder_ = dialog->directory().absolutePath();
      // As a user goes to the folder, types the name and presses Save.
      const QFileInfo file(chosen);
      dialog->setDirectory(file.absolutePath());
      auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
      ASSERT_NE(name, nullptr);
      name->setText(file.fileName());
      static_cast<QDialog*>(dialog)->accept();
    };
    ClickSaveWave();
  }

  // Runs Save wave with the whole path typed into the dialog's name field, so
  // that the dialog never lists the target's folder (it would read a FIFO).
  // Returns the text of the box that the save showed, "" for none.
  std::string SaveTyped(const fs::path& typed) {
    const std::size_t boxes = answerer_->boxes.size();
    answerer_->onFileDialog = [typed](QWidget* widget) {
      auto* name = widget->findChild<QLineEdit*>("fileNameEdit");
      ASSERT_NE(name, nullptr);
      name->setText(QString::fromStdString(typed.string()));
      static_cast<QDialog*>(widget)->accept();
    };
    ClickSaveWave();
    if (answerer_->boxes.size() == boxes) return "";
    EXPECT_EQ(answerer_->boxes.back().title, "Error");
    return answerer_->boxes.back().text.toStdString();
  }

  // The faults through Save wave: the user types the name without ".wav",
  // which the program adds.
  std::function<std::string(const SaveFault&)> SaveFaultThroughTheDialog() {
    SetSoundKnobs();
    Set(AppKnob(Knob::kLen), 60);  // 84,718 bytes: more than 64 KiB
    return [this](const SaveFault& fault) {
      return SaveTyped(fs::path(fault.target).replace_extension());
    };
  }

  fs::path folder_;
  std::unique_ptr<ModalAnswerer> answerer_;  // its timer needs the running program
  QString dialogTitle_;
  QStringList dialogFilters_;
  QString dialogFolder_;
};

TEST_F(AppCommandsTest, ResetAllTurnsEveryKnobBackToZero) {
  SetSoundKnobs();
  ClickResetAll();
  for (KnobControl* knob : appState.knobs) EXPECT_EQ(Value(knob), 0) << knob->x;
  const QImage atZero = KnobImage(AppKnob(Knob::kFreq)).copy();
  Set(AppKnob(Knob::kFreq), 0);
  EXPECT_EQ(KnobImage(AppKnob(Knob::kFreq)), atZero) << "the images show 0 again";
  EXPECT_TRUE(answerer_->boxes.empty());
}

TEST_F(AppCommandsTest, PreviewAndSaveWaveWantFreqAndLenAboveZero) {
  const auto expectAttention = [this](std::size_t boxes) {
    ASSERT_EQ(answerer_->boxes.size(), boxes);
    const SeenBox& box = answerer_->boxes.back();
    EXPECT_EQ(box.title, "Attention");
    EXPECT_EQ(box.text, kAttentionText);
    EXPECT_EQ(box.icon, QMessageBox::Warning);
    EXPECT_EQ(box.buttonCount, 1);
  };
  ClickPreview();  // right after start every knob is 0
  expectAttention(1);
  SetSoundKnobs();
  Set(AppKnob(Knob::kFreq), 0);
  ClickSaveWave();
  expectAttention(2);
  Set(AppKnob(Knob::kFreq), 1);
  Set(AppKnob(Knob::kLen), 0);
  ClickPreview();
  expectAttention(3);
  ClickSaveWave();
  expectAttention(4);
  EXPECT_EQ(answerer_->fileDialogs, 0) << "no dialog opens";
  EXPECT_EQ(Value(AppKnob(Knob::kFreq)), 1) << "no knob changes";
}

TEST_F(AppCommandsTest, SaveWaveWritesTheRenderToTheChosenFile) {
  SetSoundKnobs();
  const fs::path path = folder_ / "zap.wav";
  SharedNoise().Seed(77);
  SaveAs(QString::fromStdString(path.string()));
  EXPECT_EQ(dialogTitle_, "Saving wave...");
  EXPECT_EQ(dialogFilters_, QStringList{"WAVE (*.wav)"});
  EXPECT_EQ(dialogFolder_, QDir::currentPath()) << "the dialog opens in the current directory";
  EXPECT_TRUE(answerer_->boxes.empty());
  EXPECT_EQ(ReadFileBytes(path), ExpectedImage(77));
  EXPECT_EQ(appState.savePath, path.string());
}

TEST_F(AppCommandsTest, SaveWaveReplacesAnExistingFileWithoutAsking) {
  SetSoundKnobs();
  const fs::path path = folder_ / "old.wav";
  WriteFileBytes(path, std::string(1000000, 'x'));
  SaveAs(QString::fromStdString(path.string()));
  EXPECT_TRUE(answerer_->boxes.empty());
  EXPECT_EQ(appState.savePath, path.string());
  EXPECT_EQ(fs::file_size(path), static_cast<std::uintmax_t>(WaveImageSize(KnobParams().lengthMs)));
}

TEST_F(AppCommandsTest, SaveWaveAddsWavOnlyWhereTheNameHasNoExtension) {
  SetSoundKnobs();
  fs::create_directories(folder_ / "my.sfx");
  struct Case {
    std::string chosen;
    std::string written;
  };
  const Case cases[] = {
      {"boom", "boom.wav"},
      {"loud.WAV", "loud.WAV"},
      {"other.mp3", "other.mp3"},
      {"my.sfx/boom", "my.sfx/boom.wav"},
  };
  for (const Case& c : cases) {
    SaveAs(QString::fromStdString((folder_ / c.chosen).string()));
    EXPECT_TRUE(fs::exists(folder_ / c.written)) << c.chosen;
    EXPECT_EQ(appState.savePath, (folder_ / c.written).string());
  }
  EXPECT_TRUE(answerer_->boxes.empty());
}

TEST(SavePathRuleTest, AddsWavToAPathWithoutExtensionAndKeepsEveryOther) {
  struct Case {
    const char* chosen;
    const char* written;
  };
  const Case cases[] = {
      {"/sfx/boom", "/sfx/boom.wav"},         {"/sfx/boom.wav", "/sfx/boom.wav"},
      {"/sfx/boom.WAV", "/sfx/boom.WAV"},     {"/sfx/boom.mp3", "/sfx/boom.mp3"},
      {"/sfx/boom.", "/sfx/boom..wav"},       {"/my.sfx/boom", "/my.sfx/boom.wav"},
      {"/sfx/boom ", "/sfx/boom.wav"},        {"/sfx/boom. ", "/sfx/boom..wav"},
      {"C:\\sfx\\boom", "C:\\sfx\\boom.wav"}, {"C:\\my.sfx\\boom", "C:\\my.sfx\\boom.wav"},
      // No file name: nothing to add ".wav" to, and the save refuses it.
      {"/sfx/", "/sfx/"},                     {"/sfx/ ", "/sfx/"},
  };
  for (const Case& c : cases) EXPECT_EQ(SavePathWithExtension(c.chosen), c.written) << c.chosen;
}

TEST_F(AppCommandsTest, CancellingTheDialogWritesNothingAndSaysNothing) {
  SetSoundKnobs();
  answerer_->onFileDialog = [](QWidget* dialog) { static_cast<QFileDialog*>(dialog)->reject(); };
  const std::string before = fs::current_path().string();
  ClickSaveWave();
  EXPECT_EQ(answerer_->fileDialogs, 1);
  EXPECT_TRUE(answerer_->boxes.empty());
  EXPECT_TRUE(appState.savePath.empty());
  EXPECT_EQ(fs::current_path().string(), before);
  EXPECT_TRUE(fs::is_empty(folder_));
}

// True when a file can be made in `folder` (then removed again).
bool CanCreateIn(const fs::path& folder) {
  const fs::path probe = folder / "probe";
  const int fd = open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
  if (fd < 0) return false;
  close(fd);
  fs::remove(probe);
  return true;
}

TEST_F(AppCommandsTest, AFolderWithoutWriteAccessGivesTheErrorBox) {
  SetSoundKnobs();
  fs::path locked = folder_ / "locked";
  fs::create_directories(locked);
  fs::permissions(locked, fs::perms::owner_read | fs::perms::owner_exec);
  // A privileged user writes in any ordinary folder; sysfs takes no new files
  // (and, unlike /proc, has no files that block whoever reads them).
  if (CanCreateIn(locked)) locked = "/sys";
  if (CanCreateIn(locked)) GTEST_SKIP() << "no folder without write access here";
  SaveAs(QString::fromStdString((locked / "boom.wav").string()));
  ASSERT_EQ(answerer_->boxes.size(), 1u);
  EXPECT_EQ(answerer_->boxes[0].title, "Error");
  EXPECT_EQ(answerer_->boxes[0].text, "Couldn't write file to disk.\r\nPermission was denied.");
  EXPECT_EQ(answerer_->boxes[0].icon, QMessageBox::Critical);
  EXPECT_FALSE(fs::exists(locked / "boom.wav"));
}

TEST_F(AppCommandsTest, AFullDiskKeepsTheOldFileAndTheBoxSaysSo) {
  SaveFaultLab lab(folder_ / "faults");
  const auto cases = lab.FullDiskCases();
  if (cases.empty()) GTEST_SKIP() << lab.skipReason;
  const auto save = SaveFaultThroughTheDialog();
  for (const SaveFault& fault : cases) lab.Check(fault, save);
  EXPECT_EQ(answerer_->boxes.front().text, "Couldn't write file to disk.\r\nThe disk is full.");
}

// The size limit needs SIGXFSZ ignored, which the program does as it starts.
// A name ending in '/' never comes back from the dialog, which opens that
// folder instead.
TEST_F(AppCommandsTest, SizeLimitsAndSpecialTargetsKeepTheOldFileAndTheBoxSaysSo) {
  SaveFaultLab lab(folder_ / "faults");
  const auto save = SaveFaultThroughTheDialog();
  for (const SaveFault& fault : lab.OtherCases(false)) lab.Check(fault, save);
}

void PressCtrl(Qt::Key key) {
  QTest::keyClick(MainWidget(), key, Qt::ControlModifier);
  RunFrames(1);
}

SettingsLineResult ClipboardLine() {
  const std::optional<std::string> text = ClipboardText();
  return ParseSettingsLine(text.value_or("no text"));
}

TEST_F(AppCommandsTest, CtrlCCopiesTheKnobsWithTheSeedThatSaveWaveUses) {
  SetSoundKnobs();
  PressCtrl(Qt::Key_C);
  const SettingsLineResult copied = ClipboardLine();
  ASSERT_EQ(copied.error, "");
  EXPECT_EQ(copied.settings.knobs, KnobAnglesNow());
  ASSERT_TRUE(copied.settings.seed.has_value());
  const fs::path path = folder_ / "copied.wav";
  SaveAs(QString::fromStdString(path.string()));
  EXPECT_EQ(ReadFileBytes(path), ExpectedImage(*copied.settings.seed));
  // The knobs stay: the seed stays. A turned knob gets a line of its own.
  PressCtrl(Qt::Key_C);
  EXPECT_EQ(ClipboardText(), SettingsLineText(copied.settings));
  Set(AppKnob(Knob::kFreq), 121);
  PressCtrl(Qt::Key_C);
  EXPECT_EQ(ClipboardLine().settings.knobs.freq, 121);
}

TEST_F(AppCommandsTest, CtrlVSetsTheKnobsAndKeepsTheSeedWhileTheyStay) {
  ClipboardSetText("zap: start=40 end=200 freq=120 rustle=3 cutter=25 len=25 seed=77\r\n");
  PressCtrl(Qt::Key_V);
  const KnobAngles pasted = KnobAnglesNow();
  EXPECT_EQ(pasted.start + pasted.end + pasted.freq, 360);
  EXPECT_EQ(pasted.rustle + pasted.cutter + pasted.len, 53);
  for (const char* name : {"first.wav", "second.wav"}) {
    SaveAs(QString::fromStdString((folder_ / name).string()));
    EXPECT_EQ(ReadFileBytes(folder_ / name), ExpectedImage(77)) << name;
  }
  // A clipboard without one good line changes nothing and says why.
  const char* bad[] = {"freq=361 len=5 seed=1", "hello", "freq=9 len=9\nfreq=8 len=8", "", "# seed=1"};
  for (const char* text : bad) {
    ClipboardSetText(text);
    PressCtrl(Qt::Key_V);
    EXPECT_EQ(KnobAnglesNow(), pasted) << text;
  }
  ASSERT_EQ(answerer_->boxes.size(), std::size(bad));
  for (const SeenBox& box : answerer_->boxes) {
    EXPECT_EQ(box.title, "Attention");
    EXPECT_EQ(box.icon, QMessageBox::Warning);
    EXPECT_TRUE(box.text.startsWith("This is no Tonkelwerk link or settings line: ")) << box.text.toStdString();
  }
  EXPECT_TRUE(answerer_->boxes[0].text.endsWith("'freq=361': freq wants a whole number of degrees 0..360"));
  EXPECT_TRUE(answerer_->boxes[2].text.endsWith("it holds more than one line"));
  PressCtrl(Qt::Key_C);
  EXPECT_EQ(ClipboardLine().settings.seed, 77u) << "the pasted seed is still kept";
}

TEST_F(AppCommandsTest, InformationsShowsTheAboutTextWithoutIcon) {
  ClickInformations();
  ASSERT_EQ(answerer_->boxes.size(), 1u);
  const SeenBox& box = answerer_->boxes[0];
  EXPECT_EQ(box.title, "Informations");
  EXPECT_EQ(box.icon, QMessageBox::NoIcon);
  EXPECT_EQ(box.buttonCount, 1);
  EXPECT_EQ(box.text, QString::fromStdString(AboutText()));
  const QStringList lines = box.text.split("\r\n");
  ASSERT_EQ(lines.size(), 22);
  EXPECT_FALSE(box.text.endsWith("\r\n"));
  EXPECT_EQ(box.text.count('\n'), 21) << "every break is CR LF";
  EXPECT_EQ(lines[0], "Tonkelwerk V1.00 ");
  for (int empty : {3, 4, 5, 8, 11, 15}) EXPECT_TRUE(lines[empty].isEmpty()) << empty + 1;
  EXPECT_EQ(lines[6], "Tonkelwerk is a little synthesizer for generating gamesounds.");
  EXPECT_EQ(lines[7], "The synthesizer can export the generated sounds as wavefiles.");
  EXPECT_EQ(lines[9], "System-Requirements");
  EXPECT_EQ(lines[10], QString(22, '-'));
  // What this build needs, not what the Windows build does.
  EXPECT_EQ(lines[12], "  Linux desktop (X11 or Wayland)");
  EXPECT_EQ(lines[13], "  Sound device");
  EXPECT_EQ(lines[14], "  Qt 6 and SDL 2");
  EXPECT_EQ(lines[16], "  ");
  EXPECT_EQ(lines[17], "  ");
  for (int line : {18, 19, 20, 21}) EXPECT_FALSE(lines[line].isEmpty()) << line + 1;
  EXPECT_TRUE(lines[1].startsWith("Ctrl+C copies the knobs")) << "the shortcuts on lines 2-3";
  EXPECT_TRUE(lines[2].startsWith("Ctrl+V sets them")) << lines[2].toStdString();
}

// Preview through SDL's disk driver, which writes what the device plays to
// a file.
TEST(AppPreviewTest, PlaysTheRenderedImageThroughTheSoundDevice) {
  fs::create_directories(TONKELWERK_APP_TEST_DIR);
  const fs::path output =
      fs::path(TONKELWERK_APP_TEST_DIR) / ("preview-" + std::to_string(getpid()) + ".raw");
  const std::string driver = std::getenv("SDL_AUDIODRIVER") ? std::getenv("SDL_AUDIODRIVER") : "";
  setenv("SDL_AUDIODRIVER", "disk", 1);
  setenv("SDL_DISKAUDIOFILE", output.c_str(), 1);
  ASSERT_TRUE(AppStart());
  SetSoundKnobs();
  SharedNoise().Seed(5);
  ModalAnswerer answerer;
  const auto started = std::chrono::steady_clock::now();
  ClickPreview();
  const auto waited = std::chrono::steady_clock::now() - started;
  EXPECT_TRUE(answerer.boxes.empty());
  EXPECT_GE(waited, std::chrono::milliseconds(KnobParams().lengthMs))
      << "the command lasts the sound's length";
  const std::vector<std::uint8_t> expected = ExpectedImage(5);
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
