// tonkelwerk-render: renders sounds from knob positions without a display,
// for game developers who script their assets. By default it writes the very
// file that the program's "Save wave" writes, plays it as "Preview" does, or
// both from one render; it also renders presets, variations and batches of
// settings lines, in other formats, to files or to standard output.
// Depends on: the engine, the file layer (FileSaveWhole, and batch_files.h for
// many files at once) and the sound device.
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "cli/batch.h"
#include "cli/batch_files.h"
#include "cli/render_jobs.h"
#include "cli/render_options.h"
#include "cli/variations.h"
#include "platform/audio/audio.h"
#include "platform/core/files.h"
#include "platform/core/save_path.h"
#include "platform/core/timing.h"
#include "sound/settings_line.h"
#include "sound/sound_engine.h"

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

// The version comes from the build (project() in CMakeLists.txt).
constexpr std::string_view kVersion = "tonkelwerk-render " TONKELWERK_VERSION "\n";

constexpr std::string_view kUsage =
    R"(Usage: tonkelwerk-render [KNOBS] [--seed N] (-o FILE | --play | both)
       tonkelwerk-render --preset NAME [--mutate D] [--count K] -o FILE
       tonkelwerk-render --batch FILE --out-dir DIR [--seed N] [--force]

Renders one Tonkelwerk sound from the six knob positions and writes it as a
WAV file (PCM, 44,100 Hz, 16-bit stereo), plays it, or both.

Knobs, in whole degrees 0..360, each 0 unless given (Freq and Len. must be above 0):
  --start A          pitch rise over the first half (A * 1.5 Hz)
  --end A            pitch fall over the second half (A * 1.5 Hz); with Start
                     at 0 the pitch begins that much higher and falls back
  --freq A           base pitch (A * 8 Hz)
  --rustle A         noise, added on top of the tone (0..A * 64 sample units)
  --cutter A         period of the bare-tone cut samples (0 and 1: none)
  --len A            length (A * 8 ms, at most 2880 ms)

Delivery (at least one):
  -o, --output FILE  write the WAV file; a name whose extension is empty
                     gets ".wav" ("boom" -> "boom.wav", "boom." -> "boom..wav")
                     or the --format's own; "-" writes to standard output
                     (never to a terminal); an existing file is replaced
                     only once the new one is complete (without --force
                     too: one file named on purpose)
  --play             play the sound and return when it has played

Presets and variations (all drawn from --seed):
  --preset NAME      draw the knobs from a category's ranges: pickup, laser,
                     explosion, powerup, hit, jump, blip or random; knobs
                     given as well keep their value
  --mutate D         move the given knobs (every knob under --preset) by up
                     to D degrees either way
  --count K          write K variations, FILE-01 to FILE-K (1..999); sound i
                     uses the seed N + i - 1
  --print-settings   print the settings line of every sound written

Batches:
  --batch FILE       render one file per settings line of FILE ("-": standard
                     input), such as "zap: freq=120 end=90 len=40 seed=7";
                     blank lines and lines starting with # are skipped
  --out-dir DIR      the folder for the batch's files (NAME.wav, or
                     sound-LINE.wav for a line without a name)
  --force            let a batch or --count replace existing files

A line without seed= gets the seed N + its line number; without --seed it
is refused. A batch with a bad line renders nothing. A batch or --count is
all or nothing: every file is written to a temporary file first, and only
when all are complete do they take their names; a name that exists by then
is never replaced without --force, and a failure or Ctrl+C leaves no new
file behind.

Formats (the default is the program's own WAV file, byte for byte):
  --format F         wav, flac or ogg (default: the file's extension)
  --mono             keep the left channel only
  --rate R           resample to 11025, 22050 or 48000 Hz (libsoxr)
  --bits 8           unsigned 8-bit samples (signed in FLAC; not for ogg)

Other options:
  --seed N           seed the noise with N (0..4294967295), so that the same
                     command gives the same file byte for byte; without it the
                     noise differs from run to run
  --help             show this text
  --version          show the version

Values follow their option ("--freq 120") or are attached ("--freq=120"); an
option given twice keeps its last value. With both -o and --play the sound is
rendered once and the bytes written are the bytes played.

Example: tonkelwerk-render --freq 120 --len 60 --rustle 40 --seed 7 -o laser.wav

Exit status: 0 done, 1 a file could not be written (an old one is left as it
was) or read, a file exists already, or no sound device to play on, 2 a bad
command line or batch line (nothing is written then), 130 Ctrl+C and 143
SIGTERM while writing files (no temporary file is left; the message says
which files, if any, were written).
)";

int Fail(int status, const std::string& message) {
  std::fprintf(stderr, "tonkelwerk-render: %s\n", message.c_str());
  if (status == kExitUsage) std::fputs("Try 'tonkelwerk-render --help'.\n", stderr);
  return status;
}

constexpr std::string_view kStdoutFailed = "cannot write to standard output";

// Writes to standard output; false when not every byte got there (a full disk).
bool WriteOut(std::string_view bytes) {
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), stdout) == bytes.size();
  return std::fflush(stdout) == 0 && written;
}

