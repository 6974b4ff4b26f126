// Window, buttons and events on User32 (the win32 backend's windows).
//
// Implements: one window class per window ("WindowClass_<identifier>") with
// the program icon, the arrow cursor and the button-face background; windows
// sized by AdjustWindowRect and centred on the screen or the active window;
// the Tab and Shift+Tab accelerators, which cycle the focus through the tab
// stops, Ctrl+C and Ctrl+V, which become the copy and paste codes (769,
// 770), and the program's command keys; the clipboard's text as
// CF_UNICODETEXT; subclassed push buttons in the default GUI font; the window
// procedure, which turns clicks into 13100, menu entries and command keys
// into 273 and queues close (16), move (3), size (5), activation (13104),
// erase (15) and context menu (123) events, like ones merged; EventPoll,
// which hands out queued events first and otherwise fetches one message
// without waiting; the cursor position in client coordinates with inclusive
// right and bottom edges; the display scale: sizes, positions and the
// cursor in the program's 96-DPI pixels, scaled to the window's monitor and
// again when the window moves to a monitor of another scale, the buttons'
// font with them; the backend's system requirements.
// Leaves out: menu bars (the context menu is window_menu_win32.cpp's), other
// control kinds, user sizing, custom background brushes (the record has the
// field; nothing sets it).
// Depends on: User32, GDI32 (stock font), the common controls, and the win32
// backend's shared part for the module, the icon and the hidden window that
// owns what the program puts on the clipboard.
#include <windows.h>
// The headers below need windows.h first.
#include <commctrl.h>

#include <deque>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/win32/win32_dpi.h"
#include "platform/win32/win32_shared.h"
#include "platform/window/window.h"

