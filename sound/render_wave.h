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
// file. Returns 1 on success. Returns 0 when the file cannot be created or a
// write fails (a full disk, say); an incomplete file is removed.
std::int32_t WaveSave(const std::uint8_t* image, std::int32_t lengthMs, std::string_view target);

// The save path for any file's bytes (another format of the sound): writes
// the `size` bytes of `data` to `target` as WaveSave writes an image, with the
// same result and the same care for incomplete files.
std::int32_t BytesSave(const std::uint8_t* data, std::int32_t size, std::string_view target);

// Renders and delivers: previews when `target` is empty, saves to `target`
// otherwise. Returns 1 when the sound was previewed or the file written, 0
// when the file could not be written or memory ran out. Requires freq > 0 and
// lengthMs > 0.
std::int32_t RenderWave(std::string_view target, const SynthParams& params);
