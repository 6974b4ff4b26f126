// Reading tonkelwerk-render's arguments. Options come as "--name value" or
// "--name=value" ("-o" only as "-o value"); a repeated option keeps its last
// value. Numbers are plain decimal digits: no sign, blank, fraction or exponent,
// so a knob gets exactly the whole degrees the program's knobs hold.
#include "cli/render_options.h"

#include <algorithm>
#include <array>

#include "cli/portable_name.h"
#include "sound/presets.h"
#include "cli/variations.h"
#include "platform/core/save_path.h"
#include "platform/core/text.h"
#include "sound/settings_line.h"

using tonkelwerk::FindPreset;
using tonkelwerk::kKnobs;
using tonkelwerk::kKnobsAtZeroText;
using tonkelwerk::kMaxAngle;
using tonkelwerk::kMaxSeed;
using tonkelwerk::KnobAngles;
using tonkelwerk::KnobIndex;
using tonkelwerk::KnobsMakeASound;
using tonkelwerk::KnobSpec;
using tonkelwerk::PresetNames;
using tonkelwerk::QuotedWord;
using tonkelwerk::WholeNumber;

namespace {

constexpr std::uint64_t kMaxCount = 9999;

// The quietest --gain: below it a 16-bit sample is silence.
constexpr double kLowestGainDb = -96;

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
  return std::string(option) + wanted + ", not " + QuotedWord(text) +
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
    return std::string(name) + " wants a file name, not " + QuotedWord(value);
  // "sounds/" names no file: refused here, before anything is rendered.
  if (!PathHasFileName(SavePathWithExtension(value)))
    return std::string(name) + " wants a file name, not " + QuotedWord(value) +
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
    return "--preset wants one of " + PresetNames() + ", not " + QuotedWord(value);
  options.preset = std::string(value);
  return {};
}

std::string StoreCount(RenderOptions& options, std::string_view value) {
  const std::optional<std::uint64_t> count = WholeNumber(value, kMaxCount);
  if (!count || *count == 0)
    return "--count wants a whole number 1.." + std::to_string(kMaxCount) + ", not " + QuotedWord(value);
  options.count = static_cast<std::int32_t>(*count);
  return {};
}

// Decibels as "-1.5": an optional minus, digits, and a fraction after a dot.
std::optional<double> Decibels(std::string_view text) {
  const bool negative = text.starts_with('-');
  if (negative) text.remove_prefix(1);
  const std::size_t dot = text.find('.');
  const std::string_view whole = text.substr(0, dot);
  const std::string_view fraction = dot == std::string_view::npos ? "" : text.substr(dot + 1);
  const auto digits = [](std::string_view part) {
    return part.find_first_not_of("0123456789") == std::string_view::npos;
  };
  if (whole.empty() || whole.size() > 3 || !digits(whole) || !digits(fraction) ||
      (dot != std::string_view::npos && fraction.empty()))
    return std::nullopt;
  double value = 0;
  for (const char digit : whole) value = value * 10 + (digit - '0');
  double scale = 1;
  for (const char digit : fraction) value += (digit - '0') * (scale /= 10);
  return negative ? -value : value;
}

std::string StoreGain(RenderOptions& options, std::string_view value) {
  const std::optional<double> gain = Decibels(value);
  if (!gain || *gain > 0 || *gain < kLowestGainDb)
    return "--gain wants decibels -96..0 (it only lowers the level), such as -1.5, not " +
           QuotedWord(value);
  options.format.gainDb = *gain;
  return {};
}

std::string StoreRate(RenderOptions& options, std::string_view value) {
  for (const std::int32_t rate : kRates) {
    if (value == std::to_string(rate)) {
      options.format.rate = rate;
      return {};
    }
  }
  return "--rate wants 11025, 22050, 44100 or 48000, not " + QuotedWord(value);
}

