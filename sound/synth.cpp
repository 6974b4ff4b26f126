// Synthesis: knob angles to parameters, and the sample generator.
//
// Arithmetic is fixed to the bit: intermediate results are doubles, the sweep
// is kept in single precision, and round() means nearest with ties to even
// (as std::nearbyint in the default rounding mode). The build keeps floating-point
// contraction off so that no fused multiply-add changes a product.
#include <bit>
#include <climits>
#include <cmath>
#include <cstring>

#include "sound/sound_engine.h"

namespace tonkelwerk {

namespace {

// The engine's rate as a double: time and frame counts are computed in doubles.
constexpr double kFramesPerSecond = kSampleRate;
constexpr double kMsPerSecond = 1000.0;
constexpr double kAmplitude = 32767.0;
// The phase factor is pi rounded to single precision, used as an exact double.
// It is pi, not 2 pi: a tone of f half-hertz sounds at f / 2 Hz.
constexpr double kPhaseFactor = static_cast<double>(3.14159265358979323846f);
static_assert(kPhaseFactor == 3.1415927410125732);

// Rounds to nearest with ties to even, like std::nearbyint in the default
// rounding mode, but without a library call on every sample: after adding
// 1.5 * 2^52 no fraction bits are left, so the addition itself rounds, and
// subtracting the constant again is exact. Holds for |value| < 2^51, far
// beyond any value here; it relies on contraction and fast-math being off.
std::int32_t RoundToInt(double value) {
  constexpr double kShift = 6755399441055744.0;  // 1.5 * 2^52
  return static_cast<std::int32_t>((value + kShift) - kShift);
}

double Duration(std::int32_t lengthMs) {
  return lengthMs / kMsPerSecond;
}

// Stores the low 16 bits of v, little-endian: sums past 16 bits wrap. On a
// little-endian machine that is one 16-bit store.
void StoreSample(std::uint8_t* at, std::int32_t v) {
  const auto bits = static_cast<std::uint16_t>(static_cast<std::uint32_t>(v) & 0xFFFFu);
  if constexpr (std::endian::native == std::endian::little) {
    std::memcpy(at, &bits, sizeof bits);
  } else {
    at[0] = static_cast<std::uint8_t>(bits & 0xFFu);
    at[1] = static_cast<std::uint8_t>(bits >> 8);
  }
}

// Counts down to the next cut sample: numbering the interleaved samples from
// 0, those whose number is a positive multiple of cutter + 1. With cutter 0
// the count never runs out within a sound.
class CutClock {
 public:
  explicit CutClock(std::int32_t cutter)
      : period_(cutter + 1), left_(cutter == 0 ? INT32_MAX : period_) {}

  // Whether the next sample is a cut sample.
  bool Tick() {
    if (left_ != 0) {
      --left_;
      return false;
    }
    left_ = period_ - 1;
    return true;
  }

 private:
  std::int32_t period_;
  std::int32_t left_;
};

}  // namespace

SynthParams ParamsFromKnobs(const KnobAngles& knobs) {
  SynthParams params;
  params.freq = knobs.freq * 16;
  params.lengthMs = knobs.len * 8;
  params.rustle = knobs.rustle * 64;
  params.start = knobs.start * 3;
  params.end = knobs.end * 3;
  params.cutter = RoundToInt(knobs.cutter * 0.35);
  return params;
}

bool KnobsMakeASound(const KnobAngles& knobs) {
  for (const KnobSpec& spec : kKnobs) {
    if (knobs.*spec.angle < spec.lowestSound) return false;
  }
  return true;
}

std::int32_t FrameCount(std::int32_t lengthMs) {
  return RoundToInt(kFramesPerSecond * Duration(lengthMs));
}

void FillSamples(std::uint8_t* samples, const SynthParams& params, NoiseSource& noise) {
  const double duration = Duration(params.lengthMs);
  const double halfFrames = (kFramesPerSecond * duration) / 2.0;
  const std::int32_t frames = RoundToInt(kFramesPerSecond * duration);
  const std::int32_t half = RoundToInt(halfFrames);
  const std::int32_t freq = params.freq;
  const std::int32_t rustle = params.rustle;
  const std::int32_t start = params.start;
  const std::int32_t end = params.end;
  const auto rise = static_cast<float>(start / halfFrames);
  const auto fall = static_cast<float>(end / halfFrames);
  // With no rise the pitch begins `end` above freq and falls back over the
  // second half.
  float sweep = start == 0 ? static_cast<float>(end) : 0.0f;
  CutClock cut(params.cutter);
  std::uint8_t* at = samples;
  // A private copy of the generator: the byte stores below could alias the
  // caller's, which would force its state back to memory on every sample.
  NoiseSource draws = noise;

  for (std::int32_t i = 1; i <= frames; ++i) {
    const double time = i / kFramesPerSecond;
    const double phase = (freq + static_cast<double>(sweep)) * kPhaseFactor * time;
    // Both channels share the phase, so the tone is computed once a frame.
    const double tone = kAmplitude * std::sin(phase);
    for (int channel = 0; channel < 2; ++channel) {
      double v;
      if (cut.Tick()) {
        // A cut sample: the bare tone, no sweep, no noise, no draw. Without
        // a sweep the frame's tone is that very value, computed alike.
        v = sweep == 0.0f ? tone : kAmplitude * std::sin(freq * kPhaseFactor * time);
      } else {
        v = tone + draws.UpTo(rustle);
      }
      StoreSample(at, RoundToInt(v));
      at += 2;
    }
    // The sweep moves after the frame: frame 1 sounds with the initial sweep.
    // Each clamp belongs to its own branch; with start == 0 the initial
    // offset of `end` must survive the first half.
    if (i < half) {
      if (start != 0) {
        sweep += rise;
        if (sweep > start) sweep = static_cast<float>(start);
      }
    } else if (end != 0) {
      sweep -= fall;
      if (sweep < 0) sweep = 0.0f;
    }
  }
  noise = draws;
}

}  // namespace tonkelwerk
