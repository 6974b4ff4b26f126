// The command line of tonkelwerk-render: reading and checking the arguments.
// Kept apart from main() so that it touches no file and no device.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "cli/output_format.h"
#include "sound/sound_engine.h"

// What the command line asks for.
enum class RenderAction { kRender, kHelp, kVersion };

struct RenderOptions {
  tonkelwerk::KnobAngles knobs;  // every knob 0 unless given
  std::array<bool, tonkelwerk::kKnobs.size()>
      knobGiven{};                              // per knob (KnobIndex): given on the command line
  std::optional<std::uint32_t> seed;            // none: the noise seeds itself from the tick count
  std::optional<std::string> output;            // the file name as given, before the extension rule
  bool play = false;
  // Many sounds: a batch of settings lines, or variations of one sound.
  std::optional<std::string> batch;    // the batch file, "-" for standard input
  std::optional<std::string> outDir;   // where a batch writes its files
  bool force = false;                  // a batch or --count may replace files
  std::optional<std::string> preset;   // a name that FindPreset knows
  std::optional<std::int32_t> mutate;  // jitter in degrees
  std::optional<std::int32_t> count;   // variations, named NAME-01 onwards
  bool printSettings = false;
  // The file's format; `format.format` follows -o's extension unless given.
  OutputFormat format;
  bool formatGiven = false;
};

// "-o -": the sound goes to standard output.
inline constexpr std::string_view kStandardOutput = "-";

struct ParsedCommandLine {
  RenderAction action = RenderAction::kRender;
  RenderOptions options;
  std::string error;  // empty when the command line is usable
};

// Reads the arguments after the program name. --help (-h) and --version end
// the reading where they stand. For a render, the knobs Freq and Len. must be
// above 0 (unless a preset sets them) and at least one of --output and --play
// must be given; -o must name a file whose name is one on every system and
// whose audio extension, if any, is the format's; a batch needs --out-dir
// and takes no knobs. Otherwise `error` says what is wrong, naming the option.
ParsedCommandLine ParseRenderArgs(std::span<const std::string_view> args);

// The file that -o names after the extension rule (options.output is set):
// "boom" -> "boom.wav" (or the format's own extension); "-" stays "-".
std::string OutputPath(const RenderOptions& options);
