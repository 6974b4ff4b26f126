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

using tonkelwerk::KnobAngles;
using tonkelwerk::NoiseSource;
using tonkelwerk::SettingsLineResult;
using tonkelwerk::SettingsLineText;
using tonkelwerk::SoundSettings;

std::uint32_t FreshSeed() {
  NoiseSource& noise = SharedNoise();
  const auto high = static_cast<std::uint32_t>(noise.UpTo(0xFFFF));
  return (high << 16) | static_cast<std::uint32_t>(noise.UpTo(0xFFFF));
}

std::optional<std::uint32_t> KeptSeedNow() {
  if (!appState.keptSeed || appState.keptSeed->knobs != KnobAnglesNow()) return std::nullopt;
  return appState.keptSeed->seed;
}

void TurnKnobsWithSeed(const KnobAngles& knobs, std::optional<std::uint32_t> seed) {
  TurnKnobsTo(knobs);
  appState.keptSeed.reset();
  if (seed) appState.keptSeed = KeptSeed{knobs, *seed};
}

SoundSettings SettingsToCopy() {
  SoundSettings settings;
  settings.knobs = KnobAnglesNow();
  settings.seed = KeptSeedNow();
  if (!settings.seed) {
    settings.seed = FreshSeed();
    appState.keptSeed = KeptSeed{settings.knobs, *settings.seed};
  }
  return settings;
}

std::string OpenSettings(std::string_view text) {
  const SettingsLineResult read = ShareTextRead(text);
  if (!read.error.empty()) return read.error;
  TurnKnobsWithSeed(read.settings.knobs, read.settings.seed);
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
