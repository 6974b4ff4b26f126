// The four commands of the buttons and the texts they show.
#pragma once

#include <string>
#include <string_view>

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
