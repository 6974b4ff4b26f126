// Sound playback on SDL2's audio subsystem (the qt backend's audio).
//
// Implements: the default playback device, opened at SoundInit in the
// program's own format (44,100 Hz, 16-bit, stereo) and reopened in a sound's
// format when a sound of another PCM format starts; sounds made from WAVE
// images; start, volume by the shared volume table, release; several playing
// sounds of the device's format are mixed with saturation; the loader's or
// SDL's own words when no device opens; SDL_AUDIODRIVER in the usage text.
// Leaves out: compressed formats (PCM 8-bit unsigned and 16-bit signed only),
// panning and frequency changes.
// Depends on: SDL2 (SDL_INIT_AUDIO only, callback mode), loaded when the
// sound system starts rather than when the program does: the library pulls
// in some fifty others (display and sound servers, codecs), which would
// triple the start-up time of a command-line render that plays nothing. The
// device runs only while a sound plays, so an idle program costs no audio
// thread wake-ups.
#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <string>

#include "platform/audio/audio.h"
#include "platform/core/shared_library.h"

namespace {

constexpr int kDeviceFrames = 512;  // 11.6 ms at 44,100 Hz: a short preview latency

// The PCM format of a sound or of the device.
struct SdlFormat {
  int rate = 0;
  SDL_AudioFormat format = 0;
  int channels = 0;
  bool operator==(const SdlFormat&) const = default;
};

struct SdlSound {
  std::unique_ptr<std::uint8_t[]> data;  // whole frames; set while the sound lives
  std::int32_t size = 0;                 // bytes in data
  SdlFormat format;
  std::int32_t position = 0;  // next byte to play
  bool playing = false;
  double gain = 1.0;
  bool Live() const { return data != nullptr; }
};

void SdlReleaseSound(SdlSound& sound) {
  sound.data.reset();
  sound.playing = false;
}

// The SDL functions in use, resolved from the library at run time.
struct SdlApi {
  void* library = nullptr;
  decltype(&SDL_SetHint) SetHint = nullptr;
  decltype(&SDL_GetError) GetError = nullptr;
  decltype(&SDL_InitSubSystem) InitSubSystem = nullptr;
  decltype(&SDL_Quit) Quit = nullptr;
  decltype(&SDL_OpenAudioDevice) OpenAudioDevice = nullptr;
  decltype(&SDL_CloseAudioDevice) CloseAudioDevice = nullptr;
  decltype(&SDL_PauseAudioDevice) PauseAudioDevice = nullptr;
  decltype(&SDL_LockAudioDevice) LockAudioDevice = nullptr;
  decltype(&SDL_UnlockAudioDevice) UnlockAudioDevice = nullptr;
};

SdlApi sdl;
std::string sdlLoadError;  // why the library could not be loaded

template <typename Function>
bool SdlResolve(Function& function, const char* name) {
  return SharedLibraryResolve(sdl.library, function, name);
}

void SdlUnload() {
  if (sdl.library) SharedLibraryClose(sdl.library);
  sdl = {};
}

constexpr const char* kSdlLibrary = "libSDL2-2.0.so.0";

// Loads the library and every function; false, with nothing loaded, when any
// of them is missing.
bool SdlLoad() {
  if (sdl.library) return true;
  sdl.library = SharedLibraryOpen(kSdlLibrary, sdlLoadError);
  if (!sdl.library) return false;
  const bool resolved = SdlResolve(sdl.SetHint, "SDL_SetHint") &&
                        SdlResolve(sdl.GetError, "SDL_GetError") &&
                        SdlResolve(sdl.InitSubSystem, "SDL_InitSubSystem") &&
                        SdlResolve(sdl.Quit, "SDL_Quit") &&
                        SdlResolve(sdl.OpenAudioDevice, "SDL_OpenAudioDevice") &&
                        SdlResolve(sdl.CloseAudioDevice, "SDL_CloseAudioDevice") &&
                        SdlResolve(sdl.PauseAudioDevice, "SDL_PauseAudioDevice") &&
                        SdlResolve(sdl.LockAudioDevice, "SDL_LockAudioDevice") &&
                        SdlResolve(sdl.UnlockAudioDevice, "SDL_UnlockAudioDevice");
  if (!resolved) {
    sdlLoadError = std::string(kSdlLibrary) + " lacks functions of SDL 2";
    SdlUnload();
  }
  return resolved;
}

// Why SDL could not be used: the loader's words, else SDL's own.
std::string SdlError() {
  return sdl.library ? sdl.GetError() : sdlLoadError;
}

// Starts SDL's audio. SDL would catch Ctrl+C and SIGTERM for its event queue,
// which nothing here reads: the program must stay stoppable.
bool SdlInitAudio() {
  sdl.SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  return sdl.InitSubSystem(SDL_INIT_AUDIO) == 0;
}

struct SdlAudio {
  SDL_AudioDeviceID device = 0;
  SdlFormat format;
  ObjectTable<SdlSound> sounds{SdlReleaseSound};
  std::string failure;  // why the latest SoundInit failed
};

SdlAudio audio;

// Keeps the audio thread out of the sound table while the caller changes it.
class SdlLock {
 public:
  SdlLock() {
    if (audio.device) sdl.LockAudioDevice(audio.device);
  }
  ~SdlLock() {
    if (audio.device) sdl.UnlockAudioDevice(audio.device);
  }
  SdlLock(const SdlLock&) = delete;
  SdlLock& operator=(const SdlLock&) = delete;
};

std::uint32_t SdlRead32(const std::uint8_t* at) {
  return at[0] | (at[1] << 8) | (at[2] << 16) | (static_cast<std::uint32_t>(at[3]) << 24);
}

std::uint16_t SdlRead16(const std::uint8_t* at) {
  return static_cast<std::uint16_t>(at[0] | (at[1] << 8));
}

int SdlBytesPerFrame(const SdlFormat& format) {
  return SDL_AUDIO_BITSIZE(format.format) / 8 * format.channels;
}

// Adds `count` samples of one sound into the mix, scaled by its gain and held
// to the sample range. With one sound at full volume the output is its bytes.
void SdlMixSamples(std::uint8_t* out, const std::uint8_t* in, int count, SDL_AudioFormat format,
                   double gain) {
  if (format == AUDIO_U8) {
    for (int i = 0; i < count; ++i) {
      const long scaled = std::lrint((in[i] - 128) * gain);
      out[i] = static_cast<std::uint8_t>(std::clamp<long>(out[i] - 128 + scaled, -128, 127) + 128);
    }
    return;
  }
  for (int i = 0; i < count; ++i) {
    const auto sample = static_cast<std::int16_t>(SdlRead16(in + 2 * i));
    const auto mixed = static_cast<std::int16_t>(SdlRead16(out + 2 * i));
    const long sum = std::clamp<long>(mixed + std::lrint(sample * gain), -32768, 32767);
    const auto bits = static_cast<std::uint16_t>(sum);
    out[2 * i] = static_cast<std::uint8_t>(bits & 0xFFu);
    out[2 * i + 1] = static_cast<std::uint8_t>(bits >> 8);
  }
}

// The audio thread's callback: silence, then every playing sound mixed in.
void SDLCALL SdlFill(void*, Uint8* stream, int length) {
  std::memset(stream, audio.format.format == AUDIO_U8 ? 128 : 0, static_cast<std::size_t>(length));
  audio.sounds.ForEachLive([&](SdlSound& sound) {
    if (!sound.playing || !(sound.format == audio.format)) return;
    const int bytes = std::min(length, sound.size - sound.position);
    const int sampleBytes = SDL_AUDIO_BITSIZE(sound.format.format) / 8;
    SdlMixSamples(stream, sound.data.get() + sound.position, bytes / sampleBytes,
                  sound.format.format, sound.gain);
    sound.position += bytes;
    if (sound.position >= sound.size) sound.playing = false;
  });
}

void SdlCloseDevice() {
  if (!audio.device) return;
  sdl.CloseAudioDevice(audio.device);
  audio.device = 0;
}

// Opens the default device in `format` exactly (SDL converts when the
// hardware differs), paused.
bool SdlOpenDevice(const SdlFormat& format) {
  SdlCloseDevice();
  SDL_AudioSpec wanted{};
  wanted.freq = format.rate;
  wanted.format = format.format;
  wanted.channels = static_cast<Uint8>(format.channels);
  wanted.samples = kDeviceFrames;
  wanted.callback = SdlFill;
  SDL_AudioSpec obtained{};
  audio.device = sdl.OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
  audio.format = audio.device ? format : SdlFormat{};
  return audio.device != 0;
}

bool SdlAnyPlaying() {
  bool any = false;
  audio.sounds.ForEachLive([&](const SdlSound& sound) { any = any || sound.playing; });
  return any;
}

// The format record of the "fmt " chunk body at `at`, if the device can play it.
bool SdlParseFormat(const std::uint8_t* at, SdlFormat& format) {
  const std::uint16_t tag = SdlRead16(at);
  const std::uint16_t channels = SdlRead16(at + 2);
  const std::uint32_t rate = SdlRead32(at + 4);
  const std::uint16_t bits = SdlRead16(at + 14);
  if (tag != 1 || channels < 1 || channels > 2 || rate < 1000 || rate > 384000) return false;
  if (bits != 8 && bits != 16) return false;
  const SDL_AudioFormat sdlFormat = bits == 8 ? AUDIO_U8 : AUDIO_S16LSB;
  format = {static_cast<int>(rate), sdlFormat, channels};
  return true;
}

}  // namespace

