// The command line of tonkelwerk-render: reading and checking the arguments,
// and the file name rule that the program's "Save wave" applies. Kept apart
// from main() so that it touches no file and no device.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "sound/sound_engine.h"

// What the command line asks for.
enum class RenderAction { kRender, kHelp, kVersion };

struct RenderOptions {
  KnobAngles knobs;                   // every knob 0 unless given
  std::optional<std::uint32_t> seed;  // none: the noise seeds itself from the tick count
  std::optional<std::string> output;  // the file name as given, before the extension rule
  bool play = false;
};

struct ParsedCommandLine {
  RenderAction action = RenderAction::kRender;
  RenderOptions options;
  std::string error;  // empty when the command line is usable
};

// Reads the arguments after the program name. --help and --version end the
// reading where they stand. For a render, the knobs Freq and Len. must be
// above 0 and at least one of --output and --play must be given; otherwise
// `error` says what is wrong, naming the option.
ParsedCommandLine ParseRenderArgs(std::span<const std::string_view> args);

// The path "Save wave" writes to: a name whose extension is empty (after
// trimming blanks) gets ".wav" after its trimmed self; any other stays as given.
std::string SaveTarget(std::string_view path);