namespace {

// The window property that carries a window's or a button's identifier + 1.
constexpr char kTagProperty[] = "Tonkelwerk.Tag";

constexpr WORD kCommandFocusNext = 1212;
constexpr WORD kCommandFocusPrevious = 1213;
constexpr WORD kCommandCopy = 1214;
constexpr WORD kCommandPaste = 1215;
constexpr std::int32_t kEventMoved = 3;
constexpr std::int32_t kEventSized = 5;
constexpr std::int32_t kEventErased = 15;
constexpr std::int32_t kEventActivated = 13104;
constexpr ObjectId kNoWindow = -1;

constexpr DWORD kButtonStyle = WS_CHILD | WS_VISIBLE | WS_GROUP | WS_TABSTOP | BS_PUSHBUTTON;
constexpr int kButtonKind = 1;

struct Win32WindowRecord {
  HWND handle;
  std::vector<ACCEL> accelerators;
  HACCEL acceleratorTable;
  HBRUSH backgroundBrush;
  UINT dpi;
  SIZE client;  // in the program's pixels
  bool Live() const { return handle != nullptr; }
};

struct Win32ButtonRecord {
  HWND handle;
  int kind;
  WNDPROC controlProcedure;
  RECT place;  // in the program's pixels of the parent's client area
  bool Live() const { return handle != nullptr; }
};

struct Win32QueuedEvent {
  std::int32_t code;
  ObjectId window;
};

struct Win32EventState {
  ObjectId eventButton = 0;
  ObjectId eventWindow = 0;
  std::int32_t eventType = 0;
  std::int32_t pendingCode = 0;
  std::int32_t command = 0;  // of the latest kEventCommand
  std::uint32_t wordParam = 0;
  std::uint32_t longParam = 0;
  std::deque<Win32QueuedEvent> queue;
};

void Win32ReleaseWindow(Win32WindowRecord& window);
void Win32ReleaseButton(Win32ButtonRecord& button);

struct Win32WindowService {
  ObjectTable<Win32WindowRecord> windows{Win32ReleaseWindow};
  ObjectTable<Win32ButtonRecord> buttons{Win32ReleaseButton};
  Win32EventState events;
  HWND buttonParent = nullptr;
  HFONT controlFont = nullptr;
  std::map<UINT, HFONT> scaledControlFonts;  // by DPI, for other scales than the stock font's
  HCURSOR arrow = nullptr;
};

Win32WindowService service;

void Win32SetTag(HWND handle, ObjectId id) {
  SetPropA(handle, kTagProperty, reinterpret_cast<HANDLE>(id + 1));
}

ObjectId Win32Tag(HWND handle) {
  return reinterpret_cast<ObjectId>(GetPropA(handle, kTagProperty)) - 1;
}

// The identifier of the first tagged window from `handle` up through its
// parents; kNoWindow when there is none.
ObjectId Win32WindowIdentifier(HWND handle) {
  for (HWND window = handle; window; window = GetAncestor(window, GA_PARENT))
    if (GetPropA(window, kTagProperty)) return Win32Tag(window);
  return kNoWindow;
}

void Win32ReleaseWindow(Win32WindowRecord& window) {
  if (!window.handle) return;
  char className[64] = "";
  GetClassNameA(window.handle, className, sizeof className);
  RemovePropA(window.handle, kTagProperty);
  DestroyWindow(window.handle);  // its buttons release their records as they go
  UnregisterClassA(className, Win32Module());
  if (window.acceleratorTable) DestroyAcceleratorTable(window.acceleratorTable);
  if (window.backgroundBrush) DeleteObject(window.backgroundBrush);
  window = Win32WindowRecord{};
}

void Win32ReleaseButton(Win32ButtonRecord& button) {
  HWND handle = button.handle;
  button.handle = nullptr;
  if (handle) DestroyWindow(handle);
}

// Appends (code, window) unless it repeats the newest entry, so that a run
// of like events reaches the caller once. Messages of untagged windows queue
// nothing.
void Win32Queue(std::int32_t code, ObjectId window) {
  if (window == kNoWindow) return;
  auto& queue = service.events.queue;
  if (!queue.empty() && queue.back().code == code && queue.back().window == window) return;
  queue.push_back({code, window});
}

bool Win32Eligible(HWND control) {
  return IsWindowEnabled(control) && IsWindowVisible(control) &&
         (GetWindowLongA(control, GWL_STYLE) & WS_TABSTOP);
}

// Moves the focus to the next (or previous) enabled, visible tab stop among
// the active window's children, wrapping around.
void Win32CycleFocus(bool forward) {
  HWND active = GetActiveWindow();
  if (!active) return;
  HWND focus = GetFocus();
  HWND first = nullptr;
  HWND last = nullptr;
  HWND before = nullptr;  // the eligible control before the focused one
  HWND after = nullptr;   // the eligible control after the focused one
  bool passedFocus = false;
  for (HWND child = GetWindow(active, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (child == focus) {
      passedFocus = true;
      continue;
    }
    if (!Win32Eligible(child)) continue;
    if (!first) first = child;
    last = child;
    if (!passedFocus) before = child;
    if (passedFocus && !after) after = child;
  }
  HWND target = nullptr;
  if (!passedFocus) {
    target = forward ? first : last;  // no child has the focus
  } else {
    target = forward ? (after ? after : first) : (before ? before : last);
  }
  if (target) SetFocus(target);
}

LRESULT Win32Command(WPARAM wParam, LPARAM lParam) {
  Win32EventState& events = service.events;
  if (lParam != 0) {
    events.pendingCode = kEventButtonClicked;
    events.eventType = HIWORD(wParam);
    events.eventButton = GetWindowLongPtrA(reinterpret_cast<HWND>(lParam), GWLP_ID);
    return 0;
  }
  const WORD command = LOWORD(wParam);
  if (HIWORD(wParam) != 0 && (command == kCommandFocusNext || command == kCommandFocusPrevious)) {
    Win32CycleFocus(command == kCommandFocusNext);
    return 0;
  }
  if (HIWORD(wParam) != 0 && (command == kCommandCopy || command == kCommandPaste)) {
    events.pendingCode = command == kCommandCopy ? kEventCopy : kEventPaste;
    return 0;
  }
  events.pendingCode = kEventCommand;
  events.command = command;
  return 0;
}

LRESULT Win32EraseBackground(HWND handle, WPARAM wParam, LPARAM lParam, ObjectId id) {
  Win32Queue(kEventErased, id);
  const Win32WindowRecord* window = service.windows.Find(id);
  if (!window || !window->backgroundBrush)
    return DefWindowProcA(handle, WM_ERASEBKGND, wParam, lParam);
  RECT client;
  GetClientRect(handle, &client);
  FillRect(reinterpret_cast<HDC>(wParam), &client, window->backgroundBrush);
  return 1;
}

BOOL CALLBACK Win32ForwardColourChange(HWND child, LPARAM) {
  SendMessageA(child, WM_SYSCOLORCHANGE, 0, 0);
  return TRUE;
}

// The buttons' font at `dpi`: the stock GUI font at the scale it was made
// for, else one of its kind scaled.
HFONT Win32ControlFont(UINT dpi) {
  const UINT stockDpi = Win32SystemDpi();
  if (dpi == stockDpi) return service.controlFont;
  HFONT& font = service.scaledControlFonts[dpi];
  if (!font) {
    LOGFONTA look{};
    GetObjectA(service.controlFont, sizeof look, &look);
    look.lfHeight = MulDiv(look.lfHeight, static_cast<int>(dpi), static_cast<int>(stockDpi));
    look.lfWidth = 0;
    font = CreateFontIndirectA(&look);
  }
  return font ? font : service.controlFont;
}

// Places the button and sets its font for the parent's scale `dpi`.
void Win32PlaceButton(const Win32ButtonRecord& button, UINT dpi) {
  const RECT& place = button.place;
  MoveWindow(button.handle, Win32DevicePixels(place.left, dpi), Win32DevicePixels(place.top, dpi),
             Win32DevicePixels(place.right - place.left, dpi),
             Win32DevicePixels(place.bottom - place.top, dpi), TRUE);
  SendMessageA(button.handle, WM_SETFONT, reinterpret_cast<WPARAM>(Win32ControlFont(dpi)), TRUE);
}

// The window on a monitor of another scale: its outer rectangle `outer` as
// Windows suggests, its buttons placed anew.
void Win32Rescale(HWND handle, ObjectId id, UINT dpi, const RECT& outer) {
  Win32WindowRecord* window = service.windows.Find(id);
  if (!window || window->handle != handle) return;
  window->dpi = dpi;
  SetWindowPos(handle, nullptr, outer.left, outer.top, outer.right - outer.left,
               outer.bottom - outer.top, SWP_NOZORDER | SWP_NOACTIVATE);
  service.buttons.ForEachLive([&](const Win32ButtonRecord& button) {
    if (GetParent(button.handle) == handle) Win32PlaceButton(button, dpi);
  });
}

LRESULT CALLBACK Win32WindowProcedure(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
  const ObjectId id = Win32WindowIdentifier(handle);
  service.events.eventWindow = id;
  switch (message) {
    case WM_COMMAND:
      return Win32Command(wParam, lParam);
    case WM_CLOSE:
      Win32Queue(kEventClose, id);
      return 0;  // the window stays open: the caller decides
    case WM_MOVE:
      Win32Queue(kEventMoved, id);
      return 0;
    case WM_SIZE:
      if (id == kNoWindow || wParam == SIZE_MINIMIZED) break;
      Win32Queue(kEventSized, id);
      return 0;
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE) Win32Queue(kEventActivated, id);
      return 1;  // activation alone focuses no control
    case WM_ERASEBKGND:
      return Win32EraseBackground(handle, wParam, lParam, id);
    case WM_CONTEXTMENU:
      Win32Queue(kEventContextMenu, id);
      return 0;
    case WM_SYSCOLORCHANGE:
      EnumChildWindows(handle, Win32ForwardColourChange, 0);
      break;
    case WM_DPICHANGED:
      Win32Rescale(handle, id, LOWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
      return 0;
  }
  return DefWindowProcA(handle, message, wParam, lParam);
}

LRESULT CALLBACK Win32ButtonProcedure(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
  const ObjectId id = GetWindowLongPtrA(handle, GWLP_ID);
  Win32ButtonRecord* button = service.buttons.Find(id);
  if (id == kNoWindow || !button) return DefWindowProcA(handle, message, wParam, lParam);
  const LRESULT result = CallWindowProcA(button->controlProcedure, handle, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    RemovePropA(handle, kTagProperty);
    SetWindowLongPtrA(handle, GWLP_ID, kNoWindow);
    button->handle = nullptr;  // the control is gone already
    service.buttons.Remove(id);
  }
  return result;
}

void Win32RegisterWindowClass(const std::string& className) {
  WNDCLASSA windowClass{};
  windowClass.style = CS_DBLCLKS;
  windowClass.lpfnWndProc = Win32WindowProcedure;
  windowClass.hInstance = Win32Module();
  windowClass.hIcon = Win32ProgramIcon();
  windowClass.hCursor = service.arrow;
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = className.c_str();
  RegisterClassA(&windowClass);  // a failure shows as a failed CreateWindowExA
}

// The outer size of a window of `style` whose client area is `client`
// program pixels at `dpi`.
SIZE Win32OuterSize(SIZE client, UINT dpi, DWORD style) {
  RECT outer{0, 0, Win32DevicePixels(client.cx, dpi), Win32DevicePixels(client.cy, dpi)};
  Win32AdjustWindowRect(outer, style, dpi);
  return {outer.right - outer.left, outer.bottom - outer.top};
}

// The window's outer rectangle: its size from the client size, the scale and
// the style, its position from the flags.
RECT Win32OuterRectangle(std::int32_t x, std::int32_t y, SIZE client, UINT dpi, DWORD style,
                         std::uint32_t flags) {
  const SIZE outer = Win32OuterSize(client, dpi, style);
  LONG outerWidth = outer.cx;
  LONG outerHeight = outer.cy;
  const bool centred = flags & (kWindowCentreScreen | kWindowCentreActive);
  if ((x == kWindowNoPosition || y == kWindowNoPosition) && !centred) x = y = CW_USEDEFAULT;
  HWND active = GetActiveWindow();
  RECT activeRect;
  if (flags & kWindowCentreScreen) {
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    if (outerWidth > screenWidth) outerWidth = screenWidth;
    if (outerHeight > screenHeight) outerHeight = screenHeight;
    x = (screenWidth - outerWidth) / 2;
    y = (screenHeight - outerHeight) / 2;
  } else if ((flags & kWindowCentreActive) && active && GetWindowRect(active, &activeRect)) {
    const LONG left = activeRect.left + (activeRect.right - activeRect.left - outerWidth) / 2;
    const LONG top = activeRect.top + (activeRect.bottom - activeRect.top - outerHeight) / 2;
    x = left < 0 ? 0 : left;
    y = top < 0 ? 0 : top;
  }
  return RECT{x, y, x + outerWidth, y + outerHeight};
}

// The keyboard accelerators of every window, Tab, Shift+Tab, Ctrl+C and
// Ctrl+V, followed by the program's command `keys`. A virtual-key
// accelerator wants exactly its modifiers held, so a plain key is one
// without Shift, Ctrl or Alt.
void Win32SetAccelerators(Win32WindowRecord& window, std::span<const CommandKey> keys) {
  window.accelerators = {{FVIRTKEY | FNOINVERT, VK_TAB, kCommandFocusNext},
                         {FVIRTKEY | FNOINVERT | FSHIFT, VK_TAB, kCommandFocusPrevious},
                         {FVIRTKEY | FNOINVERT | FCONTROL, 'C', kCommandCopy},
                         {FVIRTKEY | FNOINVERT | FCONTROL, 'V', kCommandPaste}};
  for (const CommandKey& key : keys) {
    BYTE flags = FVIRTKEY | FNOINVERT;
    if (key.modifiers & kKeyShift) flags |= FSHIFT;
    if (key.modifiers & kKeyControl) flags |= FCONTROL;
    window.accelerators.push_back(
        {flags, static_cast<WORD>(key.key), static_cast<WORD>(key.command)});
  }
  if (window.acceleratorTable) DestroyAcceleratorTable(window.acceleratorTable);
  window.acceleratorTable = CreateAcceleratorTableA(window.accelerators.data(),
                                                    static_cast<int>(window.accelerators.size()));
}

const Win32WindowRecord* Win32WindowOfHandle(HWND handle) {
  const Win32WindowRecord* found = nullptr;
  service.windows.ForEachLive([&](const Win32WindowRecord& window) {
    if (window.handle == handle) found = &window;
  });
  return found;
}

// The cursor in the window's client coordinates, in the program's pixels,
// if it lies inside the client area (right and bottom edges included).
bool Win32CursorInClient(ObjectId id, POINT& cursor) {
  const Win32WindowRecord* window = service.windows.Find(id);
  if (!window || !GetCursorPos(&cursor) || !ScreenToClient(window->handle, &cursor)) return false;
  if (cursor.x < 0 || cursor.y < 0) return false;
  RECT client;
  GetClientRect(window->handle, &client);
  if (cursor.x > client.right || cursor.y > client.bottom) return false;
  cursor = {Win32LogicalPixels(cursor.x, window->dpi), Win32LogicalPixels(cursor.y, window->dpi)};
  return true;
}

// Windows that open on a monitor of another scale than the primary one's get
// the client size of that scale.
void Win32FitToMonitor(Win32WindowRecord& window, DWORD style) {
  const UINT dpi = Win32WindowDpi(window.handle);
  if (dpi == window.dpi) return;
  window.dpi = dpi;
  const SIZE outer = Win32OuterSize(window.client, dpi, style);
  SetWindowPos(window.handle, nullptr, 0, 0, outer.cx, outer.cy,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// A movable block holding `text` as UTF-16 with its terminator, or nullptr.
HGLOBAL Win32WideBlock(std::string_view text) {
  const int length = static_cast<int>(text.size());
  const int units = MultiByteToWideChar(CP_UTF8, 0, text.data(), length, nullptr, 0);
  if (units == 0 && length != 0) return nullptr;
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, (units + 1) * sizeof(wchar_t));
  if (!block) return nullptr;
  auto* wide = static_cast<wchar_t*>(GlobalLock(block));
  MultiByteToWideChar(CP_UTF8, 0, text.data(), length, wide, units);
  wide[units] = L'\0';
  GlobalUnlock(block);
  return block;
}

std::string Win32Utf8(const wchar_t* wide) {
  const int bytes = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
  if (bytes <= 1) return {};
  std::string text(static_cast<std::size_t>(bytes), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide, -1, text.data(), bytes, nullptr, nullptr);
  text.pop_back();  // the terminator
  return text;
}

}  // namespace

void WindowServiceStartup() {
  service.events = Win32EventState{};
  Win32ProgramIcon();
  service.arrow = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
  service.controlFont = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  INITCOMMONCONTROLSEX controls{};
  controls.dwSize = sizeof controls;
  controls.dwICC = ICC_TAB_CLASSES | ICC_DATE_CLASSES | ICC_USEREX_CLASSES | ICC_INTERNET_CLASSES;
  InitCommonControlsEx(&controls);
  InitCommonControls();
}

void WindowServiceShutdown() {
  service.windows.Clear();
  service.buttons.Clear();
  service.events.queue.clear();
  service.buttonParent = nullptr;
  for (const auto& [dpi, font] : service.scaledControlFonts) DeleteObject(font);
  service.scaledControlFonts.clear();
}

std::array<std::string_view, 3> SystemRequirements() {
  return {"DirectX 7+", "Soundcard", "WindowsXP SP1+"};
}

std::array<std::string_view, 2> ClipboardShortcutsHelp() {
  return kSettingsLineShortcutsHelp;
}

std::string_view WindowEnvironmentHelp() {
  return "";
}

std::uint32_t ButtonFaceColour() {
  return GetSysColor(COLOR_BTNFACE);
}

ObjectId MainWindowOpen(ObjectId id, std::int32_t x, std::int32_t y, std::int32_t width,
                        std::int32_t height, std::string_view title, std::uint32_t flags) {
  Win32WindowRecord* window = service.windows.Create(id);
  if (!window) return 0;
  const ObjectId identifier =
      id == kNewObject ? ObjectTable<Win32WindowRecord>::ReferenceOf(window) : id;
  const std::string className = "WindowClass_" + std::to_string(identifier);
  Win32RegisterWindowClass(className);

  if ((flags & ~(kWindowCentreScreen | kWindowCentreActive | kWindowHidden)) == 0)
    flags |= kWindowCaption;
  const bool hidden = flags & kWindowHidden;
  flags &= ~kWindowHidden;
  const DWORD style = flags & ~(kWindowCentreScreen | kWindowCentreActive);
  window->client = {width, height};
  window->dpi = Win32WindowDpi(nullptr);
  const RECT outer = Win32OuterRectangle(x, y, window->client, window->dpi, style, flags);

  window->handle = CreateWindowExA(
      0, className.c_str(), std::string(title).c_str(), style, outer.left, outer.top,
      outer.right - outer.left, outer.bottom - outer.top, nullptr, nullptr, Win32Module(), nullptr);
  if (!window->handle) {
    UnregisterClassA(className.c_str(), Win32Module());
    service.windows.Remove(identifier);
    return 0;
  }
  Win32SetTag(window->handle, identifier);
  Win32FitToMonitor(*window, style);
  SendMessageA(window->handle, WM_SETICON, ICON_SMALL,
               reinterpret_cast<LPARAM>(Win32ProgramSmallIcon()));
  SendMessageA(window->handle, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(Win32ProgramIcon()));
  if (!hidden) ShowWindow(window->handle, (flags & kWindowMaximised) ? SW_MAXIMIZE : SW_SHOWNORMAL);
  Win32SetAccelerators(*window, {});
  return id == kNewObject ? identifier : reinterpret_cast<ObjectId>(window->handle);
}

WindowHandle WindowNativeHandle(ObjectId window) {
  const Win32WindowRecord* record = service.windows.Find(window);
  return record ? reinterpret_cast<WindowHandle>(record->handle) : 0;
}

WindowHandle ButtonParentSet(WindowHandle parent) {
  service.buttonParent = reinterpret_cast<HWND>(parent);
  return parent;
}

ObjectId ButtonAdd(ObjectId id, std::int32_t x, std::int32_t y, std::int32_t width,
                   std::int32_t height, std::string_view text) {
  HWND handle = CreateWindowExA(
      0, "Button", std::string(text).c_str(), kButtonStyle, 0, 0, 0, 0, service.buttonParent,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(kNoWindow)), Win32Module(), nullptr);
  if (!handle) return 0;
  Win32ButtonRecord* button = service.buttons.Create(id);
  if (!button) {
    DestroyWindow(handle);
    return 0;
  }
  const ObjectId identifier =
      id == kNewObject ? ObjectTable<Win32ButtonRecord>::ReferenceOf(button) : id;
  button->handle = handle;
  button->kind = kButtonKind;
  button->controlProcedure = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(handle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Win32ButtonProcedure)));
  SetWindowLongPtrA(handle, GWLP_ID, identifier);
  Win32SetTag(handle, identifier);
  button->place = {x, y, x + width, y + height};
  Win32PlaceButton(*button, Win32WindowDpi(service.buttonParent));
  return id == kNewObject ? identifier : reinterpret_cast<ObjectId>(handle);
}

