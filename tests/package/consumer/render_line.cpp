// A game's use of the installed engine: renders the sound of one settings
// line into a WAV file, with the headers and the library of an installed
// Tonkelwerk and nothing else. Usage: render_line "SETTINGS LINE" OUT.wav
#include <tonkelwerk/settings_line.h>
#include <tonkelwerk/sound_engine.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <vector>

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fputs("usage: render_line \"SETTINGS LINE\" OUT.wav\n", stderr);
    return 2;
  }
  const SettingsLineResult line = ParseSettingsLine(argv[1]);
  if (!line.error.empty()) {
    std::fprintf(stderr, "render_line: %s\n", line.error.c_str());
    return 2;
  }
  const SynthParams params = ParamsFromKnobs(line.settings.knobs);
  NoiseSource noise(line.settings.seed.value_or(0));
  std::vector<std::uint8_t> image(WaveImageSize(params.lengthMs));
  WaveImageWrite(image.data(), params, noise);
  std::ofstream out(argv[2], std::ios::binary);
  out.write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));
  return out.flush() ? 0 : 1;
}
