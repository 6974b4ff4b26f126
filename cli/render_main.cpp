// tonkelwerk-render: renders sounds from knob positions without a display,
// for game developers who script their assets. By default it writes the very
// file that the program's "Save wave" writes, plays it as "Preview" does, or
// both from one render; it also renders presets, variations and batches of
// settings lines, in other formats, to files or to standard output.
// Depends on: the engine, the file layer (FileSaveWhole, FileReadWhole,
// FolderMake, the command line; batch_files.h for many files at once) and the
// sound device.
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
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
#include "platform/core/command_line.h"
#include "platform/core/files.h"
#include "platform/core/timing.h"
#include "sound/settings_line.h"
#include "sound/sound_engine.h"

using tonkelwerk::kSampleRate;
using tonkelwerk::ParamsFromKnobs;
using tonkelwerk::PrintableText;
using tonkelwerk::SettingsLineText;

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
                     too: one file named on purpose); an audio extension
                     that is not the format's (".mp3", ".wav" with --format
                     flac) and Windows device names ("con.wav") are refused
  --play             play the sound and return when it has played

Presets and variations (all drawn from --seed):
  --preset NAME      draw the knobs from a category's ranges: pickup, laser,
                     explosion, powerup, hit, jump, blip or random; knobs
                     given as well keep their value
  --mutate D         move the given knobs (every knob under --preset) by up
                     to D degrees either way
  --count K          write K variations, FILE-01 to FILE-K (1..9999; above
                     999 numbered FILE-0001 onwards); sound i uses the seed
                     N + i - 1
  --print-settings   print the settings line of every sound written: a batch
                     that writes the same files again (a batch's summary
                     then goes to standard error)

Batches:
  --batch FILE       render one file per settings line of FILE ("-": standard
                     input), such as "zap: freq=120 end=90 len=40 seed=7";
                     blank lines and lines starting with # are skipped, and
                     # after a blank starts a comment
  --out-dir DIR      the folder for the batch's files (NAME.wav, or
                     sound-LINE.wav for a line without a name; a NAME that
                     ends in ".wav" keeps it)
  --force            let a batch or --count replace existing files

A line without seed= gets the seed N + its line number; without --seed it
is refused. A batch with a bad line renders nothing (the first 20 bad lines
are listed). Names may hold blanks and UTF-8 letters, but not / \ : = # < >
" | ? * or control characters; so that a kit renders on every system, a
name must not differ from another only in letter case, be a Windows device
(CON, PRN, AUX, NUL, COM1..COM9, LPT1..LPT9, with any extension), end in a
dot or a blank, or make a file name longer than 255 bytes. A batch or --count
is all or nothing: every file is written to a temporary file first, and only
when all are complete do they take their names; a name that exists by then
is never replaced without --force, and a failure or Ctrl+C leaves no new
file behind.

Formats (the default is the program's own WAV file, byte for byte):
  --format F         wav, flac or ogg (default: the file's extension)
  --mono             keep the left channel only
  --rate R           resample to 11025, 22050 or 48000 Hz (libsoxr)
  --bits 8           unsigned 8-bit samples (signed in FLAC; not for ogg)
  --gain DB          lower the level by DB decibels first (-96..0, such as
                     -1.5); a sound at full scale clips a little when
                     resampled or decoded from Ogg, which a warning reports

Other options:
  --seed N           seed the noise with N (0..4294967295), so that the same
                     command gives the same file byte for byte; without it the
                     noise differs from run to run
  -h, --help         show this text
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

// One line on standard error; messages quote user input, so control bytes
// are shown escaped rather than sent to the terminal.
void Tell(const std::string& message) {
  std::fprintf(stderr, "tonkelwerk-render: %s\n", PrintableText(message).c_str());
}

constexpr const char* kTryHelp = "Try 'tonkelwerk-render --help'.\n";

int Fail(int status, const std::string& message) {
  Tell(message);
  if (status == kExitUsage) std::fputs(kTryHelp, stderr);
  return status;
}

// Writes to standard output; returns why not every byte got there (a full
// disk, a closed pipe), or "".
std::string WriteOut(std::string_view bytes) {
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), stdout) == bytes.size();
  if (std::fflush(stdout) == 0 && written) return {};
  return std::string("cannot write to standard output: ") + std::strerror(errno);
}

// Prints to standard output; a failed write is an error too.
int Print(std::string_view text) {
  const std::string error = WriteOut(text);
  return error.empty() ? kExitOk : Fail(kExitFailure, error);
}

// Lines in the order given, then how many more there are, the last line
// with `ending`; a huge list would only bury its first lines.
void TellList(const std::vector<std::string>& lines, std::size_t total, std::string_view ending) {
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const bool last = i + 1 == lines.size() && total == lines.size();
    Tell(lines[i] + (last ? std::string(ending) : ""));
  }
  if (total > lines.size())
    Tell("and " + std::to_string(total - lines.size()) + " more" + std::string(ending));
}

