// Settings as text between the program, the page and scripts: what a paste
// or an opened address holds, and the page's share links, which carry a
// sound's knobs and noise seed in the fragment of the page's address, as
// settings-line words joined by '&':
//
//   https://example.org/tonkelwerk/#start=10&end=90&freq=120&rustle=20&cutter=30&len=40&seed=7
//
// Standard C++ only, on the engine's settings lines.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "sound/settings_line.h"

// Reads what the user pasted or opened: a whole link, a fragment ("#..."),
// or a settings line, with or without the line break that a copy from an
// editor or a terminal brings along (blank lines count for nothing). Text
// before a '#' that holds no "://" is a settings line with a comment, not a
// link. The result's error says why a text is no sound: more than one line
// (by any line break, Unicode's too), a control character such as NUL, the
// line's own error, or no knob word at all (an empty line, a comment or a
// lone seed would turn every knob to 0).
tonkelwerk::SettingsLineResult ShareTextRead(std::string_view text);

// The fragment (without '#') for the knobs and, when given, the seed.
std::string ShareFragment(const tonkelwerk::KnobAngles& knobs, std::optional<std::uint32_t> seed);
