// The C interface (tonkelwerk.h) over the C++ engine: checks what comes in,
// converts the plain C structs, and writes only inside the caller's buffers.
// Leaves out: every rule of its own; the rules are the C++ engine's.
// Depends on: sound_engine.h, settings_line.h, presets.h.
#include <algorithm>
#include <cstring>
#include <string>
#include <type_traits>

#include "sound/presets.h"
#include "sound/settings_line.h"
#include "sound/sound_engine.h"
#include "sound/tonkelwerk.h"

namespace tonkelwerk {
namespace {

// The caller's noise state holds a NoiseSource's bytes.
static_assert(std::is_trivially_copyable_v<NoiseSource>);
static_assert(sizeof(NoiseSource) <= sizeof(tonkelwerk_noise));
static_assert(alignof(NoiseSource) <= alignof(tonkelwerk_noise));

#define TONKELWERK_TEXT(x) #x
#define TONKELWERK_VERSION_TEXT(a, b, c) \
  TONKELWERK_TEXT(a) "." TONKELWERK_TEXT(b) "." TONKELWERK_TEXT(c)
constexpr const char* kVersion =
    TONKELWERK_VERSION_TEXT(TONKELWERK_ENGINE_VERSION_MAJOR, TONKELWERK_ENGINE_VERSION_MINOR,
                            TONKELWERK_ENGINE_VERSION_PATCH);

KnobAngles AnglesOf(const tonkelwerk_knobs& knobs) {
  KnobAngles angles;
  angles.start = knobs.start;
  angles.end = knobs.end;
  angles.freq = knobs.freq;
  angles.rustle = knobs.rustle;
  angles.cutter = knobs.cutter;
  angles.len = knobs.len;
  return angles;
}

tonkelwerk_knobs KnobsOf(const KnobAngles& angles) {
  return {angles.start, angles.end, angles.freq, angles.rustle, angles.cutter, angles.len};
}

tonkelwerk_status Check(const tonkelwerk_knobs* knobs) {
  if (!knobs) return TONKELWERK_ERROR_NULL;
  const KnobAngles angles = AnglesOf(*knobs);
  for (const KnobSpec& spec : kKnobs) {
    const std::int32_t angle = angles.*spec.angle;
    if (angle < 0 || angle > kMaxAngle) return TONKELWERK_ERROR_ANGLE;
  }
  return KnobsMakeASound(angles) ? TONKELWERK_OK : TONKELWERK_ERROR_SILENT;
}

NoiseSource NoiseOf(const tonkelwerk_noise& state) {
  NoiseSource noise(0);
  std::memcpy(static_cast<void*>(&noise), &state, sizeof noise);
  return noise;
}

void Keep(const NoiseSource& noise, tonkelwerk_noise& state) {
  std::memcpy(&state, static_cast<const void*>(&noise), sizeof noise);
}

// The checks every render makes before it writes: knobs, pointers, room.
tonkelwerk_status CheckRender(const tonkelwerk_knobs* knobs, const void* noise, const void* out,
                              std::size_t needed, std::size_t capacity, std::size_t* written) {
  if (written) *written = needed;
  const tonkelwerk_status status = Check(knobs);
  if (status != TONKELWERK_OK) return status;
  if (!noise || !out) return TONKELWERK_ERROR_NULL;
  return capacity < needed ? TONKELWERK_ERROR_CAPACITY : TONKELWERK_OK;
}

// Copies `text` into the caller's `out`, cut to fit and nul-terminated.
void CopyCut(const std::string& text, char* out, std::size_t capacity) {
  if (!out || capacity == 0) return;
  const std::size_t length = std::min(text.size(), capacity - 1);
  std::memcpy(out, text.data(), length);
  out[length] = '\0';
}

}  // namespace
}  // namespace tonkelwerk

using namespace tonkelwerk;

