// RenderWave: renders the sound of the six parameters into a WaveImage with
// the engine and delivers it, played through the sound device or written to
// a file. The image is the only allocation of a render and lives only inside
// the call.
//
// The program renders on one thread with one noise generator for the whole
// run (SharedNoise), seeded from the tick count when it is first used, so
// each render goes on with the sequence where the one before left it.
// Depends on: the engine, the audio service and the file layer.
#pragma once

#include <string>
#include <string_view>

#include "sound/sound_engine.h"

// The program's one noise generator, seeded from the tick count on first use.
tonkelwerk::NoiseSource& SharedNoise();

// Renders with `noise` and delivers: previews when `target` is empty (waiting
// the sound's length), saves to `target` otherwise, replacing an existing
// file only once the new one is complete. Returns "" when the sound was
// previewed or the file written; otherwise why not, in words for the user
// ("the disk is full"): the old file is then untouched. Requires freq > 0 and
// lengthMs > 0.
std::string RenderWave(std::string_view target, const tonkelwerk::SynthParams& params,
                       tonkelwerk::NoiseSource& noise);
