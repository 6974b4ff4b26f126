// The format options of tonkelwerk-render: names, extensions, checks, and
// the plain image that needs no encoder. The encoders live in
// output_format_sndfile.cpp (libsndfile and libsoxr), or, in a build without
// those libraries, output_format_none.cpp refuses every other format.
#include "cli/output_format.h"

#include <array>
#include <cctype>
#include <cmath>

#include "platform/core/text.h"
#include "sound/settings_line.h"
#include "sound/sound_engine.h"

using tonkelwerk::kWaveHeaderSize;
using tonkelwerk::QuotedWord;
using tonkelwerk::WaveDataSize;
using tonkelwerk::WaveImageSize;

namespace {

std::string Lower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower;
}

// Audio extensions and the format each stands for; none for the formats
// this program does not write.
struct AudioExtension {
  std::string_view extension;
  std::optional<SoundFormat> format;
};

constexpr std::array<AudioExtension, 20> kAudioExtensions{{
    {"wav", SoundFormat::kWav},  {"wave", SoundFormat::kWav}, {"flac", SoundFormat::kFlac},
    {"ogg", SoundFormat::kOgg},  {"oga", SoundFormat::kOgg},  {"mp3", {}},
    {"mp2", {}},                 {"opus", {}},                {"aiff", {}},
    {"aif", {}},                 {"aifc", {}},                {"m4a", {}},
    {"aac", {}},                 {"wma", {}},                 {"alac", {}},
    {"caf", {}},                 {"au", {}},                  {"w64", {}},
    {"wv", {}},                  {"spx", {}},
}};

const AudioExtension* AudioExtensionOf(std::string_view path) {
  const std::string extension = Lower(TrimSpaces(ExtensionPart(path)));
  for (const AudioExtension& known : kAudioExtensions) {
    if (known.extension == extension) return &known;
  }
  return nullptr;
}

// Lowers every whole 16-bit sample of the image's data chunk by `gainDb`.
void LowerSamples(std::vector<std::uint8_t>& image, std::int32_t lengthMs, double gainDb) {
  const double factor = std::pow(10.0, gainDb / 20);
  const std::int32_t samples = WaveDataSize(lengthMs) / 2;
  for (std::int32_t i = 0; i < samples; ++i) {
    std::uint8_t* at = image.data() + kWaveHeaderSize + 2 * i;
    const auto sample = static_cast<std::int16_t>(at[0] | (at[1] << 8));
    const auto lowered = static_cast<std::int16_t>(std::lround(sample * factor));
    at[0] = static_cast<std::uint8_t>(lowered & 0xFF);
    at[1] = static_cast<std::uint8_t>((lowered >> 8) & 0xFF);
  }
}

}  // namespace

std::optional<SoundFormat> FormatNamed(std::string_view name) {
  if (name == "wav") return SoundFormat::kWav;
  if (name == "flac") return SoundFormat::kFlac;
  if (name == "ogg") return SoundFormat::kOgg;
  return std::nullopt;
}

std::string_view FormatExtension(SoundFormat format) {
  switch (format) {
    case SoundFormat::kFlac:
      return "flac";
    case SoundFormat::kOgg:
      return "ogg";
    case SoundFormat::kWav:
      break;
  }
  return "wav";
}

SoundFormat FormatOfPath(std::string_view path) {
  const AudioExtension* known = AudioExtensionOf(path);
  return known && known->format ? *known->format : SoundFormat::kWav;
}

std::string ExtensionProblem(std::string_view path, SoundFormat format) {
  const AudioExtension* known = AudioExtensionOf(path);
  if (!known || known->format == format) return {};
  const std::string name = QuotedWord(path);
  const std::string writes = std::string(FormatExtension(format));
  if (!known->format) {
    return name + " would be " + std::string(known->extension) +
           ", which tonkelwerk-render does not write (it writes wav, flac and ogg)";
  }
  return name + " is a " + std::string(FormatExtension(*known->format)) +
         " name, but the sound would be " + writes + " (--format " + writes +
         "): give the file the ." + writes + " extension";
}

std::string FormatProblem(const OutputFormat& format) {
  if (format.format == SoundFormat::kOgg && format.bits != 16) {
    return "--bits 8 does not apply to ogg (Vorbis keeps no sample size)";
  }
  return {};
}

bool EncodeSound(const std::uint8_t* image, std::int32_t lengthMs, const OutputFormat& format,
                 std::vector<std::uint8_t>& file, std::string& error) {
  if (format.gainDb != 0) {
    std::vector<std::uint8_t> lowered(image, image + WaveImageSize(lengthMs));
    LowerSamples(lowered, lengthMs, format.gainDb);
    OutputFormat rest = format;
    rest.gainDb = 0;
    return EncodeSound(lowered.data(), lengthMs, rest, file, error);
  }
  if (format.Plain()) {
    file.assign(image, image + WaveImageSize(lengthMs));
    return true;
  }
  return EncodeConverted(image, lengthMs, format, file, error);
}
