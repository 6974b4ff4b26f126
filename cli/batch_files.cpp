// All-or-nothing delivery of many files: staging on the render pipeline's
// workers, placing on the calling thread, and taking back on failure.
#include "cli/batch_files.h"

#include <cstddef>

#include "cli/interrupts.h"

namespace {

// Names the first and last of `count` files (job order) from `first`.
std::string FilesNamed(const std::vector<SoundJob>& jobs, std::size_t first, std::size_t count) {
  std::string text = std::to_string(count) + (count == 1 ? " file (" : " files (");
  text += jobs[first].target;
  if (count > 1) text += " to " + jobs[first + count - 1].target;
  return text + ")";
}

// Renders every job into a finished temporary file in `staged`, on as many
// threads as writing keeps busy. Stops at the first failure or interrupt.
RenderTotals Stage(const std::vector<SoundJob>& jobs, const OutputFormat& format,
                   std::vector<Replacement>& staged) {
  const DeliverSound stage = [&](const SoundJob& job, std::span<const std::uint8_t>,
                                 std::span<const std::uint8_t> file) -> std::string {
    if (InterruptStatus() != 0) return "interrupted";
    Replacement& into = staged[static_cast<std::size_t>(&job - jobs.data())];
    const std::string reason =
        FileStageWhole(into, job.target, file.data(), static_cast<std::int32_t>(file.size()));
    return reason.empty() ? reason : WriteFailureText(job.target, reason);
  };
  return RenderJobs(jobs, format, FileWriteThreads(jobs.size()), stage, DeliveryOrder::kAnyOrder);
}

void AbandonFrom(std::vector<Replacement>& staged, std::size_t first) {
  for (std::size_t i = first; i < staged.size(); ++i) ReplacementAbandon(staged[i]);
}

// Removes the first `count` placed files again; says what became of them.
std::string Withdraw(const std::vector<SoundJob>& jobs, std::vector<Replacement>& staged,
                     std::size_t count) {
  std::size_t kept = 0;
  for (std::size_t i = 0; i < count; ++i) kept += ReplacementWithdraw(staged[i]) ? 0 : 1;
  if (count == 0) return {};
  if (kept > 0) return "; " + std::to_string(kept) + " of the files placed before it remain";
  return "; the " + FilesNamed(jobs, 0, count) + " placed before it were removed again";
}

// A lone file needs no word that no other file was written.
std::string NothingWritten(const std::vector<SoundJob>& jobs) {
  return jobs.size() > 1 ? " (nothing written)" : "";
}

std::string PlacingFailure(const std::vector<SoundJob>& jobs, std::size_t index,
                           const Replacement& failed, Placement placement) {
  if (placement == Placement::kKeepExisting && failed.reason == kReasonExists)
    return ExistsText(jobs[index].target);
  return WriteFailureText(jobs[index].target, failed.reason) + NothingWritten(jobs);
}

std::string InterruptedText(const std::vector<SoundJob>& jobs, std::size_t placed) {
  if (placed == 0) return "interrupted: nothing was written";
  return "interrupted: " + FilesNamed(jobs, 0, placed) + " of " + std::to_string(jobs.size()) +
         " written, no more";
}

}  // namespace

std::string WriteFailureText(const std::string& target, const std::string& reason) {
  return "Couldn't write file to disk. (" + target + "): " + reason;
}

std::string ExistsText(const std::string& target) {
  return "'" + target + "' exists already; nothing written (--force replaces files)";
}

FilesOutcome DeliverFiles(const std::vector<SoundJob>& jobs, const OutputFormat& format,
                          Placement placement) {
  const InterruptCatcher catcher;
  std::vector<Replacement> staged(jobs.size());
  FilesOutcome outcome{Stage(jobs, format, staged)};
  outcome.interrupted = InterruptStatus();
  if (outcome.interrupted != 0 || !outcome.totals.error.empty()) {
    AbandonFrom(staged, 0);
    outcome.totals.error = outcome.interrupted != 0 ? InterruptedText(jobs, 0)
                                                    : outcome.totals.error + NothingWritten(jobs);
    return outcome;
  }
  for (std::size_t placed = 0; placed < jobs.size(); ++placed) {
    if ((outcome.interrupted = InterruptStatus()) != 0) {
      AbandonFrom(staged, placed);
      outcome.totals.error = InterruptedText(jobs, placed);
      return outcome;
    }
    if (!ReplacementPlace(staged[placed], placement)) {
      AbandonFrom(staged, placed + 1);
      outcome.totals.error = PlacingFailure(jobs, placed, staged[placed], placement) +
                             Withdraw(jobs, staged, placed);
      return outcome;
    }
  }
  return outcome;
}
