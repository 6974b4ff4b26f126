// Reading and printing settings lines. The words and ranges are those of
// tonkelwerk-render's options, so a line and a command line mean the same.
#include "sound/settings_line.h"

#include <algorithm>
#include <array>

namespace tonkelwerk {

namespace {

// Characters a message shows of a word before it cuts the word short.
constexpr std::size_t kShownCharacters = 60;

// Bytes a name may not hold: folder separators, the line's own marks, and
// what Windows refuses in a file name.
constexpr std::string_view kNotInName = "/\\:=#<>\"|?*";

// The length of the well-formed UTF-8 sequence at the start of `text` (no
// overlong form, no surrogate, at most U+10FFFF), with its code point; 0
// when the first byte begins none.
std::size_t Utf8Sequence(std::string_view text, char32_t& point) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(0);
  if (lead < 0x80) {
    point = lead;
    return 1;
  }
  const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
  if (length == 0 || text.size() < length) return 0;
  point = lead & (0x7F >> length);
  for (std::size_t i = 1; i < length; ++i) {
    if ((byte(i) & 0xC0) != 0x80) return 0;
    point = (point << 6) | (byte(i) & 0x3F);
  }
  constexpr std::array<char32_t, 5> kLowest{0, 0, 0x80, 0x800, 0x10000};
  const bool surrogate = point >= 0xD800 && point <= 0xDFFF;
  return point < kLowest[length] || point > 0x10FFFF || surrogate ? 0 : length;
}

// The length of the character at the start of `text` that a terminal shows
// as itself: a printable ASCII byte or a UTF-8 sequence beyond the C1
// controls; 0 for a control byte or a byte that begins no character.
std::size_t ShownCharacter(std::string_view text) {
  char32_t point = 0;
  const std::size_t length = Utf8Sequence(text, point);
  const bool control = point < 0x20 || (point >= 0x7F && point < 0xA0);
  return control ? 0 : length;
}

// A name must be a plain file name on every system: no folder, nothing
// hidden, no blank at either end (the line would lose it).
bool IsUsableName(std::string_view name) {
  if (name.empty() || name.front() == '.' || name.front() == ' ' || name.back() == ' ')
    return false;
  while (!name.empty()) {
    const std::size_t length = ShownCharacter(name);
    if (length == 0 || kNotInName.find(name.front()) != std::string_view::npos) return false;
    name.remove_prefix(length);
  }
  return true;
}

// Where the comment starts: a '#' at the start of the line or after a blank;
// a '#' inside a word belongs to the word.
std::size_t CommentStart(std::string_view line) {
  for (std::size_t at = line.find('#'); at != std::string_view::npos; at = line.find('#', at + 1)) {
    if (at == 0 || line[at - 1] == ' ' || line[at - 1] == '\t') return at;
  }
  return std::string_view::npos;
}

// Splits off a "name:" prefix: a ':' that comes before any '='.
std::string_view TakeName(std::string_view& line, std::string& error) {
  const auto colon = line.find(':');
  if (colon == std::string_view::npos || colon > line.find('=')) return {};
  const std::string_view raw = line.substr(0, colon);
  const auto first = raw.find_first_not_of(kSettingsBlanks);
  const std::string_view name = first == std::string_view::npos
                                    ? std::string_view{}
                                    : raw.substr(first, raw.find_last_not_of(kSettingsBlanks) + 1 - first);
  line.remove_prefix(colon + 1);
  if (!IsUsableName(name)) {
    error = QuotedWord(std::string(name) + ":") +
            " is not a usable name (no / \\ : = # < > \" | ? * or control characters, not "
            "starting with '.')";
  }
  return name;
}

class WordReader {
 public:
  explicit WordReader(SoundSettings& settings) : settings_(settings) {}

  // Stores one "key=value" word; returns why it is bad, or "".
  std::string Read(std::string_view word) {
    const auto mark = word.find('=');
    const std::string_view key = word.substr(0, mark);
    if (mark == std::string_view::npos) return "unknown word " + QuotedWord(word) + " (want key=value)";
    const std::string_view value = word.substr(mark + 1);
    if (key == "seed") return ReadSeed(word, value);
    for (const KnobSpec& spec : kKnobs) {
      if (spec.word == key) return ReadKnob(word, spec, value);
    }
    return "unknown word " + QuotedWord(word);
  }

