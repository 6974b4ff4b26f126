// Synthesis: knob angles to parameters, frame counts, and the samples that
// FillSamples writes: the tone, the noise, the cut samples, the sweep and the
// 16-bit wrap-around.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "sound/sound_engine.h"
#include "tests/test_support.h"

using tonkelwerk::FillSamples;
using tonkelwerk::FrameCount;
using tonkelwerk::NoiseSource;
using tonkelwerk::ParamsFromKnobs;
using tonkelwerk::SynthParams;

namespace {

using tonkelwerk_test::Low16;
using tonkelwerk_test::SampleAt;
using tonkelwerk_test::ToneSample;

constexpr std::uint8_t kGuard = 0xA5;
constexpr std::size_t kGuardBytes = 8;

// The sample area of one FillSamples call, followed by guard bytes that must
// stay untouched.
struct Rendered {
  std::int32_t frames = 0;
  std::vector<std::uint8_t> bytes;

  std::int16_t Left(std::int32_t frame) const { return Sample(2 * (frame - 1)); }
  std::int16_t Right(std::int32_t frame) const { return Sample(2 * (frame - 1) + 1); }
  std::int16_t Sample(std::int32_t s) const {
    return SampleAt(bytes.data(), static_cast<std::size_t>(s));
  }
  std::int32_t SampleCount() const { return 2 * frames; }
};

Rendered Fill(NoiseSource& noise, std::int32_t freq, std::int32_t lengthMs, std::int32_t rustle,
              std::int32_t start, std::int32_t end, std::int32_t cutter) {
  Rendered out;
  out.frames = FrameCount(lengthMs);
  const auto area = 4 * static_cast<std::size_t>(out.frames);
  out.bytes.assign(area + kGuardBytes, 0);
  std::fill(out.bytes.begin() + static_cast<std::ptrdiff_t>(area), out.bytes.end(), kGuard);
  FillSamples(out.bytes.data(), {freq, lengthMs, rustle, start, end, cutter}, noise);
  return out;
}

// For the checks that hold whatever the noise: the sound draws from a
// generator of its own, with a fixed seed so that every run is the same.
Rendered Fill(std::int32_t freq, std::int32_t lengthMs, std::int32_t rustle, std::int32_t start,
              std::int32_t end, std::int32_t cutter) {
  NoiseSource noise(1);
  return Fill(noise, freq, lengthMs, rustle, start, end, cutter);
}

// The draws that a render seeded with `seed` will take, in order.
std::vector<std::int32_t> Draws(std::uint32_t seed, std::int32_t bound, std::size_t count) {
  NoiseSource noise(seed);
  std::vector<std::int32_t> draws(count);
  for (auto& draw : draws) draw = noise.UpTo(bound);
  return draws;
}

// Half the frames of a sound, unrounded: the divisor of the sweep step.
double HalfFrames(std::int32_t lengthMs) {
  return 44100.0 * (lengthMs / 1000.0) / 2.0;
}

// The half point H: the last frame whose sweep has not started to fall.
std::int32_t HalfPoint(std::int32_t lengthMs) {
  return static_cast<std::int32_t>(std::nearbyint(HalfFrames(lengthMs)));
}

// Expects both samples of `frame` to sound at freq + offset, allowing for an
// offset that is only known to within `tolerance` half-hertz.
void ExpectPitchNear(const Rendered& r, std::int32_t frame, double pitch, double tolerance) {
  const std::int32_t expected = ToneSample(pitch, frame);
  const double slack = 32767.0 * tonkelwerk_test::kPhaseFactor * (frame / 44100.0) * tolerance + 1;
  EXPECT_LE(std::abs(r.Left(frame) - expected), slack) << "frame " << frame << " pitch " << pitch;
  EXPECT_LE(std::abs(r.Right(frame) - expected), slack) << "frame " << frame << " pitch " << pitch;
}

TEST(KnobMapping, ScalesEachKnobByItsFactor) {
  const SynthParams params =
      ParamsFromKnobs({.start = 100, .end = 200, .freq = 55, .rustle = 7, .cutter = 0, .len = 125});
  EXPECT_EQ(params.start, 300);
  EXPECT_EQ(params.end, 600);
  EXPECT_EQ(params.freq, 880);
  EXPECT_EQ(params.rustle, 448);
  EXPECT_EQ(params.lengthMs, 1000);
  EXPECT_EQ(params.cutter, 0);
}

TEST(KnobMapping, FullTurnGivesTheLargestParameters) {
  const SynthParams params = ParamsFromKnobs(
      {.start = 360, .end = 360, .freq = 360, .rustle = 360, .cutter = 360, .len = 360});
  EXPECT_EQ(params.start, 1080);
  EXPECT_EQ(params.end, 1080);
  EXPECT_EQ(params.freq, 5760);
  EXPECT_EQ(params.rustle, 23040);
  EXPECT_EQ(params.lengthMs, 2880);
  EXPECT_EQ(params.cutter, 126);
}

TEST(KnobMapping, CutterRoundsToNearestWithTiesToEven) {
  const auto cutter = [](std::int32_t knob) { return ParamsFromKnobs({.cutter = knob}).cutter; };
  EXPECT_EQ(cutter(10), 4);   // 3.5: tie, to even
  EXPECT_EQ(cutter(30), 10);  // 10.5: tie, to even
  EXPECT_EQ(cutter(50), 18);  // 17.5: tie, to even
  EXPECT_EQ(cutter(90), 31);  // the product lies just below 31.5
  EXPECT_EQ(cutter(360), 126);
  EXPECT_EQ(cutter(2), 1);  // 0.7
  EXPECT_EQ(cutter(1), 0);  // 0.35: no cut samples
  EXPECT_EQ(cutter(0), 0);
}

TEST(FrameCount, FollowsTheLength) {
  EXPECT_EQ(FrameCount(8), 353);  // Len. 1
  EXPECT_EQ(FrameCount(16), 706);
  EXPECT_EQ(FrameCount(24), 1058);
  EXPECT_EQ(FrameCount(1000), 44100);   // Len. 125
  EXPECT_EQ(FrameCount(2880), 127008);  // Len. 360
}

TEST(FillSamples, WritesExactlyFourBytesPerFrame) {
  for (const std::int32_t lengthMs : {8, 16, 24, 1000}) {
    const Rendered r = Fill(880, lengthMs, 23040, 300, 300, 2);
    const auto area = 4 * static_cast<std::size_t>(r.frames);
    for (std::size_t k = 0; k < kGuardBytes; ++k)
      EXPECT_EQ(r.bytes[area + k], kGuard) << "length " << lengthMs << " guard byte " << k;
    // The last frame is written: a 440 Hz tone is not silent at its end.
    EXPECT_TRUE(r.Left(r.frames) != 0 || r.Right(r.frames) != 0) << "length " << lengthMs;
  }
}

TEST(FillSamples, PureToneStartsAtFrameOne) {
  const Rendered r = Fill(880, 1000, 0, 0, 0, 0);
  EXPECT_EQ(r.Left(1), 2053);
  EXPECT_EQ(r.Left(2), 4098);
  EXPECT_EQ(r.Left(3), 6126);
  for (std::int32_t frame = 1; frame <= r.frames; ++frame) {
    ASSERT_EQ(r.Left(frame), r.Right(frame)) << "frame " << frame;
    ASSERT_EQ(r.Left(frame), ToneSample(880, frame)) << "frame " << frame;
  }
}

TEST(FillSamples, FreqIsInHalfHertz) {
  // freq 880 sounds at 440 Hz: 440 upward zero crossings in one second.
  const Rendered r = Fill(880, 1000, 0, 0, 0, 0);
  int upward = 0;
  for (std::int32_t frame = 2; frame <= r.frames; ++frame)
    if (r.Left(frame - 1) < 0 && r.Left(frame) >= 0) ++upward;
  EXPECT_GE(upward, 439);
  EXPECT_LE(upward, 441);
}

TEST(FillSamples, NoiseIsOneSidedAndDrawnPerSampleLeftThenRight) {
  constexpr std::int32_t kRustle = 5000;
  const Rendered probe = Fill(880, 24, kRustle, 0, 0, 0);
  const auto noise = Draws(31, kRustle, static_cast<std::size_t>(probe.SampleCount()) + 1);
  NoiseSource source(31);
  const Rendered r = Fill(source, 880, 24, kRustle, 0, 0, 0);
  std::size_t next = 0;
  for (std::int32_t frame = 1; frame <= r.frames; ++frame) {
    const std::int32_t left = noise[next++];
    const std::int32_t right = noise[next++];
    ASSERT_EQ(r.Left(frame), Low16(ToneSample(880, frame, left))) << "frame " << frame;
    ASSERT_EQ(r.Right(frame), Low16(ToneSample(880, frame, right))) << "frame " << frame;
  }
  // One draw per sample, no more.
  EXPECT_EQ(source.UpTo(kRustle), noise[next]);
}

TEST(FillSamples, ZeroRustleGivesThePureToneButStillDrawsPerSample) {
  const auto draws = Draws(5, 23040, 2 * 353 + 1);
  NoiseSource source(5);
  const Rendered r = Fill(source, 880, 8, 0, 0, 0, 0);
  for (std::int32_t frame = 1; frame <= r.frames; ++frame) {
    ASSERT_EQ(r.Left(frame), ToneSample(880, frame)) << "frame " << frame;
    ASSERT_EQ(r.Right(frame), ToneSample(880, frame)) << "frame " << frame;
  }
  // 706 draws were used up by the 706 samples.
  EXPECT_EQ(source.UpTo(23040), draws[706]);
}

TEST(FillSamples, SumsBeyond16BitsWrapInsteadOfClipping) {
  constexpr std::int32_t kRustle = 23040;
  const auto noise = Draws(8, kRustle, 2 * 44100);
  NoiseSource source(8);
  const Rendered r = Fill(source, 880, 1000, kRustle, 0, 0, 0);
  int wrapped = 0;
  for (std::int32_t s = 0; s < r.SampleCount(); ++s) {
    const std::int32_t v = ToneSample(880, s / 2 + 1, noise[static_cast<std::size_t>(s)]);
    if (v > 32767) {
      ++wrapped;
      ASSERT_EQ(r.Sample(s), v - 65536) << "sample " << s << " sum " << v;
      ASSERT_LT(r.Sample(s), 0) << "sample " << s;
    } else {
      ASSERT_EQ(r.Sample(s), v) << "sample " << s;
    }
  }
  // A loud tone with the largest noise overflows often.
  EXPECT_GT(wrapped, 1000);
}

// Numbering the samples from 0, exactly the positive multiples of cutter + 1
// are cut samples: the bare tone, no noise, and no draw from the noise source.
void ExpectCutSamples(std::int32_t cutter, std::int32_t lengthMs) {
  constexpr std::int32_t kRustle = 20000;
  constexpr std::int32_t kFreq = 1000;
  const std::int32_t samples = 2 * FrameCount(lengthMs);
  const auto noise = Draws(77, kRustle, static_cast<std::size_t>(samples) + 1);
  NoiseSource source(77);
  const Rendered r = Fill(source, kFreq, lengthMs, kRustle, 0, 0, cutter);
  std::size_t next = 0;
  int cuts = 0;
  for (std::int32_t s = 0; s < samples; ++s) {
    const std::int32_t frame = s / 2 + 1;
    const bool cut = s > 0 && s % (cutter + 1) == 0;
    const std::int32_t expected =
        cut ? ToneSample(kFreq, frame) : ToneSample(kFreq, frame, noise[next++]);
    cuts += cut ? 1 : 0;
    ASSERT_EQ(r.Sample(s), Low16(expected))
        << "cutter " << cutter << " sample " << s << (cut ? " (cut)" : " (normal)");
  }
  EXPECT_EQ(cuts, (samples - 1) / (cutter + 1));
  // The noise source moved on by the normal samples alone.
  EXPECT_EQ(source.UpTo(kRustle), noise[next]) << "cutter " << cutter;
}

TEST(CutSamples, FollowThePeriodAndCarryTheBareTone) {
  ExpectCutSamples(1, 24);
  ExpectCutSamples(2, 24);
  ExpectCutSamples(3, 24);
  ExpectCutSamples(31, 1000);
  ExpectCutSamples(126, 1000);
}

// Positions where the sample is the bare tone; with heavy noise only cut
// samples are.
std::vector<std::int32_t> BareTonePositions(std::int32_t cutter, std::int32_t upTo) {
  NoiseSource source(3);
  const Rendered r = Fill(source, 1000, 8, 20000, 0, 0, cutter);
  std::vector<std::int32_t> positions;
  for (std::int32_t s = 0; s < upTo; ++s)
    if (r.Sample(s) == ToneSample(1000, s / 2 + 1)) positions.push_back(s);
  return positions;
}

TEST(CutSamples, CutterOneCutsEverySecondSampleOnTheLeft) {
  EXPECT_EQ(BareTonePositions(1, 16), (std::vector<std::int32_t>{2, 4, 6, 8, 10, 12, 14}));
}

TEST(CutSamples, CutterTwoAlternatesRightLeft) {
  // 3: frame 2 right, 6: frame 4 left, 9: frame 5 right, ...
  EXPECT_EQ(BareTonePositions(2, 19), (std::vector<std::int32_t>{3, 6, 9, 12, 15, 18}));
}

TEST(CutSamples, CutterZeroCutsNothing) {
  EXPECT_TRUE(BareTonePositions(0, 200).empty());
}

TEST(CutSamples, IgnoreTheSweep) {
  // start 0, end 300: every normal sample of the first half sounds 300 above
  // freq, while the cut samples keep the bare freq.
  const Rendered r = Fill(880, 24, 0, 0, 300, 2);
  const std::int32_t half = HalfPoint(24);
  for (std::int32_t s = 0; s < 2 * half; ++s) {
    const std::int32_t frame = s / 2 + 1;
    const bool cut = s > 0 && s % 3 == 0;
    ASSERT_EQ(r.Sample(s), ToneSample(cut ? 880 : 1180, frame)) << "sample " << s;
  }
}

TEST(Sweep, StartAndEndZeroKeepThePitch) {
  const Rendered r = Fill(700, 24, 0, 0, 0, 0);
  for (std::int32_t frame = 1; frame <= r.frames; ++frame)
    ASSERT_EQ(r.Left(frame), ToneSample(700, frame)) << "frame " << frame;
}

TEST(Sweep, EndAloneStartsHighHoldsThroughTheFirstHalfThenFalls) {
  // Len. 1: N = 353, H = 176.
  const Rendered r = Fill(880, 8, 0, 0, 300, 0);
  const std::int32_t half = HalfPoint(8);
  ASSERT_EQ(half, 176);
  for (std::int32_t frame = 1; frame <= half; ++frame) {
    ASSERT_EQ(r.Left(frame), ToneSample(1180, frame)) << "frame " << frame;
    ASSERT_EQ(r.Right(frame), ToneSample(1180, frame)) << "frame " << frame;
  }
  // From frame H + 1 on it falls by 300 / (half the frames) per frame ...
  const double fall = 300.0 / HalfFrames(8);
  for (std::int32_t frame = half + 1; frame <= r.frames; ++frame) {
    const double offset = std::max(0.0, 300.0 - (frame - half) * fall);
    ExpectPitchNear(r, frame, 880 + offset, 0.01);
  }
  EXPECT_NE(r.Left(half + 1), ToneSample(1180, half + 1));
  // ... and stops at freq: the last frame is the bare tone.
  EXPECT_EQ(r.Left(r.frames), ToneSample(880, r.frames));
  EXPECT_EQ(r.Right(r.frames), ToneSample(880, r.frames));
}

TEST(Sweep, EndAloneHoldsTheRaisedPitchForHalfOfALongSound) {
  // Len. 125: N = 44,100, H = 22,050.
  const Rendered r = Fill(880, 1000, 0, 0, 300, 0);
  const std::int32_t half = HalfPoint(1000);
  ASSERT_EQ(half, 22050);
  for (std::int32_t frame = 1; frame <= half; ++frame)
    ASSERT_EQ(r.Left(frame), ToneSample(1180, frame)) << "frame " << frame;
  bool fell = false;
  for (std::int32_t frame = half + 1; frame <= half + 3; ++frame)
    fell = fell || r.Left(frame) != ToneSample(1180, frame);
  EXPECT_TRUE(fell) << "the pitch must start to fall right after frame " << half;
}

// The single-precision offsets near `estimate` with which the tone reproduces
// every frame from `first` to the end of the sound exactly.
std::vector<float> SteadyOffsets(const Rendered& r, std::int32_t freq, std::int32_t first,
                                 double estimate, double window, double ceiling) {
  std::vector<float> found;
  const auto high = static_cast<float>(std::min(estimate + window, ceiling));
  for (auto offset = static_cast<float>(estimate - window); offset <= high;
       offset = std::nextafter(offset, 1e9f)) {
    bool all = true;
    for (std::int32_t frame = first; all && frame <= r.frames; ++frame) {
      const std::int32_t expected = ToneSample(freq + static_cast<double>(offset), frame);
      all = r.Left(frame) == expected && r.Right(frame) == expected;
    }
    if (all) found.push_back(offset);
  }
  return found;
}

void ExpectStartAloneRisesThenHolds(std::int32_t lengthMs, double window, bool belowStart) {
  const Rendered r = Fill(880, lengthMs, 0, 300, 0, 0);
  const std::int32_t half = HalfPoint(lengthMs);
  const double rise = 300.0 / HalfFrames(lengthMs);
  // Frame 1 still sounds at freq; the sweep moves from the next frame on.
  EXPECT_EQ(r.Left(1), ToneSample(880, 1));
  EXPECT_EQ(r.Right(1), ToneSample(880, 1));
  EXPECT_NE(r.Left(half), ToneSample(880, half));
  if (lengthMs <= 24) {
    for (std::int32_t frame = 2; frame <= half; ++frame)
      ExpectPitchNear(r, frame, 880 + (frame - 1) * rise, 0.01);
  }
  // By the middle it has risen by (H - 1) steps to just under 300 (the
  // single-precision steps of a long sound can reach 300 itself, where the
  // rise stops), and it stays there to the end.
  const double top = (half - 1) * rise;
  const std::vector<float> offsets = SteadyOffsets(r, 880, half, top, window, 300.5);
  ASSERT_FALSE(offsets.empty()) << "no single pitch holds from frame " << half << " on";
  for (const float offset : offsets) {
    EXPECT_LE(offset, 300.0f);
    if (belowStart) {
      EXPECT_LT(offset, 300.0f);
    }
    EXPECT_GT(offset, 300.0 - 2 * rise);
  }
}

TEST(Sweep, StartAloneRisesToJustUnderStartAndHoldsShortSound) {
  ExpectStartAloneRisesThenHolds(8, 0.05, true);
  ExpectStartAloneRisesThenHolds(24, 0.05, true);
}

TEST(Sweep, StartAloneNeverRisesAboveStartInALongSound) {
  ExpectStartAloneRisesThenHolds(1000, 0.5, false);
  ExpectStartAloneRisesThenHolds(2880, 0.5, false);
}

TEST(Sweep, EqualStartAndEndComeBackToFreq) {
  // Len. 1: rises over the first half, falls by the same step over the second
  // and ends back at the bare tone.
  const Rendered r = Fill(880, 8, 0, 300, 300, 0);
  const std::int32_t half = HalfPoint(8);
  const double step = 300.0 / HalfFrames(8);
  for (std::int32_t frame = 1; frame <= r.frames; ++frame) {
    const double offset = frame <= half ? (frame - 1) * step
                                        : std::max(0.0, (half - 1) * step - (frame - half) * step);
    ExpectPitchNear(r, frame, 880 + offset, 0.01);
  }
  EXPECT_EQ(r.Left(r.frames), ToneSample(880, r.frames));
}

}  // namespace
