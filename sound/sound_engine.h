// Tonkelwerk's sound engine: six knob angles in, a complete 16-bit stereo
// 44,100 Hz RIFF/WAVE file image out. It needs nothing but the C++ standard
// library, so a game can link it and render its sounds in memory at run time:
//
//   const SynthParams params = ParamsFromKnobs({.freq = 120, .len = 60});
//   std::vector<std::uint8_t> image(WaveImageSize(params.lengthMs));
//   WaveImageWrite(image.data(), params);   // image now holds a WAV file
//
// Every sample is defined down to the rounding (double precision, rounding to
// nearest with ties to even), so a render is the same on every platform for
// the same noise. The only hidden state is the noise generator's, which seeds
// itself from the millisecond tick counter on its first use unless NoiseSeed
// was called before.
#pragma once

#include <cstdint>

// Knob positions in whole degrees, 0..360, as the program's knobs hold them.
struct KnobAngles {
  std::int32_t start = 0;
  std::int32_t end = 0;
  std::int32_t freq = 0;
  std::int32_t rustle = 0;
  std::int32_t cutter = 0;
  std::int32_t len = 0;
};

// The synthesis parameters. `freq`, `start` and `end` are in half-hertz (the
// tone sounds at freq / 2 Hz); `lengthMs` in milliseconds; `rustle` is the
// upper bound of the one-sided noise term in sample units; `cutter` is the
// period control of the cut samples (0: none).
struct SynthParams {
  std::int32_t freq = 0;
  std::int32_t lengthMs = 0;
  std::int32_t rustle = 0;
  std::int32_t start = 0;
  std::int32_t end = 0;
  std::int32_t cutter = 0;
};

// The parameters that the knobs at these angles stand for.
SynthParams ParamsFromKnobs(const KnobAngles& knobs);

// Noise source (RANROT-W). A whole number in 0..n for n >= 0, INT32_MIN for
// n < 0; every call advances the generator by one step.
std::int32_t RandomUpTo(std::int32_t n);

// Restarts the noise sequence from `seed`, so that renders repeat exactly.
// Without it the sequence is seeded from the tick count on first use.
void NoiseSeed(std::uint32_t seed);

// Frames of a sound of `lengthMs` milliseconds.
std::int32_t FrameCount(std::int32_t lengthMs);

// Writes the 4 * FrameCount(lengthMs) sample bytes (interleaved left/right,
// 16-bit little-endian, starting with frame 1) into the zero-filled `samples`.
// Requires freq > 0 and lengthMs > 0. Sums beyond 16 bits wrap, never clip.
void FillSamples(std::uint8_t* samples, std::int32_t freq, std::int32_t lengthMs,
                 std::int32_t rustle, std::int32_t start, std::int32_t end, std::int32_t cutter);

// Size D of the data chunk of a sound of `lengthMs` milliseconds. It is rounded
// on its own and can differ from the 4 * FrameCount sample bytes by up to 2.
std::int32_t WaveDataSize(std::int32_t lengthMs);

// Bytes of a complete image: 44-byte header, D data bytes and 2 spare bytes
// that hold the sample bytes running past the data chunk.
std::int32_t WaveImageSize(std::int32_t lengthMs);

// Writes the header and the samples into `image`, a zero-filled block of
// WaveImageSize(params.lengthMs) bytes. Requires freq > 0 and lengthMs > 0.
void WaveImageWrite(std::uint8_t* image, const SynthParams& params);