std::int32_t EventPoll() {
  Win32EventState& events = service.events;
  events.eventType = -1;
  if (!events.queue.empty()) {
    const Win32QueuedEvent next = events.queue.front();
    events.queue.pop_front();
    events.eventWindow = next.window;
    events.pendingCode = 0;
    return next.code;
  }
  MSG message;
  if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE | PM_NOYIELD)) return kEventNone;
  HWND active = GetActiveWindow();
  const Win32WindowRecord* window = active ? Win32WindowOfHandle(active) : nullptr;
  const bool accelerator = window && window->acceleratorTable &&
                           TranslateAcceleratorA(active, window->acceleratorTable, &message);
  if (!accelerator) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  if (events.pendingCode != 0) {
    const std::int32_t code = events.pendingCode;
    events.pendingCode = 0;
    return code;
  }
  events.wordParam = static_cast<std::uint32_t>(message.wParam);
  events.longParam = static_cast<std::uint32_t>(message.lParam);
  return static_cast<std::int32_t>(message.message);
}

std::uint32_t EventWordParam() {
  return service.events.wordParam;
}

ObjectId EventButtonHandle() {
  return service.events.eventButton;
}

std::int32_t EventCommandId() {
  return service.events.command;
}

bool WindowCommandKeysSet(ObjectId window, std::span<const CommandKey> keys) {
  Win32WindowRecord* record = service.windows.Find(window);
  if (!record) return false;
  Win32SetAccelerators(*record, keys);
  return true;
}

std::int32_t MousePosX(ObjectId window) {
  POINT cursor;
  return Win32CursorInClient(window, cursor) ? cursor.x : -1;
}

std::int32_t MousePosY(ObjectId window) {
  POINT cursor;
  return Win32CursorInClient(window, cursor) ? cursor.y : -1;
}

// The hidden multimedia window owns the clipboard's data: a clipboard opened
// without an owner window refuses new data.
bool ClipboardSetText(std::string_view text) {
  HGLOBAL block = Win32WideBlock(text);
  if (!block) return false;
  if (!OpenClipboard(Win32MultimediaWindow())) {
    GlobalFree(block);
    return false;
  }
  EmptyClipboard();
  const bool taken = SetClipboardData(CF_UNICODETEXT, block) != nullptr;
  CloseClipboard();
  if (!taken) GlobalFree(block);  // the clipboard owns it only once taken
  return taken;
}

std::optional<std::string> ClipboardText() {
  if (!OpenClipboard(Win32MultimediaWindow())) return std::nullopt;
  std::optional<std::string> text;
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* wide = static_cast<const wchar_t*>(GlobalLock(data))) {
      text = Win32Utf8(wide);
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}
