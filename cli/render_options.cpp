// Reading tonkelwerk-render's arguments. Options come as "--name value" or
// "--name=value" ("-o" only as "-o value"); a repeated option keeps its last
// value. Numbers are plain decimal digits: no sign, blank, fraction or exponent,
// so a knob gets exactly the whole degrees the program's knobs hold.
#include "cli/render_options.h"

#include <algorithm>
#include <array>

#include "cli/presets.h"
#include "platform/core/save_path.h"
#include "platform/core/text.h"
#include "sound/settings_line.h"

namespace {

// Variation numbers have two digits up to 99 and three beyond.
constexpr std::uint64_t kMaxCount = 999;

// One argument as option name and, for "--name=value", the attached value.
struct OptionArg {
  std::string_view name;
  std::optional<std::string_view> value;
};

OptionArg SplitArg(std::string_view arg) {
  const auto mark = arg.find('=');
  if (!arg.starts_with("--") || mark == std::string_view::npos) return {arg, std::nullopt};
  return {arg.substr(0, mark), arg.substr(mark + 1)};
}

std::string Quoted(std::string_view text) {
  std::string quoted(1, '\'');
  quoted.append(text).push_back('\'');
  return quoted;
}

// Reads `text` as a whole number in 0..max into `value`; otherwise returns a
// message naming the option.
std::string ReadWhole(std::string_view option, std::string_view text, std::uint64_t max,
                      std::string_view what, std::uint64_t& value) {
  const std::string wanted = " wants " + std::string(what) + " 0.." + std::to_string(max);
  if (text.empty()) return std::string(option) + wanted + ", but the value is empty";
  const std::optional<std::uint64_t> number = WholeNumber(text, max);
  if (number) {
    value = *number;
    return {};
  }
  const bool digitsOnly = text.find_first_not_of("0123456789") == std::string_view::npos;
  return std::string(option) + wanted + ", not " + Quoted(text) +
         (digitsOnly ? " (too large)" : "");
}

// The knob that option `name` ("--freq") sets, or nullptr.
const KnobSpec* FindKnob(std::string_view name) {
  for (const KnobSpec& spec : kKnobs) {
    if (spec.option == name) return &spec;
  }
  return nullptr;
}

// Stores a whole number in 0..max; returns a message on failure.
template <typename Number>
std::string StoreWhole(std::string_view name, std::string_view value, std::uint64_t max,
                       std::string_view what, Number& target) {
  std::uint64_t number = 0;
  std::string error = ReadWhole(name, value, max, what, number);
  if (error.empty()) target = static_cast<Number>(number);
  return error;
}

std::string StoreKnob(RenderOptions& options, std::string_view name, const KnobSpec& spec,
                      std::string_view value) {
  options.knobGiven[KnobIndex(spec.knob)] = true;
  return StoreWhole(name, value, kMaxAngle, "a whole number of degrees", options.knobs.*spec.angle);
}

std::string StoreOutput(RenderOptions& options, std::string_view name, std::string_view value) {
  // Blanks alone would become the hidden file ".wav" under the extension rule.
  if (TrimSpaces(value).empty())
    return std::string(name) + " wants a file name, not " + Quoted(value);
  // "sounds/" names no file: refused here, before anything is rendered.
  if (!PathHasFileName(SavePathWithExtension(value)))
    return std::string(name) + " wants a file name, not " + Quoted(value) +
           " (it ends in a folder separator)";
  options.output = std::string(value);
  return {};
}

std::string StoreText(std::string_view name, std::string_view value,
                      std::optional<std::string>& target) {
  if (value.empty()) return std::string(name) + " wants a name, but the value is empty";
  target = std::string(value);
  return {};
}

std::string StorePreset(RenderOptions& options, std::string_view value) {
  if (!FindPreset(value))
    return "--preset wants one of " + PresetNames() + ", not " + Quoted(value);
  options.preset = std::string(value);
  return {};
}

std::string StoreRate(RenderOptions& options, std::string_view value) {
  for (const std::int32_t rate : kRates) {
    if (value == std::to_string(rate)) {
      options.format.rate = rate;
      return {};
    }
  }
  return "--rate wants 11025, 22050, 44100 or 48000, not " + Quoted(value);
}

std::string StoreBits(RenderOptions& options, std::string_view value) {
  if (value != "8" && value != "16") return "--bits wants 8 or 16, not " + Quoted(value);
  options.format.bits = value == "8" ? 8 : 16;
  return {};
}

std::string StoreFormat(RenderOptions& options, std::string_view value) {
  const std::optional<SoundFormat> format = FormatNamed(value);
  if (!format) return "--format wants wav, flac or ogg, not " + Quoted(value);
  options.format.format = *format;
  options.formatGiven = true;
  return {};
}

using ValueStore = std::string (*)(RenderOptions&, std::string_view name, std::string_view value);

struct ValueOption {
  std::string_view name;
  ValueStore store;
};

const std::array<ValueOption, 11> kValueOptions{{
    {"-o", StoreOutput},
    {"--output", StoreOutput},
    {"--seed",
     [](RenderOptions& o, std::string_view n, std::string_view v) {
       return StoreWhole(n, v, kMaxSeed, "a whole number", o.seed.emplace());
     }},
    {"--batch", [](RenderOptions& o, std::string_view n,
                   std::string_view v) { return StoreText(n, v, o.batch); }},
    {"--out-dir", [](RenderOptions& o, std::string_view n,
                     std::string_view v) { return StoreText(n, v, o.outDir); }},
    {"--preset",
     [](RenderOptions& o, std::string_view, std::string_view v) { return StorePreset(o, v); }},
    {"--mutate",
     [](RenderOptions& o, std::string_view n, std::string_view v) {
       return StoreWhole(n, v, kMaxAngle, "a whole number of degrees", o.mutate.emplace());
     }},
    {"--count",
     [](RenderOptions& o, std::string_view n, std::string_view v) {
       return StoreWhole(n, v, kMaxCount, "a whole number", o.count.emplace());
     }},
    {"--rate",
     [](RenderOptions& o, std::string_view, std::string_view v) { return StoreRate(o, v); }},
    {"--bits",
     [](RenderOptions& o, std::string_view, std::string_view v) { return StoreBits(o, v); }},
    {"--format",
     [](RenderOptions& o, std::string_view, std::string_view v) { return StoreFormat(o, v); }},
}};

const ValueOption* FindValueOption(std::string_view name) {
  for (const ValueOption& option : kValueOptions) {
    if (option.name == name) return &option;
  }
  return nullptr;
}

bool TakesValue(std::string_view name) {
  return FindKnob(name) != nullptr || FindValueOption(name) != nullptr;
}

// Stores the value of an option that takes one; returns a message on failure.
std::string StoreValue(RenderOptions& options, std::string_view name, std::string_view value) {
  if (const KnobSpec* knob = FindKnob(name)) return StoreKnob(options, name, *knob, value);
  return FindValueOption(name)->store(options, name, value);
}

// The on/off options; nullptr for --help, --version and any other name.
bool* SwitchOf(RenderOptions& options, std::string_view name) {
  if (name == "--play") return &options.play;
  if (name == "--mono") return &options.format.mono;
  if (name == "--force") return &options.force;
  if (name == "--print-settings") return &options.printSettings;
  return nullptr;
}

bool IsFlag(std::string_view name) {
  RenderOptions probe;
  return name == "--help" || name == "--version" || SwitchOf(probe, name) != nullptr;
}

std::string UnknownArg(std::string_view arg, std::string_view name) {
  if (arg.starts_with('-') && arg != "-") return "unknown option " + Quoted(name);
  return "unexpected argument " + Quoted(arg) + " (every value follows its option)";
}

// Walks the arguments one option at a time.
class ArgReader {
 public:
  explicit ArgReader(std::span<const std::string_view> args) : args_(args) {}

