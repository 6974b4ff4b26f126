// The four commands of the buttons and the texts they show.
#pragma once

#include <string>

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