bool SoundBackendBuilt() { return true; }

std::int32_t SoundInit() {
  if (audio.device) return 1;
  // The library stays loaded from a successful SDL_InitSubSystem on until
  // SoundShutdown.
  const bool ready = sdl.library || (SdlLoad() && SdlInitAudio());
  if (ready && SdlOpenDevice({44100, AUDIO_S16LSB, 2})) {
    audio.failure.clear();
    return 1;
  }
  // SDL's words go with the library: they are read first.
  const std::string sdlSays = SdlError();
  SoundShutdown();
  audio.failure = "no sound device could be opened" + (sdlSays.empty() ? "" : ": " + sdlSays);
  return 0;
}

std::string SoundFailureReason() {
  return audio.failure;
}

std::string_view SoundEnvironmentHelp() {
  return "  SDL_AUDIODRIVER  SDL's sound driver: pulseaudio, pipewire, alsa, ...; dummy\n"
         "                   plays nothing, disk writes to SDL_DISKAUDIOFILE\n";
}

ObjectId SoundFromImage(const std::uint8_t* image, std::int32_t imageSize) {
  WaveImageParts parts;
  SdlFormat format;
  if (!audio.device || !SoundImageParts(image, imageSize, parts)) return 0;
  if (!SdlParseFormat(parts.format, format)) return 0;
  const std::int64_t size = parts.dataSize;

  // A trailing part frame is padded with silence rather than dropped.
  const int frameBytes = SdlBytesPerFrame(format);
  const std::int64_t padded = (size + frameBytes - 1) / frameBytes * frameBytes;
  auto data = std::make_unique<std::uint8_t[]>(static_cast<std::size_t>(padded));
  std::memcpy(data.get(), parts.data, static_cast<std::size_t>(size));
  if (format.format == AUDIO_U8)
    std::memset(data.get() + size, 128, static_cast<std::size_t>(padded - size));

  SdlLock lock;
  SdlSound* sound = audio.sounds.Create(kNewObject);
  sound->data = std::move(data);
  sound->size = static_cast<std::int32_t>(padded);
  sound->format = format;
  return ObjectTable<SdlSound>::ReferenceOf(sound);
}

