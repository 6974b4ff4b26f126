// The format options of tonkelwerk-render: names, extensions, checks, and
// the plain image that needs no encoder. The encoders live in
// output_format_sndfile.cpp (libsndfile and libsoxr), or, in a build without
// those libraries, output_format_none.cpp refuses every other format.
#include "cli/output_format.h"

#include <cctype>

#include "platform/core/text.h"
#include "sound/sound_engine.h"

namespace {

std::string Lower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower;
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
  const std::string extension = Lower(TrimSpaces(ExtensionPart(path)));
  if (extension == "flac") return SoundFormat::kFlac;
  if (extension == "ogg" || extension == "oga") return SoundFormat::kOgg;
  return SoundFormat::kWav;
}

std::string FormatProblem(const OutputFormat& format) {
  if (format.format == SoundFormat::kOgg && format.bits != 16) {
    return "--bits 8 does not apply to ogg (Vorbis keeps no sample size)";
  }
  return {};
}

bool EncodeSound(const std::uint8_t* image, std::int32_t lengthMs, const OutputFormat& format,
                 std::vector<std::uint8_t>& file, std::string& error) {
  if (format.Plain()) {
    file.assign(image, image + WaveImageSize(lengthMs));
    return true;
  }
  return EncodeConverted(image, lengthMs, format, file, error);
}
