// Sound playback in a web page: Web Audio.
//
// Implements: SoundInit, which always succeeds: a page without Web Audio,
// or whose audio context cannot start, still works, and its first Preview
// says why it is silent (tonkelwerk_web.js); sounds as AudioBuffers
// holding the image's own samples (16-bit PCM, mono or stereo, at the
// image's rate: the program's 44,100 Hz), each played through its own gain
// node, so started sounds mix. The audio context starts with the first click
// on a button of the page (browsers start sound only inside a user gesture),
// which for the program is its first Preview at the latest.
// Leaves out: 8-bit and compressed formats (the program makes 16-bit only).
// Depends on: tonkelwerk_web.js through platform/web/web_shared.h;
// audio_common.cpp for the volume table and the image's parts.
#include <cmath>

#include "platform/audio/audio.h"
#include "platform/web/web_shared.h"

namespace {

struct WebSoundRecord {
  int handle = 0;  // the page's AudioBuffer and its player
  bool Live() const { return handle != 0; }
};

void WebReleaseSound(WebSoundRecord& record) {
  tw_sound_free(record.handle);
  record.handle = 0;
}

struct WebAudio {
  bool ready = false;
  ObjectTable<WebSoundRecord> sounds{WebReleaseSound};
};

WebAudio audio;

std::uint32_t Read16(const std::uint8_t* at) {
  return at[0] | (at[1] << 8);
}

std::uint32_t Read32(const std::uint8_t* at) {
  return Read16(at) | (Read16(at + 2) << 16);
}

int WebSound(ObjectId sound) {
  const WebSoundRecord* record = sound == 0 ? nullptr : audio.sounds.Find(sound);
  return record ? record->handle : 0;
}

}  // namespace

std::int32_t SoundInit() {
  audio.ready = true;
  return 1;
}

// SoundInit does not fail.
std::string SoundFailureReason() {
  return "";
}

// A page has no environment variables.
std::string_view SoundEnvironmentHelp() {
  return "";
}

ObjectId SoundFromImage(const std::uint8_t* image, std::int32_t imageSize) {
  WaveImageParts parts;
  if (!audio.ready || !SoundImageParts(image, imageSize, parts)) return 0;
  const std::uint32_t tag = Read16(parts.format);
  const std::uint32_t channels = Read16(parts.format + 2);
  const std::uint32_t rate = Read32(parts.format + 4);
  const std::uint32_t bits = Read16(parts.format + 14);
  // Web Audio plays rates of 3,000 to 768,000 Hz.
  if (tag != 1 || bits != 16 || channels < 1 || channels > 2 || rate < 3000 || rate > 768000)
    return 0;
  const int frames = parts.dataSize / static_cast<std::int32_t>(2 * channels);
  if (frames <= 0) return 0;
  WebSoundRecord* record = audio.sounds.Create(kNewObject);
  record->handle =
      tw_sound_new(parts.data, frames, static_cast<int>(channels), static_cast<int>(rate));
  const ObjectId sound = ObjectTable<WebSoundRecord>::ReferenceOf(record);
  if (!record->handle) {
    audio.sounds.Remove(sound);
    return 0;
  }
  return sound;
}

std::int32_t SoundStart(ObjectId sound) {
  const int handle = WebSound(sound);
  return handle ? tw_sound_start(handle) : 0;
}

// The table's entry is an attenuation in hundredths of a decibel below
// 10000; entry 0 is silence.
void SoundSetVolume(ObjectId sound, std::int32_t level) {
  const int handle = WebSound(sound);
  if (!handle) return;
  const std::int32_t entry = SoundVolumeEntry(level);
  tw_sound_gain(handle, entry == 0 ? 0.0 : std::pow(10.0, (entry - 10000) / 2000.0));
}

void SoundRelease(ObjectId sound) {
  if (sound != 0) audio.sounds.Remove(sound);
}

void SoundShutdown() {
  audio.sounds.Clear();
  audio.ready = false;
}