// Sounds at full scale come out of a resampler or an Ogg decoder a little
// louder in places, where players clip them. The warning names the step of
// this run's format that does it.
void WarnOfClipping(const OutputFormat& format) {
  const std::uint64_t clipped = ClippedSamples();
  if (clipped == 0) return;
  const bool ogg = format.format == SoundFormat::kOgg;
  const bool resampled = format.rate != kSampleRate;
  const std::string where = ogg && resampled ? "after resampling and in Ogg decoders"
                            : ogg            ? "in Ogg decoders"
                                             : "after resampling";
  Tell("warning: " + std::to_string(clipped) + (clipped == 1 ? " sample clips" : " samples clip") +
       " at full scale " + where + "; a --gain such as -3 makes room");
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
  if (target == kStandardOutput)
    return WriteOut(std::string_view(reinterpret_cast<const char*>(file.data()), file.size()));
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
    if (delivery.printSettings) return WriteOut(SettingsLineText(job.settings) + "\n");
    return {};
  };
}

// Many files are never written over unless --force says so; nothing is
// written when one exists.
std::string ExistingTarget(const std::vector<SoundJob>& jobs) {
  for (const SoundJob& job : jobs) {
    if (PathExists(job.target)) return ExistsText(job.target);
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
    StreamCarriesBytes(stdout);
  } else if (options.output) {
    target = OutputPath(options);
  }
  // Without --seed the clock seeds the noise, as the program's own does.
  const std::vector<SoundJob> jobs =
      VariationJobs(options, options.seed.value_or(TickCountMs()), target);
  if (options.printSettings && !target.empty() && jobs.front().settings.name.empty())
    Tell("warning: the printed lines have no name: no batch line writes '" + target +
         "' (a batch writes NAME." + std::string(FormatExtension(options.format.format)) + ")");
  if (keep) {
    const std::string existing = ExistingTarget(jobs);
    if (!existing.empty()) return Fail(kExitFailure, existing);
  }
  return PlayAndRender(jobs, delivery);
}

// Reads the batch into `text`; returns "" or why not. Standard input is read
// byte for byte: the planner takes either line end.
std::string ReadBatch(const std::string& name, std::string& text) {
  if (name != "-") return FileReadWhole(name, text);
  StreamCarriesBytes(stdin);
  char buffer[4096];
  std::size_t got = 0;
  while ((got = std::fread(buffer, 1, sizeof buffer, stdin)) > 0) text.append(buffer, got);
  return std::ferror(stdin) ? std::strerror(errno) : "";
}

int RunBatch(const RenderOptions& options) {
  std::string text;
  const std::string reason = ReadBatch(*options.batch, text);
  if (!reason.empty())
    return Fail(kExitFailure, "cannot read the batch '" + *options.batch + "': " + reason);
  const BatchPlan plan =
      PlanBatch(text, options.seed, *options.outDir, FormatExtension(options.format.format));
  if (plan.badLines > 0) {
    TellList(plan.errors, plan.badLines, " (nothing rendered)");
    std::fputs(kTryHelp, stderr);
    return kExitUsage;
  }
  if (!options.force) {
    const std::string existing = ExistingTarget(plan.jobs);
    if (!existing.empty()) return Fail(kExitFailure, existing);
  }
  const std::string folderReason = FolderMake(*options.outDir);
  if (!folderReason.empty())
    return Fail(kExitFailure, "cannot make the folder '" + *options.outDir + "': " + folderReason);
  const Delivery delivery{options.format, false, options.printSettings,
                          options.force ? Placement::kReplace : Placement::kKeepExisting};
  RenderTotals totals;
  if (const int status = WriteFiles(plan.jobs, delivery, totals); status != kExitOk) return status;
  const std::string summary =
      std::to_string(totals.sounds) + " sounds, " + std::to_string(totals.bytes) + " bytes";
  // Printed settings are a batch: the summary must not become one of its lines.
  if (!options.printSettings) return Print(summary + "\n");
  Tell(summary);
  return kExitOk;
}

}  // namespace

int main(int argc, char** argv) {
  ConsoleShowsUtf8();
#ifdef SIGXFSZ
  // Past a file size limit a write then fails and is reported like a full
  // disk, instead of the signal ending the program midway.
  std::signal(SIGXFSZ, SIG_IGN);
#endif
  const std::vector<std::string> arguments = CommandLineArguments(argc, argv);
  const std::vector<std::string_view> args(arguments.begin(), arguments.end());
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
  const int status =
      command.options.batch ? RunBatch(command.options) : RunSounds(command.options);
  WarnOfClipping(command.options.format);
  return status;
}
