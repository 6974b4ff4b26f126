// Pasted text and share links on settings lines: a fragment is a settings
// line whose blanks are '&', the separator a fragment's words usually have.
#include "app/share_link.h"

#include <algorithm>
#include <array>
#include <vector>

using tonkelwerk::KnobAngles;
using tonkelwerk::ParseSettingsLine;
using tonkelwerk::PrintableText;
using tonkelwerk::SettingsLineResult;
using tonkelwerk::SettingsLineText;
using tonkelwerk::SoundSettings;

namespace {

// What ends a line in pasted text: ASCII's breaks, and NEL, LS and PS in
// UTF-8, which editors and chat programs put where a user sees a new line.
constexpr std::array<std::string_view, 7> kLineBreaks = {
    "\r", "\n", "\v", "\f", "\xC2\x85", "\xE2\x80\xA8", "\xE2\x80\xA9"};

// The lines of `text` that hold more than blanks.
std::vector<std::string_view> FilledLines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (true) {
    std::size_t end = std::string_view::npos, breakSize = 0;
    for (const std::string_view mark : kLineBreaks) {
      const std::size_t at = text.find(mark);
      if (at < end) {
        end = at;
        breakSize = mark.size();
      }
    }
    const std::string_view line = text.substr(0, end);
    if (line.find_first_not_of(" \t") != std::string_view::npos) lines.push_back(line);
    if (end == std::string_view::npos) return lines;
    text.remove_prefix(end + breakSize);
  }
}

// Why `line` cannot be read whole: a control character would cut it short
// (a NUL ends a C string) or hide in a word; "" when it holds none.
std::string ControlCharacterError(std::string_view line) {
  const auto control = std::find_if(line.begin(), line.end(), [](char c) {
    const auto byte = static_cast<unsigned char>(c);
    return (byte < 0x20 && c != '\t') || byte == 0x7F;
  });
  if (control == line.end()) return {};
  return "it holds the control character " + PrintableText(std::string_view(&*control, 1)) +
         ", which no link or settings line has";
}

}  // namespace

SettingsLineResult ShareTextRead(std::string_view text) {
  const std::vector<std::string_view> lines = FilledLines(text);
  if (lines.size() > 1)
    return {SoundSettings{},
            "it holds " + std::to_string(lines.size()) + " lines, and a sound is one line"};
  text = lines.empty() ? std::string_view{} : lines.front();
  if (std::string error = ControlCharacterError(text); !error.empty())
    return {SoundSettings{}, std::move(error)};
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
