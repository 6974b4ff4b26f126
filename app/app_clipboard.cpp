// Settings between the program and the outside, the same on every backend:
// Ctrl+C copies the knobs as a settings line, Ctrl+V sets them from a line or
// a share link, and the page's address and share links use the same
// functions. A copied or pasted line always carries the seed that the
// program's next Preview and Save wave render with, so that
// tonkelwerk-render makes the same bytes from it.
#include "app/app_commands.h"
#include "app/app_state.h"
#include "app/render_wave.h"
#include "app/share_link.h"
#include "platform/dialogs/dialogs.h"
#include "platform/window/window.h"

namespace {

// A whole 32-bit seed from the program's noise generator.
std::uint32_t FreshSeed() {
  NoiseSource& noise = SharedNoise();
  const auto high = static_cast<std::uint32_t>(noise.UpTo(0xFFFF));
  return (high << 16) | static_cast<std::uint32_t>(noise.UpTo(0xFFFF));
}

}  // namespace

SoundSettings SettingsToCopy() {
  const KnobAngles knobs = KnobAnglesNow();
  if (!appState.keptSeed || appState.keptSeed->knobs != knobs)
    appState.keptSeed = KeptSeed{knobs, FreshSeed()};
  SoundSettings settings;
  settings.knobs = knobs;
  settings.seed = appState.keptSeed->seed;
  return settings;
}

std::string OpenSettings(std::string_view text) {
  const SettingsLineResult read = ShareTextRead(text);
  if (!read.error.empty()) return read.error;
  TurnKnobsTo(read.settings.knobs);
  appState.keptSeed.reset();
  if (read.settings.seed) appState.keptSeed = KeptSeed{read.settings.knobs, *read.settings.seed};
  return {};
}

void PasteSettings(std::string_view text) {
  const std::string error = OpenSettings(text);
  if (!error.empty())
    MessageBoxShow(kAttentionTitle, "This is no Tonkelwerk link or settings line: " + error,
                   kBoxWarning);
}

void CommandCopySettings() {
  ClipboardSetText(SettingsLineText(SettingsToCopy()));
}

void CommandPasteSettings() {
  PasteSettings(ClipboardText().value_or(""));
}
