// RenderWave: renders the sound of the six parameters into a WaveImage and
// delivers it, played through the sound device or written to a file. The
// image is the only allocation of a render and lives only inside the call.
//
// The program renders on one thread with one noise generator for the whole
// run, seeded from the tick count when it is first used, so each render goes
// on with the sequence where the one before left it.
#pragma once

#include <cstdint>
#include <string_view>

#include "sound/sound_engine.h"

// What the user is told when the knobs Freq or Len. stand at 0, which makes
// no sound to render: the program's box and the renderer's error alike.
inline constexpr std::string_view kKnobsAtZeroText =
    "The knobs 'Freq' and 'Len.' must be higher than 0.";

// The program's one noise generator, seeded from the tick count on first use.
NoiseSource& SharedNoise();

// One draw from the shared generator: 0..n for n >= 0, INT32_MIN for n < 0.
std::int32_t RandomUpTo(std::int32_t n);

// Restarts the shared generator's sequence from `seed`, so that renders repeat
// exactly.
void NoiseSeed(std::uint32_t seed);

// A zero-filled image of WaveImageSize(params.lengthMs) bytes with the sound
// written into it with the shared generator's noise (MemAlloc'd: give it back
// with MemRelease), or nullptr when memory runs out.
std::uint8_t* WaveImageNew(const SynthParams& params);

// Plays the image and waits `lengthMs` milliseconds, the sound's nominal
// length, then stops it. A sound that cannot be made is not reported: the
// wait happens all the same.
void WavePreview(const std::uint8_t* image, std::int32_t lengthMs);

// Writes the whole image (D + 46 bytes) to `target`, replacing an existing
// file only once the new one is complete. Returns 1 on success. Returns 0 when
// the file cannot be created or a write fails (a full disk, say): the old file
// is then untouched, and FileFailureReason (platform/core/files.h) says why.
std::int32_t WaveSave(const std::uint8_t* image, std::int32_t lengthMs, std::string_view target);

// Renders and delivers: previews when `target` is empty, saves to `target`
// otherwise. Returns 1 when the sound was previewed or the file written, 0
// when the file could not be written or memory ran out. Requires freq > 0 and
// lengthMs > 0.
std::int32_t RenderWave(std::string_view target, const SynthParams& params);
