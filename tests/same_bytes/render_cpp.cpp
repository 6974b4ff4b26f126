// Renders sounds through the engine's C++ interface, as render_c.c does
// through the C one: "start end freq rustle cutter len seed file" per line on
// standard input, each written to its file.
// Leaves out: anything but the render; the test checks the bytes.
// Depends on: sound_engine.h and the C++17 standard library.
#include <cstdint>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "sound/sound_engine.h"

int main() {
  tonkelwerk::KnobAngles knobs;
  std::uint32_t seed = 0;
  std::string path;
  bool ok = true;
  while (std::cin >> knobs.start >> knobs.end >> knobs.freq >> knobs.rustle >> knobs.cutter >>
         knobs.len >> seed >> path) {
    const tonkelwerk::SynthParams params = tonkelwerk::ParamsFromKnobs(knobs);
    tonkelwerk::NoiseSource noise(seed);
    std::vector<std::uint8_t> image(
        static_cast<std::size_t>(tonkelwerk::WaveImageSize(params.lengthMs)));
    tonkelwerk::WaveImageWrite(image.data(), params, noise);
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(image.data()),
               static_cast<std::streamsize>(image.size()));
    file.close();
    if (!file) {
      std::cerr << path << ": cannot write\n";
      ok = false;
    }
  }
  return ok ? 0 : 1;
}
