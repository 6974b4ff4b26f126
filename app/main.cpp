// Tonkelwerk: a synthesizer for game sound effects. The command line only
// asks for help or the version; without it the window opens.
#include <span>

#include "app/app.h"
#include "app/app_command_line.h"

int main(int argc, char** argv) {
  if (const auto answered = AnswerCommandLine(std::span(argv + 1, argv + argc))) return *answered;
  if (AppStart()) AppRunLoop();
  return AppEnd();
}
