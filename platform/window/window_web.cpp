// Window, buttons and events in a web page.
//
// Implements: the main window as a block of the page holding a canvas of
// the client area's size (laid out by the page's style: centred, or scaled
// to a narrow screen's width), with the title as the page's title and name;
// real HTML <button>s at the given positions, clicked with the mouse, a
// finger, Space (on release) or Enter, in the browser's focus order with no
// button focused at load; the event poll, which hands out the browser's
// queued pointer moves, presses, double-clicks and releases (512..521) of
// mouse, pen or finger with the Windows key-state word, button clicks
// (13100), wheel turns (522), context menu requests (123: a right click, or
// a finger held still, whose press then ends as a release) and commands
// (273) of the command keys and of an HTML context menu; the cursor
// position in client coordinates at any scale. Each
// poll also hands files saved meanwhile to the browser as downloads; the
// backend's system requirements (a web browser with WebAssembly and Web
// Audio).
// Leaves out: the close request (the browser closes the page), window moves,
// sizes, paints and activations (3, 5, 15, 13104) and other keyboard codes,
// which the application passes over; the copy and paste codes and the
// clipboard's text: a page reaches the clipboard only inside the browser's
// own copy and paste events, which the page answers with share links
// (app/web/web_main.cpp), so the clipboard functions report that they cannot.
// Depends on: tonkelwerk_web.js through platform/web/web_shared.h.
#include <string>

#include "platform/web/web_shared.h"
#include "platform/window/window.h"

namespace {

struct WebWindowRecord {
  int handle = 0;  // the page's window block
  bool Live() const { return handle != 0; }
};

struct WebButtonRecord {
  int handle = 0;
  bool Live() const { return handle != 0; }
};

void WebReleaseWindow(WebWindowRecord& record) {
  tw_window_close(record.handle);  // its buttons go with it
  record.handle = 0;
}

void WebReleaseButton(WebButtonRecord& record) {
  tw_button_remove(record.handle);
  record.handle = 0;
}

struct WebWindowService {
  ObjectTable<WebButtonRecord> buttons{WebReleaseButton};
  ObjectTable<WebWindowRecord> windows{WebReleaseWindow};
  WindowHandle buttonParent = 0;
};

WebWindowService service;

int WebWindowOf(ObjectId window) {
  const WebWindowRecord* record = service.windows.Find(window);
  return record ? record->handle : 0;
}

}  // namespace

void WindowServiceStartup() {}

std::array<std::string_view, 3> SystemRequirements() {
  return {"Web browser", "WebAssembly", "Web Audio"};
}

// The page's clipboard carries links to the page (app/web/web_share.h); its
// menu opens for a finger too.
std::array<std::string_view, 2> ClipboardShortcutsHelp() {
  return {
      "Ctrl+C copies the knobs as a link to this page; right click or hold a knob for the "
      "menu.",
      "Ctrl+V sets them from a link or a line. Keys: 1-7 presets, R random, M Mutate, Ctrl+Z "
      "undo, Ctrl+Y redo."};
}

// A page has no environment variables.
std::string_view WindowEnvironmentHelp() {
  return "";
}

void WindowServiceShutdown() {
  service.buttons.Clear();
  service.windows.Clear();
  service.buttonParent = 0;
}

std::uint32_t ButtonFaceColour() {
  return tw_button_face();
}

// The page places the window: centred, with a title bar of its own; the
// position and style flags have nothing to change there.
ObjectId MainWindowOpen(ObjectId id, std::int32_t, std::int32_t, std::int32_t width,
                        std::int32_t height, std::string_view title, std::uint32_t) {
  if (width <= 0 || height <= 0) return 0;
  WebWindowRecord* record = service.windows.Create(id);
  if (!record) return 0;
  record->handle = tw_window_open(width, height, std::string(title).c_str());
  if (!record->handle) {
    service.windows.Remove(id == kNewObject ? ObjectTable<WebWindowRecord>::ReferenceOf(record)
                                            : id);
    return 0;
  }
  return id == kNewObject ? ObjectTable<WebWindowRecord>::ReferenceOf(record) : record->handle;
}

WindowHandle WindowNativeHandle(ObjectId window) {
  return WebWindowOf(window);
}

WindowHandle ButtonParentSet(WindowHandle parent) {
  service.buttonParent = parent;
  return parent;
}

ObjectId ButtonAdd(ObjectId id, std::int32_t x, std::int32_t y, std::int32_t width,
                   std::int32_t height, std::string_view text) {
  WebButtonRecord* record = service.buttons.Create(id);
  if (!record) return 0;
  // Clicks name a button made under -1 by its reference, else by its handle.
  const ObjectId reference = ObjectTable<WebButtonRecord>::ReferenceOf(record);
  record->handle =
      tw_button_add(static_cast<int>(service.buttonParent), id == kNewObject ? reference : 0, x, y,
                    width, height, std::string(text).c_str());
  if (!record->handle) {
    service.buttons.Remove(id == kNewObject ? reference : id);
    return 0;
  }
  return id == kNewObject ? reference : record->handle;
}

std::int32_t EventPoll() {
  // The command that saved a file has finished by the next poll.
  WebDownloadsOffer();
  return tw_event_next();
}

std::uint32_t EventWordParam() {
  return tw_event_word();
}

ObjectId EventButtonHandle() {
  return tw_event_button();
}

std::int32_t EventCommandId() {
  return tw_event_command();
}

bool WindowCommandKeysSet(ObjectId window, std::span<const CommandKey> keys) {
  const int handle = WebWindowOf(window);
  if (!handle) return false;
  tw_command_keys_clear(handle);
  for (const CommandKey& key : keys) tw_command_key_add(key.command, key.key, key.modifiers);
  return true;
}

// The page's menu stays open while the program goes on: the entry chosen
// comes through the event queue.
void ContextMenuOpen(ObjectId window, std::int32_t x, std::int32_t y,
                     std::span<const MenuEntry> entries) {
  const int handle = WebWindowOf(window);
  if (!handle) return;
  for (const MenuEntry& entry : entries)
    tw_menu_entry(entry.command, std::string(entry.text).c_str(), entry.enabled ? 1 : 0);
  tw_menu_open(handle, x, y);
}

std::int32_t MousePosX(ObjectId window) {
  const int handle = WebWindowOf(window);
  return handle ? tw_mouse_pos(handle, 0) : -1;
}

std::int32_t MousePosY(ObjectId window) {
  const int handle = WebWindowOf(window);
  return handle ? tw_mouse_pos(handle, 1) : -1;
}

bool ClipboardSetText(std::string_view) {
  return false;
}

std::optional<std::string> ClipboardText() {
  return std::nullopt;
}
