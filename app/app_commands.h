// The four commands of the buttons, the two of the clipboard shortcuts, and
// the texts they show.
#pragma once

#include <string>
#include <string_view>

#include "sound/sound_engine.h"

// Turns every knob back to 0.
void CommandResetAll();

// Plays the sound of the knobs (blocks for its length).
void CommandPreview();

// Asks for a file name and writes the sound of the knobs to it.
void CommandSaveWave();

// Shows the about box.
void CommandInformations();

// The path Save wave writes to for a chosen path: with ".wav" appended (after
// trimming spaces) when the path has no extension, else exactly as chosen.
std::string SavePathWithExtension(std::string_view chosen);

// The about text: 22 lines separated by CR LF; lines 13 to 15 are the
// backend's system requirements.
std::string AboutText();

// Ctrl+C: puts the knobs on the clipboard as a settings line with the seed
// that the next Preview and Save wave use (the kept one while the knobs are
// where it was kept, else a new one that is kept from now on).
void CommandCopySettings();

// Ctrl+V: turns the knobs to the settings line on the clipboard and keeps its
// seed for Preview and Save wave. A clipboard without one good line changes
// nothing.
void CommandPasteSettings();

// The knobs' angles now.
KnobAngles KnobAnglesNow();

// True when the two sets of angles are the same.
bool SameKnobs(const KnobAngles& a, const KnobAngles& b);
