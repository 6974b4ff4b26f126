// The program's command line: --help and --version answer on standard output
// without opening a window or touching the display.
#pragma once

#include <optional>
#include <span>

// Answers the arguments after the program's name: "--help" (or "-h") prints
// the usage and "--version" the version on standard output; anything else
// prints what is wrong and where help is on standard error. Returns the exit
// status (0; 1 when standard output cannot be written; 2 for a bad command
// line), or nothing when there are no arguments and the window is to open.
std::optional<int> AnswerCommandLine(std::span<char* const> arguments);
