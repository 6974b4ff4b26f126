// Pasted text and share links on settings lines: a fragment is a settings
// line whose blanks are '&', the separator a fragment's words usually have.
#include "app/share_link.h"

#include <algorithm>

namespace {

// True when a word of the line (before any comment) sets a knob: a line with
// none would turn every knob to 0.
bool SetsAKnob(std::string_view line) {
  line = line.substr(0, line.find('#'));
  for (std::size_t at = 0; (at = line.find_first_not_of(" \t", at)) != std::string_view::npos;) {
    const std::string_view word = line.substr(at, line.find_first_of(" \t", at) - at);
    for (const KnobSpec& spec : kKnobs) {
      if (word.starts_with(spec.word) && word.substr(spec.word.size()).starts_with('='))
        return true;
    }
    at += word.size();
  }
  return false;
}

}  // namespace

SettingsLineResult ShareTextRead(std::string_view text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.remove_suffix(1);
  if (text.find_first_of("\r\n") != std::string_view::npos)
    return {SoundSettings{}, "it holds more than one line"};
  const std::size_t hash = text.find('#');
  if (hash != std::string_view::npos) {
    const std::string_view before = text.substr(0, hash);
    const bool link = before.find_first_not_of(" \t") == std::string_view::npos ||
                      before.find("://") != std::string_view::npos;
    if (link) text.remove_prefix(hash + 1);
  }
  std::string line(text);
  std::replace(line.begin(), line.end(), '&', ' ');
  SettingsLineResult read = ParseSettingsLine(line);
  if (read.error.empty() && !SetsAKnob(line))
    return {SoundSettings{}, "there are no knob settings"};
  return read;
}

std::string ShareFragment(const KnobAngles& knobs, std::optional<std::uint32_t> seed) {
  std::string fragment = SettingsLineText(SoundSettings{"", knobs, seed});
  std::replace(fragment.begin(), fragment.end(), ' ', '&');
  return fragment;
}
