// What the fuzz targets share: the input as text, the check of a property,
// which ends the run the way a crash does (so that libFuzzer keeps the input
// and the replay fails on it), and the properties of read settings.
// Leaves out: anything about one parser. Depends on the settings lines.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "sound/settings_line.h"

inline std::string_view FuzzText(const std::uint8_t* data, std::size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

inline void FuzzCheck(bool holds, const char* property) {
  if (holds) return;
  std::fprintf(stderr, "property broken: %s\n", property);
  std::abort();
}

inline void CheckKnobsInRange(const tonkelwerk::KnobAngles& knobs) {
  for (const tonkelwerk::KnobSpec& spec : tonkelwerk::kKnobs) {
    const std::int32_t angle = knobs.*spec.angle;
    FuzzCheck(angle >= 0 && angle <= tonkelwerk::kMaxAngle,
              "a knob that was read lies outside 0..360");
  }
}

// Settings that were read print as a line that reads back to them.
inline void CheckLineReadsBack(const tonkelwerk::SoundSettings& settings) {
  CheckKnobsInRange(settings.knobs);
  const tonkelwerk::SettingsLineResult back =
      tonkelwerk::ParseSettingsLine(tonkelwerk::SettingsLineText(settings));
  FuzzCheck(back.error.empty(), "the printed line of good settings is refused");
  FuzzCheck(back.settings.name == settings.name && back.settings.knobs == settings.knobs &&
                back.settings.seed == settings.seed,
            "the printed line reads back to other settings");
}
