// Sound playback through DirectSound (the win32 backend's audio).
//
// Implements: SoundInit with "DSOUND.DLL" loaded at run time, the default
// device at the priority cooperative level on the hidden multimedia window and
// its primary buffer (format left alone); one static secondary buffer per
// sound, made from a WAVE image, started once from its beginning, its volume
// set from the shared volume table, released; SoundShutdown; why SoundInit
// failed, in words.
// Leaves out: further instances of one sound, panning and frequency changes
// (the buffers allow them, nothing sets them), and format records longer than
// the 16 bytes of plain PCM.
// Depends on: DirectSound (dsound.h types, no import library), the win32
// backend's shared part for the library loading and the multimedia window.
#include <windows.h>
// The headers below need windows.h first.
#include <dsound.h>
#include <mmreg.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/audio/audio.h"
#include "platform/win32/win32_shared.h"

namespace {

// Static, with frequency, pan and volume control, audible in the background,
// with the accurate play position: 0x180E2.
constexpr DWORD kSoundBufferFlags = DSBCAPS_STATIC | DSBCAPS_CTRLFREQUENCY | DSBCAPS_CTRLPAN |
                                    DSBCAPS_CTRLVOLUME | DSBCAPS_GLOBALFOCUS |
                                    DSBCAPS_GETCURRENTPOSITION2;
constexpr std::int32_t kPcmFormatSize = 16;

struct Win32Sound {
  IDirectSoundBuffer* soundBuffer;
  std::vector<IDirectSoundBuffer*> instances;
  LONG pan;
  DWORD frequency;
  LONG volume;
  bool Live() const { return soundBuffer != nullptr; }
};

void Win32ReleaseSound(Win32Sound& sound) {
  for (IDirectSoundBuffer* instance : sound.instances) instance->Release();
  sound.instances.clear();
  if (sound.soundBuffer) sound.soundBuffer->Release();
  sound.soundBuffer = nullptr;
}

struct Win32Audio {
  Win32Library library;
  FARPROC directSoundCreate = nullptr;
  IDirectSound* device = nullptr;
  IDirectSoundBuffer* primary = nullptr;
  ObjectTable<Win32Sound> sounds{Win32ReleaseSound};
  std::string failure;
};

Win32Audio audio;

// Why `step` failed with `result`, in words for the user: that there is no
// device at all, or else the step and DirectSound's code.
std::string Win32DirectSoundFailure(const char* step, HRESULT result) {
  if (result == DSERR_NODRIVER) return "No sound device was found.";
  char code[16];
  std::snprintf(code, sizeof code, "%08lX", static_cast<unsigned long>(result));
  return std::string("DirectSound could not ") + step + " (error 0x" + code + ").";
}

// Opens the device; on failure audio.failure says which step failed and why.
bool Win32OpenDevice() {
  if (!Win32LibraryLoad(audio.library, "DSOUND.DLL",
                        {{"DirectSoundCreate", &audio.directSoundCreate}})) {
    audio.failure = "DirectSound (DSOUND.DLL) could not be loaded.";
    return false;
  }
  const auto create = Win32EntryAs<decltype(&DirectSoundCreate)>(audio.directSoundCreate);
  HRESULT result = create(nullptr, &audio.device, nullptr);
  // Its arguments are right by construction: "invalid" is the default
  // device that is not there (Wine says so when it has no sound driver).
  if (result == DSERR_INVALIDPARAM) result = DSERR_NODRIVER;
  if (result != DS_OK) {
    audio.device = nullptr;
    audio.failure = Win32DirectSoundFailure("open the sound device", result);
    return false;
  }
  result = audio.device->SetCooperativeLevel(Win32MultimediaWindow(), DSSCL_PRIORITY);
  if (result != DS_OK) {
    audio.failure = Win32DirectSoundFailure("share the sound device", result);
    return false;
  }
  DSBUFFERDESC description{};
  description.dwSize = sizeof description;
  description.dwFlags = DSBCAPS_PRIMARYBUFFER;
  result = audio.device->CreateSoundBuffer(&description, &audio.primary, nullptr);
  if (result != DS_OK) {
    audio.primary = nullptr;
    audio.failure = Win32DirectSoundFailure("set up the sound device's output", result);
    return false;
  }
  return true;
}

// A secondary buffer holding `size` bytes of `format`; nullptr on failure.
IDirectSoundBuffer* Win32NewBuffer(const WAVEFORMATEX& format, std::int64_t size) {
  DSBUFFERDESC description{};
  description.dwSize = sizeof description;
  description.dwFlags = kSoundBufferFlags;
  description.dwBufferBytes = static_cast<DWORD>(size);
  description.lpwfxFormat = const_cast<WAVEFORMATEX*>(&format);
  IDirectSoundBuffer* buffer = nullptr;
  if (audio.device->CreateSoundBuffer(&description, &buffer, nullptr) != DS_OK) return nullptr;
  return buffer;
}

}  // namespace

