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
// without it the one target is `target`, "" to play only.
std::vector<SoundJob> VariationJobs(const RenderOptions& options, std::uint32_t seed,
                                    const std::string& target);

// The file of variation `number` of `target`: "boom.wav", 3 -> "boom-03.wav".
std::string NumberedTarget(const std::string& target, std::int32_t number);
