// Fuzz target: one settings line. Any bytes must be read without a fault, and
// a line that reads well prints as a line that reads back to the same name,
// knobs and seed.
// Leaves out: what a line means (tests/settings_line_test.cpp).
// Depends on: the engine's settings lines.
#include "fuzz/fuzz_check.h"

using tonkelwerk::ParseSettingsLine;
using tonkelwerk::SettingsLineResult;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const SettingsLineResult read = ParseSettingsLine(FuzzText(data, size));
  if (read.error.empty()) CheckLineReadsBack(read.settings);
  return 0;
}
