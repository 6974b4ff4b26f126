// The win32 backend's shared part: module, icon, hidden multimedia window and
// run-time DLL loading (see win32_shared.h).
#include "platform/win32/win32_shared.h"

namespace {

constexpr char kMultimediaClass[] = "MultimediaBase Class";
constexpr WORD kIconResource = 1;

HWND multimediaWindow = nullptr;

bool Win32RegisterMultimediaClass() {
  WNDCLASSEXA windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.style = CS_DBLCLKS;
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.hInstance = Win32Module();
  windowClass.hIcon = Win32ProgramIcon();
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  windowClass.lpszClassName = kMultimediaClass;
  return RegisterClassExA(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

}  // namespace

HINSTANCE Win32Module() {
  return GetModuleHandleA(nullptr);
}

HICON Win32ProgramIcon() {
  static const HICON icon = LoadIconA(Win32Module(), MAKEINTRESOURCEA(kIconResource));
  return icon;
}

HICON Win32ProgramSmallIcon() {
  // The picture of that size from the icon file, not the large one shrunk.
  static const HICON icon = static_cast<HICON>(
      LoadImageA(Win32Module(), MAKEINTRESOURCEA(kIconResource), IMAGE_ICON,
                 GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
  return icon;
}

HWND Win32MultimediaWindow() {
  if (multimediaWindow) return multimediaWindow;
  if (!Win32RegisterMultimediaClass()) return nullptr;
  multimediaWindow = CreateWindowExA(0, kMultimediaClass, "", WS_POPUP, 0, 0, 1, 1, nullptr,
                                     nullptr, Win32Module(), nullptr);
  return multimediaWindow;
}

bool Win32LibraryLoad(Win32Library& library, const char* dll,
                      std::initializer_list<Win32Entry> entries) {
  Win32LibraryUnload(library);
  library.module = LoadLibraryA(dll);
  bool found = library.module != nullptr;
  for (const Win32Entry& entry : entries) {
    *entry.address = found ? GetProcAddress(library.module, entry.name) : nullptr;
    found = found && *entry.address != nullptr;
  }
  if (found) return true;
  for (const Win32Entry& entry : entries) *entry.address = nullptr;
  Win32LibraryUnload(library);
  return false;
}

void Win32LibraryUnload(Win32Library& library) {
  if (library.module) FreeLibrary(library.module);
  library.module = nullptr;
}
