// The four commands of the buttons, the two of the clipboard shortcuts, and
// the texts they show.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "sound/settings_line.h"
#include "sound/sound_engine.h"

// The title of the warning boxes: knobs that make no sound, a bad paste.
inline constexpr std::string_view kAttentionTitle = "Attention";

// Turns every knob back to 0.
void CommandResetAll();

// Plays the sound of the knobs (blocks for its length).
void CommandPreview();

// Asks for a file name and writes the sound of the knobs to it.
void CommandSaveWave();

// Shows the about box.
void CommandInformations();

// The about text: 22 lines separated by CR LF; lines 13 to 15 are the
// backend's system requirements.
std::string AboutText();

// The knobs with the seed that the next Preview and Save wave use: the kept
// one while the knobs are where it was kept, else a new one that is kept from
// now on. What Ctrl+C copies and what the page's share link holds.
tonkelwerk::SoundSettings SettingsToCopy();

// Turns the knobs to a settings line or share link (ShareTextRead) and keeps
// its seed for Preview and Save wave until a knob turns; a line without a
// seed lets the noise go on. Returns "" then; otherwise why the text is no
// sound, and nothing has changed.
std::string OpenSettings(std::string_view text);

// OpenSettings for text the user pasted or opened: a text that is no sound is
// told in an "Attention" box that names why.
void PasteSettings(std::string_view text);

// Ctrl+C: puts SettingsToCopy() on the clipboard as a settings line.
void CommandCopySettings();

// Ctrl+V: PasteSettings with the clipboard's text (an empty clipboard is
// no sound either).
void CommandPasteSettings();

// The knobs' angles now.
tonkelwerk::KnobAngles KnobAnglesNow();

// Turns every knob to its angle in `angles`.
void TurnKnobsTo(const tonkelwerk::KnobAngles& angles);

// Turns the knobs to `knobs` and keeps `seed` for Preview and Save wave
// while they stay there; without a seed the noise goes on.
void TurnKnobsWithSeed(const tonkelwerk::KnobAngles& knobs, std::optional<std::uint32_t> seed);

// The kept seed while the knobs stand where it was kept, else none.
std::optional<std::uint32_t> KeptSeedNow();

// A whole 32-bit seed, drawn from the program's noise generator.
std::uint32_t FreshSeed();
