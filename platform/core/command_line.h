// What a command-line program gets from its system, in the form the rest of
// the program expects: the arguments as UTF-8, standard streams that carry
// bytes unchanged, and UTF-8 messages that show as such on a console.
// POSIX systems give all of that as they are; Windows hands out arguments in
// its ANSI code page and translates line ends in its standard streams.
// Sources: command_line_posix.cpp, command_line_win32.cpp (chosen by the
// build).
#pragma once

#include <cstdio>
#include <string>
#include <vector>

// The arguments after the program's name, as UTF-8. `argc` and `argv` are
// main's (Windows reads its wide command line instead).
std::vector<std::string> CommandLineArguments(int argc, char** argv);

// Lets UTF-8 text written to standard error show as such when it goes to a
// console; redirected, the bytes are written as they are anyway.
void ConsoleShowsUtf8();

// Makes `stream` (standard input or output) carry bytes unchanged: no
// carriage return added before a line feed, nor an end at Ctrl+Z.
void StreamCarriesBytes(std::FILE* stream);
