// window_probe: reports what the Windows program under test shows, for the
// end-to-end test under Wine. It runs beside the program in the same Wine
// prefix and asks User32 about the program's top-level windows; the test
// drives the program itself with real X input (xdotool).
//
//   window_probe window TITLE  client size, outer rectangle, client origin
//                              on the screen, a point on the close box, the
//                              window style
//   window_probe box TITLE     a message box's text (line breaks as \n) and
//                              the centre of its OK button
//   window_probe menu -        an open pop-up menu's outer rectangle
//
// Sizes and positions are in the display's own pixels at any display scale.
//
// Exit status 0 when the window was found, 1 when not, 2 for bad usage.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

// A top-level window of another process whose title is exactly `title`.
HWND FindTopLevel(const char* title) {
  HWND window = FindWindowA(nullptr, title);
  return window && IsWindowVisible(window) ? window : nullptr;
}

// A point of the caption that the window itself reports as its close box.
bool CloseBoxPoint(HWND window, POINT& point) {
  RECT outer;
  GetWindowRect(window, &outer);
  POINT origin{0, 0};
  ClientToScreen(window, &origin);
  const LONG captionY = (outer.top + origin.y) / 2;
  for (LONG x = outer.right - 1; x > outer.left; --x) {
    const LRESULT hit = SendMessageA(window, WM_NCHITTEST, 0, MAKELPARAM(x, captionY));
    if (hit == HTCLOSE) {
      point = {x - 4, captionY};  // a few pixels inside its right edge
      return true;
    }
  }
  return false;
}

int ReportWindow(HWND window) {
  RECT client;
  GetClientRect(window, &client);
  POINT origin{0, 0};
  ClientToScreen(window, &origin);
  RECT outer;
  GetWindowRect(window, &outer);
  std::printf("client %ld %ld\n", client.right, client.bottom);
  std::printf("outer %ld %ld %ld %ld\n", outer.left, outer.top, outer.right, outer.bottom);
  std::printf("origin %ld %ld\n", origin.x, origin.y);
  POINT close{};
  if (CloseBoxPoint(window, close)) std::printf("close %ld %ld\n", close.x, close.y);
  std::printf("style 0x%08lx\n", static_cast<unsigned long>(GetWindowLongA(window, GWL_STYLE)));
  return 0;
}

BOOL CALLBACK FindStatic(HWND child, LPARAM found) {
  char className[32] = "";
  GetClassNameA(child, className, sizeof className);
  if (_stricmp(className, "Static") != 0 || GetWindowTextLengthA(child) == 0) return TRUE;
  *reinterpret_cast<HWND*>(found) = child;
  return FALSE;
}

int ReportBox(HWND box) {
  HWND text = nullptr;
  EnumChildWindows(box, FindStatic, reinterpret_cast<LPARAM>(&text));
  std::string message(text ? GetWindowTextLengthA(text) + 1 : 1, '\0');
  if (text) GetWindowTextA(text, message.data(), static_cast<int>(message.size()));
  message.resize(std::strlen(message.c_str()));
  // One line: the box's line breaks (CR LF or LF) as the two characters \n.
  std::erase(message, '\r');
  for (std::size_t at; (at = message.find('\n')) != std::string::npos;)
    message.replace(at, 1, "\\n");
  std::printf("text %s\n", message.c_str());
  HWND ok = GetDlgItem(box, IDOK);
  RECT button;
  if (ok && GetWindowRect(ok, &button))
    std::printf("ok %ld %ld\n", (button.left + button.right) / 2, (button.top + button.bottom) / 2);
  return 0;
}

// The pop-up menu open on the screen: User32's menu window class.
int ReportMenu() {
  HWND menu = FindWindowA("#32768", nullptr);
  if (!menu || !IsWindowVisible(menu)) return 1;
  RECT outer;
  GetWindowRect(menu, &outer);
  std::printf("outer %ld %ld %ld %ld\n", outer.left, outer.top, outer.right, outer.bottom);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  // Unaware of the scale, the probe would be told sizes shrunk to 96 DPI.
  SetProcessDPIAware();
  if (argc != 3) {
    std::fprintf(stderr, "usage: window_probe window|box TITLE, window_probe menu -\n");
    return 2;
  }
  if (std::strcmp(argv[1], "menu") == 0) return ReportMenu();
  HWND window = FindTopLevel(argv[2]);
  if (!window) return 1;
  if (std::strcmp(argv[1], "window") == 0) return ReportWindow(window);
  if (std::strcmp(argv[1], "box") == 0) return ReportBox(window);
  std::fprintf(stderr, "window_probe: unknown request %s\n", argv[1]);
  return 2;
}
