// Window, buttons and events: the program's main window with its push
// buttons, a poll of integer event codes that never waits, the mouse
// position relative to a window's client area, keys that run commands, a
// context menu, and the system clipboard's plain text.
//
// Windows and buttons live in ObjectTables; made under -1, their references
// identify them. Event codes keep the numbers of the Windows messages so that
// every backend speaks the same language to the application.
//
// Backends: window_qt.cpp (Qt Widgets), window_win32.cpp (User32),
// window_web.cpp (a web page's elements).
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "platform/core/object_table.h"

// A native window: the platform's own handle as a number, 0 for none.
using WindowHandle = std::intptr_t;

// Event codes of EventPoll.
inline constexpr std::int32_t kEventNone = 0;    // nothing waiting
inline constexpr std::int32_t kEventClose = 16;  // close request; the window stays open
inline constexpr std::int32_t kEventMouseMove = 512;
inline constexpr std::int32_t kEventLeftDown = 513;
inline constexpr std::int32_t kEventLeftUp = 514;
inline constexpr std::int32_t kEventLeftDouble = 515;
inline constexpr std::int32_t kEventRightDown = 516;
inline constexpr std::int32_t kEventRightUp = 517;
inline constexpr std::int32_t kEventRightDouble = 518;
inline constexpr std::int32_t kEventMiddleDown = 519;
inline constexpr std::int32_t kEventMiddleUp = 520;
inline constexpr std::int32_t kEventMiddleDouble = 521;
inline constexpr std::int32_t kEventButtonClicked = 13100;  // EventButtonHandle names it
inline constexpr std::int32_t kEventCopy = 769;             // Ctrl+C in a program window
inline constexpr std::int32_t kEventPaste = 770;            // Ctrl+V in a program window
// The user asks for the context menu (right click, the menu key); the cursor
// (MousePosX, MousePosY) says where.
inline constexpr std::int32_t kEventContextMenu = 123;
// A context menu entry chosen or a command key pressed: EventCommandId names it.
inline constexpr std::int32_t kEventCommand = 273;
// The mouse wheel turned over a program window: EventWordParam holds the
// key-state bits in its low 16 bits and the turn, signed, in its high 16 bits
// in kWheelNotch units per notch (up or away: positive); the cursor says where.
inline constexpr std::int32_t kEventWheel = 522;
inline constexpr std::int32_t kWheelNotch = 120;

// Key-state bits of a mouse event's word parameter.
inline constexpr std::uint32_t kKeyLeftButton = 1;
inline constexpr std::uint32_t kKeyRightButton = 2;
inline constexpr std::uint32_t kKeyShift = 4;
inline constexpr std::uint32_t kKeyControl = 8;
inline constexpr std::uint32_t kKeyMiddleButton = 16;

// Flags of MainWindowOpen; other bits are the platform's window style bits
// (Windows numbering: 0x00C00000 title bar, 0x00080000 system menu and close
// box, 0x00020000 minimise box, 0x00010000 maximise box, 0x00040000 sizing
// border).
inline constexpr std::uint32_t kWindowCentreScreen = 0x00000001;
inline constexpr std::uint32_t kWindowCentreActive = 0x00000002;
inline constexpr std::uint32_t kWindowMaximised = 0x01000000;
inline constexpr std::uint32_t kWindowHidden = 0x10000000;
inline constexpr std::uint32_t kWindowCaption = 0x00C00000;
inline constexpr std::uint32_t kWindowSystemMenu = 0x00080000;
inline constexpr std::uint32_t kWindowMinimiseBox = 0x00020000;
inline constexpr std::uint32_t kWindowMaximiseBox = 0x00010000;
inline constexpr std::uint32_t kWindowSizingBorder = 0x00040000;

// x or y of MainWindowOpen meaning "no position given".
inline constexpr std::int32_t kWindowNoPosition = -65535;

// Prepares the window, button and event services (and with them the desktop
// toolkit, where the backend has one). Reports nothing: a missing display
// shows in the first service that needs it.
void WindowServiceStartup();

// Destroys every open window with its buttons and ends the toolkit.
void WindowServiceShutdown();

