// Tonkelwerk's sound engine: six knob angles in, a complete 16-bit stereo
// 44,100 Hz RIFF/WAVE file image out. It needs nothing but the C++ standard
// library, so a game can link it and render its sounds in memory at run time:
//
//   tonkelwerk::KnobAngles knobs;
//   knobs.freq = 120;
//   knobs.len = 60;
//   const tonkelwerk::SynthParams params = tonkelwerk::ParamsFromKnobs(knobs);
//   tonkelwerk::NoiseSource noise(7);      // the same seed, the same bytes
//   std::vector<std::uint8_t> image(tonkelwerk::WaveImageSize(params.lengthMs));
//   tonkelwerk::WaveImageWrite(image.data(), params, noise);  // a WAV file now
//
// Every public name lies in namespace tonkelwerk, so a game's own names never
// meet the engine's. The headers need C++17; the library itself is built as
// C++20.
//
// Every sample is defined down to the rounding (double precision, rounding to
// nearest with ties to even), so a render is the same on every platform for
// the same noise. There is no hidden state: the noise generator belongs to the
// caller, so threads that each own one can render at the same time.
//
// Tonkelwerk is distributed under the zlib license (the file LICENSE).
#pragma once

// MSVC leaves __cplusplus at 199711L unless told otherwise; _MSVC_LANG holds
// the level it compiles for.
#if defined(_MSVC_LANG) && _MSVC_LANG > __cplusplus
#define TONKELWERK_CPLUSPLUS _MSVC_LANG
#else
#define TONKELWERK_CPLUSPLUS __cplusplus
#endif
#if TONKELWERK_CPLUSPLUS < 201703L
#error "Tonkelwerk's engine headers need C++17 or later (-std=c++17, /std:c++17)."
#endif

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

// The interface version (TONKELWERK_ENGINE_VERSION_*) and TONKELWERK_API.
#include "engine_defs.h"

namespace tonkelwerk {

// The one audio format of every render: a WAV file of 16-bit stereo PCM at
// 44,100 frames per second behind a 44-byte header.
inline constexpr std::int32_t kSampleRate = 44100;
inline constexpr std::int32_t kChannels = 2;
inline constexpr std::int32_t kBitsPerSample = 16;
inline constexpr std::int32_t kWaveHeaderSize = 44;

// Knob positions are whole degrees from 0 to kMaxAngle.
inline constexpr std::int32_t kMaxAngle = 360;

// Knob positions in whole degrees, 0..360, as the program's knobs hold them.
struct KnobAngles {
  std::int32_t start = 0;
  std::int32_t end = 0;
  std::int32_t freq = 0;
  std::int32_t rustle = 0;
  std::int32_t cutter = 0;
  std::int32_t len = 0;
};

inline bool operator==(const KnobAngles& a, const KnobAngles& b) {
  return a.start == b.start && a.end == b.end && a.freq == b.freq && a.rustle == b.rustle &&
         a.cutter == b.cutter && a.len == b.len;
}

inline bool operator!=(const KnobAngles& a, const KnobAngles& b) {
  return !(a == b);
}

// The six knobs, in the order of the window (left to right), of settings
// lines and of the renderer's help.
enum class Knob { kStart, kEnd, kFreq, kRustle, kCutter, kLen };

// Everything that is known about one knob; every front end reads it here.
struct KnobSpec {
  Knob knob;
  std::string_view word;     // its word in settings lines and share links
  std::string_view option;   // tonkelwerk-render's option
  std::string_view caption;  // its label in the window
  float captionFactor;       // the caption shows the angle times this
  std::int32_t step;         // degrees per frame while the mouse turns it
  std::int32_t lowestSound;  // lowest angle that makes a sound (range: this..kMaxAngle)
  std::int32_t KnobAngles::*angle;
};

inline constexpr std::array<KnobSpec, 6> kKnobs{{
    {Knob::kStart, "start", "--start", "Start", 0.275f, 5, 0, &KnobAngles::start},
    {Knob::kEnd, "end", "--end", "End", 0.275f, 5, 0, &KnobAngles::end},
    {Knob::kFreq, "freq", "--freq", "Freq", 16.0f, 1, 1, &KnobAngles::freq},
    {Knob::kRustle, "rustle", "--rustle", "Rustle", 64.0f, 1, 0, &KnobAngles::rustle},
    {Knob::kCutter, "cutter", "--cutter", "Cutter", 0.0275f, 5, 0, &KnobAngles::cutter},
    {Knob::kLen, "len", "--len", "Len.", 8.0f, 1, 1, &KnobAngles::len},
}};

// The knob's place in kKnobs and in any per-knob array.
constexpr std::size_t KnobIndex(Knob knob) {
  return static_cast<std::size_t>(knob);
}

// Each entry stands at its knob's index, and its option is "--" and its word.
constexpr bool KnobTableIsConsistent() {
  for (std::size_t i = 0; i < kKnobs.size(); ++i) {
    if (KnobIndex(kKnobs[i].knob) != i || kKnobs[i].option.substr(0, 2) != "--" ||
        kKnobs[i].option.substr(2) != kKnobs[i].word)
      return false;
  }
  return true;
}
static_assert(KnobTableIsConsistent());

// What the user is told when the knobs do not make a sound: the program's box
// and the renderer's error alike.
inline constexpr std::string_view kKnobsAtZeroText =
    "The knobs 'Freq' and 'Len.' must be higher than 0.";

// True when every knob stands at or above its lowest sounding angle: Freq and
// Len. above 0, since a sound needs a pitch and a length.
TONKELWERK_API bool KnobsMakeASound(const KnobAngles& knobs);

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
TONKELWERK_API SynthParams ParamsFromKnobs(const KnobAngles& knobs);

// `x` rotated left by `bits` (1..31): std::rotl, which C++17 lacks.
constexpr std::uint32_t RotateLeft(std::uint32_t x, int bits) {
  return (x << bits) | (x >> (32 - bits));
}

// The noise source: a RANROT-W generator of 17 pairs of 32-bit words with
// lags 17 and 10 and rotations by 19 and 27 bits. The same seed gives the same
// sequence on every platform. The step is inline because a render draws once
// per sample.
class NoiseSource {
 public:
  explicit NoiseSource(std::uint32_t seed) { Seed(seed); }

