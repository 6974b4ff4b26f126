// Presets and variations: knob angles drawn from a range per sound category
// ("pickup", "laser", ...), and jitter around given angles. The renderer's
// --preset and --mutate and the window's menu use the same rules, so a sound
// made in one is made again in the other from its seed:
//
//   tonkelwerk::NoiseSource draws = tonkelwerk::PresetDraws(seed);
//   const tonkelwerk::KnobAngles knobs =
//       tonkelwerk::DrawPreset(*tonkelwerk::FindPreset("laser"), draws);
//   tonkelwerk::NoiseSource noise(seed);  // the sound's own noise, as a settings
//                                         // line "freq=... seed=<seed>" renders it
//
// Every draw comes from a generator of the caller's, never from the sound's
// own noise, so a preset leaves the noise sequence of the render it feeds as
// it is.
// Leaves out: reading presets from files; the categories are fixed.
// Depends on: the engine's KnobAngles, kKnobs and NoiseSource.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "sound_engine.h"

namespace tonkelwerk {

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
TONKELWERK_API const std::array<Preset, 8>& Presets();

// The preset called `name`, or nullptr.
TONKELWERK_API const Preset* FindPreset(std::string_view name);

// The names of all presets, separated by ", ".
TONKELWERK_API std::string PresetNames();

// One angle per knob, each drawn evenly from the preset's range (Start first).
TONKELWERK_API KnobAngles DrawPreset(const Preset& preset, NoiseSource& draws);

// Moves each knob whose `jittered` entry is true by a whole number of degrees
// drawn evenly from -degrees..+degrees, then keeps it in 0..360 (Freq and
// Len. in 1..360, so that the result always sounds).
TONKELWERK_API KnobAngles MutateKnobs(KnobAngles knobs,
                                      const std::array<bool, kKnobs.size()>& jittered,
                                      std::int32_t degrees, NoiseSource& draws);

// Every knob, for MutateKnobs: what the window's Mutate moves.
inline constexpr std::array<bool, kKnobs.size()> kEveryKnob{true, true, true, true, true, true};

// The jitter of the window's Mutate, in degrees either way: a nudge that
// keeps the sound's character.
inline constexpr std::int32_t kMutateDegrees = 10;

// The generator of the preset and jitter draws for the sound rendered with
// noise from `seed`: apart from that noise, though both come from one seed.
TONKELWERK_API NoiseSource PresetDraws(std::uint32_t seed);

}  // namespace tonkelwerk
