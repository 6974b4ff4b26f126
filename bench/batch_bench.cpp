// How fast a batch reaches the disk: 1,000 short sounds (Freq 100, Len. 20,
// Rustle 50, each with its own seed, like a kit of game sounds) through the
// renderer's own all-or-nothing delivery, into a memory file system
// (/dev/shm) and into a disk folder. Against it runs a floor program: the
// same bytes, rendered beforehand, written on as many threads through a new
// temporary file (O_EXCL), write, fsync and rename, the least any safe
// writer does. Prints sounds per second, the disk time against the floor's,
// rendering into memory in job order (one copy a sound, as standard output
// gets them), and whether the files hold the bytes rendered in memory.
// Usage: tonkelwerk_batch_bench [SOUNDS [DISK_FOLDER]]   (1000, the temp folder)
// Depends on: POSIX files for the floor (the benchmarks build on Linux).
#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "cli/batch_files.h"
#include "cli/render_jobs.h"

namespace {

namespace fs = std::filesystem;

// The jobs, their targets bare names until Into gives them a folder.
std::vector<SoundJob> ShortJobs(int sounds) {
  std::vector<SoundJob> jobs;
  for (int i = 0; i < sounds; ++i) {
    SoundJob job;
    job.settings.knobs = {.freq = 100, .rustle = 50, .len = 20};
    job.settings.seed = static_cast<std::uint32_t>(i);
    job.target = std::string("x").append(std::to_string(i)).append(".wav");
    jobs.push_back(std::move(job));
  }
  return jobs;
}

// The jobs' targets moved into `folder`, which starts empty.
std::vector<SoundJob> Into(std::vector<SoundJob> jobs, const fs::path& folder) {
  fs::remove_all(folder);
  fs::create_directories(folder);
  for (SoundJob& job : jobs) job.target = (folder / fs::path(job.target).filename()).string();
  return jobs;
}

double SecondsOf(const std::function<bool()>& work, bool& ok) {
  const auto start = std::chrono::steady_clock::now();
  ok = work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Every job's bytes, rendered in memory in job order.
std::vector<std::string> RenderInMemory(const std::vector<SoundJob>& jobs, unsigned threads) {
  std::vector<std::string> files;
  RenderJobs(jobs, OutputFormat{}, threads,
             [&](const SoundJob&, std::span<const std::uint8_t>, std::span<const std::uint8_t> f) {
               files.emplace_back(f.begin(), f.end());
               return std::string();
             });
  return files;
}

bool WriteFloorFile(const std::string& target, const std::string& bytes) {
  const std::string temporary = target + ".floor";
  const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  const bool written = ::write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
  const bool synced = ::fsync(fd) == 0;
  return (::close(fd) == 0) && written && synced &&
         std::rename(temporary.c_str(), target.c_str()) == 0;
}

// The floor: the rendered bytes written on `threads` threads, safely.
bool WriteFloor(const std::vector<SoundJob>& jobs, const std::vector<std::string>& files,
                unsigned threads) {
  std::atomic<std::size_t> next = 0;
  std::atomic<bool> ok = true;
  {
    std::vector<std::jthread> workers;
    for (unsigned t = 0; t < threads; ++t)
      workers.emplace_back([&] {
        for (std::size_t i; (i = next++) < jobs.size();)
          if (!WriteFloorFile(jobs[i].target, files[i])) ok = false;
      });
  }
  return ok;
}

bool SameFiles(const std::vector<SoundJob>& jobs, const std::vector<std::string>& files) {
  for (std::size_t i = 0; i < jobs.size(); ++i) {
    std::ifstream in(jobs[i].target, std::ios::binary);
    if (std::string(std::istreambuf_iterator<char>(in), {}) != files[i]) return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  const int sounds = argc > 1 ? std::atoi(argv[1]) : 1000;
  const fs::path disk =
      (argc > 2 ? fs::path(argv[2]) : fs::temp_directory_path()) / "tonkelwerk-batch-bench";
  const fs::path memory = "/dev/shm/tonkelwerk-batch-bench";
  const std::vector<SoundJob> jobs = ShortJobs(sounds);
  const unsigned threads = FileWriteThreads(jobs.size());
  bool ok = true;
  bool step = true;

  std::vector<std::string> files;
  const double rendering =
      SecondsOf([&] { return !(files = RenderInMemory(jobs, RenderThreads(jobs.size()))).empty(); },
                step);
  const auto deliver = [&](const std::vector<SoundJob>& into) {
    return SecondsOf(
        [&] { return DeliverFiles(into, OutputFormat{}, Placement::kKeepExisting).totals.error.empty(); },
        step);
  };
  const std::vector<SoundJob> inMemory = Into(jobs, memory);
  const double tmpfs = deliver(inMemory);
  ok = ok && step && SameFiles(inMemory, files);
  const std::vector<SoundJob> onDisk = Into(jobs, disk);
  const double written = deliver(onDisk);
  ok = ok && step && SameFiles(onDisk, files);
  const std::vector<SoundJob> floorJobs = Into(jobs, disk);
  const double floor = SecondsOf([&] { return WriteFloor(floorJobs, files, threads); }, step);
  ok = ok && step;
  fs::remove_all(memory);
  fs::remove_all(disk);

  std::printf("%d sounds of %zu bytes, %u writing threads\n", sounds, files.front().size(), threads);
  std::printf("kept in memory, in job order: %8.0f sounds/s\n", sounds / rendering);
  std::printf("batch into %-19s %8.0f sounds/s\n", (memory.string() + ":").c_str(), sounds / tmpfs);
  std::printf("batch into the disk folder:   %8.0f sounds/s\n", sounds / written);
  std::printf("floor into the disk folder:   %8.0f sounds/s\n", sounds / floor);
  std::printf("disk time batch / floor:      %8.2f\n", written / floor);
  std::printf("files hold the bytes rendered in memory, all written: %s\n", ok ? "yes" : "NO");
  return ok ? 0 : 1;
}
