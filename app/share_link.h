// Share links: a sound's knobs and noise seed in the fragment of the page's
// address, as settings-line words joined by '&':
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
// or a settings line. Text before a '#' that holds no "://" is a settings
// line with a comment, not a link. The result's error says why a text is no
// sound; an empty text is none.
SettingsLineResult ShareTextRead(std::string_view text);

// The fragment (without '#') for the knobs and, when given, the seed.
std::string ShareFragment(const KnobAngles& knobs, std::optional<std::uint32_t> seed);
