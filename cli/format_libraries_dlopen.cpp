// The functions of libsndfile, libsoxr and libogg that the renderer calls,
// defined here under their own names as forwarders to the libraries, which
// are loaded when the first of their functions is called (by any thread).
// Without a library every forwarder fails the way the library itself
// reports a failure, its words being why the library is missing: the open
// of a sound file returns no file and sf_strerror tells why, soxr_create
// returns the message.
// Leaves out: libsndfile's and libsoxr's other functions.
// Depends on: the libraries' headers (for the declarations, not for linking)
// and format_libraries.h.
#include <ogg/ogg.h>
#include <sndfile.h>
#include <soxr.h>

#include <array>
#include <string_view>

#include "cli/format_libraries.h"
#include "platform/core/shared_library.h"

std::vector<void*> FormatLibraryLoad(const FormatLibrary& library,
                                     std::span<const char* const> functions, std::string& error) {
  const std::string needs =
      std::string(library.neededBy) + " needs " + library.name + " (" + library.soname + "): ";
  const std::string install = std::string("; install the package ") + library.package;
  std::string reason;
  void* handle = SharedLibraryOpen(library.soname, reason);
  if (!handle) {
    error = needs + reason + install;
    return {};
  }
  std::vector<void*> found;
  for (const char* function : functions) {
    found.push_back(SharedLibraryFunction(handle, function));
    if (!found.back()) {
      SharedLibraryClose(handle);
      error = needs + library.soname + " has no " + function + install;
      return {};
    }
  }
  return found;
}

namespace {

constexpr const char* kConverted = "every format but the plain 44,100 Hz 16-bit stereo WAV";

constexpr FormatLibrary kSndfile{"libsndfile", "libsndfile.so.1", "libsndfile1", kConverted};
constexpr std::array kSndfileFunctions{"sf_open_virtual", "sf_strerror",   "sf_writef_short",
                                       "sf_readf_float",  "sf_read_float", "sf_command",
                                       "sf_close"};

// libsndfile needs libogg itself; the renderer calls it to checksum Ogg pages.
constexpr FormatLibrary kOgg{"libogg", "libogg.so.0", "libogg0", kConverted};
constexpr std::array kOggFunctions{"ogg_page_checksum_set"};

constexpr FormatLibrary kSoxr{"libsoxr", "libsoxr.so.0", "libsoxr0", "--rate"};
constexpr std::array kSoxrFunctions{"soxr_io_spec",   "soxr_quality_spec", "soxr_runtime_spec",
                                    "soxr_create",    "soxr_process",      "soxr_num_clips",
                                    "soxr_delete"};

struct LoadedLibrary {
  std::string error;             // why it is missing (first: the load writes it)
  std::vector<void*> functions;  // in the order of the library's names; empty when missing

  LoadedLibrary(const FormatLibrary& library, std::span<const char* const> names)
      : functions(FormatLibraryLoad(library, names, error)) {}
  bool Loaded() const { return !functions.empty(); }
};

// The place of `name` among `names`, found while compiling.
template <std::size_t N>
consteval std::size_t IndexOf(const std::array<const char*, N>& names, std::string_view name) {
  for (std::size_t i = 0; i < N; ++i) {
    if (names[i] == name) return i;
  }
  throw "the library's function list lacks this function";
}

template <typename Function>
Function FunctionAt(const LoadedLibrary& library, std::size_t index) {
  return reinterpret_cast<Function>(library.functions[index]);
}

const LoadedLibrary& Sndfile() {
  static const LoadedLibrary library(kSndfile, kSndfileFunctions);
  return library;
}

const LoadedLibrary& Ogg() {
  static const LoadedLibrary library(kOgg, kOggFunctions);
  return library;
}

const LoadedLibrary& Soxr() {
  static const LoadedLibrary library(kSoxr, kSoxrFunctions);
  return library;
}

// libsndfile with libogg: an open file promises both to the calls that
// follow, Ogg's page checksums among them.
const std::string* SndfileMissing() {
  if (!Sndfile().Loaded()) return &Sndfile().error;
  if (!Ogg().Loaded()) return &Ogg().error;
  return nullptr;
}

template <typename Function>
Function SndfileAt(std::size_t index) {
  return FunctionAt<Function>(Sndfile(), index);
}

template <typename Function>
Function SoxrAt(std::size_t index) {
  return FunctionAt<Function>(Soxr(), index);
}

}  // namespace

SNDFILE* sf_open_virtual(SF_VIRTUAL_IO* io, int mode, SF_INFO* info, void* user) {
  constexpr std::size_t at = IndexOf(kSndfileFunctions, "sf_open_virtual");
  if (SndfileMissing()) return nullptr;
  return SndfileAt<decltype(&sf_open_virtual)>(at)(io, mode, info, user);
}

const char* sf_strerror(SNDFILE* sound) {
  constexpr std::size_t at = IndexOf(kSndfileFunctions, "sf_strerror");
  if (const std::string* missing = SndfileMissing()) return missing->c_str();
  return SndfileAt<decltype(&sf_strerror)>(at)(sound);
}

