// How fast a render is, against the least work any render must do.
//
// RenderLongest renders the longest, busiest sound (Len. 360, Freq 360,
// Rustle 360, Cutter 100) into a fresh image, as Preview and Save wave do.
// BareToneAndNoise is the floor: the sound's tone, one libm sin of its phase
// per frame (both channels share the phase), and one noise draw per sample,
// and nothing else: no sweep, no cut samples, no rounding, no image. The run ends
// with the ratio of the two, measured side by side, and RenderLongest reports
// what one render allocates.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "alloc_counter.h"
#include "ratio_reporter.h"
#include "sound/sound_engine.h"

using tonkelwerk::FrameCount;
using tonkelwerk::KnobAngles;
using tonkelwerk::NoiseSource;
using tonkelwerk::ParamsFromKnobs;
using tonkelwerk::SynthParams;
using tonkelwerk::WaveImageSize;
using tonkelwerk::WaveImageWrite;

namespace {

SynthParams LongestParams() {
  KnobAngles knobs;
  knobs.freq = 360;
  knobs.rustle = 360;
  knobs.cutter = 100;
  knobs.len = 360;
  return ParamsFromKnobs(knobs);
}

// One render: a fresh zero-filled image with the sound written into it.
void RenderInto(const SynthParams& params, NoiseSource& noise) {
  std::vector<std::uint8_t> image(static_cast<std::size_t>(WaveImageSize(params.lengthMs)));
  WaveImageWrite(image.data(), params, noise);
  benchmark::DoNotOptimize(image.data());
}

void RenderLongest(benchmark::State& state) {
  const SynthParams params = LongestParams();
  NoiseSource noise(1);
  for (auto _ : state) RenderInto(params, noise);
  AllocCountStart();
  RenderInto(params, noise);
  const AllocCount count = AllocCountStop();
  state.counters["allocs"] = static_cast<double>(count.blocks);
  state.counters["alloc_bytes"] = static_cast<double>(count.bytes);
  state.counters["image_bytes"] = WaveImageSize(params.lengthMs);
}

void BareToneAndNoise(benchmark::State& state) {
  const SynthParams params = LongestParams();
  const std::int32_t frames = FrameCount(params.lengthMs);
  NoiseSource noise(1);
  for (auto _ : state) {
    double sum = 0;
    for (std::int32_t i = 1; i <= frames; ++i) {
      const double tone = 32767.0 * std::sin(params.freq * 3.1415927410125732 * (i / 44100.0));
      sum += tone + noise.UpTo(params.rustle);
      sum += tone + noise.UpTo(params.rustle);
    }
    benchmark::DoNotOptimize(sum);
  }
}

// Medians of five runs each: a single run on a shared machine swings by 10 %.
BENCHMARK(RenderLongest)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BareToneAndNoise)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter("RenderLongest", "BareToneAndNoise", 1.1);
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
