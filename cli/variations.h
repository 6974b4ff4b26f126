// The sounds of a command line without --batch: one sound from the given
// knobs, or K variations from a preset and jitter (--preset, --mutate,
// --count), each with an explicit seed so that its settings line renders it
// again byte for byte.
// Depends on: the presets and the settings line of the engine library.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "cli/render_jobs.h"
#include "cli/render_options.h"

// The jobs of the command line. Sound i (from 1) is rendered with seed
// `seed` + i - 1; a preset's knobs and the jitter are drawn in sound order
// from a generator of their own, seeded from `seed` alone. With --count the
// targets are NAME-01.EXT onwards for -o NAME.EXT (the extension rule first);
// without it the one target is `target`, "" to play only. A job's name is
// the settings line name that writes its target again in a batch, or ""
// when there is none.
std::vector<SoundJob> VariationJobs(const RenderOptions& options, std::uint32_t seed,
                                    const std::string& target);

// The largest count whose numbers are padded to two digits (three from 100
// on): the names that counts up to 999 have always had. Larger counts pad
// every number to four digits.
inline constexpr std::int32_t kTwoDigitCounts = 999;

// The file of variation `number` of `count` of `target`: "boom.wav", 3 of 5
// -> "boom-03.wav"; 3 of 1500 -> "boom-0003.wav".
std::string NumberedTarget(const std::string& target, std::int32_t number, std::int32_t count);
