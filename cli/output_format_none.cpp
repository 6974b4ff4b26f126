// The encoder of a build without libsndfile and libsoxr (the Windows cross
// build): only the program's own WAV image can be written, and any other
// format is refused with a message that says so.
#include "cli/output_format.h"

bool EncodeConverted(const std::uint8_t*, std::int32_t, const OutputFormat&,
                     std::vector<std::uint8_t>&, std::string& error) {
  error = "this build writes only 44,100 Hz 16-bit stereo WAV (no libsndfile or libsoxr)";
  return false;
}

std::uint64_t ClippedSamples() {
  return 0;
}