std::int32_t SoundStart(ObjectId handle) {
  SdlSound* sound = audio.sounds.Find(handle);
  if (!sound) return 0;
  if (!(sound->format == audio.format)) {
    // Sounds of the old format cannot be mixed into the new one: they stop.
    SdlCloseDevice();
    audio.sounds.ForEachLive([](SdlSound& other) { other.playing = false; });
    if (!SdlOpenDevice(sound->format)) return 0;
  }
  {
    SdlLock lock;
    sound->position = 0;
    sound->playing = true;
  }
  sdl.PauseAudioDevice(audio.device, 0);
  return 1;
}

void SoundSetVolume(ObjectId handle, std::int32_t level) {
  SdlSound* sound = audio.sounds.Find(handle);
  if (!sound) return;
  const std::int32_t entry = SoundVolumeEntry(level);
  // Entry - 10000 is the attenuation in hundredths of a decibel; 0 is silence.
  const double gain = entry == 0 ? 0.0 : std::pow(10.0, (entry - 10000) / 2000.0);
  SdlLock lock;
  sound->gain = gain;
}

void SoundRelease(ObjectId handle) {
  if (!audio.sounds.Find(handle)) return;
  bool playing = false;
  {
    SdlLock lock;
    audio.sounds.Remove(handle);
    playing = SdlAnyPlaying();
  }
  if (!playing && audio.device) sdl.PauseAudioDevice(audio.device, 1);
}

void SoundShutdown() {
  SdlCloseDevice();
  audio.sounds.Clear();
  // SDL_Quit, not only the audio subsystem's end: the library is about to be
  // unloaded, and SDL_Quit also frees its hints and other global records.
  if (sdl.library) sdl.Quit();
  SdlUnload();
}
