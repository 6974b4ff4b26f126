// Sound playback in a build without a sound backend (TONKELWERK_ENGINE_ONLY):
// every request is refused, so a caller sees "no device" and plays nothing.
// Leaves out: everything but the refusal. Depends on: nothing.
#include "platform/audio/audio.h"

bool SoundBackendBuilt() { return false; }

std::string SoundFailureReason() { return "this build has no sound backend"; }

std::string_view SoundEnvironmentHelp() { return ""; }

std::int32_t SoundInit() { return 0; }

ObjectId SoundFromImage(const std::uint8_t*, std::int32_t) { return 0; }

std::int32_t SoundStart(ObjectId) { return 0; }

void SoundSetVolume(ObjectId, std::int32_t) {}

void SoundRelease(ObjectId) {}

void SoundShutdown() {}
