// Reading a file whole, making one folder and naming errors on Windows.
// Paths are UTF-8 and go to the wide-character APIs, so any name the file
// system takes can be read or made.
// Leaves out: files larger than memory, paths of 260 characters or more.
// Depends on: Kernel32.
#include <windows.h>

#include "platform/core/file_replace.h"
#include "platform/core/file_system.h"
#include "platform/core/files.h"
#include "platform/core/wide_text_win32.h"

namespace {

std::string SystemText(DWORD error) {
  wchar_t* text = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring message(text ? text : L"", length);
  LocalFree(text);
  while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r'))
    message.pop_back();
  return message.empty() ? "system error " + std::to_string(error) : Utf8FromWide(message);
}

// The wide form of UTF-8 `path`, or "" with the error set when it has none.
std::wstring WidePath(std::string_view path) {
  std::wstring wide = WideFromUtf8(path);
  if (wide.empty()) SetLastError(ERROR_NO_UNICODE_TRANSLATION);
  return wide;
}

}  // namespace

std::string ReasonOf(SystemError error) {
  switch (error) {
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return std::string(kReasonDiskFull);
    case ERROR_ACCESS_DENIED:
      return std::string(kReasonPermission);
    case ERROR_WRITE_PROTECT:
      return std::string(kReasonReadOnly);
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
      return std::string(kReasonNoFolder);
    case ERROR_FILE_NOT_FOUND:
      return std::string(kReasonNoFile);
    case ERROR_FILENAME_EXCED_RANGE:
      return std::string(kReasonNameTooLong);
    default:
      return SystemText(error);
  }
}

PathKind PathKindOf(std::string_view path) {
  const std::wstring wide = WidePath(path);
  const DWORD attributes = wide.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW(wide.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return PathKind::kMissing;
  return attributes & FILE_ATTRIBUTE_DIRECTORY ? PathKind::kFolder : PathKind::kOther;
}

std::string FolderMakeOne(std::string_view path) {
  const std::wstring wide = WidePath(path);
  if (!wide.empty() && CreateDirectoryW(wide.c_str(), nullptr)) return {};
  const DWORD error = GetLastError();
  if (PathKindOf(path) == PathKind::kFolder) return {};
  return error == ERROR_ALREADY_EXISTS ? std::string(kReasonFileInWay) : ReasonOf(error);
}

std::string FileReadWhole(std::string_view path, std::string& text) {
  // Opening a folder fails as "access denied": tell it apart first.
  if (PathKindOf(path) == PathKind::kFolder) return std::string(kReasonIsFolder);
  const std::wstring wide = WidePath(path);
  HANDLE file = wide.empty() ? INVALID_HANDLE_VALUE
                             : CreateFileW(wide.c_str(), GENERIC_READ,
                                           FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return ReasonOf(GetLastError());
  text.clear();
  char buffer[65536];
  DWORD got = 0;
  DWORD error = 0;
  while (error == 0) {
    if (!ReadFile(file, buffer, sizeof buffer, &got, nullptr)) {
      // A pipe whose writer has closed it has simply ended.
      if (GetLastError() != ERROR_BROKEN_PIPE) error = GetLastError();
      break;
    }
    if (got == 0) break;
    text.append(buffer, got);
  }
  CloseHandle(file);
  return error == 0 ? std::string() : ReasonOf(error);
}
