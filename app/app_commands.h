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

// The text of the box when Save wave fails: "Couldn't write file to disk."
// and, on a second line after CR LF, `reason` as a sentence.
std::string SaveErrorText(std::string_view reason);

// The about text: 22 lines separated by CR LF.
std::string AboutText();