bool SoundBackendBuilt() { return true; }

std::string SoundFailureReason() {
  return audio.failure;
}

std::string_view SoundEnvironmentHelp() {
  return "";
}

std::int32_t SoundInit() {
  if (!Win32MultimediaWindow()) {
    audio.failure = "The window that the sound device needs could not be made.";
    return 0;
  }
  if (audio.device) return 1;
  audio.failure.clear();
  if (Win32OpenDevice()) return 1;
  SoundShutdown();  // keeps the reason
  return 0;
}

ObjectId SoundFromImage(const std::uint8_t* image, std::int32_t imageSize) {
  WaveImageParts parts;
  if (!audio.device || !SoundImageParts(image, imageSize, parts)) return 0;
  const std::int64_t size = parts.dataSize;
  WAVEFORMATEX format{};
  std::memcpy(&format, parts.format, kPcmFormatSize);

  IDirectSoundBuffer* buffer = Win32NewBuffer(format, size);
  if (!buffer) return 0;
  void* first = nullptr;
  void* second = nullptr;
  DWORD firstBytes = 0;
  DWORD secondBytes = 0;
  if (buffer->Lock(0, static_cast<DWORD>(size), &first, &firstBytes, &second, &secondBytes, 0) !=
      DS_OK) {
    buffer->Release();
    return 0;
  }
  std::memcpy(first, parts.data, firstBytes);
  Win32Sound* sound = audio.sounds.Create(kNewObject);
  sound->soundBuffer = buffer;
  buffer->GetPan(&sound->pan);
  buffer->GetFrequency(&sound->frequency);
  buffer->GetVolume(&sound->volume);
  buffer->Unlock(first, firstBytes, second, secondBytes);
  return ObjectTable<Win32Sound>::ReferenceOf(sound);
}

std::int32_t SoundStart(ObjectId handle) {
  Win32Sound* sound = audio.sounds.Find(handle);
  if (!sound) return 0;
  sound->soundBuffer->Stop();
  sound->soundBuffer->SetCurrentPosition(0);
  return sound->soundBuffer->Play(0, 0, 0) == DS_OK ? 1 : 0;
}

void SoundSetVolume(ObjectId handle, std::int32_t level) {
  Win32Sound* sound = audio.sounds.Find(handle);
  if (!sound) return;
  sound->soundBuffer->SetVolume(SoundVolumeEntry(level) - 10000);
}

void SoundRelease(ObjectId handle) {
  if (audio.sounds.Find(handle)) audio.sounds.Remove(handle);
}

void SoundShutdown() {
  audio.sounds.Clear();
  // The device's objects go before the library that holds their code.
  if (audio.primary) audio.primary->Release();
  audio.primary = nullptr;
  if (audio.device) audio.device->Release();
  audio.device = nullptr;
  Win32LibraryUnload(audio.library);
}