std::string StoreBits(RenderOptions& options, std::string_view value) {
  if (value != "8" && value != "16") return "--bits wants 8 or 16, not " + QuotedWord(value);
  options.format.bits = value == "8" ? 8 : 16;
  return {};
}

std::string StoreFormat(RenderOptions& options, std::string_view value) {
  const std::optional<SoundFormat> format = FormatNamed(value);
  if (!format) return "--format wants wav, flac or ogg, not " + QuotedWord(value);
  options.format.format = *format;
  options.formatGiven = true;
  return {};
}

using ValueStore = std::string (*)(RenderOptions&, std::string_view name, std::string_view value);

struct ValueOption {
  std::string_view name;
  ValueStore store;
};

const std::array<ValueOption, 12> kValueOptions{{
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
     [](RenderOptions& o, std::string_view, std::string_view v) { return StoreCount(o, v); }},
    {"--gain",
     [](RenderOptions& o, std::string_view, std::string_view v) { return StoreGain(o, v); }},
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

bool IsHelp(std::string_view name) {
  return name == "--help" || name == "-h";
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
  return IsHelp(name) || name == "--version" || SwitchOf(probe, name) != nullptr;
}

std::string UnknownArg(std::string_view arg, std::string_view name) {
  if (arg.starts_with('-') && arg != "-") return "unknown option " + QuotedWord(name);
  return "unexpected argument " + QuotedWord(arg) + " (every value follows its option)";
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
    result.action = IsHelp(option.name) ? RenderAction::kHelp : RenderAction::kVersion;
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

// The last component of a path.
std::string_view FileNameOf(std::string_view path) {
  const std::size_t slash = path.find_last_of("/\\");
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

// A file -o names must be one everywhere; --count's files, the pieces of a
// kit, must be portable in full. A single file keeps its trailing blank or
// dot, as the extension rule gives it.
std::string OutputNameProblem(const RenderOptions& options) {
  const std::string target = OutputPath(options);
  std::string error = ExtensionProblem(target, options.format.format);
  if (!error.empty()) return error;
  if (!options.count) return ReservedNameProblem(FileNameOf(target));
  for (std::int32_t number = 1; number <= *options.count && error.empty(); ++number)
    error = PortableNameProblem(FileNameOf(NumberedTarget(target, number, *options.count)));
  return error;
}

std::string CheckOutputNames(const RenderOptions& options) {
  if (!options.output || *options.output == kStandardOutput) return {};
  const std::string error = OutputNameProblem(options);
  return error.empty() ? error : "-o " + error;
}

// The checks that need the whole command line.
std::string CheckRender(const RenderOptions& options) {
  std::string error = options.batch ? CheckBatch(options) : CheckMany(options);
  if (error.empty()) error = FormatProblem(options.format);
  if (error.empty()) error = CheckOutputNames(options);
  if (!error.empty() || options.batch) return error;
  if (!options.output && !options.play) return "nothing to do: give -o FILE, --play or both";
  if (options.printSettings && options.output == kStandardOutput)
    return "--print-settings and -o - both want standard output";
  if (!KnobsMakeASound(KnobsToCheck(options))) return std::string(kKnobsAtZeroText);
  return {};
}

}  // namespace

std::string OutputPath(const RenderOptions& options) {
  if (*options.output == kStandardOutput) return std::string(kStandardOutput);
  return SavePathWithExtension(*options.output, FormatExtension(options.format.format));
}

ParsedCommandLine ParseRenderArgs(std::span<const std::string_view> args) {
  ParsedCommandLine result;
  ArgReader reader(args);
  while (!reader.AtEnd()) {
    if (!reader.ReadOption(result)) return result;
  }
  RenderOptions& options = result.options;
  // Without --format the file's extension chooses; a name without one is WAV.
  if (options.output && !options.formatGiven)
    options.format.format = FormatOfPath(SavePathWithExtension(*options.output));
  result.error = CheckRender(options);
  return result;
}
