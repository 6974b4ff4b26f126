// The embedded screen and its images on DirectDraw 7 (the win32 backend's
// screen).
//
// Implements: ScreenInit with "DDRAW.DLL" and "DINPUT.DLL" loaded at run
// time (the display object, and the system keyboard as a DirectInput 7
// device, which is opened as the platform expects and never read); the
// embedded screen: the primary surface clipped to the owner window, a back
// buffer of the screen's size, the offsets between the window's outer
// rectangle and the screen, the owner window's procedure subclassed to
// present on WM_PAINT and WM_SIZE and to keep the images' pixels across a
// desktop lock (session notifications through "Wtsapi32.dll"); ScreenClear
// in the surface's pixel format; images as off-screen surfaces, shown with a
// clipped opaque fast blit; ScreenFlip paced to one present per 1/61 second
// on the performance counter, after the raster has passed the screen. The
// display scale: the back buffer and the images hold whole monitor pixels
// per program pixel (the primary monitor's scale at ScreenInit, rounded up),
// so drawing stays crisp while every coordinate stays in program pixels; the
// present stretches the back buffer to the owner window's scale, a copy
// without stretching at 100 % and 200 %.
// Leaves out: full-screen modes, drawing on the back buffer, pixel access,
// transparent copies, images in plain memory, frame rates other than 60.
// Depends on: DirectDraw 7 and DirectInput 7 (headers and GUIDs only, no
// import library), User32, GDI32, and the win32 backend's shared part for the
// library loading and the hidden multimedia window.
#define DIRECTINPUT_VERSION 0x0700
#include <windows.h>
// The headers below need windows.h first.
#include <ddraw.h>
#include <dinput.h>
#include <wtsapi32.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>

#include "platform/screen/screen.h"
#include "platform/win32/win32_dpi.h"
#include "platform/win32/win32_shared.h"