 private:
  std::string ReadKnob(std::string_view word, const KnobSpec& spec, std::string_view value) {
    bool& seen = knobSeen_[KnobIndex(spec.knob)];
    if (seen) return QuotedWord(word) + ": " + std::string(spec.word) + " is given twice";
    const auto angle = WholeNumber(value, kMaxAngle);
    if (!angle)
      return QuotedWord(word) + ": " + std::string(spec.word) + " wants a whole number of degrees 0.." +
             std::to_string(kMaxAngle);
    seen = true;
    settings_.knobs.*spec.angle = static_cast<std::int32_t>(*angle);
    return {};
  }

  std::string ReadSeed(std::string_view word, std::string_view value) {
    if (settings_.seed) return QuotedWord(word) + ": seed is given twice";
    const auto seed = WholeNumber(value, kMaxSeed);
    if (!seed) return QuotedWord(word) + ": seed wants a whole number 0.." + std::to_string(kMaxSeed);
    settings_.seed = static_cast<std::uint32_t>(*seed);
    return {};
  }

  SoundSettings& settings_;
  std::array<bool, kKnobs.size()> knobSeen_{};
};

}  // namespace

bool IsSettingsLineName(std::string_view name) {
  return IsUsableName(name);
}

std::string PrintableText(std::string_view text) {
  std::string shown;
  while (!text.empty()) {
    const std::size_t length = ShownCharacter(text);
    if (length > 0) {
      shown.append(text.substr(0, length));
      text.remove_prefix(length);
      continue;
    }
    constexpr std::string_view kHex = "0123456789abcdef";
    const auto byte = static_cast<unsigned char>(text.front());
    shown += "\\x";
    shown += kHex[byte >> 4];
    shown += kHex[byte & 0xF];
    text.remove_prefix(1);
  }
  return shown;
}

std::string QuotedWord(std::string_view word) {
  std::size_t cut = 0;
  for (std::size_t shown = 0; cut < word.size() && shown < kShownCharacters; ++shown) {
    char32_t point = 0;
    cut += std::max<std::size_t>(Utf8Sequence(word.substr(cut), point), 1);
  }
  std::string quoted(1, '\'');
  quoted += PrintableText(word.substr(0, cut));
  if (cut < word.size()) quoted += "...";
  return quoted + "'";
}

std::optional<std::uint64_t> WholeNumber(std::string_view text, std::uint64_t max) {
  if (text.empty() || text.find_first_not_of("0123456789") != std::string_view::npos) return {};
  std::uint64_t value = 0;
  for (const char digit : text) {
    // Stops just past max, so that no number of digits can overflow.
    value = std::min(value * 10 + static_cast<std::uint64_t>(digit - '0'), max + 1);
  }
  if (value > max) return {};
  return value;
}

SettingsLineResult ParseSettingsLine(std::string_view line) {
  SettingsLineResult result;
  line = line.substr(0, CommentStart(line));
  result.settings.name = std::string(TakeName(line, result.error));
  if (!result.error.empty()) return result;
  WordReader reader(result.settings);
  while (true) {
    const auto first = line.find_first_not_of(kSettingsBlanks);
    if (first == std::string_view::npos) break;
    line.remove_prefix(first);
    const std::string_view word = line.substr(0, line.find_first_of(kSettingsBlanks));
    line.remove_prefix(word.size());
    result.error = reader.Read(word);
    if (!result.error.empty()) return result;
  }
  return result;
}

std::string SettingsLineText(const SoundSettings& settings) {
  std::string text;
  if (!settings.name.empty()) text = settings.name + ": ";
  for (const KnobSpec& spec : kKnobs) {
    if (spec.knob != Knob::kStart) text += ' ';
    text += std::string(spec.word) + "=" + std::to_string(settings.knobs.*spec.angle);
  }
  if (settings.seed) text += " seed=" + std::to_string(*settings.seed);
  return text;
}

}  // namespace tonkelwerk
