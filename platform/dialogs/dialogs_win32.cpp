// Message boxes, the save dialog and the working directory on Win32.
//
// Implements: MessageBoxA and GetSaveFileNameA, each modal for the whole
// thread (the thread's other enabled, visible windows are disabled while it
// is open, the foreground window of this process is its owner); the save
// dialog's filter list, initial folder and name split from the initial path,
// no overwrite question, no added extension, the current directory left
// alone; GetCurrentDirectoryA with a final backslash.
// Leaves out: the open-file dialog, multiple selection. Paths of
// 260 characters or more: the current directory then reads as unknown ("")
// and a longer initial name is not offered.
// Depends on: User32, the common dialogs, Kernel32.
#include <windows.h>
// The headers below need windows.h first.
#include <commdlg.h>

#include <string>
#include <vector>

#include "platform/dialogs/dialogs.h"

namespace {

constexpr DWORD kPathSpace = MAX_PATH;  // 260 bytes: 259 characters and the terminator
constexpr DWORD kSaveFlags = OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST | OFN_EXPLORER;

// A window that a box or dialog disabled, to be enabled again afterwards.
struct Win32DisabledWindow {
  DWORD thread;
  HWND handle;
};

std::vector<Win32DisabledWindow> disabledWindows;

BOOL CALLBACK Win32DisableThreadWindow(HWND window, LPARAM) {
  const DWORD thread = GetCurrentThreadId();
  if (GetWindowThreadProcessId(window, nullptr) == thread && IsWindowVisible(window) &&
      IsWindowEnabled(window) && window != GetForegroundWindow()) {
    EnableWindow(window, FALSE);
    disabledWindows.push_back({thread, window});
  }
  return TRUE;
}

// Before a box or dialog: disables the thread's other windows and gives the
// owner, the foreground window when it is this process's.
HWND Win32BeginModal() {
  EnumWindows(Win32DisableThreadWindow, 0);
  HWND foreground = GetForegroundWindow();
  DWORD process = 0;
  if (foreground) GetWindowThreadProcessId(foreground, &process);
  return process == GetCurrentProcessId() ? foreground : nullptr;
}

// After it: enables the windows that Win32BeginModal disabled on this thread.
void Win32EndModal() {
  const DWORD thread = GetCurrentThreadId();
  std::erase_if(disabledWindows, [thread](const Win32DisabledWindow& window) {
    if (window.thread != thread) return false;
    EnableWindow(window.handle, TRUE);
    return true;
  });
}

// The filter list: the pattern's parts separated by zero bytes, ending in two.
std::string Win32FilterList(std::string_view pattern) {
  std::string filters(pattern);
  for (char& c : filters)
    if (c == '|') c = '\0';
  filters.append(2, '\0');
  return filters;
}

bool Win32NameAllowed(std::string_view name) {
  if (name.empty() || name.size() >= kPathSpace) return false;
  for (const char c : name)
    if (static_cast<unsigned char>(c) < 0x20 ||
        std::string_view("\"*/:<>?\\|").find(c) != std::string_view::npos)
      return false;
  return true;
}

}  // namespace

std::int32_t MessageBoxShow(std::string_view title, std::string_view text, std::uint32_t style) {
  HWND owner = Win32BeginModal();
  const int answer =
      MessageBoxA(owner, std::string(text).c_str(), std::string(title).c_str(), style);
  Win32EndModal();
  return answer;
}

std::string SaveDialogRun(std::string_view title, std::string_view initialPath,
                          std::string_view pattern, std::int32_t patternIndex) {
  char path[kPathSpace] = {};
  const std::string filters = Win32FilterList(pattern);
  // A backslash after the first character splits folder and name.
  const std::size_t split = initialPath.rfind('\\');
  const bool hasFolder = split != std::string_view::npos && split > 0;
  const std::string folder(hasFolder ? initialPath.substr(0, split) : std::string_view());
  const std::string_view name = hasFolder ? initialPath.substr(split + 1) : initialPath;
  if (Win32NameAllowed(name)) name.copy(path, name.size());
  const std::string dialogTitle(title);

  OPENFILENAMEA dialog{};
  dialog.lStructSize = OPENFILENAME_SIZE_VERSION_400A;  // the form without the places bar fields
  dialog.hwndOwner = Win32BeginModal();
  dialog.lpstrFilter = filters.c_str();
  dialog.nFilterIndex = static_cast<DWORD>(patternIndex + 1);
  dialog.lpstrFile = path;
  dialog.nMaxFile = kPathSpace;
  dialog.lpstrInitialDir = folder.c_str();
  dialog.lpstrTitle = dialogTitle.c_str();
  dialog.Flags = kSaveFlags;
  const BOOL confirmed = GetSaveFileNameA(&dialog);
  Win32EndModal();
  return confirmed ? std::string(path) : std::string();
}

std::string WorkingDirectory() {
  char directory[kPathSpace];
  const DWORD length = GetCurrentDirectoryA(kPathSpace, directory);
  if (length == 0 || length >= kPathSpace) return std::string();
  std::string result(directory, length);
  if (result.back() != '\\') result += '\\';
  return result;
}