namespace {

// Holds the owner window's previous procedure; also marks it as subclassed.
constexpr char kPreviousProcedureProperty[] = "Tonkelwerk.ScreenProcedure";
constexpr std::int32_t kDefaultFrameRate = 60;
constexpr int kKeyboardKeys = 256;

struct Win32Image {
  IDirectDrawSurface7* surface;
  std::int16_t width;
  std::int16_t height;
  std::int16_t depth;
  std::int16_t mode;
  std::uint8_t* backup;    // the row length as a 32-bit word, then the rows
  std::int16_t fullWidth;  // the surface's size in monitor pixels
  std::int16_t fullHeight;
  std::int16_t clipX;
  std::int16_t clipY;
  bool Live() const { return surface != nullptr; }
};

void Win32ReleaseImage(Win32Image& image) {
  if (image.surface) image.surface->Release();
  image.surface = nullptr;
  std::free(image.backup);
  image.backup = nullptr;
}

// The system keyboard, opened at ScreenInit and never read.
struct Win32Keyboard {
  Win32Library library;
  FARPROC create = nullptr;
  IDirectInput7A* input = nullptr;
  IDirectInputDevice7A* device = nullptr;
};

struct Win32Screen {
  Win32Library library;
  FARPROC create = nullptr;
  IDirectDraw7* display = nullptr;
  int displayUses = 0;
  Win32Keyboard keyboard;
  HWND owner = nullptr;
  HWND multimediaWindow = nullptr;
  int scale = 1;                // monitor pixels per program pixel of every surface
  UINT dpi = kWin32LogicalDpi;  // the owner window's
  std::int32_t width = 0;       // the screen's size
  std::int32_t height = 0;
  std::int32_t targetWidth = 0;  // the current drawing target's size
  std::int32_t targetHeight = 0;
  std::int32_t x = 0;
  std::int32_t y = 0;
  bool stretch = false;
  std::int32_t rightMargin = 0;
  std::int32_t bottomMargin = 0;
  LONG leftOffset = 0;
  LONG topOffset = 0;
  LONG rightBorder = 0;
  LONG bottomBorder = 0;
  int depth = 0;
  int pixelFormat = 0;
  IDirectDrawSurface7* primary = nullptr;
  IDirectDrawClipper* clipper = nullptr;
  IDirectDrawSurface7* backBuffer = nullptr;
  IDirectDrawSurface7* target = nullptr;
  std::int32_t frameRate = 0;  // 0: not set
  bool frameRateSetByScreen = false;
  std::int32_t pacingInterval = 0;  // performance-counter ticks
  std::int32_t previousPresent = 0;
  bool initialised = false;
  bool open = false;
  bool windowed = false;
  ObjectTable<Win32Image> images{Win32ReleaseImage};
};

Win32Screen screen;

// The 256-key layout of the system keyboard: one byte per key.
const DIDATAFORMAT& Win32KeyboardFormat() {
  static std::array<DIOBJECTDATAFORMAT, kKeyboardKeys> keys = [] {
    std::array<DIOBJECTDATAFORMAT, kKeyboardKeys> objects{};
    for (int key = 0; key < kKeyboardKeys; ++key)
      objects[key] = {&GUID_Key, static_cast<DWORD>(key),
                      static_cast<DWORD>(DIDFT_BUTTON | DIDFT_MAKEINSTANCE(key) | DIDFT_OPTIONAL),
                      0};
    return objects;
  }();
  static const DIDATAFORMAT format{sizeof(DIDATAFORMAT), sizeof(DIOBJECTDATAFORMAT),
                                   DIDF_RELAXIS,         kKeyboardKeys,
                                   kKeyboardKeys,        keys.data()};
  return format;
}

bool Win32OpenKeyboard() {
  Win32Keyboard& keyboard = screen.keyboard;
  if (keyboard.device) return true;
  if (!Win32LibraryLoad(keyboard.library, "DINPUT.DLL",
                        {{"DirectInputCreateEx", &keyboard.create}}))
    return false;
  const auto create = Win32EntryAs<decltype(&DirectInputCreateEx)>(keyboard.create);
  void* input = nullptr;
  if (create(Win32Module(), 0x0700, IID_IDirectInput7A, &input, nullptr) != DI_OK) return false;
  keyboard.input = static_cast<IDirectInput7A*>(input);
  void* device = nullptr;
  if (keyboard.input->CreateDeviceEx(GUID_SysKeyboard, IID_IDirectInputDevice7A, &device,
                                     nullptr) != DI_OK)
    return false;
  keyboard.device = static_cast<IDirectInputDevice7A*>(device);
  return keyboard.device->SetDataFormat(&Win32KeyboardFormat()) == DI_OK;
}

void Win32CloseKeyboard() {
  Win32Keyboard& keyboard = screen.keyboard;
  if (keyboard.device) keyboard.device->Release();
  keyboard.device = nullptr;
  if (keyboard.input) keyboard.input->Release();
  keyboard.input = nullptr;
  Win32LibraryUnload(keyboard.library);
}

// Makes the display object unless it exists; every success counts one use.
bool Win32OpenDisplay() {
  if (!screen.display) {
    if (!Win32LibraryLoad(screen.library, "DDRAW.DLL", {{"DirectDrawCreateEx", &screen.create}}))
      return false;
    const auto create = Win32EntryAs<decltype(&DirectDrawCreateEx)>(screen.create);
    void* display = nullptr;
    if (create(nullptr, &display, IID_IDirectDraw7, nullptr) != DD_OK) {
      Win32LibraryUnload(screen.library);
      return false;
    }
    screen.display = static_cast<IDirectDraw7*>(display);
  }
  ++screen.displayUses;
  return true;
}

void Win32ReleaseDisplay() {
  if (screen.displayUses == 0 || --screen.displayUses > 0) return;
  screen.display->Release();
  screen.display = nullptr;
  Win32LibraryUnload(screen.library);
}

IDirectDrawSurface7* Win32NewSurface(DWORD caps, std::int32_t width, std::int32_t height) {
  DDSURFACEDESC2 description{};
  description.dwSize = sizeof description;
  description.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
  description.ddsCaps.dwCaps = caps;
  description.dwWidth = static_cast<DWORD>(width);
  description.dwHeight = static_cast<DWORD>(height);
  IDirectDrawSurface7* surface = nullptr;
  if (screen.display->CreateSurface(&description, &surface, nullptr) != DD_OK) return nullptr;
  return surface;
}

void Win32FillSurface(IDirectDrawSurface7* surface, DWORD pixel, DWORD wait) {
  DDBLTFX effects{};
  effects.dwSize = sizeof effects;
  effects.dwFillColor = pixel;
  surface->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | wait, &effects);
}

