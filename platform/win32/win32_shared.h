// The win32 backend's shared part: what more than one of its services needs.
//
// Implements: the program's module handle and icon, the hidden multimedia
// window ("MultimediaBase Class", a never-shown 1 x 1 pop-up that is the sound
// device's cooperative window and the screen's owner while no screen is
// open), DLLs loaded at run time with their entry points, and the two look-ups
// that drawing needs from the screen service.
// Leaves out: everything specific to one service.
// Depends on: User32 and Kernel32 only. Included only by win32 backend files.
#pragma once

#include <windows.h>

#include <cstdint>
#include <initializer_list>

// The program's own module handle.
HINSTANCE Win32Module();

// Icon resource 1 of the program at the system's large icon size (title bar
// switcher, Alt+Tab).
HICON Win32ProgramIcon();

// Icon resource 1 at the system's small icon size (caption, taskbar), which
// grows with the display scale: 16, 20, 24 ... pixels.
HICON Win32ProgramSmallIcon();

// The hidden multimedia window, made on the first call; it lasts the whole
// run. nullptr when it cannot be made.
HWND Win32MultimediaWindow();

struct IDirectDrawSurface7;

// The DirectDraw surface of a live image of the screen service, or nullptr
// (defined in screen_win32.cpp, used by the drawing in screen_draw_win32.cpp).
IDirectDrawSurface7* Win32ImageSurface(std::intptr_t image);

// Monitor pixels per program pixel of every image of the screen service
// (defined in screen_win32.cpp; the drawing scales its coordinates by it).
int Win32ImageScale();

// One entry point to look up in a library.
struct Win32Entry {
  const char* name;
  FARPROC* address;
};

// A DLL that the program loads itself rather than linking against, so that a
// missing one is a result to report, not a program that cannot start.
struct Win32Library {
  HMODULE module = nullptr;
};

// Loads `dll` and looks up every entry. True when the library and all entries
// were found; otherwise the library is unloaded again, the addresses are
// nullptr and the result is false.
bool Win32LibraryLoad(Win32Library& library, const char* dll,
                      std::initializer_list<Win32Entry> entries);

// Unloads the library if it is loaded.
void Win32LibraryUnload(Win32Library& library);

// An entry point as the function type that it has, `Function` being a pointer
// type such as decltype(&DirectSoundCreate).
template <typename Function>
Function Win32EntryAs(FARPROC address) {
  // Through the generic function pointer type, which may be cast to any other.
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(address));
}
