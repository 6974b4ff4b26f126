// The command line of tonkelwerk-render: reading and checking the arguments.
// Kept apart from main() so that it touches no file and no device.
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
  std::optional<std::string> output;  // the path to write, the save path rule applied
  bool play = false;
};

struct ParsedCommandLine {
  RenderAction action = RenderAction::kRender;
  RenderOptions options;
  std::string error;  // empty when the command line is usable
};

// Reads the arguments after the program name. --help and --version end the
// reading where they stand. For a render, the knobs Freq and Len. must be
// above 0, at least one of --output and --play must be given, and the output
// must name a file; otherwise `error` says what is wrong, naming the option.
ParsedCommandLine ParseRenderArgs(std::span<const std::string_view> args);