// The visible surface clipped to the owner window, and the back buffer.
bool Win32MakeSurfaces() {
  DDSURFACEDESC2 description{};
  description.dwSize = sizeof description;
  description.dwFlags = DDSD_CAPS;
  description.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_3DDEVICE;
  if (screen.display->CreateSurface(&description, &screen.primary, nullptr) != DD_OK) {
    screen.primary = nullptr;
    return false;
  }
  if (screen.display->CreateClipper(0, &screen.clipper, nullptr) != DD_OK) {
    screen.clipper = nullptr;
    return false;
  }
  if (screen.clipper->SetHWnd(0, screen.owner) != DD_OK ||
      screen.primary->SetClipper(screen.clipper) != DD_OK)
    return false;
  screen.backBuffer = Win32NewSurface(DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE,
                                      screen.width * screen.scale, screen.height * screen.scale);
  return screen.backBuffer != nullptr;
}

void Win32ClearBackBufferBlack() {
  HDC context = nullptr;
  if (screen.backBuffer->GetDC(&context) != DD_OK) return;
  const RECT all{0, 0, screen.width * screen.scale, screen.height * screen.scale};
  FillRect(context, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  screen.backBuffer->ReleaseDC(context);
}

// The owner window's scale, and the offsets between its outer rectangle and
// the screen at that scale.
void Win32ComputeOffsets() {
  screen.dpi = Win32WindowDpi(screen.owner);
  RECT outer;
  RECT inner;
  GetWindowRect(screen.owner, &outer);
  GetClientRect(screen.owner, &inner);
  POINT corner{0, 0};
  ClientToScreen(screen.owner, &corner);
  OffsetRect(&inner, corner.x, corner.y);
  screen.leftOffset = Win32DevicePixels(screen.x, screen.dpi) + (inner.left - outer.left);
  screen.topOffset = Win32DevicePixels(screen.y, screen.dpi) + (inner.top - outer.top);
  screen.rightBorder =
      Win32DevicePixels(screen.rightMargin, screen.dpi) + (outer.right - inner.right);
  screen.bottomBorder =
      Win32DevicePixels(screen.bottomMargin, screen.dpi) + (outer.bottom - inner.bottom);
}

// The screen's rectangle on the desktop, in screen coordinates.
RECT Win32Destination() {
  RECT outer;
  GetWindowRect(screen.owner, &outer);
  RECT destination;
  destination.left = outer.left + screen.leftOffset;
  destination.top = outer.top + screen.topOffset;
  destination.right = screen.stretch
                          ? outer.right - screen.rightBorder
                          : destination.left + Win32DevicePixels(screen.width, screen.dpi);
  destination.bottom = screen.stretch
                           ? outer.bottom - screen.bottomBorder
                           : destination.top + Win32DevicePixels(screen.height, screen.dpi);
  return destination;
}

// Copies the back buffer into the window; the clipper keeps the copy inside
// the window's visible parts.
void Win32Present() {
  if (!screen.open) return;
  RECT destination = Win32Destination();
  RECT source{0, 0, screen.width * screen.scale, screen.height * screen.scale};
  screen.primary->Blt(&destination, screen.backBuffer, &source, DDBLT_WAIT, nullptr);
}

void Win32BackupImage(Win32Image& image) {
  if (image.backup || !image.surface) return;
  IDirectDrawSurface7* copy = Win32NewSurface(DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY,
                                              image.fullWidth, image.fullHeight);
  if (!copy) return;
  RECT all{0, 0, image.fullWidth, image.fullHeight};
  copy->Blt(&all, image.surface, &all, DDBLT_WAIT, nullptr);
  DDSURFACEDESC2 locked{};
  locked.dwSize = sizeof locked;
  if (copy->Lock(nullptr, &locked, DDLOCK_WAIT, nullptr) == DD_OK) {
    const std::uint32_t rowLength = static_cast<std::uint32_t>(locked.lPitch);
    const std::size_t rows = static_cast<std::size_t>(rowLength) * image.fullHeight;
    image.backup = static_cast<std::uint8_t*>(std::malloc(rows + 4));
    if (image.backup) {
      std::memcpy(image.backup, &rowLength, 4);
      std::memcpy(image.backup + 4, locked.lpSurface, rows);
    }
    copy->Unlock(nullptr);
  }
  copy->Release();
}

void Win32RestoreImage(Win32Image& image) {
  if (!image.surface) return;
  if (image.surface->IsLost() == DDERR_SURFACELOST) image.surface->Restore();
  if (!image.backup) return;
  std::uint32_t rowLength = 0;
  std::memcpy(&rowLength, image.backup, 4);
  DDSURFACEDESC2 locked{};
  locked.dwSize = sizeof locked;
  if (image.surface->Lock(nullptr, &locked, DDLOCK_WAIT, nullptr) == DD_OK) {
    auto* rows = static_cast<std::uint8_t*>(locked.lpSurface);
    for (int row = 0; row < image.fullHeight; ++row)
      std::memcpy(rows + row * locked.lPitch, image.backup + 4 + row * rowLength, rowLength);
    image.surface->Unlock(nullptr);
  }
  std::free(image.backup);
  image.backup = nullptr;
}

// A locked desktop may take the surfaces' memory; the images' pixels are
// kept in plain memory meanwhile. The back buffer is redrawn by next frame.
void Win32SessionChange(WPARAM change) {
  if (change == WTS_SESSION_LOCK) {
    screen.images.ForEachLive([](Win32Image& image) { Win32BackupImage(image); });
  } else if (change == WTS_SESSION_UNLOCK) {
    if (screen.primary) screen.primary->Restore();
    if (screen.backBuffer) screen.backBuffer->Restore();
    screen.images.ForEachLive([](Win32Image& image) { Win32RestoreImage(image); });
  }
}

LRESULT CALLBACK Win32OwnerProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  const auto previous = reinterpret_cast<WNDPROC>(GetPropA(window, kPreviousProcedureProperty));
  const bool ours = screen.open && window == screen.owner;
  switch (message) {
    case WM_SIZE:
      if (ours) {
        Win32ComputeOffsets();
        Win32Present();
      }
      break;
    case WM_PAINT: {
      const LRESULT result = CallWindowProcA(previous, window, message, wParam, lParam);
      if (ours) Win32Present();
      return result;
    }
    case WM_WTSSESSION_CHANGE:
      if (ours) Win32SessionChange(wParam);
      return 0;
  }
  return CallWindowProcA(previous, window, message, wParam, lParam);
}

