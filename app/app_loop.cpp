// The event loop: polls without waiting, keeps the mouse state, runs the
// commands of the buttons, of Ctrl+C and Ctrl+V and of the context menu and
// its keys, turns knobs by the wheel, records each change of the knobs for
// undo, and draws a frame whenever no event waits.
#include "app/app.h"
#include "app/app_commands.h"
#include "app/app_edit.h"
#include "app/app_state.h"
#include "platform/core/timing.h"
#include "platform/screen/screen.h"
#include "platform/window/window.h"

namespace {

constexpr std::int32_t kFrameSleepMs = 15;

// A move with the left button alone starts a drag. A move without the left
// button ends one, whose release the program never saw (it happened outside
// the window); other moves with the left button leave it as it is.
void TrackMouseMove(std::uint32_t keyState) {
  if (keyState == kKeyLeftButton) {
    appState.mouse.pressed = 1;
  } else if ((keyState & kKeyLeftButton) == 0) {
    appState.mouse.pressed = 0;
  }
}

void RunButtonCommand(ObjectId button) {
  if (button == appState.resetButton) {
    CommandResetAll();
  } else if (button == appState.previewButton) {
    CommandPreview();
  } else if (button == appState.saveButton) {
    CommandSaveWave();
  } else if (button == appState.infoButton) {
    CommandInformations();
  }
  appState.mouse.pressed = 0;
}

void DrawFrame() {
  ScreenClear(appState.backgroundColour);
  for (KnobControl* knob : appState.knobs) knob->methods->Update(knob);
  ScreenFlip();
  SleepMs(kFrameSleepMs);
}

}  // namespace

bool AppLoopPass() {
  appState.lastEvent = EventPoll();
  // The cursor is read now, whatever the event: the position of the event
  // itself may be stale.
  appState.mouse.x = MousePosX(appState.window);
  appState.mouse.y = MousePosY(appState.window);
  switch (appState.lastEvent) {
    case kEventNone:
      DrawFrame();
      break;
    case kEventClose:
      return false;
    case kEventMouseMove:
      TrackMouseMove(EventWordParam());
      break;
    case kEventLeftUp:
    case kEventRightUp:
    case kEventMiddleUp:
      appState.mouse.pressed = 0;
      break;
    case kEventButtonClicked:
      RunButtonCommand(EventButtonHandle());
      break;
    case kEventCopy:
      CommandCopySettings();
      break;
    case kEventPaste:
      CommandPasteSettings();
      break;
    case kEventContextMenu:
      OpenEditMenu();
      break;
    case kEventCommand:
      RunEditCommand(EventCommandId());
      break;
    case kEventWheel:
      TurnKnobByWheel(EventWordParam());
      break;
    default:
      break;
  }
  // A drag turns the knobs frame by frame: it becomes one step once released.
  if (appState.lastEvent != kEventNone && appState.mouse.pressed == 0) NoteKnobs();
  return true;
}

void AppRunLoop() {
  while (AppLoopPass()) {
  }
}
