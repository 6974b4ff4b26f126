// The command line and standard streams on POSIX systems: arguments are the
// bytes given, which are UTF-8 in any UTF-8 locale, and streams never change
// bytes, so there is nothing to convert.
// Depends on: nothing.
#include "platform/core/command_line.h"

std::vector<std::string> CommandLineArguments(int argc, char** argv) {
  // An empty argument vector (argc 0) is possible through exec.
  return argc > 0 ? std::vector<std::string>(argv + 1, argv + argc) : std::vector<std::string>();
}

void ConsoleShowsUtf8() {}

void StreamCarriesBytes(std::FILE*) {}
