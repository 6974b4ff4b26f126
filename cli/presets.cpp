// The preset table and the draws. The ranges were tuned by ear and checked
// with sox (length, loudness, spectrum) against what each category is in
// games: a pickup is short, bright and rising; a laser falls fast from high;
// an explosion is long, low and mostly noise; a power-up climbs for longer; a
// hit is a short noisy thump; a jump a short rise from a low-middle pitch; a
// blip a very short flat tone; random spans every audible setting.
#include "cli/presets.h"

#include <algorithm>

namespace {

constexpr std::int32_t kMaxAngle = 360;

// Start, End, Freq, Rustle, Cutter, Len.
const std::array<Preset, 8> kPresets{{
    {"pickup", {{{20, 120}, {0, 0}, {100, 200}, {0, 0}, {0, 20}, {8, 25}}}},
    {"laser", {{{0, 0}, {60, 300}, {80, 220}, {0, 4}, {0, 40}, {12, 40}}}},
    {"explosion", {{{0, 0}, {0, 30}, {4, 25}, {150, 360}, {0, 0}, {60, 180}}}},
    {"powerup", {{{100, 360}, {0, 0}, {40, 120}, {0, 0}, {0, 60}, {40, 90}}}},
    {"hit", {{{0, 0}, {20, 120}, {10, 60}, {60, 200}, {0, 0}, {5, 20}}}},
    {"jump", {{{40, 160}, {0, 40}, {30, 80}, {0, 0}, {0, 0}, {20, 40}}}},
    {"blip", {{{0, 0}, {0, 0}, {60, 160}, {0, 0}, {0, 10}, {4, 12}}}},
    {"random", {{{0, 360}, {0, 360}, {1, 360}, {0, 360}, {0, 360}, {1, 360}}}},
}};

std::int32_t Lowest(std::int32_t KnobAngles::*field) {
  return field == &KnobAngles::freq || field == &KnobAngles::len ? 1 : 0;
}

}  // namespace

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
  for (std::size_t i = 0; i < kKnobFields.size(); ++i) {
    const AngleRange range = preset.ranges[i];
    knobs.*kKnobFields[i] = range.low + draws.UpTo(range.high - range.low);
  }
  return knobs;
}

KnobAngles MutateKnobs(KnobAngles knobs, const std::array<bool, 6>& jittered,
                       std::int32_t degrees, NoiseSource& draws) {
  for (std::size_t i = 0; i < kKnobFields.size(); ++i) {
    if (!jittered[i]) continue;
    std::int32_t& angle = knobs.*kKnobFields[i];
    angle = std::clamp(angle + draws.UpTo(2 * degrees) - degrees, Lowest(kKnobFields[i]),
                       kMaxAngle);
  }
  return knobs;
}
