// Message boxes, the save dialog and the working directory on Win32.
//
// Implements: MessageBoxW and GetSaveFileNameW, each modal for the whole
// thread (the thread's other enabled, visible windows are disabled while it
// is open, the foreground window of this process is its owner); the save
// dialog's filter list, initial folder and name split from the initial path,
// no overwrite question, no added extension, the current directory left
// alone; GetCurrentDirectoryW with a final backslash. Texts are UTF-8 and
// meet the wide-character calls through wide_text_win32.h, so names outside
// the ANSI code page ("ήχος.wav") come through whole.
// Leaves out: the open-file dialog, multiple selection. Paths of 260 UTF-16
// units or more: the current directory then reads as unknown ("")
// and a longer initial name is not offered.
// Depends on: User32, the common dialogs, Kernel32.
#include <windows.h>
// The headers below need windows.h first.
#include <commdlg.h>

#include <string>
#include <vector>

#include "platform/core/wide_text_win32.h"
#include "platform/dialogs/dialogs.h"

namespace {

constexpr DWORD kPathSpace = MAX_PATH;  // 259 UTF-16 units and the terminator
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

// The filter list: the pattern's parts separated by zero characters, ending
// in two.
std::wstring Win32FilterList(std::string_view pattern) {
  std::wstring filters = WideFromUtf8(pattern);
  for (wchar_t& c : filters)
    if (c == L'|') c = L'\0';
  filters.append(2, L'\0');
  return filters;
}

bool Win32NameAllowed(std::wstring_view name) {
  if (name.empty() || name.size() >= kPathSpace) return false;
  for (const wchar_t c : name)
    if (c < 0x20 || std::wstring_view(L"\"*/:<>?\\|").find(c) != std::wstring_view::npos)
      return false;
  return true;
}

}  // namespace

std::int32_t MessageBoxShow(std::string_view title, std::string_view text, std::uint32_t style) {
  HWND owner = Win32BeginModal();
  const int answer =
      MessageBoxW(owner, WideFromUtf8(text).c_str(), WideFromUtf8(title).c_str(), style);
  Win32EndModal();
  return answer;
}

std::string SaveDialogRun(std::string_view title, std::string_view initialPath,
                          std::string_view pattern, std::int32_t patternIndex) {
  wchar_t path[kPathSpace] = {};
  const std::wstring filters = Win32FilterList(pattern);
  // A backslash after the first character splits folder and name.
  const std::wstring initial = WideFromUtf8(initialPath);
  const std::size_t split = initial.rfind(L'\\');
  const bool hasFolder = split != std::wstring::npos && split > 0;
  const std::wstring folder = hasFolder ? initial.substr(0, split) : std::wstring();
  const std::wstring_view name =
      hasFolder ? std::wstring_view(initial).substr(split + 1) : std::wstring_view(initial);
  if (Win32NameAllowed(name)) name.copy(path, name.size());
  const std::wstring dialogTitle = WideFromUtf8(title);

  OPENFILENAMEW dialog{};
  dialog.lStructSize = OPENFILENAME_SIZE_VERSION_400W;  // the form without the places bar fields
  dialog.hwndOwner = Win32BeginModal();
  dialog.lpstrFilter = filters.c_str();
  dialog.nFilterIndex = static_cast<DWORD>(patternIndex + 1);
  dialog.lpstrFile = path;
  dialog.nMaxFile = kPathSpace;
  dialog.lpstrInitialDir = folder.c_str();
  dialog.lpstrTitle = dialogTitle.c_str();
  dialog.Flags = kSaveFlags;
  const BOOL confirmed = GetSaveFileNameW(&dialog);
  Win32EndModal();
  return confirmed ? Utf8FromWide(path) : std::string();
}

std::string WorkingDirectory() {
  wchar_t directory[kPathSpace];
  const DWORD length = GetCurrentDirectoryW(kPathSpace, directory);
  if (length == 0 || length >= kPathSpace) return std::string();
  std::string result = Utf8FromWide(std::wstring_view(directory, length));
  if (result.back() != '\\') result += '\\';
  return result;
}
