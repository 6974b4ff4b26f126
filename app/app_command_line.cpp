// The command line of the window program: usage, version, and a bad option.
// The usage names the environment variables of the backend's display and
// sound services, which each service describes itself.
#include "app/app_command_line.h"

#include <cstdio>
#include <string>
#include <string_view>

#include "platform/audio/audio.h"
#include "platform/window/window.h"
#include "sound/settings_line.h"

using tonkelwerk::QuotedWord;

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

std::string UsageText() {
  std::string text =
      R"(Usage: tonkelwerk [--help | --version]

Tonkelwerk is a little synthesizer for game sound effects. Without options it
opens its window: six knobs shape a sine tone with noise, Preview plays the
sound and Save wave writes it as a WAV file (PCM, 44,100 Hz, 16-bit stereo).

Knobs, 0..360 degrees each: press the left mouse button on a knob and move the
mouse a little; it turns up while the pointer is on its right half and down on
its left half, until the button is released.
  Start   pitch rise over the first half of the sound
  End     pitch fall over the second half
  Freq    base pitch
  Rustle  noise on top of the tone
  Cutter  period of the bare-tone samples cut into the sound
  Len.    length, 8 ms per degree (at most 2,880 ms)
Preview and Save wave need Freq and Len. above 0.

Keyboard: Tab and Shift+Tab move the focus through the buttons (none has it
before the first Tab); Space presses the button that has it. Ctrl+C copies
the knobs as a settings line for tonkelwerk-render (with the seed that
Preview and Save wave then use); Ctrl+V sets the knobs and that seed from one.

Sounds to start from: a right click on the knobs opens a menu of the keys
below. Each preset draws the knobs from its category's ranges and plays the
sound at once, as tonkelwerk-render --preset does with the seed that Ctrl+C
then copies.
  1 .. 7        pickup, laser, explosion, powerup, hit, jump, blip
  R             random: any sound
  M             mutate: move every knob by up to 10 degrees either way
  Ctrl+Z        undo the last change of the knobs (a drag, a preset, a
                paste, Reset all, a turn of the wheel), at least 100 times
  Ctrl+Shift+Z  redo; Ctrl+Y too
The mouse wheel over a knob turns it by its step per notch, ten steps with
Shift.

Options:
  --help, -h  show this text
  --version   show the version
)";
  const std::string_view window = WindowEnvironmentHelp();
  const std::string_view sound = SoundEnvironmentHelp();
  if (!window.empty() || !sound.empty()) {
    text += "\nEnvironment:\n";
    text += window;
    text += sound;
  }
  text += "\nTo render sounds from a script, without a window: tonkelwerk-render --help\n";
  return text;
}

// Prints to standard output; a failed write (a full disk, a closed pipe) is
// an error too.
int Print(const std::string& text) {
  std::fwrite(text.data(), 1, text.size(), stdout);
  if (std::fflush(stdout) == 0) return kExitOk;
  std::fputs("tonkelwerk: cannot write to standard output\n", stderr);
  return kExitFailure;
}

}  // namespace

std::optional<int> AnswerCommandLine(std::span<char* const> arguments) {
  if (arguments.empty()) return std::nullopt;
  const std::string_view first = arguments[0];
  if (arguments.size() == 1 && (first == "--help" || first == "-h")) return Print(UsageText());
  if (arguments.size() == 1 && first == "--version")
    return Print("tonkelwerk " TONKELWERK_VERSION "\n");
  // Either an unknown first word, or a known option followed by more.
  const bool firstKnown = first == "--help" || first == "-h" || first == "--version";
  // The same short answer as tonkelwerk-render's: the usage would bury it.
  const std::string_view wrong = firstKnown ? arguments[1] : first;
  std::fprintf(stderr, "tonkelwerk: %s %s\nTry 'tonkelwerk --help'.\n",
               firstKnown ? "unexpected argument" : "unknown option", QuotedWord(wrong).c_str());
  return kExitUsage;
}
