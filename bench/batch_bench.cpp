// How fast a batch renders: 1,000 mixed sounds (the presets in turn, each
// with its own seed) through the renderer's own pipeline, written as files
// through the save path into a scratch folder, once on one thread and once
// on two threads a core, as tonkelwerk-render writes them; then the same without writing, to tell rendering from disk
// time. Prints sounds per second, the ratios, and whether the two runs made
// the same bytes.
// Usage: tonkelwerk_batch_bench [SOUNDS]   (default 1000)
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "cli/presets.h"
#include "cli/render_jobs.h"
#include "platform/core/files.h"

namespace {

std::vector<SoundJob> MixedJobs(int sounds, const std::filesystem::path& folder) {
  NoiseSource draws(1);
  std::vector<SoundJob> jobs;
  for (int i = 0; i < sounds; ++i) {
    SoundJob job;
    const Preset& preset = Presets()[i % Presets().size()];
    job.settings.knobs = DrawPreset(preset, draws);
    job.settings.seed = static_cast<std::uint32_t>(i);
    job.target = (folder / (std::string(preset.name) + "-" + std::to_string(i) + ".wav")).string();
    jobs.push_back(std::move(job));
  }
  return jobs;
}

struct Run {
  double seconds = 0;
  std::size_t digest = 0;  // of every file's bytes, in job order
  RenderTotals totals;
};

// Renders the jobs on `threads` threads; writes the files when `write` is set,
// side by side as tonkelwerk-render does when it writes files alone.
Run Measure(const std::vector<SoundJob>& jobs, unsigned threads, bool write) {
  Run run;
  // One hash per job, filled by whichever thread delivers it.
  std::vector<std::size_t> hashes(jobs.size());
  const auto deliver = [&](const SoundJob& job, std::span<const std::uint8_t>,
                           std::span<const std::uint8_t> file) -> std::string {
    const std::string_view bytes(reinterpret_cast<const char*>(file.data()), file.size());
    hashes[static_cast<std::size_t>(&job - jobs.data())] = std::hash<std::string_view>{}(bytes);
    if (write && !FileSaveWhole(job.target, file.data(), static_cast<std::int32_t>(file.size()))
                      .empty())
      return "cannot write " + job.target;
    return {};
  };
  const auto start = std::chrono::steady_clock::now();
  run.totals = RenderJobs(jobs, OutputFormat{}, threads, deliver,
                          write ? DeliveryOrder::kAnyOrder : DeliveryOrder::kJobOrder);
  run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  for (const std::size_t hash : hashes) run.digest = run.digest * 31 + hash;
  return run;
}

void Report(const char* what, unsigned threads, const Run& run) {
  std::printf("%-8s %u thread(s): %d sounds, %llu bytes in %.3f s = %.0f sounds/s\n", what, threads,
              run.totals.sounds, static_cast<unsigned long long>(run.totals.bytes), run.seconds,
              run.totals.sounds / run.seconds);
}

}  // namespace

int main(int argc, char** argv) {
  const int sounds = argc > 1 ? std::atoi(argv[1]) : 1000;
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("tonkelwerk-batch-bench-" + std::to_string(sounds));
  std::filesystem::create_directories(folder);
  const std::vector<SoundJob> jobs = MixedJobs(sounds, folder);
  const unsigned cores = RenderThreads(jobs.size());
  const unsigned writers = FileWriteThreads(jobs.size());
  // Each writing run starts from an empty folder: replacing files costs the
  // file system more than creating them, which would favour the first run.
  const auto emptyFolder = [&folder] {
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
  };
  const Run serial = Measure(jobs, 1, true);
  emptyFolder();
  const Run parallel = Measure(jobs, writers, true);
  const Run serialInMemory = Measure(jobs, 1, false);
  const Run parallelInMemory = Measure(jobs, cores, false);
  std::filesystem::remove_all(folder);
  if (!serial.totals.error.empty() || !parallel.totals.error.empty()) {
    std::fprintf(stderr, "batch failed: %s%s\n", serial.totals.error.c_str(),
                 parallel.totals.error.c_str());
    return 1;
  }
  Report("serial", 1, serial);
  Report("parallel", writers, parallel);
  std::printf("speed-up parallel / serial: %.2f\n", serial.seconds / parallel.seconds);
  std::printf("without writing the files:\n");
  Report("serial", 1, serialInMemory);
  Report("parallel", cores, parallelInMemory);
  std::printf("speed-up parallel / serial: %.2f\n",
              serialInMemory.seconds / parallelInMemory.seconds);
  std::printf("same bytes serial and parallel: %s\n",
              serial.digest == parallel.digest ? "yes" : "NO");
  std::printf("goal %d sounds under 2 s: %s\n", sounds, parallel.seconds < 2.0 ? "met" : "missed");
  return serial.digest == parallel.digest ? 0 : 1;
}