// Prints to standard output; a failed write is an error too.
int Print(std::string_view text) {
  return WriteOut(text) ? kExitOk : Fail(kExitFailure, std::string(kStdoutFailed));
}

// Where one command line's sounds go, and how.
struct Delivery {
  OutputFormat format;
  bool play = false;
  bool printSettings = false;
  Placement placement = Placement::kReplace;  // what becomes of an existing file
};

std::string WriteFile(const std::string& target, std::span<const std::uint8_t> file,
                      Placement placement) {
  if (target == kStandardOutput) {
    const std::string_view bytes(reinterpret_cast<const char*>(file.data()), file.size());
    return WriteOut(bytes) ? "" : std::string(kStdoutFailed);
  }
  const std::string reason =
      FileSaveWhole(target, file.data(), static_cast<std::int32_t>(file.size()), placement);
  if (reason == kReasonExists && placement == Placement::kKeepExisting) return ExistsText(target);
  return reason.empty() ? reason : WriteFailureText(target, reason);
}

// Writes first, then plays, so that what is heard is what was saved.
DeliverSound Deliverer(const Delivery& delivery) {
  return [delivery](const SoundJob& job, std::span<const std::uint8_t> image,
                    std::span<const std::uint8_t> file) -> std::string {
    if (!job.target.empty()) {
      std::string error = WriteFile(job.target, file, delivery.placement);
      if (!error.empty()) return error;
    }
    if (delivery.play)
      SoundPlayAndWait(image.data(), static_cast<std::int32_t>(image.size()),
                       ParamsFromKnobs(job.settings.knobs).lengthMs);
    if (delivery.printSettings && !WriteOut(SettingsLineText(job.settings) + "\n"))
      return std::string(kStdoutFailed);
    return {};
  };
}

// Many files are never written over unless --force says so; nothing is
// written when one exists.
std::string ExistingTarget(const std::vector<SoundJob>& jobs) {
  for (const SoundJob& job : jobs) {
    std::error_code ignored;
    if (std::filesystem::exists(job.target, ignored))
      return ExistsText(job.target);
  }
  return {};
}

// Files alone go to the disk all or nothing; standard output and playing
// keep the jobs' order, one sound after the other.
bool FilesOnly(const std::vector<SoundJob>& jobs, const Delivery& delivery) {
  return !delivery.play && std::none_of(jobs.begin(), jobs.end(), [](const SoundJob& job) {
    return job.target == kStandardOutput;
  });
}

// Writes the files all or nothing, then prints their settings lines when
// asked. Returns the exit status; `totals` are those of the files.
int WriteFiles(const std::vector<SoundJob>& jobs, const Delivery& delivery, RenderTotals& totals) {
  const FilesOutcome outcome = DeliverFiles(jobs, delivery.format, delivery.placement);
  totals = outcome.totals;
  if (outcome.interrupted != 0) return Fail(outcome.interrupted, totals.error);
  if (!totals.error.empty()) return Fail(kExitFailure, totals.error);
  if (!delivery.printSettings) return kExitOk;
  std::string lines;
  for (const SoundJob& job : jobs) lines += SettingsLineText(job.settings) + "\n";
  return Print(lines);
}

int RenderAll(const std::vector<SoundJob>& jobs, const Delivery& delivery) {
  RenderTotals totals;
  if (FilesOnly(jobs, delivery)) return WriteFiles(jobs, delivery, totals);
  totals = RenderJobs(jobs, delivery.format, RenderThreads(jobs.size()), Deliverer(delivery));
  if (!totals.error.empty()) return Fail(kExitFailure, totals.error);
  return kExitOk;
}

