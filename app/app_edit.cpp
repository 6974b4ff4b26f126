// The editing commands and the context menu. A preset, Random and Mutate
// draw the knobs from a fresh seed with the renderer's rules and keep that
// seed for the sound, so the line that Ctrl+C copies right after renders what
// was just heard, and tonkelwerk-render --preset NAME --seed SEED draws the
// same knobs. Wheel notches close together in time are one undo step.
#include "app/app_edit.h"

#include <algorithm>
#include <array>
#include <span>
#include <string>
#include <type_traits>
#include <vector>

#include "app/app_commands.h"
#include "app/app_state.h"
#include "platform/core/timing.h"
#include "platform/window/window.h"
#include "sound/presets.h"

using tonkelwerk::DrawPreset;
using tonkelwerk::kEveryKnob;
using tonkelwerk::kMaxAngle;
using tonkelwerk::kMutateDegrees;
using tonkelwerk::KnobAngles;
using tonkelwerk::MutateKnobs;
using tonkelwerk::NoiseSource;
using tonkelwerk::PresetDraws;
using tonkelwerk::Presets;

namespace {

// Notches closer than this to the one before belong to one wheel gesture.
constexpr std::uint32_t kWheelGestureMs = 500;
constexpr std::int32_t kShiftWheelSteps = 10;

constexpr std::int32_t kCommandRandom =
    kCommandFirstPreset + std::tuple_size_v<std::remove_cvref_t<decltype(Presets())>> - 1;

constexpr std::array<CommandKey, 12> kEditKeys{{
    {kCommandFirstPreset + 0, '1', 0},
    {kCommandFirstPreset + 1, '2', 0},
    {kCommandFirstPreset + 2, '3', 0},
    {kCommandFirstPreset + 3, '4', 0},
    {kCommandFirstPreset + 4, '5', 0},
    {kCommandFirstPreset + 5, '6', 0},
    {kCommandFirstPreset + 6, '7', 0},
    {kCommandRandom, 'R', 0},
    {kCommandMutate, 'M', 0},
    {kCommandUndo, 'Z', kKeyControl},
    {kCommandRedo, 'Z', kKeyControl | kKeyShift},
    {kCommandRedo, 'Y', kKeyControl},
}};

// The menu's key column for copy and paste, whose keys the window service
// handles itself.
constexpr std::array<CommandKey, 2> kClipboardKeys{{
    {kCommandCopy, 'C', kKeyControl},
    {kCommandPaste, 'V', kKeyControl},
}};

// The name the menu shows for the first key of `command`: "Ctrl+Shift+Z".
std::string KeyName(std::int32_t command) {
  using Keys = std::span<const CommandKey>;
  for (const Keys keys : {Keys(kEditKeys), Keys(kClipboardKeys)}) {
    for (const CommandKey& key : keys) {
      if (key.command != command) continue;
      std::string name;
      if (key.modifiers & kKeyControl) name += "Ctrl+";
      if (key.modifiers & kKeyShift) name += "Shift+";
      return name + key.key;
    }
  }
  return {};
}

// Turns the knobs to a sound drawn from a fresh seed, keeps the seed, and
// plays it.
template <typename Draw>
void DrawSound(Draw draw) {
  const std::uint32_t seed = FreshSeed();
  NoiseSource draws = PresetDraws(seed);
  TurnKnobsWithSeed(draw(draws), seed);
  CommandPreview();
}

void ApplyStep(const KnobStep& step) {
  TurnKnobsWithSeed(step.knobs, step.seed);
  appState.wheelTick.reset();
}

void Undo() {
  if (appState.history.CanUndo()) ApplyStep(appState.history.Undo());
}

void Redo() {
  if (appState.history.CanRedo()) ApplyStep(appState.history.Redo());
}

// Records the knobs: a wheel gesture under way changes its own step.
void Record(bool continuesGesture) {
  const KnobStep now{KnobAnglesNow(), KeptSeedNow()};
  KnobHistory& history = appState.history;
  if (now.knobs == history.Current().knobs) {
    if (now.seed && now.seed != history.Current().seed) history.ReplaceCurrent(now);
    return;
  }
  if (continuesGesture) {
    history.ReplaceCurrent(now);
  } else {
    history.Record(now);
  }
}

KnobControl* KnobUnderCursor() {
  const MouseState& mouse = appState.mouse;
  for (KnobControl* knob : appState.knobs) {
    // The dial's square, as a drag takes it.
    if (mouse.x >= knob->x && mouse.x <= knob->x + knob->size && mouse.y >= knob->y &&
        mouse.y <= knob->y + knob->size)
      return knob;
  }
  return nullptr;
}

}  // namespace

