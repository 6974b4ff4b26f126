// Pasted text and share links on settings lines: a fragment is a settings
// line whose blanks are '&', the separator a fragment's words usually have.
#include "app/share_link.h"

#include <algorithm>

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
  // A good line names each word once, so an '=' beyond the seed's sets a
  // knob; a line without one (empty, a comment, a lone seed) would turn every
  // knob to 0.
  const std::string_view words = std::string_view(line).substr(0, line.find('#'));
  const auto settings = std::count(words.begin(), words.end(), '=');
  if (read.error.empty() && settings == (read.settings.seed ? 1 : 0))
    return {SoundSettings{}, "there are no knob settings"};
  return read;
}

std::string ShareFragment(const KnobAngles& knobs, std::optional<std::uint32_t> seed) {
  std::string fragment = SettingsLineText(SoundSettings{"", knobs, seed});
  std::replace(fragment.begin(), fragment.end(), ' ', '&');
  return fragment;
}
