// The file formats tonkelwerk-render writes besides the program's own WAV
// image: mono, another sample rate, 8-bit samples, FLAC and Ogg Vorbis.
// Implements: the format options, the format a file name implies, and the
// encoding of a rendered image into the bytes of the chosen format.
// Leaves out: writing the bytes anywhere (the caller's file layer does).
// Depends on: libsndfile (containers and codecs, encoding into memory) and
// libsoxr (resampling) where the build has them; the engine's image layout.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sound/sound_engine.h"

enum class SoundFormat { kWav, kFlac, kOgg };

struct OutputFormat {
  SoundFormat format = SoundFormat::kWav;
  bool mono = false;                // the left channel alone
  std::int32_t rate = tonkelwerk::kSampleRate;  // frames per second
  std::int32_t bits = 16;           // 16, or 8 (unsigned in WAV)
  double gainDb = 0;                // applied to the samples first; 0 or below

  // The program's own image, byte for byte: nothing to convert.
  bool Plain() const {
    return format == SoundFormat::kWav && !mono && rate == tonkelwerk::kSampleRate &&
           bits == tonkelwerk::kBitsPerSample && gainDb == 0;
  }
};

// The format of the name "wav", "flac" or "ogg"; none for any other.
std::optional<SoundFormat> FormatNamed(std::string_view name);

// The extension (without the dot) that files of `format` get.
std::string_view FormatExtension(SoundFormat format);

// The format a path's extension stands for (".flac", ".ogg", ".oga", any
// case); every other path is a WAV file, as it always was.
SoundFormat FormatOfPath(std::string_view path);

// Why a file called `path` must not hold `format` ("" when it may): its
// extension names another audio format (".wav" for FLAC), or one this
// program does not write (".mp3", ".opus", ".aiff", ...). Extensions that
// name no audio format are no concern.
std::string ExtensionProblem(std::string_view path, SoundFormat format);

// The rates --rate accepts, in frames per second.
inline constexpr std::array<std::int32_t, 4> kRates{11025, 22050, tonkelwerk::kSampleRate, 48000};

// Why `format` cannot be written ("" when it can): Vorbis has no bit depth.
std::string FormatProblem(const OutputFormat& format);

// The file of the sound in `image` (a WAVE image of a `lengthMs` render) in
// `format`: the image's own WaveImageSize bytes when format.Plain() (with
// the samples lowered by a --gain), else the file libsndfile writes. Returns
// false, with `error` set, when encoding fails.
bool EncodeSound(const std::uint8_t* image, std::int32_t lengthMs, const OutputFormat& format,
                 std::vector<std::uint8_t>& file, std::string& error);

// The encoder behind EncodeSound for every format but the plain one.
bool EncodeConverted(const std::uint8_t* image, std::int32_t lengthMs, const OutputFormat& format,
                     std::vector<std::uint8_t>& file, std::string& error);

// The samples the encoders of this process clipped at full scale so far:
// the resampler's samples beyond full scale, and those an Ogg Vorbis file
// decodes to. Any thread may encode; the count is the sum.
std::uint64_t ClippedSamples();