void EditKeysSet() {
  WindowCommandKeysSet(appState.window, kEditKeys);
}

void RunEditCommand(std::int32_t command) {
  const auto& presets = Presets();
  const std::int32_t preset = command - kCommandFirstPreset;
  if (preset >= 0 && preset < static_cast<std::int32_t>(presets.size())) {
    DrawSound([&](NoiseSource& draws) { return DrawPreset(presets[preset], draws); });
    return;
  }
  switch (command) {
    case kCommandMutate:
      DrawSound([](NoiseSource& draws) {
        return MutateKnobs(KnobAnglesNow(), kEveryKnob, kMutateDegrees, draws);
      });
      break;
    case kCommandUndo:
      Undo();
      break;
    case kCommandRedo:
      Redo();
      break;
    case kCommandCopy:
      CommandCopySettings();
      break;
    case kCommandPaste:
      CommandPasteSettings();
      break;
    default:
      break;
  }
}

void OpenEditMenu() {
  std::int32_t x = appState.mouse.x;
  std::int32_t y = appState.mouse.y;
  if (x < 0 || y < 0) {
    x = kKnobAreaWidth / 2;
    y = kKnobAreaHeight / 2;
  } else if (x >= kKnobAreaWidth || y >= kKnobAreaHeight) {
    return;  // over the buttons
  }
  struct Line {
    std::int32_t command;
    std::string text;
    bool enabled = true;
  };
  std::vector<Line> lines;
  for (std::size_t i = 0; i < Presets().size(); ++i) {
    std::string name(Presets()[i].name);
    name[0] = static_cast<char>(name[0] - 'a' + 'A');
    lines.push_back({kCommandFirstPreset + static_cast<std::int32_t>(i), name});
  }
  lines.push_back({kCommandMutate, "Mutate"});
  lines.push_back({0, ""});
  lines.push_back({kCommandUndo, "Undo", appState.history.CanUndo()});
  lines.push_back({kCommandRedo, "Redo", appState.history.CanRedo()});
  lines.push_back({0, ""});
  lines.push_back({kCommandCopy, "Copy settings"});
  lines.push_back({kCommandPaste, "Paste settings"});
  std::vector<MenuEntry> entries;
  for (Line& line : lines) {
    if (line.command != 0) line.text += '\t' + KeyName(line.command);
    entries.push_back({line.command, line.text, line.enabled});
  }
  ContextMenuOpen(appState.window, x, y, entries);
}

void TurnKnobByWheel(std::uint32_t wordParam) {
  KnobControl* knob = KnobUnderCursor();
  if (!knob) return;
  appState.wheelTurn += static_cast<std::int16_t>(wordParam >> 16);
  const std::int32_t notches = appState.wheelTurn / kWheelNotch;
  appState.wheelTurn %= kWheelNotch;
  if (notches == 0) return;
  const std::int32_t steps = (wordParam & kKeyShift) ? kShiftWheelSteps : 1;
  const std::int32_t angle = knob->methods->GetValue(knob) + notches * steps * knob->step;
  knob->methods->SetValue(knob, std::clamp(angle, 0, kMaxAngle));
  const std::uint32_t now = TickCountMs();
  const bool continues = appState.wheelTick && now - *appState.wheelTick < kWheelGestureMs;
  Record(continues);
  appState.wheelTick = now;
}

void NoteKnobs() {
  const KnobAngles before = appState.history.Current().knobs;
  Record(false);
  if (appState.history.Current().knobs != before) appState.wheelTick.reset();
}