// Without the library there is no open file: the calls on one fail.
sf_count_t sf_writef_short(SNDFILE* sound, const short* samples, sf_count_t frames) {
  constexpr std::size_t at = IndexOf(kSndfileFunctions, "sf_writef_short");
  if (SndfileMissing()) return 0;
  return SndfileAt<decltype(&sf_writef_short)>(at)(sound, samples, frames);
}

sf_count_t sf_readf_float(SNDFILE* sound, float* samples, sf_count_t frames) {
  constexpr std::size_t at = IndexOf(kSndfileFunctions, "sf_readf_float");
  if (SndfileMissing()) return 0;
  return SndfileAt<decltype(&sf_readf_float)>(at)(sound, samples, frames);
}

sf_count_t sf_read_float(SNDFILE* sound, float* samples, sf_count_t items) {
  constexpr std::size_t at = IndexOf(kSndfileFunctions, "sf_read_float");
  if (SndfileMissing()) return 0;
  return SndfileAt<decltype(&sf_read_float)>(at)(sound, samples, items);
}

int sf_command(SNDFILE* sound, int command, void* data, int size) {
  constexpr std::size_t at = IndexOf(kSndfileFunctions, "sf_command");
  if (SndfileMissing()) return 0;
  return SndfileAt<decltype(&sf_command)>(at)(sound, command, data, size);
}

int sf_close(SNDFILE* sound) {
  constexpr std::size_t at = IndexOf(kSndfileFunctions, "sf_close");
  if (SndfileMissing()) return SF_ERR_SYSTEM;
  return SndfileAt<decltype(&sf_close)>(at)(sound);
}

void ogg_page_checksum_set(ogg_page* page) {
  // Reached only after libsndfile wrote an Ogg file: then libogg is loaded.
  constexpr std::size_t at = IndexOf(kOggFunctions, "ogg_page_checksum_set");
  if (SndfileMissing()) return;
  FunctionAt<decltype(&ogg_page_checksum_set)>(Ogg(), at)(page);
}

// Without libsoxr the io, quality and runtime settings stay empty and
// soxr_create says why.
soxr_io_spec_t soxr_io_spec(soxr_datatype_t in, soxr_datatype_t out) {
  constexpr std::size_t at = IndexOf(kSoxrFunctions, "soxr_io_spec");
  if (!Soxr().Loaded()) return {};
  return SoxrAt<decltype(&soxr_io_spec)>(at)(in, out);
}

soxr_quality_spec_t soxr_quality_spec(unsigned long recipe, unsigned long flags) {
  constexpr std::size_t at = IndexOf(kSoxrFunctions, "soxr_quality_spec");
  if (!Soxr().Loaded()) return {};
  return SoxrAt<decltype(&soxr_quality_spec)>(at)(recipe, flags);
}

soxr_runtime_spec_t soxr_runtime_spec(unsigned threads) {
  constexpr std::size_t at = IndexOf(kSoxrFunctions, "soxr_runtime_spec");
  if (!Soxr().Loaded()) return {};
  return SoxrAt<decltype(&soxr_runtime_spec)>(at)(threads);
}

soxr_t soxr_create(double inRate, double outRate, unsigned channels, soxr_error_t* error,
                   const soxr_io_spec_t* io, const soxr_quality_spec_t* quality,
                   const soxr_runtime_spec_t* runtime) {
  constexpr std::size_t at = IndexOf(kSoxrFunctions, "soxr_create");
  if (!Soxr().Loaded()) {
    if (error) *error = Soxr().error.c_str();
    return nullptr;
  }
  return SoxrAt<decltype(&soxr_create)>(at)(inRate, outRate, channels, error, io, quality,
                                            runtime);
}

// The calls below take a resampler, which only a loaded library makes.
soxr_error_t soxr_process(soxr_t resampler, soxr_in_t in, size_t inFrames, size_t* inDone,
                          soxr_out_t out, size_t outFrames, size_t* outDone) {
  constexpr std::size_t at = IndexOf(kSoxrFunctions, "soxr_process");
  if (!Soxr().Loaded()) return Soxr().error.c_str();
  return SoxrAt<decltype(&soxr_process)>(at)(resampler, in, inFrames, inDone, out, outFrames,
                                             outDone);
}

size_t* soxr_num_clips(soxr_t resampler) {
  constexpr std::size_t at = IndexOf(kSoxrFunctions, "soxr_num_clips");
  if (!Soxr().Loaded()) return nullptr;
  return SoxrAt<decltype(&soxr_num_clips)>(at)(resampler);
}

void soxr_delete(soxr_t resampler) {
  constexpr std::size_t at = IndexOf(kSoxrFunctions, "soxr_delete");
  if (Soxr().Loaded()) SoxrAt<decltype(&soxr_delete)>(at)(resampler);
}
