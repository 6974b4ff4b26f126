// Reading and printing settings lines. The words and ranges are those of
// tonkelwerk-render's options, so a line and a command line mean the same.
#include "sound/settings_line.h"

#include <algorithm>
#include <array>

namespace {

constexpr std::string_view kBlanks = " \t\r\n";

std::string Quoted(std::string_view text) {
  std::string quoted(1, '\'');
  quoted.append(text).push_back('\'');
  return quoted;
}

bool IsNameChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '_' || c == '.';
}

// A name must be a plain file name: no folder, nothing hidden.
bool IsUsableName(std::string_view name) {
  return !name.empty() && name.front() != '.' && std::all_of(name.begin(), name.end(), IsNameChar);
}

// Splits off a "name:" prefix: a ':' that comes before any '='.
std::string_view TakeName(std::string_view& line, std::string& error) {
  const auto colon = line.find(':');
  if (colon == std::string_view::npos || colon > line.find('=')) return {};
  const std::string_view raw = line.substr(0, colon);
  const auto first = raw.find_first_not_of(kBlanks);
  const std::string_view name = first == std::string_view::npos
                                    ? std::string_view{}
                                    : raw.substr(first, raw.find_last_not_of(kBlanks) + 1 - first);
  line.remove_prefix(colon + 1);
  if (!IsUsableName(name)) {
    error = Quoted(std::string(name) + ":") +
            " is not a usable name (letters, digits, '-', '_' and '.', not starting with '.')";
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
    if (mark == std::string_view::npos) return "unknown word " + Quoted(word) + " (want key=value)";
    const std::string_view value = word.substr(mark + 1);
    if (key == "seed") return ReadSeed(word, value);
    for (const KnobSpec& spec : kKnobs) {
      if (spec.word == key) return ReadKnob(word, spec, value);
    }
    return "unknown word " + Quoted(word);
  }

 private:
  std::string ReadKnob(std::string_view word, const KnobSpec& spec, std::string_view value) {
    bool& seen = knobSeen_[KnobIndex(spec.knob)];
    if (seen) return Quoted(word) + ": " + std::string(spec.word) + " is given twice";
    const auto angle = WholeNumber(value, kMaxAngle);
    if (!angle)
      return Quoted(word) + ": " + std::string(spec.word) + " wants a whole number of degrees 0.." +
             std::to_string(kMaxAngle);
    seen = true;
    settings_.knobs.*spec.angle = static_cast<std::int32_t>(*angle);
    return {};
  }

  std::string ReadSeed(std::string_view word, std::string_view value) {
    if (settings_.seed) return Quoted(word) + ": seed is given twice";
    const auto seed = WholeNumber(value, kMaxSeed);
    if (!seed) return Quoted(word) + ": seed wants a whole number 0.." + std::to_string(kMaxSeed);
    settings_.seed = static_cast<std::uint32_t>(*seed);
    return {};
  }

  SoundSettings& settings_;
  std::array<bool, kKnobs.size()> knobSeen_{};
};

}  // namespace

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
  line = line.substr(0, line.find('#'));
  result.settings.name = std::string(TakeName(line, result.error));
  if (!result.error.empty()) return result;
  WordReader reader(result.settings);
  while (true) {
    const auto first = line.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) break;
    line.remove_prefix(first);
    const std::string_view word = line.substr(0, line.find_first_of(kBlanks));
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
