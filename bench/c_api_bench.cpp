// The C interface's cost over the C++ call it wraps: both render the longest,
// busiest sound (every knob at 360) through the shared library libtonkelwerk,
// as a game in another language loads it, into a fresh image each time. The
// run ends with the ratio of the two.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "ratio_reporter.h"
#include "sound/sound_engine.h"
#include "sound/tonkelwerk.h"

namespace {

constexpr tonkelwerk_knobs kLongest{360, 360, 360, 360, 360, 360};

void CppCall(benchmark::State& state) {
  tonkelwerk::KnobAngles knobs;
  knobs.start = knobs.end = knobs.freq = knobs.rustle = knobs.cutter = knobs.len = 360;
  const tonkelwerk::SynthParams params = tonkelwerk::ParamsFromKnobs(knobs);
  tonkelwerk::NoiseSource noise(1);
  for (auto _ : state) {
    std::vector<std::uint8_t> image(
        static_cast<std::size_t>(tonkelwerk::WaveImageSize(params.lengthMs)));
    tonkelwerk::WaveImageWrite(image.data(), params, noise);
    benchmark::DoNotOptimize(image.data());
  }
}

void CCall(benchmark::State& state) {
  tonkelwerk_noise noise;
  tonkelwerk_noise_seed(&noise, 1);
  for (auto _ : state) {
    std::vector<std::uint8_t> image(tonkelwerk_wav_size(&kLongest));
    tonkelwerk_render_wav_noise(&kLongest, &noise, image.data(), image.size(), nullptr);
    benchmark::DoNotOptimize(image.data());
  }
}

// Medians of nine runs each, run in random order (main turns interleaving
// on): the two differ by a few per cent at most, less than a shared machine
// swings from one minute to the next.
BENCHMARK(CppCall)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(CCall)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char** argv) {
  std::vector<char*> args(argv, argv + argc);
  char interleave[] = "--benchmark_enable_random_interleaving=true";
  args.insert(args.begin() + 1, interleave);
  int count = static_cast<int>(args.size());
  benchmark::Initialize(&count, args.data());
  RatioReporter reporter("CCall", "CppCall", 1.05);
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
