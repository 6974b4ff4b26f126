// Rendering many sounds at once: each job is one settings line with its own
// seed and target, rendered with a noise source of its own, so that the bytes
// never depend on how many threads render or in which order they finish.
// Depends on: the engine (NoiseSource, WaveImageWrite) and output_format.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "cli/output_format.h"
#include "sound/settings_line.h"

struct SoundJob {
  SoundSettings settings;  // its seed is always set
  std::string target;      // the file to write, "-" for standard output, "" for none
};

struct RenderTotals {
  std::int32_t sounds = 0;  // sounds delivered
  std::uint64_t bytes = 0;  // bytes of the files delivered
  std::string error;        // "" when every job was delivered
};

// Hands one finished sound to its destination: the job, the engine's WAVE
// image and the encoded file. Returns "" or why the delivery failed.
using DeliverSound = std::function<std::string(
    const SoundJob& job, std::span<const std::uint8_t> image, std::span<const std::uint8_t> file)>;

// Renders and encodes the jobs on `threads` threads (at least one) and
// delivers them in job order on the calling thread, so that deliveries (file
// writes) never run at the same time. Stops at the first failure.
RenderTotals RenderJobs(const std::vector<SoundJob>& jobs, const OutputFormat& format,
                        unsigned threads, const DeliverSound& deliver);

// The number of threads to render `jobs` sounds with: one per core.
unsigned RenderThreads(std::size_t jobs);
