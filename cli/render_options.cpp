// Reading tonkelwerk-render's arguments. Options come as "--name value" or
// "--name=value" ("-o" only as "-o value"); a repeated option keeps its last
// value. Numbers are plain decimal digits: no sign, blank, fraction or exponent,
// so a knob gets exactly the whole degrees the program's knobs hold.
#include "cli/render_options.h"

#include <algorithm>
#include <array>

#include "platform/core/save_path.h"
#include "platform/core/text.h"
#include "sound/render_wave.h"

namespace {

constexpr std::uint64_t kMaxAngle = 360;
constexpr std::uint64_t kMaxSeed = 4294967295u;

struct KnobOption {
  std::string_view name;
  std::int32_t KnobAngles::*angle;
};

constexpr std::array<KnobOption, 6> kKnobOptions{{
    {"--start", &KnobAngles::start},
    {"--end", &KnobAngles::end},
    {"--freq", &KnobAngles::freq},
    {"--rustle", &KnobAngles::rustle},
    {"--cutter", &KnobAngles::cutter},
    {"--len", &KnobAngles::len},
}};

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
  if (text.find_first_not_of("0123456789") != std::string_view::npos) {
    return std::string(option) + wanted + ", not " + Quoted(text);
  }
  value = 0;
  for (const char digit : text) {
    // Stops just past max, so that no number of digits can overflow.
    value = std::min(value * 10 + static_cast<std::uint64_t>(digit - '0'), max + 1);
  }
  if (value > max) return std::string(option) + wanted + ", not " + Quoted(text) + " (too large)";
  return {};
}

const KnobOption* FindKnob(std::string_view name) {
  for (const KnobOption& knob : kKnobOptions) {
    if (knob.name == name) return &knob;
  }
  return nullptr;
}

bool TakesValue(std::string_view name) {
  return name == "-o" || name == "--output" || name == "--seed" || FindKnob(name) != nullptr;
}

// Stores the value of an option that takes one; returns a message on failure.
std::string StoreValue(RenderOptions& options, std::string_view name, std::string_view value) {
  std::uint64_t number = 0;
  if (const KnobOption* knob = FindKnob(name)) {
    std::string error = ReadWhole(name, value, kMaxAngle, "a whole number of degrees", number);
    if (error.empty()) options.knobs.*(knob->angle) = static_cast<std::int32_t>(number);
    return error;
  }
  if (name == "--seed") {
    std::string error = ReadWhole(name, value, kMaxSeed, "a whole number", number);
    if (error.empty()) options.seed = static_cast<std::uint32_t>(number);
    return error;
  }
  // Blanks alone would become the hidden file ".wav" under the extension rule.
  if (TrimSpaces(value).empty())
    return std::string(name) + " wants a file name, not " + Quoted(value);
  std::string target = SavePathWithExtension(value);
  if (!PathHasFileName(target))
    return std::string(name) + " wants a file name, not " + Quoted(value) +
           " (it ends in a folder separator)";
  options.output = std::move(target);
  return {};
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
    if (option.name == "--help" || option.name == "--version" || option.name == "--play") {
      return ReadFlag(option, result);
    }
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
    if (option.name == "--play") {
      result.options.play = true;
      return true;
    }
    result.action = option.name == "--help" ? RenderAction::kHelp : RenderAction::kVersion;
    return false;
  }

  std::span<const std::string_view> args_;
  std::size_t next_ = 0;
};

// The checks that need the whole command line.
std::string CheckRender(const RenderOptions& options) {
  if (!options.output && !options.play) return "nothing to do: give -o FILE, --play or both";
  // The program's own text for these two knobs.
  if (options.knobs.freq == 0 || options.knobs.len == 0) return std::string(kKnobsAtZeroText);
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