// What the program needs of the system on this backend, one requirement a
// line, as the about text lists them.
std::array<std::string_view, 3> SystemRequirements();

// What Ctrl+C and Ctrl+V do on this backend, two lines of the about text.
std::array<std::string_view, 2> ClipboardShortcutsHelp();

// The desktops' clipboard shortcuts: settings lines, as tonkelwerk-render reads.
inline constexpr std::array<std::string_view, 2> kSettingsLineShortcutsHelp = {
    "Ctrl+C copies the knobs as a line for tonkelwerk-render, with its seed;",
    "Ctrl+V sets them from such a line; Preview and Save wave use its seed."};

// The environment variables that choose the display, one per line
// ("  NAME  what it does"), for the program's usage text; "" where none do.
std::string_view WindowEnvironmentHelp();

// The system's button-face colour, 0x00BBGGRR: the window background.
std::uint32_t ButtonFaceColour();

// Opens a window whose client area is width x height. Returns the new
// record's reference for id -1, else the native handle; 0 on failure. The
// window is visible on return unless kWindowHidden is given.
ObjectId MainWindowOpen(ObjectId id, std::int32_t x, std::int32_t y, std::int32_t width,
                        std::int32_t height, std::string_view title, std::uint32_t flags);

// The native handle of an open window, 0 when `window` names none.
WindowHandle WindowNativeHandle(ObjectId window);

// Buttons made from now on become children of `parent`. Returns `parent`.
WindowHandle ButtonParentSet(WindowHandle parent);

// A push button at (x, y) of the parent's client area. Returns the new
// record's reference for id -1, else the native handle; 0 on failure.
ObjectId ButtonAdd(ObjectId id, std::int32_t x, std::int32_t y, std::int32_t width,
                   std::int32_t height, std::string_view text);

// The next event code, kEventNone at once when nothing waits. Never waits.
std::int32_t EventPoll();

// The word parameter of the latest mouse event; for a mouse event the
// key-state bits above.
std::uint32_t EventWordParam();

// The button of the latest kEventButtonClicked: ButtonAdd's own result.
ObjectId EventButtonHandle();

// The command of the latest kEventCommand.
std::int32_t EventCommandId();

// A key that runs a command: a capital letter or a digit, pressed while
// exactly the `modifiers` (kKeyControl, kKeyShift; none for a plain key) are
// held.
struct CommandKey {
  std::int32_t command;  // what EventCommandId reports, 1..999
  char key;              // 'A'..'Z' or '0'..'9'
  std::uint32_t modifiers;
};

// From now on each press of one of `keys` in `window` comes as kEventCommand,
// replacing the keys given before. Tab, Shift+Tab, Ctrl+C and Ctrl+V keep
// their own meaning and are not given here. Returns false when `window`
// names no open window.
bool WindowCommandKeysSet(ObjectId window, std::span<const CommandKey> keys);

// One entry of a context menu.
struct MenuEntry {
  std::int32_t command;   // what EventCommandId reports; 0 for a separator
  std::string_view text;  // UTF-8; a tab puts the rest (the key) in the key column
  bool enabled;           // greyed out when false
};

// Opens the platform's own context menu of `entries` at (x, y) of the
// client area of `window`. The entry chosen arrives as kEventCommand; a menu
// closed otherwise (Escape, a click elsewhere) sends nothing. Returns when the
// menu is open, or closed again where the platform's menus are modal.
void ContextMenuOpen(ObjectId window, std::int32_t x, std::int32_t y,
                     std::span<const MenuEntry> entries);

// The cursor's position, read at the first of these calls after each
// EventPoll, in the client coordinates of `window`; -1 when
// the cursor lies outside the client area (right and bottom edges inclusive)
// or the window is not open.
std::int32_t MousePosX(ObjectId window);
std::int32_t MousePosY(ObjectId window);

// Puts `text` (UTF-8) on the system clipboard as plain text. Returns false
// when the clipboard did not take it.
bool ClipboardSetText(std::string_view text);

// The plain text on the system clipboard, in UTF-8; none when it holds no
// text or cannot be read.
std::optional<std::string> ClipboardText();
