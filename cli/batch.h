// Batches: a text of settings lines becomes one render job per line, or the
// list of every bad line. Nothing is rendered while any line is bad.
// Depends on: the settings line parser of the engine library.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/render_jobs.h"

struct BatchPlan {
  std::vector<SoundJob> jobs;
  std::vector<std::string> errors;  // "line N: why", in line order
};

// Reads the batch `text`: one sound per line; blank lines and lines whose
// first non-blank character is '#' are skipped. A line's file is
// `outDir`/NAME.`extension`, NAME being the line's name or "sound-N" for the
// line number N. A line without seed= gets `seed` + N (modulo 2^32); without
// --seed such a line is an error, so that a batch never depends on the clock.
BatchPlan PlanBatch(std::string_view text, std::optional<std::uint32_t> seed,
                    std::string_view outDir, std::string_view extension);
