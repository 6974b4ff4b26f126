// Start-up, layout and the end sequence of the program.
#include <csignal>
#include <string>

#include "app/app.h"
#include "app/app_edit.h"
#include "app/app_state.h"
#include "platform/audio/audio.h"
#include "platform/core/files.h"
#include "platform/dialogs/dialogs.h"
#include "platform/screen/screen.h"
#include "platform/window/window.h"

using tonkelwerk::kKnobs;
using tonkelwerk::KnobIndex;
using tonkelwerk::KnobSpec;

AppState appState;

namespace {

constexpr std::uint32_t kMainWindowFlags =
    kWindowCaption | kWindowSystemMenu | kWindowMinimiseBox | kWindowCentreScreen;  // 0xCA0001

struct ButtonLayout {
  const char* text;
  std::int32_t y;
  ObjectId AppState::*field;
};

constexpr std::int32_t kButtonX = 550;
constexpr std::int32_t kButtonWidth = 80;
constexpr std::int32_t kButtonHeight = 25;
constexpr ButtonLayout kButtons[] = {
    {"Preview", 10, &AppState::previewButton},
    {"Save wave", 40, &AppState::saveButton},
    {"Reset all", 70, &AppState::resetButton},
    {"Informations", 120, &AppState::infoButton},
};

// The knobs stand in one row, in the order of kKnobs, 90 pixels apart.
constexpr std::int32_t kKnobX = 10;
constexpr std::int32_t kKnobPitch = 90;
constexpr std::int32_t kKnobY = 10;
constexpr std::int32_t kKnobSize = 70;

// Readies every platform service; none reports a result.
void PlatformStartup() {
#ifdef SIGXFSZ
  // Past a file size limit a save then fails with a reason, instead of the
  // signal ending the program midway through the file.
  std::signal(SIGXFSZ, SIG_IGN);
#endif
  WindowServiceStartup();
}

// Shuts the services down in the fixed order: screen with every image,
// sound with every sound, windows, fonts, files.
void PlatformShutdown() {
  ScreenShutdown();
  SoundShutdown();
  WindowServiceShutdown();
  FontsShutdown();
  FilesShutdown();
}

constexpr std::int32_t kExitStartFailed = 1;

// Reports a failed start with its fixed text and, as the second line, the
// platform's `reason` where it gives one.
bool StartFailed(const char* text, const std::string& reason = "") {
  appState.exitStatus = kExitStartFailed;
  MessageBoxShow("Error", reason.empty() ? text : std::string(text) + "\n" + reason, kBoxError);
  return false;
}

void AddButtons() {
  ButtonParentSet(WindowNativeHandle(appState.window));
  for (const ButtonLayout& button : kButtons)
    appState.*button.field =
        ButtonAdd(kNewObject, kButtonX, button.y, kButtonWidth, kButtonHeight, button.text);
}

// False when memory for a knob runs out: the commands need all six.
bool AddKnobs() {
  for (const KnobSpec& spec : kKnobs) {
    KnobControl* knob = CreateKnob();
    appState.knobs[KnobIndex(spec.knob)] = knob;
    if (!knob) return false;
    const std::string label(spec.caption);
    const auto x = kKnobX + kKnobPitch * static_cast<std::int32_t>(KnobIndex(spec.knob));
    knob->methods->Setup(knob, label.c_str(), x, kKnobY, kKnobSize, 0, &appState.mouse,
                         appState.labelFont, spec.captionFactor, spec.step);
  }
  return true;
}

}  // namespace

bool AppStart() {
  appState = AppState{};
  PlatformStartup();
  appState.backgroundColour = ButtonFaceColour();
  if (!ScreenInit()) return StartFailed("Error. DirectX-Error: 001", ScreenFailureReason());
  if (!SoundInit()) return StartFailed("Error. DirectX-Error: 002", SoundFailureReason());
  appState.window = MainWindowOpen(kNewObject, kWindowNoPosition, kWindowNoPosition, 640, 155,
                                   "Tonkelwerk 1.00", kMainWindowFlags);
  if (!appState.window) return StartFailed("Not enough RAM available.");
  AddButtons();
  if (!ScreenOpenEmbedded(WindowNativeHandle(appState.window), 0, 0, kKnobAreaWidth,
                          kKnobAreaHeight, 0, 0, 0))
    return StartFailed("Error. DirectX-Error: 003", ScreenFailureReason());
  appState.labelFont = FontHandle(FontLoad(kNewObject, "Arial", 8));
  if (!AddKnobs()) return StartFailed("Not enough RAM available.");
  EditKeysSet();
  return true;
}

int AppEnd() {
  const int status = appState.exitStatus;
  PlatformShutdown();
  // The knobs' images went with the screen; their records go here.
  for (KnobControl* knob : appState.knobs)
    if (knob) knob->methods->Destroy(knob);
  appState = AppState{};
  return status;
}
