// Presets and variations of tonkelwerk-render: knob angles drawn from a range
// per sound category, and jitter around given angles. Every draw comes from a
// generator of the caller's, never from the sound's own noise, so a preset
// leaves the noise sequence of the render it feeds as it is.
// Depends on: the engine's KnobAngles and NoiseSource.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "sound/settings_line.h"
#include "sound/sound_engine.h"

// The inclusive range of angles that a preset draws one knob from.
struct AngleRange {
  std::int32_t low;
  std::int32_t high;
};

struct Preset {
  std::string_view name;
  std::array<AngleRange, kKnobs.size()> ranges;  // in the order of kKnobs
};

// Every preset, in the order the help and the README list them.
const std::array<Preset, 8>& Presets();

// The preset called `name`, or nullptr.
const Preset* FindPreset(std::string_view name);

// The names of all presets, separated by ", ".
std::string PresetNames();

// One angle per knob, each drawn evenly from the preset's range (Start first).
KnobAngles DrawPreset(const Preset& preset, NoiseSource& draws);

// Moves each knob whose `jittered` entry is true by a whole number of degrees
// drawn evenly from -degrees..+degrees, then keeps it in 0..360 (Freq and
// Len. in 1..360, so that the result always sounds).
KnobAngles MutateKnobs(KnobAngles knobs, const std::array<bool, kKnobs.size()>& jittered,
                       std::int32_t degrees, NoiseSource& draws);
