// Building the jobs of one command line: presets, jitter and numbering.
#include "cli/variations.h"

#include <cstdio>

#include "cli/portable_name.h"
#include "platform/core/text.h"
#include "sound/presets.h"

using tonkelwerk::DrawPreset;
using tonkelwerk::FindPreset;
using tonkelwerk::IsSettingsLineName;
using tonkelwerk::kKnobs;
using tonkelwerk::KnobAngles;
using tonkelwerk::KnobIndex;
using tonkelwerk::KnobSpec;
using tonkelwerk::MutateKnobs;
using tonkelwerk::NoiseSource;
using tonkelwerk::PresetDraws;

namespace {

// The name a settings line can carry for `target`, so that a batch line
// with it writes that very file: the file name without the format's
// `extension`, or the whole file name when it ends in that extension in
// another case or holds a trailing dot; "" when no line name gives the file.
std::string LineName(const std::string& target, std::string_view extension) {
  const std::size_t slash = target.find_last_of("/\\");
  const std::string file = target.substr(slash == std::string::npos ? 0 : slash + 1);
  const std::string suffix = std::string(1, '.').append(extension);
  for (const std::string& name :
       {file.ends_with(suffix) ? file.substr(0, file.size() - suffix.size()) : file, file}) {
    if (IsSettingsLineName(name) && PortableNameProblem(name).empty() &&
        NamedFile(name, extension) == file)
      return name;
  }
  return {};
}

// Knobs the jitter moves: those given on the command line, every one under
// a preset.
std::array<bool, kKnobs.size()> Jittered(const RenderOptions& options) {
  std::array<bool, kKnobs.size()> jittered = options.knobGiven;
  if (options.preset) jittered.fill(true);
  return jittered;
}

KnobAngles DrawKnobs(const RenderOptions& options, NoiseSource& draws) {
  KnobAngles knobs = options.knobs;
  if (options.preset) {
    const KnobAngles drawn = DrawPreset(*FindPreset(*options.preset), draws);
    // A knob given on the command line wins over the preset's draw.
    for (const KnobSpec& spec : kKnobs)
      if (!options.knobGiven[KnobIndex(spec.knob)]) knobs.*spec.angle = drawn.*spec.angle;
  }
  if (options.mutate) knobs = MutateKnobs(knobs, Jittered(options), *options.mutate, draws);
  return knobs;
}

}  // namespace

std::string NumberedTarget(const std::string& target, std::int32_t number, std::int32_t count) {
  char digits[16];
  std::snprintf(digits, sizeof digits, "-%0*d", count > kTwoDigitCounts ? 4 : 2,
                static_cast<int>(number));
  const std::string extension = ExtensionPart(target);
  const std::size_t stemEnd = target.size() - extension.size() - 1;
  return target.substr(0, stemEnd) + digits + target.substr(stemEnd);
}

std::vector<SoundJob> VariationJobs(const RenderOptions& options, std::uint32_t seed,
                                    const std::string& target) {
  NoiseSource draws = PresetDraws(seed);
  const std::int32_t count = options.count.value_or(1);
  std::vector<SoundJob> jobs;
  for (std::int32_t number = 1; number <= count; ++number) {
    SoundJob job;
    job.target = options.count ? NumberedTarget(target, number, count) : target;
    job.settings.knobs = DrawKnobs(options, draws);
    job.settings.seed = seed + static_cast<std::uint32_t>(number - 1);
    job.settings.name = LineName(job.target, FormatExtension(options.format.format));
    jobs.push_back(std::move(job));
  }
  return jobs;
}
