// The clipboard shortcuts: Ctrl+C copies the knobs as a settings line,
// Ctrl+V sets them from one. The line is in knob angles, the words of
// tonkelwerk-render, and always carries the seed that the program's next
// Preview and Save wave render with, so that the renderer makes the same bytes.
#include "app/app_commands.h"
#include "app/app_state.h"
#include "platform/window/window.h"
#include "sound/render_wave.h"
#include "sound/settings_line.h"

namespace {

// A whole 32-bit seed from the program's noise generator.
std::uint32_t FreshSeed() {
  const auto high = static_cast<std::uint32_t>(RandomUpTo(0xFFFF));
  return (high << 16) | static_cast<std::uint32_t>(RandomUpTo(0xFFFF));
}

// The clipboard's one line, without the line break a copy from an editor or
// a terminal brings along; none when more than one line is there, or when no
// word sets anything (an empty or comment line would turn every knob to 0).
std::optional<std::string> SingleLine(std::string text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  if (text.find_first_of("\r\n") != std::string::npos) return std::nullopt;
  if (text.substr(0, text.find('#')).find('=') == std::string::npos) return std::nullopt;
  return text;
}

}  // namespace

void CommandCopySettings() {
  const KnobAngles knobs = KnobAnglesNow();
  if (!appState.keptSeed || !SameKnobs(appState.keptSeed->knobs, knobs))
    appState.keptSeed = KeptSeed{knobs, FreshSeed()};
  SoundSettings settings;
  settings.knobs = knobs;
  settings.seed = appState.keptSeed->seed;
  ClipboardSetText(SettingsLineText(settings));
}

void CommandPasteSettings() {
  const std::optional<std::string> text = ClipboardText();
  if (!text) return;
  const std::optional<std::string> line = SingleLine(*text);
  if (!line) return;
  const SettingsLineResult parsed = ParseSettingsLine(*line);
  if (!parsed.error.empty()) return;
  const KnobAngles& knobs = parsed.settings.knobs;
  const std::array<KnobControl*, 6> controls = AppKnobs();
  const std::array<std::int32_t, 6> angles{knobs.start,  knobs.end,    knobs.freq,
                                           knobs.rustle, knobs.cutter, knobs.len};
  for (std::size_t i = 0; i < controls.size(); ++i)
    controls[i]->methods->SetValue(controls[i], angles[i]);
  appState.keptSeed.reset();
  if (parsed.settings.seed) appState.keptSeed = KeptSeed{knobs, *parsed.settings.seed};
}
