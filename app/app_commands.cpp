// The commands: Reset all, Preview, Save wave and Informations. Preview and
// Save wave render with the kept seed while the knobs are where it was kept.
#include "app/app_commands.h"

#include <array>
#include <iterator>

#include "app/app_state.h"
#include "platform/core/text.h"
#include "platform/dialogs/dialogs.h"
#include "platform/window/window.h"
#include "sound/render_wave.h"
#include "sound/sound_engine.h"

namespace {

constexpr const char* kAttentionTitle = "Attention";
constexpr const char* kAttentionText = "The knobs 'Freq' and 'Len.' must be higher than 0.";

std::int32_t KnobValue(KnobControl* knob) {
  return knob->methods->GetValue(knob);
}

// A sound needs a pitch and a length: otherwise the user is told so.
bool KnobsMakeASound() {
  if (KnobValue(appState.knobFreq) == 0 || KnobValue(appState.knobLen) == 0) {
    MessageBoxShow(kAttentionTitle, kAttentionText, kBoxWarning);
    return false;
  }
  return true;
}

std::int32_t RenderKnobs(std::string_view target) {
  const KnobAngles angles = KnobAnglesNow();
  if (appState.keptSeed && SameKnobs(appState.keptSeed->knobs, angles))
    NoiseSeed(appState.keptSeed->seed);
  return RenderWave(target, ParamsFromKnobs(angles));
}

}  // namespace

KnobAngles KnobAnglesNow() {
  KnobAngles angles;
  angles.start = KnobValue(appState.knobStart);
  angles.end = KnobValue(appState.knobEnd);
  angles.freq = KnobValue(appState.knobFreq);
  angles.rustle = KnobValue(appState.knobRustle);
  angles.cutter = KnobValue(appState.knobCutter);
  angles.len = KnobValue(appState.knobLen);
  return angles;
}

bool SameKnobs(const KnobAngles& a, const KnobAngles& b) {
  return a.start == b.start && a.end == b.end && a.freq == b.freq && a.rustle == b.rustle &&
         a.cutter == b.cutter && a.len == b.len;
}

void CommandResetAll() {
  for (KnobControl* knob : AppKnobs()) knob->methods->SetValue(knob, 0);
}

void CommandPreview() {
  if (!KnobsMakeASound()) return;
  RenderKnobs("");
}

std::string SavePathWithExtension(std::string_view chosen) {
  if (TrimSpaces(ExtensionPart(chosen)).empty()) return TrimSpaces(chosen) + ".wav";
  return std::string(chosen);
}

void CommandSaveWave() {
  if (!KnobsMakeASound()) return;
  appState.savePath = SaveDialogRun("Saving wave...", WorkingDirectory(), "WAVE (*.wav)|*.wav", 0);
  if (appState.savePath.empty()) return;
  appState.savePath = SavePathWithExtension(appState.savePath);
  if (RenderKnobs(appState.savePath) == 0)
    MessageBoxShow("Error", "Couldn't write file to disk.", kBoxError);
}

std::string AboutText() {
  // Lines 13 to 15: what this build needs of the system.
  const std::array<std::string_view, 3> needs = SystemRequirements();
  const std::string lines[] = {
      "Tonkelwerk V1.00 ",
      "Ctrl+C copies the knobs as a line for tonkelwerk-render, with its seed;",
      "Ctrl+V sets them from such a line; Preview and Save wave use its seed.",
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
