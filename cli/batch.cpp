// Turning a batch text into render jobs, collecting every line's error.
#include "cli/batch.h"

#include <map>

namespace {

constexpr std::string_view kBlanks = " \t";

bool Skipped(std::string_view line) {
  const std::size_t first = line.find_first_not_of(kBlanks);
  return first == std::string_view::npos || line[first] == '#';
}

// Why the line's sound cannot be rendered, once its words are good.
std::string SoundProblem(const SoundSettings& settings, std::optional<std::uint32_t> seed) {
  if (!KnobsMakeASound(settings.knobs)) return std::string(kKnobsAtZeroText);
  if (!settings.seed && !seed) return "no seed= on the line, and no --seed to draw one from";
  return {};
}

std::string JoinPath(std::string_view folder, std::string_view file) {
  std::string path(folder);
  if (!path.empty() && path.back() != '/') path += '/';
  return path.append(file);
}

}  // namespace

BatchPlan PlanBatch(std::string_view text, std::optional<std::uint32_t> seed,
                    std::string_view outDir, std::string_view extension) {
  BatchPlan plan;
  std::map<std::string, std::uint32_t, std::less<>> lineOfName;
  std::uint32_t number = 0;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
    ++number;
    if (line.ends_with('\r')) line.remove_suffix(1);
    if (Skipped(line)) continue;
    const std::string where = "line " + std::to_string(number) + ": ";
    SettingsLineResult parsed = ParseSettingsLine(line);
    if (parsed.error.empty()) parsed.error = SoundProblem(parsed.settings, seed);
    SoundSettings& settings = parsed.settings;
    if (parsed.error.empty() && settings.name.empty())
      settings.name = "sound-" + std::to_string(number);
    if (parsed.error.empty()) {
      const auto [named, fresh] = lineOfName.try_emplace(settings.name, number);
      if (!fresh) {
        parsed.error =
            "the name '" + settings.name + "' is taken by line " + std::to_string(named->second);
      }
    }
    if (!parsed.error.empty()) {
      plan.errors.push_back(where + parsed.error);
      continue;
    }
    if (!settings.seed) settings.seed = *seed + number;
    std::string target = JoinPath(outDir, settings.name + "." + std::string(extension));
    plan.jobs.push_back({std::move(settings), std::move(target)});
  }
  if (!plan.errors.empty()) plan.jobs.clear();
  return plan;
}
