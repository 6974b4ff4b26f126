// The command line and standard streams on Windows. The arguments come from
// the wide command line, split by the system's own rules (CommandLineToArgvW)
// and converted to UTF-8, so names outside the ANSI code page arrive intact.
// The console's output code page becomes UTF-8 while the program runs and is
// put back at its end.
// Leaves out: a console's input code page (nothing is typed in).
// Depends on: Kernel32, Shell32, the C runtime's _setmode.
#include <windows.h>  // first: shellapi.h needs its types
#include <shellapi.h>

#include <fcntl.h>
#include <io.h>

#include <cstdlib>

#include "platform/core/command_line.h"
#include "platform/core/wide_text_win32.h"

namespace {

UINT keptCodePage = 0;

void RestoreCodePage() {
  SetConsoleOutputCP(keptCodePage);
}

}  // namespace

std::vector<std::string> CommandLineArguments(int, char**) {
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::string> arguments;
  for (int k = 1; wide && k < count; ++k) arguments.push_back(Utf8FromWide(wide[k]));
  LocalFree(wide);
  return arguments;
}

void ConsoleShowsUtf8() {
  DWORD mode = 0;
  if (!GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode)) return;
  keptCodePage = GetConsoleOutputCP();
  if (keptCodePage != CP_UTF8 && SetConsoleOutputCP(CP_UTF8)) std::atexit(RestoreCodePage);
}

void StreamCarriesBytes(std::FILE* stream) {
  _setmode(_fileno(stream), _O_BINARY);
}