// The device is opened before any file is written: without one, nothing is.
int PlayAndRender(const std::vector<SoundJob>& jobs, const Delivery& delivery) {
  if (!delivery.play) return RenderAll(jobs, delivery);
  if (!SoundBackendBuilt()) {
    return Fail(kExitFailure,
                "this build cannot play sounds (it was built without SDL): "
                "write a file with -o instead");
  }
  if (SoundInit() == 0) {
    SoundShutdown();
    return Fail(kExitFailure, "no sound device to play on (--play)");
  }
  const int status = RenderAll(jobs, delivery);
  SoundShutdown();
  return status;
}

// One sound, or --count variations of it.
int RunSounds(const RenderOptions& options) {
  // Variations never replace a file unless --force says so; one -o file does.
  const bool keep = options.count && !options.force;
  Delivery delivery{options.format, options.play, options.printSettings,
                    keep ? Placement::kKeepExisting : Placement::kReplace};
  std::string target;
  if (options.output == kStandardOutput) {
    if (isatty(fileno(stdout)))
      return Fail(kExitUsage, "-o - would write the sound to a terminal; redirect it");
    target = std::string(kStandardOutput);
  } else if (options.output) {
    const SoundFormat named = options.formatGiven ? options.format.format : SoundFormat::kWav;
    target = SavePathWithExtension(*options.output, FormatExtension(named));
    if (!options.formatGiven) delivery.format.format = FormatOfPath(target);
  }
  // Without --seed the clock seeds the noise, as the program's own does.
  const std::vector<SoundJob> jobs =
      VariationJobs(options, options.seed.value_or(TickCountMs()), target);
  if (keep) {
    const std::string existing = ExistingTarget(jobs);
    if (!existing.empty()) return Fail(kExitFailure, existing);
  }
  return PlayAndRender(jobs, delivery);
}

std::optional<std::string> ReadAll(std::FILE* stream) {
  std::string text;
  char buffer[4096];
  std::size_t got = 0;
  while ((got = std::fread(buffer, 1, sizeof buffer, stream)) > 0) text.append(buffer, got);
  if (std::ferror(stream)) return std::nullopt;
  return text;
}

std::optional<std::string> ReadBatch(const std::string& name) {
  if (name == "-") return ReadAll(stdin);
  std::FILE* file = std::fopen(name.c_str(), "rb");
  if (!file) return std::nullopt;
  std::optional<std::string> text = ReadAll(file);
  std::fclose(file);
  return text;
}

int RunBatch(const RenderOptions& options) {
  const std::optional<std::string> text = ReadBatch(*options.batch);
  if (!text) return Fail(kExitFailure, "cannot read the batch '" + *options.batch + "'");
  const BatchPlan plan =
      PlanBatch(*text, options.seed, *options.outDir, FormatExtension(options.format.format));
  if (!plan.errors.empty()) {
    for (std::size_t i = 0; i + 1 < plan.errors.size(); ++i)
      std::fprintf(stderr, "tonkelwerk-render: %s\n", plan.errors[i].c_str());
    return Fail(kExitUsage, plan.errors.back() + " (nothing rendered)");
  }
  if (!options.force) {
    const std::string existing = ExistingTarget(plan.jobs);
    if (!existing.empty()) return Fail(kExitFailure, existing);
  }
  std::error_code failed;
  std::filesystem::create_directories(*options.outDir, failed);
  if (failed) return Fail(kExitFailure, "cannot make the folder '" + *options.outDir + "'");
  const Delivery delivery{options.format, false, options.printSettings,
                          options.force ? Placement::kReplace : Placement::kKeepExisting};
  RenderTotals totals;
  if (const int status = WriteFiles(plan.jobs, delivery, totals); status != kExitOk) return status;
  return Print(std::to_string(totals.sounds) + " sounds, " + std::to_string(totals.bytes) +
               " bytes\n");
}

}  // namespace

int main(int argc, char** argv) {
#ifdef SIGXFSZ
  // Past a file size limit a write then fails and is reported like a full
  // disk, instead of the signal ending the program midway.
  std::signal(SIGXFSZ, SIG_IGN);
#endif
  // An empty argument vector (argc 0) is possible through exec.
  const std::vector<std::string_view> args(argc > 0 ? argv + 1 : argv, argv + argc);
  const ParsedCommandLine command = ParseRenderArgs(args);
  if (!command.error.empty()) return Fail(kExitUsage, command.error);
  switch (command.action) {
    case RenderAction::kHelp:
      return Print(kUsage);
    case RenderAction::kVersion:
      return Print(kVersion);
    case RenderAction::kRender:
      break;
  }
  if (command.options.batch) return RunBatch(command.options);
  return RunSounds(command.options);
}