void Win32RegisterSessionNotification(HWND window) {
  Win32Library library;
  FARPROC registerWindow = nullptr;
  if (!Win32LibraryLoad(library, "Wtsapi32.dll",
                        {{"WTSRegisterSessionNotification", &registerWindow}}))
    return;  // no desktop lock notifications: nothing to keep then
  Win32EntryAs<decltype(&WTSRegisterSessionNotification)>(registerWindow)(window,
                                                                          NOTIFY_FOR_THIS_SESSION);
  Win32LibraryUnload(library);
}

void Win32SubclassOwner(HWND window) {
  if (GetPropA(window, kPreviousProcedureProperty)) return;
  const LONG_PTR previous =
      SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Win32OwnerProcedure));
  SetPropA(window, kPreviousProcedureProperty, reinterpret_cast<HANDLE>(previous));
  Win32RegisterSessionNotification(window);
}

// 6 or 7 at 32 bits, 4 or 5 at 24 (the even code: red in the lowest byte),
// 3 (5-6-5) or 2 at 16 bits, 1 otherwise. The description is asked for
// rather than locking the surface: a lock reads the desktop back into the
// surface, and Wine then presents those stale pixels over the window.
int Win32PixelFormatCode() {
  DDSURFACEDESC2 description{};
  description.dwSize = sizeof description;
  screen.primary->GetSurfaceDesc(&description);
  const DDPIXELFORMAT& format = description.ddpfPixelFormat;
  switch (format.dwRGBBitCount) {
    case 32:
      return format.dwRBitMask == 0xFF ? 6 : 7;
    case 24:
      return format.dwRBitMask == 0xFF ? 4 : 5;
    case 16:
      return format.dwGBitMask == 0x7E0 ? 3 : 2;
    default:
      return 1;
  }
}

