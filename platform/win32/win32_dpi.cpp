// The display scale on Windows (see win32_dpi.h).
#include "platform/win32/win32_dpi.h"

#include "platform/win32/win32_shared.h"

namespace {

// MDT_EFFECTIVE_DPI of GetDpiForMonitor: the DPI the user chose.
constexpr int kEffectiveDpi = 0;

using DpiForWindowCall = UINT(WINAPI*)(HWND);
using AdjustForDpiCall = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
using DpiForMonitorCall = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);

// The calls that older systems lack, nullptr where missing. Their libraries
// stay loaded for the whole run.
struct Win32DpiCalls {
  FARPROC dpiForWindow = nullptr;
  FARPROC adjustForDpi = nullptr;
  FARPROC dpiForMonitor = nullptr;
};

const Win32DpiCalls& Win32FindDpiCalls() {
  static const Win32DpiCalls calls = [] {
    Win32DpiCalls found;
    Win32Library user;
    Win32LibraryLoad(user, "user32.dll",
                     {{"GetDpiForWindow", &found.dpiForWindow},
                      {"AdjustWindowRectExForDpi", &found.adjustForDpi}});
    Win32Library shcore;
    Win32LibraryLoad(shcore, "shcore.dll", {{"GetDpiForMonitor", &found.dpiForMonitor}});
    return found;
  }();
  return calls;
}

UINT Win32MonitorDpi(HWND window) {
  const FARPROC call = Win32FindDpiCalls().dpiForMonitor;
  if (!call) return 0;
  HMONITOR monitor = window ? MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST)
                            : MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
  UINT x = 0;
  UINT y = 0;
  if (FAILED(Win32EntryAs<DpiForMonitorCall>(call)(monitor, kEffectiveDpi, &x, &y))) return 0;
  return x;
}

UINT Win32DisplayDpi(HWND window) {
  HDC context = GetDC(window);
  if (!context) return 0;
  const int dpi = GetDeviceCaps(context, LOGPIXELSX);
  ReleaseDC(window, context);
  return dpi > 0 ? static_cast<UINT>(dpi) : 0;
}

}  // namespace

UINT Win32WindowDpi(HWND window) {
  const FARPROC forWindow = Win32FindDpiCalls().dpiForWindow;
  UINT dpi = window && forWindow ? Win32EntryAs<DpiForWindowCall>(forWindow)(window) : 0;
  if (dpi == 0) dpi = Win32MonitorDpi(window);
  if (dpi == 0) dpi = Win32DisplayDpi(window);
  return dpi == 0 ? kWin32LogicalDpi : dpi;
}

UINT Win32SystemDpi() {
  const UINT dpi = Win32DisplayDpi(nullptr);
  return dpi == 0 ? kWin32LogicalDpi : dpi;
}

int Win32DevicePixels(int logical, UINT dpi) {
  return MulDiv(logical, static_cast<int>(dpi), kWin32LogicalDpi);
}

int Win32LogicalPixels(int device, UINT dpi) {
  return device * static_cast<int>(kWin32LogicalDpi) / static_cast<int>(dpi);
}

void Win32AdjustWindowRect(RECT& rectangle, DWORD style, UINT dpi) {
  const FARPROC adjust = Win32FindDpiCalls().adjustForDpi;
  if (adjust) {
    Win32EntryAs<AdjustForDpiCall>(adjust)(&rectangle, style, FALSE, 0, dpi);
  } else {
    AdjustWindowRect(&rectangle, style, FALSE);
  }
}
