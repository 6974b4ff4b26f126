// tonkelwerk-render: renders one sound from six knob positions without a
// display, for game developers who script their assets. It writes the very
// file that the program's "Save wave" writes, plays it as "Preview" does, or
// both from one render.
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "cli/render_options.h"
#include "platform/audio/audio.h"
#include "platform/core/memory.h"
#include "sound/render_wave.h"
#include "sound/sound_engine.h"

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

// The version comes from the build (project() in CMakeLists.txt).
constexpr std::string_view kVersion = "tonkelwerk-render " TONKELWERK_VERSION "\n";

constexpr std::string_view kUsage =
    R"(Usage: tonkelwerk-render [KNOBS] [--seed N] (-o FILE | --play | both)

Renders one Tonkelwerk sound from the six knob positions and writes it as a
WAV file (PCM, 44,100 Hz, 16-bit stereo), plays it, or both.

Knobs, in whole degrees 0..360, each 0 unless given (Freq and Len. must be above 0):
  --start A          pitch rise over the first half (A * 1.5 Hz)
  --end A            pitch fall over the second half (A * 1.5 Hz); with Start
                     at 0 the pitch begins that much higher and falls back
  --freq A           base pitch (A * 8 Hz)
  --rustle A         noise, added on top of the tone (0..A * 64 sample units)
  --cutter A         period of the bare-tone cut samples (0 and 1: none)
  --len A            length (A * 8 ms, at most 2880 ms)

Delivery (at least one):
  -o, --output FILE  write the WAV file; a name whose extension is empty
                     gets ".wav" ("boom" -> "boom.wav", "boom." -> "boom..wav")
  --play             play the sound and return when it has played

Other options:
  --seed N           seed the noise with N (0..4294967295), so that the same
                     command gives the same file byte for byte; without it the
                     noise differs from run to run
  --help             show this text
  --version          show the version

Values follow their option ("--freq 120") or are attached ("--freq=120"); an
option given twice keeps its last value. With both -o and --play the sound is
rendered once and the bytes written are the bytes played.

Example: tonkelwerk-render --freq 120 --len 60 --rustle 40 --seed 7 -o laser.wav

Exit status: 0 done, 1 the file could not be written or no sound device to
play on, 2 a bad command line (nothing is written then).
)";

int Fail(int status, const std::string& message) {
  std::fprintf(stderr, "tonkelwerk-render: %s\n", message.c_str());
  if (status == kExitUsage) std::fputs("Try 'tonkelwerk-render --help'.\n", stderr);
  return status;
}

// Prints to standard output; a failed write (a full disk) is an error too.
int Print(std::string_view text) {
  std::fwrite(text.data(), 1, text.size(), stdout);
  if (std::fflush(stdout) != 0) return Fail(kExitFailure, "cannot write to standard output");
  return kExitOk;
}

// Writes first, then plays, so that what is heard is what was saved.
int Deliver(const RenderOptions& options, const std::uint8_t* image, std::int32_t lengthMs) {
  if (options.output) {
    const std::string target = SaveTarget(*options.output);
    if (WaveSave(image, lengthMs, target) == 0) {
      return Fail(kExitFailure, "Couldn't write file to disk. (" + target + ")");
    }
  }
  if (options.play) WavePreview(image, lengthMs);
  return kExitOk;
}

int RenderAndDeliver(const RenderOptions& options) {
  const SynthParams params = ParamsFromKnobs(options.knobs);
  if (options.seed) NoiseSeed(*options.seed);
  std::uint8_t* image = WaveImageNew(params);
  if (!image) return Fail(kExitFailure, "not enough memory to render the sound");
  const int status = Deliver(options, image, params.lengthMs);
  MemRelease(image);
  return status;
}

// The device is opened before any file is written: without one, nothing is.
int Run(const RenderOptions& options) {
  if (!options.play) return RenderAndDeliver(options);
  if (!SoundBackendBuilt()) {
    return Fail(kExitFailure,
                "this build cannot play sounds (it was built without SDL): "
                "write a file with -o instead");
  }
  if (SoundInit() == 0) {
    SoundShutdown();
    return Fail(kExitFailure, "no sound device to play on (--play)");
  }
  const int status = RenderAndDeliver(options);
  SoundShutdown();
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  // An empty argument vector (argc 0) is possible through exec.
  const std::vector<std::string_view> args(argc > 0 ? argv + 1 : argv, argv + argc);
  const ParsedCommandLine command = ParseRenderArgs(args);
  if (!command.error.empty()) return Fail(kExitUsage, command.error);
  switch (command.action) {
    case RenderAction::kHelp:
      return Print(kUsage);
    case RenderAction::kVersion:
      return Print(kVersion);
    case RenderAction::kRender:
      break;
  }
  return Run(command.options);
}
