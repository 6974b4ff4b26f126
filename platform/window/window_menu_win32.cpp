// The context menu on User32: a pop-up menu tracked at the cursor's place.
//
// Implements: ContextMenuOpen with CreatePopupMenu and TrackPopupMenu. The
// menu is modal: it returns when the menu closes, and the entry chosen is
// posted to the window as the WM_COMMAND of a menu, which the event poll
// hands out as the command code (273) like any other.
// Leaves out: submenus, check marks and pictures.
// Depends on: User32, the window service's native handles (window.h), the
// display scale (platform/win32/win32_dpi.h) and the UTF-16 conversion of
// platform/core.
#include <windows.h>

#include "platform/core/wide_text_win32.h"
#include "platform/win32/win32_dpi.h"
#include "platform/window/window.h"

void ContextMenuOpen(ObjectId window, std::int32_t x, std::int32_t y,
                     std::span<const MenuEntry> entries) {
  HWND owner = reinterpret_cast<HWND>(WindowNativeHandle(window));
  if (!owner) return;
  HMENU menu = CreatePopupMenu();
  if (!menu) return;
  for (const MenuEntry& entry : entries) {
    if (entry.command == 0) {
      AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
      continue;
    }
    const UINT flags = MF_STRING | (entry.enabled ? MF_ENABLED : MF_GRAYED);
    AppendMenuW(menu, flags, static_cast<UINT_PTR>(entry.command),
                WideFromUtf8(entry.text).c_str());
  }
  // The place is in the program's pixels; the menu opens at the monitor's.
  const UINT dpi = Win32WindowDpi(owner);
  POINT at{Win32DevicePixels(x, dpi), Win32DevicePixels(y, dpi)};
  ClientToScreen(owner, &at);
  // Without the foreground the menu would not close on a click elsewhere.
  SetForegroundWindow(owner);
  const BOOL chosen = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON, at.x,
                                     at.y, 0, owner, nullptr);
  DestroyMenu(menu);
  if (chosen != 0) PostMessageW(owner, WM_COMMAND, MAKEWPARAM(chosen, 0), 0);
}
