// The render pipeline: worker threads take the next job, render and encode it
// into its slot; the calling thread waits for the slots in order and
// delivers them. Workers stay at most a window of jobs ahead of delivery, so
// memory stays bounded however long the batch is. In any order, each worker
// delivers its own sound from a slot of its own, reused from job to job.
#include "cli/render_jobs.h"

#include <algorithm>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/core/memory.h"
#include "sound/sound_engine.h"

using tonkelwerk::FrameCount;
using tonkelwerk::kWaveHeaderSize;
using tonkelwerk::NoiseSource;
using tonkelwerk::ParamsFromKnobs;
using tonkelwerk::SynthParams;
using tonkelwerk::WaveImageSize;
using tonkelwerk::WaveImageWrite;

namespace {

constexpr std::size_t kWindowPerThread = 4;

// Bytes that keep their block from one sound to the next and are never
// zeroed on growth: the engine writes them, so clearing them first is waste.
class ImageBytes {
 public:
  std::span<std::uint8_t> Resize(std::size_t size) {
    if (size > capacity_) {
      block_.reset(new std::uint8_t[size]);
      // One call instead of a page fault per page: a whole share of a
      // single short render.
      MemPrefault(block_.get(), size);
      capacity_ = size;
    }
    size_ = size;
    return {block_.get(), size_};
  }
  std::span<const std::uint8_t> Bytes() const { return {block_.get(), size_}; }

 private:
  std::unique_ptr<std::uint8_t[]> block_;
  std::size_t capacity_ = 0;
  std::size_t size_ = 0;
};

struct Slot {
  ImageBytes image;
  std::vector<std::uint8_t> converted;  // the file in any format but the plain one
  bool plain = true;                    // the file is the image itself
  std::string error;
  bool ready = false;
  std::span<const std::uint8_t> File() const {
    return plain ? image.Bytes() : std::span<const std::uint8_t>(converted);
  }
};

class Pipeline {
 public:
  Pipeline(const std::vector<SoundJob>& jobs, const OutputFormat& format, unsigned threads)
      : jobs_(jobs), format_(format), slots_(jobs.size()), window_(threads * kWindowPerThread) {}

  // Runs on each worker thread until no job is left or the pipeline stops.
  void Work() {
    for (;;) {
      std::size_t index = 0;
      {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return stopped_ || next_ < delivered_ + window_; });
        if (stopped_ || next_ == jobs_.size()) return;
        index = next_++;
      }
      Slot done;
      Render(jobs_[index], done);
      std::lock_guard lock(mutex_);
      slots_[index] = std::move(done);
      slots_[index].ready = true;
      changed_.notify_all();
    }
  }

  // Runs on each worker thread: renders and delivers until no job is left or
  // a delivery failed.
  void WorkAndDeliver(const DeliverSound& deliver) {
    Slot slot;
    for (;;) {
      std::size_t index = 0;
      {
        std::lock_guard lock(mutex_);
        if (stopped_ || next_ == jobs_.size()) return;
        index = next_++;
      }
      Render(jobs_[index], slot);
      const std::string error =
          slot.error.empty() ? deliver(jobs_[index], slot.image.Bytes(), slot.File()) : slot.error;
      std::lock_guard lock(mutex_);
      if (error.empty()) {
        ++totals_.sounds;
        totals_.bytes += slot.File().size();
      } else if (totals_.error.empty()) {
        totals_.error = error;
        stopped_ = true;
      }
    }
  }

  RenderTotals Totals() const { return totals_; }

  RenderTotals Deliver(const DeliverSound& deliver) {
    RenderTotals totals;
    for (std::size_t index = 0; index < jobs_.size() && totals.error.empty(); ++index) {
      Slot slot = Take(index);
      totals.error =
          slot.error.empty() ? deliver(jobs_[index], slot.image.Bytes(), slot.File()) : slot.error;
      if (totals.error.empty()) {
        ++totals.sounds;
        totals.bytes += slot.File().size();
      }
    }
    Stop();
    return totals;
  }

  void Stop() {
    std::lock_guard lock(mutex_);
    stopped_ = true;
    changed_.notify_all();
  }

 private:
  void Render(const SoundJob& job, Slot& slot) const {
    const SynthParams params = ParamsFromKnobs(job.settings.knobs);
    NoiseSource noise(*job.settings.seed);
    const std::span<std::uint8_t> image =
        slot.image.Resize(static_cast<std::size_t>(WaveImageSize(params.lengthMs)));
    // The engine writes the header and every sample; only the spare bytes
    // after the last sample must be zero, as in a zero-filled image.
    const auto written = static_cast<std::size_t>(kWaveHeaderSize + 4 * FrameCount(params.lengthMs));
    std::fill(image.begin() + static_cast<std::ptrdiff_t>(written), image.end(), 0);
    WaveImageWrite(image.data(), params, noise);
    slot.error.clear();
    slot.plain = format_.Plain();
    if (!slot.plain) EncodeSound(image.data(), params.lengthMs, format_, slot.converted, slot.error);
  }

  // Waits for the slot, moves its sound out and lets the workers go on.
  Slot Take(std::size_t index) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return slots_[index].ready; });
    Slot slot = std::move(slots_[index]);
    slots_[index] = Slot{};
    delivered_ = index + 1;
    changed_.notify_all();
    return slot;
  }

  const std::vector<SoundJob>& jobs_;
  const OutputFormat& format_;
  std::vector<Slot> slots_;
  const std::size_t window_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::size_t next_ = 0;
  std::size_t delivered_ = 0;
  bool stopped_ = false;
  RenderTotals totals_;  // of deliveries in any order
};

}  // namespace

RenderTotals RenderJobs(const std::vector<SoundJob>& jobs, const OutputFormat& format,
                        unsigned threads, const DeliverSound& deliver, DeliveryOrder order) {
  Pipeline pipeline(jobs, format, std::max(threads, 1u));
  if (order == DeliveryOrder::kAnyOrder) {
    // The calling thread is one of the workers: one file starts no thread.
    {
      std::vector<std::jthread> others;
      for (unsigned i = 1; i < threads; ++i)
        others.emplace_back([&] { pipeline.WorkAndDeliver(deliver); });
      pipeline.WorkAndDeliver(deliver);
    }
    return pipeline.Totals();
  }
  std::vector<std::jthread> workers;
  for (unsigned i = 0; i < std::max(threads, 1u); ++i)
    workers.emplace_back([&] { pipeline.Work(); });
  return pipeline.Deliver(deliver);
}

unsigned RenderThreads(std::size_t jobs) {
  const unsigned cores = std::max(std::thread::hardware_concurrency(), 1u);
  return static_cast<unsigned>(std::clamp<std::size_t>(jobs, 1, cores));
}

unsigned FileWriteThreads(std::size_t jobs) {
  const unsigned cores = std::max(std::thread::hardware_concurrency(), 1u);
  return static_cast<unsigned>(std::clamp<std::size_t>(jobs, 1, 2 * cores));
}
