// A game's use of the installed engine: renders the sound of one settings
// line into a WAV file, with the headers and the library of an installed
// Tonkelwerk and nothing else, built as C++17. The game has names of its own
// that are words the engine uses too; they must build and link next to it.
// Usage: render_line "SETTINGS LINE" OUT.wav
#include <tonkelwerk/settings_line.h>
#include <tonkelwerk/sound_engine.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <vector>

// The game's own noise and frame count: a level meter and video frames.
struct NoiseSource {
  int level = 0;
};

int FrameCount(int lengthMs) { return lengthMs * 60 / 1000; }

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fputs("usage: render_line \"SETTINGS LINE\" OUT.wav\n", stderr);
    return 2;
  }
  const tonkelwerk::SettingsLineResult line = tonkelwerk::ParseSettingsLine(argv[1]);
  if (!line.error.empty()) {
    std::fprintf(stderr, "render_line: %s\n", line.error.c_str());
    return 2;
  }
  const tonkelwerk::SynthParams params = tonkelwerk::ParamsFromKnobs(line.settings.knobs);
  tonkelwerk::NoiseSource noise(line.settings.seed.value_or(0));
  std::vector<std::uint8_t> image(tonkelwerk::WaveImageSize(params.lengthMs));
  tonkelwerk::WaveImageWrite(image.data(), params, noise);
  const NoiseSource meter{FrameCount(params.lengthMs)};
  std::ofstream out(argv[2], std::ios::binary);
  out.write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));
  return out.flush() && meter.level >= 0 ? 0 : 1;
}
