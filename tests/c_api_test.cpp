// The C interface against the C++ engine it wraps: the same bytes, the same
// draws and lines, and refusals that leave the caller's memory alone.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "sound/presets.h"
#include "sound/settings_line.h"
#include "sound/sound_engine.h"
#include "sound/tonkelwerk.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr tonkelwerk_knobs kKnobSets[] = {
    {0, 0, 1, 0, 0, 1},        {10, 90, 120, 20, 30, 40}, {360, 0, 360, 360, 360, 360},
    {200, 15, 44, 0, 100, 90}, {0, 360, 7, 180, 0, 250},
};

tonkelwerk::KnobAngles Angles(const tonkelwerk_knobs& k) {
  tonkelwerk::KnobAngles a;
  a.start = k.start, a.end = k.end, a.freq = k.freq;
  a.rustle = k.rustle, a.cutter = k.cutter, a.len = k.len;
  return a;
}

Bytes CppImage(const tonkelwerk_knobs& knobs, tonkelwerk::NoiseSource& noise) {
  const tonkelwerk::SynthParams params = tonkelwerk::ParamsFromKnobs(Angles(knobs));
  Bytes image(static_cast<std::size_t>(tonkelwerk::WaveImageSize(params.lengthMs)));
  tonkelwerk::WaveImageWrite(image.data(), params, noise);
  return image;
}

TEST(CApi, RendersTheBytesOfTheCppEngine) {
  for (const tonkelwerk_knobs& knobs : kKnobSets) {
    for (const std::uint32_t seed : {0u, 7u, 4294967295u}) {
      tonkelwerk::NoiseSource cpp(seed);
      const Bytes first = CppImage(knobs, cpp);
      const Bytes second = CppImage(knobs, cpp);
      // A dirty buffer: the render must not rely on zeroes of the caller's.
      Bytes wav(tonkelwerk_wav_size(&knobs), 0xA5);
      size_t written = 0;
      ASSERT_EQ(tonkelwerk_render_wav(&knobs, seed, wav.data(), wav.size(), &written),
                TONKELWERK_OK);
      EXPECT_EQ(written, first.size());
      EXPECT_EQ(wav, first) << knobs.freq << " " << seed;

      // One noise state moves on from render to render, as the C++ one does.
      tonkelwerk_noise noise;
      ASSERT_EQ(tonkelwerk_noise_seed(&noise, seed), TONKELWERK_OK);
      tonkelwerk_render_wav_noise(&knobs, &noise, wav.data(), wav.size(), nullptr);
      tonkelwerk_render_wav_noise(&knobs, &noise, wav.data(), wav.size(), nullptr);
      EXPECT_EQ(wav, second);

      // The samples are the data chunk's bytes as values.
      std::vector<std::int16_t> samples(tonkelwerk_sample_count(&knobs));
      ASSERT_EQ(tonkelwerk_render_samples(&knobs, seed, samples.data(), samples.size(), &written),
                TONKELWERK_OK);
      EXPECT_EQ(written, samples.size());
      const std::size_t dataValues = (first.size() - 44 - 2) / 2;
      for (std::size_t i = 0; i < std::min(dataValues, samples.size()); ++i) {
        const auto value = static_cast<std::int16_t>(first[44 + 2 * i] | first[45 + 2 * i] << 8);
        ASSERT_EQ(samples[i], value) << i;
      }
    }
  }
}

TEST(CApi, RefusesWhatItCannotRenderAndWritesNothing) {
  const tonkelwerk_knobs good = kKnobSets[1];
  const std::size_t size = tonkelwerk_wav_size(&good);
  Bytes wav(size, 0x5A);
  size_t written = 1;
  EXPECT_EQ(tonkelwerk_render_wav(&good, 7, wav.data(), size - 1, &written),
            TONKELWERK_ERROR_CAPACITY);
  EXPECT_EQ(written, size);
  EXPECT_EQ(tonkelwerk_render_wav(&good, 7, nullptr, size, &written), TONKELWERK_ERROR_NULL);
  EXPECT_EQ(tonkelwerk_render_wav(nullptr, 7, wav.data(), size, &written), TONKELWERK_ERROR_NULL);
  for (auto bad : {&tonkelwerk_knobs::start, &tonkelwerk_knobs::rustle, &tonkelwerk_knobs::len}) {
    for (const std::int32_t angle : {-1, 361}) {
      tonkelwerk_knobs knobs = good;
      knobs.*bad = angle;
      EXPECT_EQ(tonkelwerk_render_wav(&knobs, 7, wav.data(), size, &written),
                TONKELWERK_ERROR_ANGLE);
      EXPECT_EQ(written, 0u);
      EXPECT_EQ(tonkelwerk_wav_size(&knobs), 0u);
    }
  }
  tonkelwerk_knobs silent = good;
  silent.freq = 0;
  std::int16_t sample = 0x5A5A;
  EXPECT_EQ(tonkelwerk_render_samples(&silent, 7, &sample, 1, &written), TONKELWERK_ERROR_SILENT);
  EXPECT_EQ(sample, 0x5A5A);
  EXPECT_EQ(wav, Bytes(size, 0x5A));

  EXPECT_EQ(std::string(tonkelwerk_status_text(TONKELWERK_ERROR_SILENT)),
            tonkelwerk::kKnobsAtZeroText);
  std::vector<std::string> texts;
  for (int status = TONKELWERK_OK; status <= TONKELWERK_ERROR_PRESET + 1; ++status) {
    const std::string text = tonkelwerk_status_text(status);
    EXPECT_EQ(std::count(texts.begin(), texts.end(), text), 0) << text;
    texts.push_back(text);
  }
}

