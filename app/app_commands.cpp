// The commands: Reset all, Preview, Save wave and Informations. Preview and
// Save wave render with the kept seed while the knobs are where it was kept.
#include "app/app_commands.h"

#include <array>
#include <iterator>

#include "app/app_state.h"
#include "app/render_wave.h"
#include "platform/core/save_path.h"
#include "platform/dialogs/dialogs.h"
#include "platform/window/window.h"
#include "sound/sound_engine.h"

using tonkelwerk::kKnobs;
using tonkelwerk::kKnobsAtZeroText;
using tonkelwerk::KnobAngles;
using tonkelwerk::KnobsMakeASound;
using tonkelwerk::KnobSpec;
using tonkelwerk::NoiseSource;
using tonkelwerk::ParamsFromKnobs;

namespace {

// A sound needs a pitch and a length: otherwise the user is told so.
bool KnobsSoundOrWarn() {
  if (KnobsMakeASound(KnobAnglesNow())) return true;
  MessageBoxShow(kAttentionTitle, kKnobsAtZeroText, kBoxWarning);
  return false;
}

std::string RenderKnobs(std::string_view target) {
  NoiseSource& noise = SharedNoise();
  if (const std::optional<std::uint32_t> seed = KeptSeedNow()) noise.Seed(*seed);
  return RenderWave(target, ParamsFromKnobs(KnobAnglesNow()), noise);
}

// The error box's text: "Couldn't write file to disk." and, on a second line
// after CR LF as in the about text, the reason as a sentence.
std::string SaveErrorText(std::string_view reason) {
  std::string text = "Couldn't write file to disk.";
  if (reason.empty()) return text;
  text += "\r\n";
  text += reason;
  // The reasons are phrases ("the disk is full"); the box shows a sentence.
  char& first = text[text.size() - reason.size()];
  if (first >= 'a' && first <= 'z') first = static_cast<char>(first - 'a' + 'A');
  if (text.back() != '.') text += '.';
  return text;
}

}  // namespace

KnobAngles KnobAnglesNow() {
  KnobAngles angles;
  for (const KnobSpec& spec : kKnobs) {
    KnobControl* knob = AppKnob(spec.knob);
    angles.*spec.angle = knob->methods->GetValue(knob);
  }
  return angles;
}

void TurnKnobsTo(const KnobAngles& angles) {
  for (const KnobSpec& spec : kKnobs) {
    KnobControl* knob = AppKnob(spec.knob);
    knob->methods->SetValue(knob, angles.*spec.angle);
  }
}

void CommandResetAll() {
  TurnKnobsTo(KnobAngles{});
}

void CommandPreview() {
  if (!KnobsSoundOrWarn()) return;
  RenderKnobs("");
}

void CommandSaveWave() {
  if (!KnobsSoundOrWarn()) return;
  appState.savePath = SaveDialogRun("Saving wave...", WorkingDirectory(), "WAVE (*.wav)|*.wav", 0);
  if (appState.savePath.empty()) return;
  appState.savePath = SavePathWithExtension(appState.savePath);
  const std::string failure = RenderKnobs(appState.savePath);
  if (!failure.empty()) MessageBoxShow("Error", SaveErrorText(failure), kBoxError);
}

std::string AboutText() {
  // Lines 2 and 3: the backend's clipboard; lines 13 to 15: what this build
  // needs of the system.
  const std::array<std::string_view, 2> shortcuts = ClipboardShortcutsHelp();
  const std::array<std::string_view, 3> needs = SystemRequirements();
  const std::string lines[] = {
      "Tonkelwerk V1.00 ",
      std::string(shortcuts[0]),
      std::string(shortcuts[1]),
      "",
      "",
      "",
      "Tonkelwerk is a little synthesizer for generating gamesounds.",
      "The synthesizer can export the generated sounds as wavefiles.",
      "",
      "System-Requirements",
      "----------------------",
      "",
      "  " + std::string(needs[0]),
      "  " + std::string(needs[1]),
      "  " + std::string(needs[2]),
      "",
      "  ",
      "  ",
      "Terms of use: Tonkelwerk is free to use.",
      "The sounds you make with it are yours, for any purpose.",
      "The program comes without any warranty.",
      "Use it at your own risk.",
  };
  std::string text;
  for (std::size_t i = 0; i < std::size(lines); ++i) {
    if (i > 0) text += "\r\n";
    text += lines[i];
  }
  return text;
}

void CommandInformations() {
  MessageBoxShow("Informations", AboutText(), kBoxPlain);
}
