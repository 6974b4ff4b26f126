// Batches: a text of settings lines becomes one render job per line, or the
// list of bad lines. Nothing is rendered while any line is bad.
// Depends on: the settings line parser of the engine library and the
// portable name rule.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/render_jobs.h"

// The bad lines a plan keeps the message of; the others are only counted,
// so that a huge bad batch neither fills the memory nor floods the terminal.
inline constexpr std::size_t kListedErrors = 20;

struct BatchPlan {
  std::vector<SoundJob> jobs;
  std::vector<std::string> errors;  // "line N: why", in line order, at most kListedErrors
  std::size_t badLines = 0;         // every bad line, listed or not
};

// Reads the batch `text`: one sound per line; blank lines and lines whose
// first non-blank character is '#' are skipped, and so is a UTF-8
// byte-order mark before the first line. A line's file is
// `outDir`/NamedFile(NAME, `extension`), NAME being the line's name or
// "sound-N" for the line number N; a name must be portable
// (PortableNameProblem) and its file differ from every other line's in more
// than letter case. A line without seed= gets `seed` + N (modulo 2^32);
// without --seed such a line is an error, so that a batch never depends on
// the clock.
BatchPlan PlanBatch(std::string_view text, std::optional<std::uint32_t> seed,
                    std::string_view outDir, std::string_view extension);
