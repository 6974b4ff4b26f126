// The test hook of a backend: drives the running program the way its user
// does, in plain C++ so that one set of command tests runs on every backend
// that can run without a person in front of it.
//
// Implements (here, for every backend): running passes of the event loop
// until a frame was drawn or an event was handled; the fixture that starts
// the program with every box and dialog answered and a scratch folder, and
// saves through the dialog; the sound and the clipboard line to compare with.
// Each backend implements the rest in a file of its own: app_driver_qt.cpp
// (Qt Widgets: button clicks, QTest key presses, a timer that answers the
// active modal widget), app_driver_win32.cpp (User32: BM_CLICK, keys
// through SendInput so that the accelerators run, a thread timer that
// answers the dialogs of the modal loop) and app_driver_web.cpp (a page in
// headless Chromium: HTML button clicks, the copy and paste events of the
// shortcuts, a page timer that answers the open <dialog>).
// Leaves out: mouse drags and pictures of the whole window, which stay with
// the backend's own tests.
// Depends on: app/ (AppStart, AppLoopPass, AppEnd, appState), the knob and
// GoogleTest.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "knob/knob.h"
#include "sound/settings_line.h"

namespace tonkelwerk_test {

// Runs loop passes until `frames` frames were drawn (a pass that polled no
// event draws one). Returns false if a close request ended the loop first.
bool RunFrames(int frames);

// Runs loop passes until one handled event `code` (whose command has run by
// then), then one frame; fails the test when it has not come within 5 s.
void RunUntilEvent(std::int32_t code);

// Clicks the program's button labelled `label` the way the platform delivers
// a click; returns once the loop has run the button's command.
void PressButton(std::string_view label);

// Presses Ctrl and `key` ('C' or 'V') in the main window as the keyboard
// would; returns once the loop has run the shortcut's command.
void PressCtrl(char key);

// Presses `key` ('A'..'Z', '0'..'9') with `modifiers` (kKeyControl,
// kKeyShift) held in the main window as the keyboard would; returns once the
// loop has run the command of that key.
void PressKey(char key, std::uint32_t modifiers = 0);

// Turns the mouse wheel by `notches` (positive: away from the user) with
// the cursor at (x, y) of the main window's client area and Shift held when
// `shift`; returns once the loop has handled the turn.
void TurnWheel(int x, int y, int notches, bool shift = false);

// The pixels of a knob's image, row after row, in the backend's own format:
// for comparing two images of one run.
std::vector<std::uint8_t> KnobPicture(const KnobControl* knob);

// The file a render of the knobs as they stand makes with noise from `seed`.
std::vector<std::uint8_t> ExpectedImage(std::uint32_t seed);

// The settings line on the clipboard, read as a settings line.
tonkelwerk::SettingsLineResult ClipboardLine();

// The backend's system requirements as its about text lists them.
extern const std::array<const char*, 3> kRequirementsShown;

// The icon of a message box.
enum class BoxIcon { kNone, kWarning, kError, kOther };

// A message box as the user saw it.
struct ShownBox {
  std::string title;
  std::string text;
  BoxIcon icon = BoxIcon::kOther;
  int buttonCount = 0;
};

// The save dialog as the user saw it when it opened.
struct ShownSaveDialog {
  std::string title;
  std::vector<std::string> fileTypes;  // the entries of its list of file types
  std::filesystem::path folder;        // the folder it showed
};

// Answers every box and dialog that opens while it lives (make it while the
// program runs): boxes are recorded and closed with OK; the save dialog is
// recorded and answered as TypeInSaveDialog or CancelSaveDialog asked, and
// fails the test when neither was. Any other window fails the test and is
// closed.
class DialogAnswers {
 public:
  DialogAnswers();
  ~DialogAnswers();
  DialogAnswers(const DialogAnswers&) = delete;
  DialogAnswers& operator=(const DialogAnswers&) = delete;

  // From now on the save dialog gets `typed` in its name field and Save.
  void TypeInSaveDialog(const std::string& typed);
  // From now on the save dialog is cancelled.
  void CancelSaveDialog();

  std::vector<ShownBox> Boxes() const;
  std::vector<ShownSaveDialog> SaveDialogs() const;

  struct Backend;

 private:
  std::unique_ptr<Backend> backend_;
};

// The program running for one test with a DialogAnswers, and an empty
// folder of its own (not the system's temporary folder: the save dialog
// reads the files of the folders it lists). The end's exit status must be 0.
class AppDriverTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Runs Save wave with `path` typed into the dialog's name field.
  void SaveAs(const std::filesystem::path& path);

  std::filesystem::path folder_;
  std::unique_ptr<DialogAnswers> answers_;
};

}  // namespace tonkelwerk_test