DWORD Win32PixelValue(std::uint32_t colour) {
  if (screen.depth <= 8) return colour;
  const DWORD r = colour & 0xFF;
  const DWORD g = (colour >> 8) & 0xFF;
  const DWORD b = (colour >> 16) & 0xFF;
  switch (screen.depth) {
    case 15:
      return b / 8 + (g / 8) * 32 + (r / 8) * 1024;
    case 16:
      return b / 8 + (g / 4) * 32 + (r / 8) * 2048;
    case 24:
    case 32:
      if (screen.pixelFormat == 6 || screen.pixelFormat == 4) return r + g * 256 + b * 65536;
      return b + g * 256 + r * 65536;
    default:
      return 0;
  }
}

void Win32SetDefaultFrameRate() {
  if (screen.frameRate != 0) return;
  screen.frameRate = kDefaultFrameRate;
  screen.frameRateSetByScreen = true;
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  screen.pacingInterval = static_cast<std::int32_t>(frequency.QuadPart / (screen.frameRate + 1));
  screen.previousPresent = 0;
}

// Busy-waits on the performance counter until a pacing interval has passed
// since the previous present. Only the counter's low 32 bits count; a change
// of their sign restarts the interval.
void Win32Pace() {
  for (;;) {
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    const auto now = static_cast<std::int32_t>(counter.LowPart);
    if ((now < 0 && screen.previousPresent >= 0) || (now > 0 && screen.previousPresent <= 0))
      screen.previousPresent = now;
    if (now - screen.previousPresent > screen.pacingInterval) {
      screen.previousPresent = now;
      return;
    }
  }
}

// Busy-waits until the raster has passed the screen's bottom edge (or the
// display cannot tell, as during the vertical blank).
void Win32WaitForRaster() {
  const LONG screenHeight = GetSystemMetrics(SM_CYSCREEN);
  const LONG bottom = Win32Destination().bottom;
  for (;;) {
    DWORD line = 0;
    if (screen.display->GetScanLine(&line) != DD_OK) return;
    if (static_cast<LONG>(line) > bottom || static_cast<LONG>(line) > screenHeight) return;
  }
}

}  // namespace

IDirectDrawSurface7* Win32ImageSurface(std::intptr_t image) {
  const Win32Image* entry = screen.images.Find(image);
  return entry ? entry->surface : nullptr;
}

int Win32ImageScale() {
  return screen.scale;
}

std::string ScreenFailureReason() {
  // DirectDraw's error codes would tell a user no more than the fixed
  // message does.
  return "";
}

std::int32_t ScreenInit() {
  screen.multimediaWindow = Win32MultimediaWindow();
  if (!screen.multimediaWindow) return 0;
  if (!screen.owner) screen.owner = screen.multimediaWindow;
  if (!Win32OpenKeyboard()) {
    Win32CloseKeyboard();
    return 0;
  }
  screen.initialised = true;
  // Rounded up: at 150 % the pictures are drawn at 200 % and shrunk, never
  // drawn small and blown up.
  const auto dpi = static_cast<int>(Win32WindowDpi(nullptr));
  const auto logical = static_cast<int>(kWin32LogicalDpi);
  screen.scale = std::max(1, (dpi + logical - 1) / logical);
  return Win32OpenDisplay() ? 1 : 0;
}

std::int32_t ScreenOpenEmbedded(WindowHandle window, std::int32_t x, std::int32_t y,
                                std::int32_t width, std::int32_t height, std::int32_t stretch,
                                std::int32_t rightMargin, std::int32_t bottomMargin) {
  if (screen.open) ScreenClose();
  if (window == 0 || !screen.display) return 0;
  screen.owner = reinterpret_cast<HWND>(window);
  screen.width = screen.targetWidth = width;
  screen.height = screen.targetHeight = height;
  HDC context = GetDC(screen.owner);
  screen.depth = GetDeviceCaps(context, BITSPIXEL);
  ReleaseDC(screen.owner, context);
  Win32SetDefaultFrameRate();
  screen.windowed = true;
  if (screen.display->SetCooperativeLevel(screen.owner, DDSCL_NORMAL) != DD_OK ||
      !Win32MakeSurfaces()) {
    ScreenClose();
    return 0;
  }
  Win32ClearBackBufferBlack();
  screen.target = screen.backBuffer;
  screen.x = x;
  screen.y = y;
  screen.stretch = stretch != 0;
  screen.rightMargin = rightMargin;
  screen.bottomMargin = bottomMargin;
  Win32ComputeOffsets();
  Win32SubclassOwner(screen.owner);
  screen.pixelFormat = Win32PixelFormatCode();
  screen.open = true;
  return 1;
}