TEST(CApi, ReadsAndPrintsSettingsLinesAsTheEngineDoes) {
  const std::string line = "  laser one :freq=120 len=40  seed=7 # kept";
  tonkelwerk_settings settings{};
  ASSERT_EQ(tonkelwerk_settings_parse(line.data(), line.size(), &settings, nullptr, 0),
            TONKELWERK_OK);
  EXPECT_EQ(std::string(settings.name, settings.name_length), "laser one");
  EXPECT_EQ(settings.name, line.data() + 2);
  EXPECT_EQ(settings.knobs.freq, 120);
  EXPECT_EQ(settings.has_seed, 1);
  EXPECT_EQ(settings.seed, 7u);

  char text[80];
  size_t length = 0;
  ASSERT_EQ(tonkelwerk_settings_print(&settings, text, sizeof text, &length), TONKELWERK_OK);
  const std::string printed = "laser one: start=0 end=0 freq=120 rustle=0 cutter=0 len=40 seed=7";
  EXPECT_EQ(std::string(text), printed);
  EXPECT_EQ(length, printed.size());
  EXPECT_EQ(tonkelwerk_settings_print(&settings, text, printed.size(), &length),
            TONKELWERK_ERROR_CAPACITY);
  EXPECT_EQ(length, printed.size());
  settings.name = "a/b";
  settings.name_length = 3;
  EXPECT_EQ(tonkelwerk_settings_print(&settings, text, sizeof text, &length),
            TONKELWERK_ERROR_NAME);

  // The reason quotes the bad word, cut to the caller's room.
  const tonkelwerk_settings before = settings;
  char error[12];
  EXPECT_EQ(tonkelwerk_settings_parse("freq=999", 8, &settings, error, sizeof error),
            TONKELWERK_ERROR_LINE);
  const std::string full = tonkelwerk::ParseSettingsLine("freq=999").error;
  EXPECT_EQ(std::string(error), full.substr(0, sizeof error - 1));
  EXPECT_EQ(std::memcmp(&before, &settings, sizeof settings), 0);
}

TEST(CApi, DrawsPresetsAndVariationsAsTheRendererDoes) {
  ASSERT_EQ(tonkelwerk_preset_count(), static_cast<int>(tonkelwerk::Presets().size()));
  EXPECT_EQ(tonkelwerk_preset_name(tonkelwerk_preset_count()), nullptr);
  for (int i = 0; i < tonkelwerk_preset_count(); ++i) {
    const tonkelwerk::Preset& preset = tonkelwerk::Presets()[static_cast<std::size_t>(i)];
    EXPECT_EQ(std::string(tonkelwerk_preset_name(i)), preset.name);
    tonkelwerk_knobs knobs;
    ASSERT_EQ(tonkelwerk_preset(tonkelwerk_preset_name(i), 99, &knobs), TONKELWERK_OK);
    tonkelwerk::NoiseSource draws = tonkelwerk::PresetDraws(99);
    EXPECT_EQ(Angles(knobs), tonkelwerk::DrawPreset(preset, draws));

    tonkelwerk_knobs moved = knobs;
    ASSERT_EQ(tonkelwerk_mutate(&moved, 10, 5), TONKELWERK_OK);
    tonkelwerk::NoiseSource jitter = tonkelwerk::PresetDraws(5);
    EXPECT_EQ(Angles(moved),
              tonkelwerk::MutateKnobs(Angles(knobs), tonkelwerk::kEveryKnob, 10, jitter));
  }
  tonkelwerk_knobs knobs{};
  EXPECT_EQ(tonkelwerk_preset("Laser", 1, &knobs), TONKELWERK_ERROR_PRESET);
  EXPECT_EQ(tonkelwerk_mutate(&knobs, 361, 1), TONKELWERK_ERROR_ANGLE);
  EXPECT_EQ(std::string(tonkelwerk_version()),
            std::to_string(TONKELWERK_ENGINE_VERSION_MAJOR) + "." +
                std::to_string(TONKELWERK_ENGINE_VERSION_MINOR) + "." +
                std::to_string(TONKELWERK_ENGINE_VERSION_PATCH));
}

}  // namespace
