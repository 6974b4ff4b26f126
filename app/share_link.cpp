// Share links on settings lines: a fragment is a settings line whose blanks
// are '&', the separator a fragment's words usually have.
#include "app/share_link.h"

#include <algorithm>

SettingsLineResult ShareTextRead(std::string_view text) {
  const std::size_t hash = text.find('#');
  if (hash != std::string_view::npos) {
    const std::string_view before = text.substr(0, hash);
    const bool link = before.find_first_not_of(" \t") == std::string_view::npos ||
                      before.find("://") != std::string_view::npos;
    if (link) text.remove_prefix(hash + 1);
  }
  std::string line(text);
  std::replace(line.begin(), line.end(), '&', ' ');
  // An empty text would turn every knob to 0: it is no sound.
  if (line.find_first_not_of(" \t\r\n") == std::string::npos)
    return {SoundSettings{}, "there are no settings"};
  return ParseSettingsLine(line);
}

std::string ShareFragment(const KnobAngles& knobs, std::optional<std::uint32_t> seed) {
  std::string fragment = SettingsLineText(SoundSettings{"", knobs, seed});
  std::replace(fragment.begin(), fragment.end(), ' ', '&');
  return fragment;
}
