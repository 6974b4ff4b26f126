// The renderer's pipeline: every job renders with its own noise, so the files
// are the same whatever the number of threads, and they arrive in job order,
// or side by side on the workers when the order does not matter.
#include "cli/render_jobs.h"

#include <gtest/gtest.h>

#include <map>
#include <mutex>
#include <string>
#include <vector>

using tonkelwerk::NoiseSource;
using tonkelwerk::ParamsFromKnobs;
using tonkelwerk::SynthParams;
using tonkelwerk::WaveImageSize;
using tonkelwerk::WaveImageWrite;

namespace {

std::vector<SoundJob> NoisyJobs(int count) {
  std::vector<SoundJob> jobs;
  for (int i = 0; i < count; ++i) {
    SoundJob job;
    // Lengths differ widely, so that threads finish out of order.
    job.settings.knobs = {.start = i, .freq = 10 + i, .rustle = 200, .len = 1 + (i * 37) % 90};
    job.settings.seed = 1000u + static_cast<std::uint32_t>(i);
    job.target = std::to_string(i);
    jobs.push_back(job);
  }
  return jobs;
}

struct Delivered {
  std::vector<std::string> targets;
  std::vector<std::vector<std::uint8_t>> files;
};

Delivered RenderAll(const std::vector<SoundJob>& jobs, unsigned threads, RenderTotals& totals) {
  Delivered seen;
  totals = RenderJobs(jobs, OutputFormat{}, threads,
                      [&](const SoundJob& job, std::span<const std::uint8_t>,
                          std::span<const std::uint8_t> file) -> std::string {
                        seen.targets.push_back(job.target);
                        seen.files.emplace_back(file.begin(), file.end());
                        return {};
                      });
  return seen;
}

TEST(RenderJobs, TheFilesDoNotDependOnTheThreadCount) {
  const std::vector<SoundJob> jobs = NoisyJobs(25);
  RenderTotals serialTotals;
  const Delivered serial = RenderAll(jobs, 1, serialTotals);
  EXPECT_EQ(serialTotals.sounds, 25);
  EXPECT_EQ(serialTotals.error, "");
  for (int i = 0; i < 25; ++i) EXPECT_EQ(serial.targets[i], std::to_string(i));

  // One job's file is the engine's image for its seed.
  const SynthParams params = ParamsFromKnobs(jobs[3].settings.knobs);
  std::vector<std::uint8_t> image(WaveImageSize(params.lengthMs));
  NoiseSource noise(1003);
  WaveImageWrite(image.data(), params, noise);
  EXPECT_EQ(serial.files[3], image);

  for (unsigned threads : {2u, 3u, 8u}) {
    RenderTotals totals;
    const Delivered parallel = RenderAll(jobs, threads, totals);
    EXPECT_EQ(parallel.targets, serial.targets) << threads;
    EXPECT_TRUE(parallel.files == serial.files) << threads << " threads";
    EXPECT_EQ(totals.bytes, serialTotals.bytes);
  }
}

TEST(RenderJobs, DeliveriesInAnyOrderGiveEveryJobItsOwnFile) {
  const std::vector<SoundJob> jobs = NoisyJobs(25);
  RenderTotals serialTotals;
  const Delivered serial = RenderAll(jobs, 1, serialTotals);
  std::mutex mutex;
  std::map<std::string, std::vector<std::uint8_t>> files;
  const RenderTotals totals = RenderJobs(
      jobs, OutputFormat{}, 4,
      [&](const SoundJob& job, std::span<const std::uint8_t>, std::span<const std::uint8_t> file) {
        const std::lock_guard lock(mutex);
        files[job.target].assign(file.begin(), file.end());
        return std::string();
      },
      DeliveryOrder::kAnyOrder);
  EXPECT_EQ(totals.error, "");
  EXPECT_EQ(totals.sounds, 25);
  EXPECT_EQ(totals.bytes, serialTotals.bytes);
  ASSERT_EQ(files.size(), 25u);
  for (int i = 0; i < 25; ++i) EXPECT_TRUE(files[std::to_string(i)] == serial.files[i]) << i;

  // A long batch, so that stopping early shows whatever the timing.
  const RenderTotals failed = RenderJobs(
      NoisyJobs(200), OutputFormat{}, 4,
      [](const SoundJob& job, std::span<const std::uint8_t>, std::span<const std::uint8_t>) {
        return job.target == "4" ? std::string("disk full") : std::string();
      },
      DeliveryOrder::kAnyOrder);
  EXPECT_EQ(failed.error, "disk full");
  EXPECT_LT(failed.sounds, 150) << "jobs after the failure were still started";
}

TEST(RenderJobs, AFailedDeliveryStopsTheRest) {
  const std::vector<SoundJob> jobs = NoisyJobs(30);
  int calls = 0;
  const RenderTotals totals = RenderJobs(jobs, OutputFormat{}, 2,
                                         [&](const SoundJob& job, std::span<const std::uint8_t>,
                                             std::span<const std::uint8_t>) -> std::string {
                                           ++calls;
                                           return job.target == "4" ? "disk full" : "";
                                         });
  EXPECT_EQ(totals.error, "disk full");
  EXPECT_EQ(totals.sounds, 4);
  EXPECT_EQ(calls, 5);
}

}  // namespace
