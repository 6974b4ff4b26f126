// AppState: the application's single global record, and the fixed layout of
// the main window.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "app/app_history.h"
#include "knob/knob.h"
#include "platform/core/object_table.h"
#include "platform/screen/screen.h"
#include "sound/sound_engine.h"

// The seed of the settings line last copied (Ctrl+C) or pasted (Ctrl+V),
// with the knobs it went with. While the knobs stay there, Preview and Save
// wave render with this seed, so that the line and the sound agree.
struct KeptSeed {
  tonkelwerk::KnobAngles knobs;
  std::uint32_t seed = 0;
};

// The knobs' area of the window: the embedded screen at its top-left corner.
inline constexpr std::int32_t kKnobAreaWidth = 540;
inline constexpr std::int32_t kKnobAreaHeight = 145;

struct AppState {
  ObjectId infoButton = 0;
  ObjectId previewButton = 0;
  ObjectId resetButton = 0;
  ObjectId saveButton = 0;
  std::array<KnobControl*, tonkelwerk::kKnobs.size()> knobs{};  // in the order of kKnobs
  ObjectId window = 0;
  std::uint32_t backgroundColour = 0;
  std::int32_t lastEvent = 0;
  std::string savePath;
  FontHandleValue labelFont = 0;
  MouseState mouse;
  std::optional<KeptSeed> keptSeed;
  KnobHistory history;
  std::optional<std::uint32_t> wheelTick;  // tick of the wheel gesture under way
  std::int32_t wheelTurn = 0;              // part of a notch not yet turned
  std::int32_t exitStatus = 0;             // the process's: 1 once start-up has failed
};

extern AppState appState;

// The knob of the window that turns `knob`.
inline KnobControl* AppKnob(tonkelwerk::Knob knob) {
  return appState.knobs[tonkelwerk::KnobIndex(knob)];
}
