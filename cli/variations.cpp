// Building the jobs of one command line: presets, jitter and numbering.
#include "cli/variations.h"

#include <cstdio>

#include "cli/presets.h"
#include "platform/core/text.h"

namespace {

// Keeps the preset draws apart from the sound's own noise, which starts from
// the very same seed.
constexpr std::uint32_t kDrawSeedMix = 0x9E3779B9u;

// The name a settings line can carry for `target`: its file name without
// the extension, when that is a name a line accepts; "" otherwise.
std::string LineName(const std::string& target) {
  const std::size_t slash = target.find_last_of("/\\");
  std::string stem = target.substr(slash == std::string::npos ? 0 : slash + 1);
  const std::string extension = ExtensionPart(stem);
  if (!extension.empty() || stem.ends_with('.')) stem.resize(stem.size() - extension.size() - 1);
  SoundSettings named;
  named.name = stem;
  const SettingsLineResult check = ParseSettingsLine(SettingsLineText(named));
  return check.error.empty() ? check.settings.name : "";
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

std::string NumberedTarget(const std::string& target, std::int32_t number) {
  char digits[16];
  std::snprintf(digits, sizeof digits, "-%02d", static_cast<int>(number));
  const std::string extension = ExtensionPart(target);
  const std::size_t stemEnd = target.size() - extension.size() - 1;
  return target.substr(0, stemEnd) + digits + target.substr(stemEnd);
}

std::vector<SoundJob> VariationJobs(const RenderOptions& options, std::uint32_t seed,
                                    const std::string& target) {
  NoiseSource draws(seed ^ kDrawSeedMix);
  const std::int32_t count = options.count.value_or(1);
  std::vector<SoundJob> jobs;
  for (std::int32_t number = 1; number <= count; ++number) {
    SoundJob job;
    job.target = options.count ? NumberedTarget(target, number) : target;
    job.settings.knobs = DrawKnobs(options, draws);
    job.settings.seed = seed + static_cast<std::uint32_t>(number - 1);
    job.settings.name = LineName(job.target);
    jobs.push_back(std::move(job));
  }
  return jobs;
}
