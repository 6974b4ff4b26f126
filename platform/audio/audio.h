// Sound playback: plays a RIFF/WAVE image that lies in memory.
//
// SoundInit once at start-up; per sound SoundFromImage, SoundStart,
// SoundSetVolume and SoundRelease; SoundShutdown at exit. Sounds live in an
// ObjectTable under -1, so a handle is an opaque nonzero value and 0 never
// names a sound: every operation given 0 (or a released handle) does nothing.
// Playback runs in the background; several started sounds play mixed.
//
// Backends: audio_sdl.cpp (SDL2's audio subsystem), audio_win32.cpp
// (DirectSound), audio_web.cpp (Web Audio), audio_none.cpp (a build without
// sound). What they share is in audio_common.cpp.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/core/object_table.h"

// False in a build without a sound backend, where SoundInit always fails:
// lets a caller tell "this build cannot play" from "no device right now".
bool SoundBackendBuilt();

// Opens the default playback device. Nonzero when the sound system is ready,
// 0 when there is no usable device. Calling it again while ready is harmless.
std::int32_t SoundInit();

// Why the latest SoundInit failed, in words for the user ("no sound device
// could be opened: ..."); "" after a success, and where the platform tells no
// more than the failure itself.
std::string SoundFailureReason();

// The environment variables that choose the sound system, one per line
// ("  NAME  what it does"), for the program's usage text; "" where none do.
std::string_view SoundEnvironmentHelp();

// Makes a sound of the PCM WAVE image `image` of `imageSize` bytes: "RIFF" at
// 0, "fmt " at 12, then whole chunks up to the "data" chunk, whose D bytes are
// copied. Returns the new sound's handle, or 0 for a null or malformed image,
// a format the device cannot play, a chunk walk that would leave the image,
// or a sound system that is not ready.
ObjectId SoundFromImage(const std::uint8_t* image, std::int32_t imageSize);

// Plays the sound once from its beginning (restarting it if it still plays)
// and returns at once. 1 when playback started, 0 otherwise.
std::int32_t SoundStart(ObjectId sound);

// Sets the sound's volume; the level is clamped to 0..100 (100: unchanged
// samples, 0: silence).
void SoundSetVolume(ObjectId sound, std::int32_t level);

// Stops and frees the sound; its handle is dead from now on.
void SoundRelease(ObjectId sound);

// Plays the image once at full volume, waits `waitMs` milliseconds and
// releases the sound: the blocking preview of the program and of
// tonkelwerk-render --play. The wait is the caller's nominal length, not one
// derived from the data size. A sound that cannot be made is not reported:
// the wait happens all the same.
void SoundPlayAndWait(const std::uint8_t* image, std::int32_t imageSize, std::int32_t waitMs);

// Releases every sound and closes the device.
void SoundShutdown();

// The volume table: entry 0 is 0, entry 100 is 10000 and entry v in 1..99 is
// 2000 * log10(1000 * v), truncated. Entry - 10000 is the attenuation in
// hundredths of a decibel. Levels outside 0..100 are clamped.
std::int32_t SoundVolumeEntry(std::int32_t level);

// Where a WAVE image keeps its PCM format record and its samples.
struct WaveImageParts {
  const std::uint8_t* format;  // the "fmt " chunk body (16 bytes or more), at offset 20
  const std::uint8_t* data;    // the "data" chunk body
  std::int32_t dataSize;       // its size field: the bytes to play
};

// Finds the parts of the image of `imageSize` bytes: "RIFF" at 0, "fmt " at
// 12, then whole chunks (each one's start + 8 + its size) up to the "data"
// chunk. False for a null image, another layout, a format record under 16
// bytes, an empty data chunk, or any chunk reaching past the image's end.
bool SoundImageParts(const std::uint8_t* image, std::int32_t imageSize, WaveImageParts& parts);
