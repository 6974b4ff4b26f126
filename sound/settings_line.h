// Settings lines: one line of text that describes one sound in the words of
// tonkelwerk-render's command line, so that a sound can be kept in a text file,
// pasted between the program and scripts, and rendered again to the same bytes:
//
//   laser: start=10 end=90 freq=120 rustle=20 cutter=30 len=40 seed=7
//
// Words are separated by blanks or tabs and may come in any order. A knob that
// is missing is 0; `seed` is optional; the `name:` prefix is optional and names
// the output file. A '#' at the start of the line or after a blank starts a
// comment that runs to the end of the line; inside a word it is part of it.
// Standard C++ only, like the rest of the engine.
//
// Tonkelwerk is distributed under the zlib license (the file LICENSE).
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Named from this folder, not from the project root: installed, both headers
// lie side by side in include/tonkelwerk/.
#include "sound_engine.h"

namespace tonkelwerk {

// What separates the words of a line: a stray carriage return or line feed
// counts as a blank, so that a line from a file with either line end reads
// alike.
inline constexpr std::string_view kSettingsBlanks = " \t\r\n";

// The largest seed a line or the renderer takes: any 32-bit value.
inline constexpr std::uint64_t kMaxSeed = 4294967295u;

// `text` as a whole number in 0..max when it is plain decimal digits, with no
// sign, blank, fraction or exponent; nothing otherwise.
TONKELWERK_API std::optional<std::uint64_t> WholeNumber(std::string_view text, std::uint64_t max);

struct SoundSettings {
  std::string name;  // "" when the line has no "name:" prefix
  KnobAngles knobs;  // whole degrees 0..360
  std::optional<std::uint32_t> seed;
};

struct SettingsLineResult {
  SoundSettings settings;
  std::string error;  // "" for a good line; otherwise says why, quoting the offending word
};

// Reads one line. Angles are whole degrees 0..360 and the seed 0..4294967295,
// in plain decimal digits. A word given twice is an error, since one of the
// two values would be lost. The name is what IsSettingsLineName accepts, with
// the blanks around it dropped.
TONKELWERK_API SettingsLineResult ParseSettingsLine(std::string_view line);

// Whether `name` can be a line's name, so that it is a file name in any
// folder on any system: printable ASCII (blanks inside) and UTF-8 beyond the
// controls, but none of / \ : = # < > " | ? *, not starting with '.' and
// neither starting nor ending with a blank.
TONKELWERK_API bool IsSettingsLineName(std::string_view name);

// The line for `settings`: the name prefix when there is a name, all six knobs
// in the order of the window, then the seed when there is one. Reading it back
// gives the same settings when the name is one IsSettingsLineName accepts.
TONKELWERK_API std::string SettingsLineText(const SoundSettings& settings);

// `text` as a message may show it on a terminal: control bytes (C0, DEL, C1)
// and bytes that begin no UTF-8 character become "\x1b" and the like.
TONKELWERK_API std::string PrintableText(std::string_view text);

// A word of user input as a message quotes it: in single quotes, cut after 60
// characters with "...", and printable (PrintableText).
TONKELWERK_API std::string QuotedWord(std::string_view word);

}  // namespace tonkelwerk
