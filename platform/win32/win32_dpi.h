// The display scale on Windows: the dots per inch of the monitor a window is
// on, and the conversion between the program's own pixels (96 to the inch,
// the units of every contract header) and the monitor's pixels.
//
// Implements: the monitor's DPI through the newest call the system has
// (GetDpiForWindow from Windows 10, GetDpiForMonitor from Windows 8.1, both
// looked up at run time), else the display's LOGPIXELSX; outer window
// rectangles for a client size at a given DPI.
// Leaves out: declaring the program DPI-aware, which its manifest does.
// Depends on: User32, GDI32 and Shcore.dll (loaded at run time when there),
// through the win32 backend's shared part for the library loading.
#pragma once

#include <windows.h>

// The DPI of the program's own coordinates: 100 %.
inline constexpr UINT kWin32LogicalDpi = 96;

// The DPI of the monitor that `window` is on; of the primary monitor for
// nullptr.
UINT Win32WindowDpi(HWND window);

// The DPI that the system's stock fonts were made for: the primary
// monitor's when the user signed in.
UINT Win32SystemDpi();

// `logical` pixels of the program as the monitor's pixels at `dpi`, rounded
// to the nearest.
int Win32DevicePixels(int logical, UINT dpi);

// The monitor's pixel `device` at `dpi` as the program's pixel it lies in.
int Win32LogicalPixels(int device, UINT dpi);

// Grows a client rectangle to the outer rectangle of a window of `style`
// with the frame that Windows draws at `dpi`.
void Win32AdjustWindowRect(RECT& rectangle, DWORD style, UINT dpi);