  bool AtEnd() const { return next_ == args_.size(); }

  // Reads one option into `result`; false when reading must stop there.
  bool ReadOption(ParsedCommandLine& result) {
    const std::string_view arg = args_[next_++];
    const OptionArg option = SplitArg(arg);
    if (IsFlag(option.name)) return ReadFlag(option, result);
    if (!TakesValue(option.name)) {
      result.error = UnknownArg(arg, option.name);
      return false;
    }
    const std::optional<std::string_view> value = option.value ? option.value : TakeNext();
    if (!value) {
      result.error = std::string(option.name) + " needs a value";
      return false;
    }
    result.error = StoreValue(result.options, option.name, *value);
    return result.error.empty();
  }

 private:
  std::optional<std::string_view> TakeNext() {
    if (AtEnd()) return std::nullopt;
    return args_[next_++];
  }

  static bool ReadFlag(const OptionArg& option, ParsedCommandLine& result) {
    if (option.value) {
      result.error = std::string(option.name) + " takes no value";
      return false;
    }
    if (bool* flag = SwitchOf(result.options, option.name)) {
      *flag = true;
      return true;
    }
    result.action = option.name == "--help" ? RenderAction::kHelp : RenderAction::kVersion;
    return false;
  }

  std::span<const std::string_view> args_;
  std::size_t next_ = 0;
};

bool AnyKnobGiven(const RenderOptions& options) {
  return std::find(options.knobGiven.begin(), options.knobGiven.end(), true) !=
         options.knobGiven.end();
}

// A batch takes its sounds from its lines and writes into a folder.
std::string CheckBatch(const RenderOptions& options) {
  if (!options.outDir) return "--batch needs --out-dir DIR";
  if (options.output) return "--batch writes into --out-dir, not -o";
  if (options.play) return "--batch does not play (--play)";
  if (AnyKnobGiven(options) || options.preset || options.mutate || options.count) {
    return "--batch takes the knobs from its lines: no knob, --preset, --mutate or --count";
  }
  return {};
}

std::string CheckMany(const RenderOptions& options) {
  if (options.outDir) return "--out-dir goes with --batch";
  if (!options.count) return {};
  if (*options.count == 0) return "--count wants a whole number 1..999, not '0'";
  if (!options.output || *options.output == kStandardOutput)
    return "--count needs -o NAME (the files are NAME-01 onwards)";
  if (options.play) return "--count does not play (--play)";
  return {};
}

// The knobs as far as the command line sets them: a preset draws every knob
// that is not given within its sounding range.
KnobAngles KnobsToCheck(const RenderOptions& options) {
  KnobAngles knobs = options.knobs;
  if (!options.preset) return knobs;
  for (const KnobSpec& spec : kKnobs) {
    if (!options.knobGiven[KnobIndex(spec.knob)]) knobs.*spec.angle = spec.lowestSound;
  }
  return knobs;
}

// The checks that need the whole command line.
std::string CheckRender(const RenderOptions& options) {
  std::string error = options.batch ? CheckBatch(options) : CheckMany(options);
  if (error.empty()) error = FormatProblem(options.format);
  if (!error.empty() || options.batch) return error;
  if (!options.output && !options.play) return "nothing to do: give -o FILE, --play or both";
  if (options.printSettings && options.output == kStandardOutput)
    return "--print-settings and -o - both want standard output";
  if (!KnobsMakeASound(KnobsToCheck(options))) return std::string(kKnobsAtZeroText);
  return {};
}

}  // namespace

ParsedCommandLine ParseRenderArgs(std::span<const std::string_view> args) {
  ParsedCommandLine result;
  ArgReader reader(args);
  while (!reader.AtEnd()) {
    if (!reader.ReadOption(result)) return result;
  }
  result.error = CheckRender(result.options);
  return result;
}
