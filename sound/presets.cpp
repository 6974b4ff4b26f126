// The preset table and the draws. The ranges were checked with sox (length,
// loudness, spectrogram) against what each category is in games: a pickup is
// short, bright and rising; a laser falls fast from high; an explosion is
// long, low and mostly noise; a power-up climbs for longer; a hit is a short
// noisy thump; a jump a short rise from a low-middle pitch; a blip a very
// short flat tone; random spans every audible setting.
// Two limits of the engine shape them: the pitch ends a falling sweep about
// 2 * End below Freq * 16 (half-hertz), so a laser keeps End well under
// 2.6 * Freq to stay above 0 Hz; and Cutter adds strong upper partials (a
// buzz), so only the power-up and the blip take a little of it.
#include "sound/presets.h"

#include <algorithm>

namespace tonkelwerk {

namespace {

// Keeps the preset draws apart from the sound's own noise, which starts from
// the very same seed.
constexpr std::uint32_t kDrawSeedMix = 0x9E3779B9u;

// Start, End, Freq, Rustle, Cutter, Len.
const std::array<Preset, 8> kPresets{{
    {"pickup", {{{150, 360}, {0, 0}, {90, 160}, {0, 0}, {0, 0}, {10, 25}}}},
    {"laser", {{{0, 0}, {100, 250}, {110, 250}, {0, 3}, {0, 0}, {12, 35}}}},
    {"explosion", {{{0, 0}, {0, 30}, {4, 25}, {150, 360}, {0, 0}, {60, 180}}}},
    {"powerup", {{{100, 360}, {0, 0}, {40, 120}, {0, 0}, {0, 20}, {40, 90}}}},
    {"hit", {{{0, 0}, {20, 120}, {10, 60}, {60, 200}, {0, 0}, {5, 20}}}},
    {"jump", {{{40, 160}, {0, 40}, {30, 80}, {0, 0}, {0, 0}, {20, 40}}}},
    {"blip", {{{0, 0}, {0, 0}, {60, 160}, {0, 0}, {0, 6}, {4, 12}}}},
    {"random", {{{0, 360}, {0, 360}, {1, 360}, {0, 360}, {0, 360}, {1, 360}}}},
}};

}  // namespace

NoiseSource PresetDraws(std::uint32_t seed) {
  return NoiseSource(seed ^ kDrawSeedMix);
}

const std::array<Preset, 8>& Presets() {
  return kPresets;
}

const Preset* FindPreset(std::string_view name) {
  for (const Preset& preset : kPresets) {
    if (preset.name == name) return &preset;
  }
  return nullptr;
}

std::string PresetNames() {
  std::string names;
  for (const Preset& preset : kPresets) {
    if (!names.empty()) names += ", ";
    names += preset.name;
  }
  return names;
}

KnobAngles DrawPreset(const Preset& preset, NoiseSource& draws) {
  KnobAngles knobs;
  for (const KnobSpec& spec : kKnobs) {
    const AngleRange range = preset.ranges[KnobIndex(spec.knob)];
    knobs.*spec.angle = range.low + draws.UpTo(range.high - range.low);
  }
  return knobs;
}

KnobAngles MutateKnobs(KnobAngles knobs, const std::array<bool, kKnobs.size()>& jittered,
                       std::int32_t degrees, NoiseSource& draws) {
  for (const KnobSpec& spec : kKnobs) {
    if (!jittered[KnobIndex(spec.knob)]) continue;
    std::int32_t& angle = knobs.*spec.angle;
    angle = std::clamp(angle + draws.UpTo(2 * degrees) - degrees, spec.lowestSound, kMaxAngle);
  }
  return knobs;
}

}  // namespace tonkelwerk
