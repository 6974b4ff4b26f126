// Fuzz target: a batch text, planned without --seed and with a --seed close
// to 2^32 (where line seeds wrap). Any bytes must be planned without a fault,
// and a plan holds: no job beside an error; errors name their lines in order;
// each job has a seed, a sound, and the file "out/NAME.wav" ("out/NAME" for a
// NAME that ends in ".wav" already), no two files alike but for letter case
// (one file on Windows), and its line reads back to it; a batch whose every line
// has its seed plans the same with --seed as without.
// Leaves out: rendering and writing (tests/cli/).
// Depends on: the batch planner and the engine's settings lines.
#include <algorithm>
#include <charconv>
#include <set>

#include "cli/batch.h"
#include "fuzz/fuzz_check.h"

using tonkelwerk::KnobsMakeASound;
using tonkelwerk::SoundSettings;

namespace {

void CheckErrorsInLineOrder(const std::vector<std::string>& errors) {
  std::uint64_t last = 0;
  for (const std::string& error : errors) {
    FuzzCheck(error.starts_with("line "), "a batch error does not name its line");
    std::uint64_t line = 0;
    const char* digits = error.data() + 5;
    const auto [end, code] = std::from_chars(digits, error.data() + error.size(), line);
    FuzzCheck(code == std::errc{} && end[0] == ':' && line > last,
              "batch errors are not 'line N:' in line order");
    last = line;
  }
}

std::string AsciiLower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
  return text;
}

void CheckJobs(const std::vector<SoundJob>& jobs) {
  std::set<std::string> files;
  for (const SoundJob& job : jobs) {
    const SoundSettings& settings = job.settings;
    FuzzCheck(settings.seed.has_value(), "a batch job has no seed");
    FuzzCheck(KnobsMakeASound(settings.knobs), "a batch job makes no sound");
    const bool named = AsciiLower(settings.name).ends_with(".wav");
    FuzzCheck(job.target == "out/" + settings.name + (named ? "" : ".wav"),
              "a batch job's file is not out/NAME.wav");
    FuzzCheck(files.insert(AsciiLower(job.target)).second,
              "two batch jobs write files alike but for letter case");
    CheckLineReadsBack(settings);
  }
}

BatchPlan CheckedPlan(std::string_view text, std::optional<std::uint32_t> seed) {
  BatchPlan plan = PlanBatch(text, seed, "out", "wav");
  FuzzCheck(plan.errors.empty() || plan.jobs.empty(), "a batch with errors still has jobs");
  CheckErrorsInLineOrder(plan.errors);
  CheckJobs(plan.jobs);
  return plan;
}

bool SameJobs(const std::vector<SoundJob>& a, const std::vector<SoundJob>& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const SoundJob& x, const SoundJob& y) {
    return x.target == y.target && x.settings.name == y.settings.name &&
           x.settings.knobs == y.settings.knobs && x.settings.seed == y.settings.seed;
  });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text = FuzzText(data, size);
  const BatchPlan unseeded = CheckedPlan(text, std::nullopt);
  const BatchPlan seeded = CheckedPlan(text, 4294967290u);
  if (unseeded.errors.empty()) {
    FuzzCheck(seeded.errors.empty() && SameJobs(unseeded.jobs, seeded.jobs),
              "--seed changes a batch whose every line has its seed");
  }
  return 0;
}
