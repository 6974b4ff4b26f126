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
  tonkelwerk::SoundSettings settings;  // its seed is always set
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

// In job order, deliveries run one at a time on the calling thread, as
// standard output, playing and printed settings need. In any order, each
// thread delivers what it rendered, so that files reach the disk side by
// side: a file system syncs several files in about the time of one.
enum class DeliveryOrder { kJobOrder, kAnyOrder };

// Renders and encodes the jobs on `threads` threads (at least one) and
// delivers them in `order`. Stops at the first failure: in any order, jobs
// already under way are still delivered.
RenderTotals RenderJobs(const std::vector<SoundJob>& jobs, const OutputFormat& format,
                        unsigned threads, const DeliverSound& deliver,
                        DeliveryOrder order = DeliveryOrder::kJobOrder);

// The number of threads to render `jobs` sounds with: one per core.
unsigned RenderThreads(std::size_t jobs);

// The number of threads to render and write `jobs` files with: writing waits
// on the disk, so twice as many as there are cores keep both busy.
unsigned FileWriteThreads(std::size_t jobs);