  // Restarts the sequence from `seed`.
  TONKELWERK_API void Seed(std::uint32_t seed);

  // A whole number in 0..n for n >= 0, INT32_MIN for n < 0; every call
  // advances the generator by one step, whatever n is.
  std::int32_t UpTo(std::int32_t n) {
    const Draw x = Step();
    if (n < 0) return INT32_MIN;
    // floor(X * c / 2^64) for X = z * 2^32 + y, c = n + 1: the high word of
    // z * c plus the carry from adding its low word to the high word of y * c.
    const std::uint64_t c = static_cast<std::uint64_t>(n) + 1u;
    const std::uint64_t zc = x.z * c;
    const std::uint64_t yc = x.y * c;
    const std::uint64_t sum = (zc & 0xFFFFFFFFu) + (yc >> 32);
    return static_cast<std::int32_t>((zc >> 32) + (sum >> 32));
  }

 private:
  static constexpr int kPairs = 17;

  // One step's output z * 2^32 + y, as its halves.
  struct Draw {
    std::uint32_t z;
    std::uint32_t y;
  };

  Draw Step() {
    std::uint32_t* first = &words_[2 * p1_];
    const std::uint32_t* added = &words_[2 * p2_];
    const std::uint32_t z = RotateLeft(first[0], 19) + added[0];
    const std::uint32_t y = RotateLeft(first[1], 27) + added[1];
    // The halves cross over: the sum built from the second word goes first.
    first[0] = y;
    first[1] = z;
    p1_ = p1_ == 0 ? kPairs - 1 : p1_ - 1;
    p2_ = p2_ == 0 ? kPairs - 1 : p2_ - 1;
    return {z, y};
  }

  std::array<std::uint32_t, 2 * kPairs> words_{};
  int p1_ = 0;  // pair that the next step rewrites
  int p2_ = 0;  // pair that it adds in, 10 ahead of p1_
};

// Frames of a sound of `lengthMs` milliseconds.
TONKELWERK_API std::int32_t FrameCount(std::int32_t lengthMs);

// Writes the 4 * FrameCount(params.lengthMs) sample bytes (interleaved
// left/right, 16-bit little-endian, starting with frame 1) into the
// zero-filled `samples`, drawing the noise from `noise`. Requires freq > 0 and
// lengthMs > 0. Sums beyond 16 bits wrap, never clip.
TONKELWERK_API void FillSamples(std::uint8_t* samples, const SynthParams& params,
                                NoiseSource& noise);

// Size D of the data chunk of a sound of `lengthMs` milliseconds. It is rounded
// on its own and can differ from the 4 * FrameCount sample bytes by up to 2.
TONKELWERK_API std::int32_t WaveDataSize(std::int32_t lengthMs);

// Bytes of a complete image: 44-byte header, D data bytes and 2 spare bytes
// that hold the sample bytes running past the data chunk.
TONKELWERK_API std::int32_t WaveImageSize(std::int32_t lengthMs);

// Writes the header and the samples into `image`, a zero-filled block of
// WaveImageSize(params.lengthMs) bytes. Requires freq > 0 and lengthMs > 0.
TONKELWERK_API void WaveImageWrite(std::uint8_t* image, const SynthParams& params,
                                   NoiseSource& noise);

}  // namespace tonkelwerk
