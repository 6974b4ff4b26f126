// Turning a batch text into render jobs, or the list of its bad lines.
#include "cli/batch.h"

#include <map>

#include "cli/portable_name.h"

using tonkelwerk::kKnobsAtZeroText;
using tonkelwerk::KnobsMakeASound;
using tonkelwerk::kSettingsBlanks;
using tonkelwerk::ParseSettingsLine;
using tonkelwerk::QuotedWord;
using tonkelwerk::SettingsLineResult;
using tonkelwerk::SoundSettings;

namespace {

bool Skipped(std::string_view line) {
  const std::size_t first = line.find_first_not_of(kSettingsBlanks);
  return first == std::string_view::npos || line[first] == '#';
}

// Why the line's sound cannot be rendered, once its words are good.
std::string SoundProblem(const SoundSettings& settings, std::optional<std::uint32_t> seed) {
  if (!KnobsMakeASound(settings.knobs)) return std::string(kKnobsAtZeroText);
  if (!settings.seed && !seed) return "no seed= on the line, and no --seed to draw one from";
  return {};
}

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// Why the file of the sound called `name` cannot be written on every system.
std::string NameProblem(std::string_view name, const std::string& file) {
  std::string problem = PortableNameProblem(name);
  return problem.empty() ? PortableNameProblem(file) : problem;
}

// The lines that named each file so far, under its case-folded name.
class FileNames {
 public:
  // Takes `file` for line `number`; returns why another line has it.
  std::string Take(const std::string& name, const std::string& file, std::uint32_t number) {
    const auto [taken, fresh] = lines_.try_emplace(CaseFolded(file), Owner{name, number});
    if (fresh) return {};
    std::string problem = "the name " + QuotedWord(name) + " is taken by line " +
                          std::to_string(taken->second.line);
    if (taken->second.name != name)
      problem += " (as " + QuotedWord(taken->second.name) + ": one file where case does not count)";
    return problem;
  }

 private:
  struct Owner {
    std::string name;
    std::uint32_t line;
  };
  std::map<std::string, Owner, std::less<>> lines_;
};

std::string JoinPath(std::string_view folder, std::string_view file) {
  std::string path(folder);
  if (!path.empty() && path.back() != '/') path += '/';
  return path.append(file);
}

}  // namespace

BatchPlan PlanBatch(std::string_view text, std::optional<std::uint32_t> seed,
                    std::string_view outDir, std::string_view extension) {
  BatchPlan plan;
  FileNames files;
  if (text.starts_with(kByteOrderMark)) text.remove_prefix(kByteOrderMark.size());
  std::uint32_t number = 0;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
    ++number;
    if (line.ends_with('\r')) line.remove_suffix(1);
    if (Skipped(line)) continue;
    SettingsLineResult parsed = ParseSettingsLine(line);
    if (parsed.error.empty()) parsed.error = SoundProblem(parsed.settings, seed);
    SoundSettings& settings = parsed.settings;
    if (parsed.error.empty() && settings.name.empty())
      settings.name = "sound-" + std::to_string(number);
    const std::string file = NamedFile(settings.name, extension);
    if (parsed.error.empty()) parsed.error = NameProblem(settings.name, file);
    if (parsed.error.empty()) parsed.error = files.Take(settings.name, file, number);
    if (!parsed.error.empty()) {
      if (plan.badLines++ < kListedErrors)
        plan.errors.push_back("line " + std::to_string(number) + ": " + parsed.error);
      continue;
    }
    if (plan.badLines > 0) continue;
    if (!settings.seed) settings.seed = *seed + number;
    plan.jobs.push_back({std::move(settings), JoinPath(outDir, file)});
  }
  if (plan.badLines > 0) plan.jobs.clear();
  return plan;
}