extern "C" {

const char* tonkelwerk_version(void) {
  return kVersion;
}

const char* tonkelwerk_status_text(int status) {
  switch (status) {
    case TONKELWERK_OK:
      return "No error.";
    case TONKELWERK_ERROR_NULL:
      return "A required pointer is NULL.";
    case TONKELWERK_ERROR_ANGLE:
      return "A knob angle lies outside 0..360 degrees.";
    case TONKELWERK_ERROR_SILENT:
      return kKnobsAtZeroText.data();
    case TONKELWERK_ERROR_CAPACITY:
      return "The buffer is too small for the result.";
    case TONKELWERK_ERROR_LINE:
      return "The settings line cannot be read.";
    case TONKELWERK_ERROR_NAME:
      return "The sound's name cannot be a file name.";
    case TONKELWERK_ERROR_PRESET:
      return "There is no preset of that name.";
  }
  return "Unknown status code.";
}

tonkelwerk_status tonkelwerk_knobs_check(const tonkelwerk_knobs* knobs) {
  return Check(knobs);
}

size_t tonkelwerk_wav_size(const tonkelwerk_knobs* knobs) {
  if (Check(knobs) != TONKELWERK_OK) return 0;
  return static_cast<size_t>(WaveImageSize(ParamsFromKnobs(AnglesOf(*knobs)).lengthMs));
}

size_t tonkelwerk_sample_count(const tonkelwerk_knobs* knobs) {
  if (Check(knobs) != TONKELWERK_OK) return 0;
  return static_cast<size_t>(kChannels) *
         static_cast<size_t>(FrameCount(ParamsFromKnobs(AnglesOf(*knobs)).lengthMs));
}

tonkelwerk_status tonkelwerk_noise_seed(tonkelwerk_noise* noise, uint32_t seed) {
  if (!noise) return TONKELWERK_ERROR_NULL;
  Keep(NoiseSource(seed), *noise);
  return TONKELWERK_OK;
}

tonkelwerk_status tonkelwerk_render_wav_noise(const tonkelwerk_knobs* knobs,
                                              tonkelwerk_noise* noise, uint8_t* wav,
                                              size_t capacity, size_t* written) {
  const tonkelwerk_status status =
      CheckRender(knobs, noise, wav, tonkelwerk_wav_size(knobs), capacity, written);
  if (status != TONKELWERK_OK) return status;
  const SynthParams params = ParamsFromKnobs(AnglesOf(*knobs));
  NoiseSource source = NoiseOf(*noise);
  std::memset(wav, 0, static_cast<size_t>(WaveImageSize(params.lengthMs)));
  WaveImageWrite(wav, params, source);
  Keep(source, *noise);
  return TONKELWERK_OK;
}

tonkelwerk_status tonkelwerk_render_wav(const tonkelwerk_knobs* knobs, uint32_t seed, uint8_t* wav,
                                        size_t capacity, size_t* written) {
  tonkelwerk_noise noise;
  tonkelwerk_noise_seed(&noise, seed);
  return tonkelwerk_render_wav_noise(knobs, &noise, wav, capacity, written);
}

tonkelwerk_status tonkelwerk_render_samples_noise(const tonkelwerk_knobs* knobs,
                                                  tonkelwerk_noise* noise, int16_t* samples,
                                                  size_t capacity, size_t* written) {
  const size_t count = tonkelwerk_sample_count(knobs);
  const tonkelwerk_status status = CheckRender(knobs, noise, samples, count, capacity, written);
  if (status != TONKELWERK_OK) return status;
  // The engine writes little-endian bytes; they become values in place, so
  // the one pass needs no second buffer.
  auto* bytes = reinterpret_cast<std::uint8_t*>(samples);
  std::memset(bytes, 0, 2 * count);
  NoiseSource source = NoiseOf(*noise);
  FillSamples(bytes, ParamsFromKnobs(AnglesOf(*knobs)), source);
  for (size_t i = 0; i < count; ++i) {
    const auto value = static_cast<std::uint16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
    std::memcpy(&samples[i], &value, sizeof value);
  }
  Keep(source, *noise);
  return TONKELWERK_OK;
}

tonkelwerk_status tonkelwerk_render_samples(const tonkelwerk_knobs* knobs, uint32_t seed,
                                            int16_t* samples, size_t capacity, size_t* written) {
  tonkelwerk_noise noise;
  tonkelwerk_noise_seed(&noise, seed);
  return tonkelwerk_render_samples_noise(knobs, &noise, samples, capacity, written);
}

tonkelwerk_status tonkelwerk_settings_parse(const char* line, size_t length,
                                            tonkelwerk_settings* settings, char* error,
                                            size_t error_capacity) {
  if ((!line && length > 0) || !settings) return TONKELWERK_ERROR_NULL;
  const std::string_view text(line ? line : "", length);
  const SettingsLineResult result = ParseSettingsLine(text);
  if (!result.error.empty()) {
    CopyCut(result.error, error, error_capacity);
    return TONKELWERK_ERROR_LINE;
  }
  const SoundSettings& read = result.settings;
  settings->knobs = KnobsOf(read.knobs);
  settings->has_seed = read.seed ? 1 : 0;
  settings->seed = read.seed.value_or(0);
  // The name is the line's own text before its ':', blanks dropped.
  const std::size_t at = read.name.empty() ? std::string_view::npos : text.find(read.name);
  settings->name = at == std::string_view::npos ? nullptr : line + at;
  settings->name_length = read.name.size();
  return TONKELWERK_OK;
}

tonkelwerk_status tonkelwerk_settings_print(const tonkelwerk_settings* settings, char* text,
                                            size_t capacity, size_t* length) {
  if (length) *length = 0;
  if (!settings || !text || (!settings->name && settings->name_length > 0))
    return TONKELWERK_ERROR_NULL;
  const tonkelwerk_knobs& knobs = settings->knobs;
  for (const KnobSpec& spec : kKnobs) {
    const std::int32_t angle = AnglesOf(knobs).*spec.angle;
    if (angle < 0 || angle > kMaxAngle) return TONKELWERK_ERROR_ANGLE;
  }
  SoundSettings sound;
  if (settings->name) sound.name.assign(settings->name, settings->name_length);
  if (!sound.name.empty() && !IsSettingsLineName(sound.name)) return TONKELWERK_ERROR_NAME;
  sound.knobs = AnglesOf(knobs);
  if (settings->has_seed) sound.seed = settings->seed;
  const std::string line = SettingsLineText(sound);
  if (length) *length = line.size();
  if (capacity <= line.size()) return TONKELWERK_ERROR_CAPACITY;
  CopyCut(line, text, capacity);
  return TONKELWERK_OK;
}

int tonkelwerk_preset_count(void) {
  return static_cast<int>(Presets().size());
}

const char* tonkelwerk_preset_name(int index) {
  if (index < 0 || index >= tonkelwerk_preset_count()) return nullptr;
  // Each name is a literal of the preset table, so it ends in a nul.
  return Presets()[static_cast<std::size_t>(index)].name.data();
}

tonkelwerk_status tonkelwerk_preset(const char* name, uint32_t seed, tonkelwerk_knobs* knobs) {
  if (!name || !knobs) return TONKELWERK_ERROR_NULL;
  const Preset* preset = FindPreset(name);
  if (!preset) return TONKELWERK_ERROR_PRESET;
  NoiseSource draws = PresetDraws(seed);
  *knobs = KnobsOf(DrawPreset(*preset, draws));
  return TONKELWERK_OK;
}

tonkelwerk_status tonkelwerk_mutate(tonkelwerk_knobs* knobs, int32_t degrees, uint32_t seed) {
  if (!knobs) return TONKELWERK_ERROR_NULL;
  const tonkelwerk_status status = Check(knobs);
  if (status == TONKELWERK_ERROR_ANGLE || degrees < 0 || degrees > kMaxAngle)
    return TONKELWERK_ERROR_ANGLE;
  NoiseSource draws = PresetDraws(seed);
  *knobs = KnobsOf(MutateKnobs(AnglesOf(*knobs), kEveryKnob, degrees, draws));
  return TONKELWERK_OK;
}

}  // extern "C"