void ScreenClear(std::uint32_t colour) {
  if (screen.open && screen.target) Win32FillSurface(screen.target, Win32PixelValue(colour), 0);
}

void ScreenFlip() {
  if (!screen.open) return;
  screen.target = screen.backBuffer;
  screen.targetWidth = screen.width;
  screen.targetHeight = screen.height;
  Win32Pace();
  Win32WaitForRaster();
  Win32Present();
}

void ScreenClose() {
  screen.images.Clear();
  if (screen.display) screen.display->SetCooperativeLevel(nullptr, DDSCL_NORMAL);
  if (screen.backBuffer) screen.backBuffer->Release();
  if (screen.primary) screen.primary->Release();
  if (screen.clipper) screen.clipper->Release();
  screen.backBuffer = screen.primary = screen.target = nullptr;
  screen.clipper = nullptr;
  if (screen.windowed) {
    screen.windowed = false;
    InvalidateRect(screen.owner, nullptr, TRUE);
  }
  if (screen.frameRateSetByScreen) {
    screen.frameRate = 0;
    screen.frameRateSetByScreen = false;
  }
  screen.owner = screen.multimediaWindow;
  screen.open = false;
}

void ScreenShutdown() {
  if (screen.initialised) {
    ScreenClose();
    Win32ReleaseDisplay();
  }
  Win32CloseKeyboard();
  screen.initialised = false;
}

ImageHandle SpriteNew(ObjectId handle, std::int32_t width, std::int32_t height) {
  if (!screen.display) return 0;
  Win32Image* image = screen.images.Create(handle);
  if (!image) return 0;
  const ImageHandle id =
      handle == kNewObject ? ObjectTable<Win32Image>::ReferenceOf(image) : handle;
  image->width = static_cast<std::int16_t>(width);
  image->height = static_cast<std::int16_t>(height);
  image->fullWidth = static_cast<std::int16_t>(width * screen.scale);
  image->fullHeight = static_cast<std::int16_t>(height * screen.scale);
  image->depth = static_cast<std::int16_t>(screen.depth);
  image->surface = Win32NewSurface(DDSCAPS_OFFSCREENPLAIN, image->fullWidth, image->fullHeight);
  if (!image->surface) {
    screen.images.Remove(id);
    return 0;
  }
  Win32FillSurface(image->surface, 0, 0);
  // Only a transparent copy would honour the key; images are copied opaquely.
  DDCOLORKEY black{0, 0};
  image->surface->SetColorKey(DDCKEY_SRCBLT, &black);
  return id;
}

void SpriteShow(ImageHandle handle, std::int32_t x, std::int32_t y) {
  const Win32Image* image = screen.images.Find(handle);
  if (!image || !screen.open || !screen.target) return;
  std::int32_t w = image->width;
  std::int32_t h = image->height;
  if (x >= screen.targetWidth || y >= screen.targetHeight || x <= -w || y <= -h) return;
  if (x + w > screen.targetWidth) w = screen.targetWidth - x;
  if (y + h > screen.targetHeight) h = screen.targetHeight - y;
  const std::int32_t startX = x < 0 ? -x : 0;
  const std::int32_t startY = y < 0 ? -y : 0;
  const int s = screen.scale;
  RECT source{(startX + image->clipX) * s, (startY + image->clipY) * s, (w + image->clipX) * s,
              (h + image->clipY) * s};
  screen.target->BltFast((x < 0 ? 0 : x) * s, (y < 0 ? 0 : y) * s, image->surface, &source,
                         DDBLTFAST_WAIT | DDBLTFAST_NOCOLORKEY);
}

void SpriteRelease(ImageHandle image) {
  if (screen.images.Find(image)) screen.images.Remove(image);
}
