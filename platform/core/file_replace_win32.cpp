// Safe file replacement on Windows: a temporary file ".NAME.NNNNNNNN" made
// with CREATE_NEW in the target's folder, written, flushed to the disk
// (FlushFileBuffers), closed, then moved over the target with MoveFileExW
// (MOVEFILE_REPLACE_EXISTING), or without that flag, which the system refuses
// where the name exists, when no file may be replaced. Paths are UTF-8 and go to the wide-character
// APIs, so any name the file system takes can be saved. The replacement gets
// the old file's hidden, system and archive attributes.
// Leaves out: following symbolic links and junctions (the link itself is
// replaced), the old file's security descriptor, paths of 260 characters or
// more, and a check that a withdrawn file is still the one placed.
// Depends on: Kernel32.
#include <windows.h>

#include <atomic>
#include <string>

#include "platform/core/file_replace.h"
#include "platform/core/file_system.h"
#include "platform/core/wide_text_win32.h"

namespace {

constexpr std::size_t kNameKept = 200;  // of the target's name in the temporary one
constexpr int kTries = 100;             // names tried before giving up
constexpr DWORD kKeptAttributes =
    FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;

bool Fail(Replacement& replacement, std::string reason) {
  replacement.reason = std::move(reason);
  return false;
}

// The folder part of `path` with its final separator, or "" for a bare name.
std::wstring FolderOf(const std::wstring& path) {
  const auto mark = path.find_last_of(L"\\/:");
  return mark == std::wstring::npos ? std::wstring() : path.substr(0, mark + 1);
}

HANDLE Handle(const Replacement& replacement) {
  return static_cast<HANDLE>(replacement.handle);
}

}  // namespace

bool ReplacementBegin(Replacement& replacement, std::string_view path) {
  replacement.target = std::string(path);
  const std::wstring target = WideFromUtf8(path);
  if (target.empty()) return Fail(replacement, ReasonOf(ERROR_NO_UNICODE_TRANSLATION));
  const DWORD attributes = GetFileAttributesW(target.c_str());
  const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
  if (exists && (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)))
    return Fail(replacement, std::string(kReasonNotRegular));
  if (exists && (attributes & FILE_ATTRIBUTE_READONLY))
    return Fail(replacement, std::string(kReasonPermission));
  const DWORD kept = exists && (attributes & kKeptAttributes) ? attributes & kKeptAttributes
                                                              : FILE_ATTRIBUTE_NORMAL;

  const std::wstring folder = FolderOf(target);
  const std::wstring stem = folder + L"." + target.substr(folder.size(), kNameKept) + L".";
  // Atomic: threads may begin replacements at the same time.
  static std::atomic<DWORD> counter = 0;
  for (int attempt = 0; attempt < kTries; ++attempt) {
    const DWORD unique = GetTickCount() ^ (GetCurrentProcessId() << 16) ^ ++counter;
    const std::wstring temporary = stem + std::to_wstring(unique);
    HANDLE file = CreateFileW(temporary.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                              CREATE_NEW, kept, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      replacement.handle = file;
      replacement.temporary = Utf8FromWide(temporary);
      return true;
    }
    const DWORD error = GetLastError();
    if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS)
      return Fail(replacement, ReasonOf(error));
  }
  return Fail(replacement, ReasonOf(ERROR_FILE_EXISTS));
}

std::int32_t ReplacementWrite(Replacement& replacement, const void* data, std::int32_t length) {
  DWORD written = 0;
  if (!WriteFile(Handle(replacement), data, static_cast<DWORD>(length), &written, nullptr) ||
      written != static_cast<DWORD>(length)) {
    replacement.reason = ReasonOf(GetLastError());
  }
  return static_cast<std::int32_t>(written);
}

bool ReplacementFinish(Replacement& replacement) {
  HANDLE file = Handle(replacement);
  replacement.handle = nullptr;
  DWORD error = FlushFileBuffers(file) ? 0 : GetLastError();
  if (!CloseHandle(file) && error == 0) error = GetLastError();
  if (error == 0) return true;
  ReplacementAbandon(replacement);
  return Fail(replacement, ReasonOf(error));
}

bool ReplacementPlace(Replacement& replacement, Placement placement) {
  const DWORD replacing = placement == Placement::kReplace ? MOVEFILE_REPLACE_EXISTING : 0;
  if (MoveFileExW(WideFromUtf8(replacement.temporary).c_str(),
                  WideFromUtf8(replacement.target).c_str(), replacing | MOVEFILE_WRITE_THROUGH)) {
    replacement.temporary.clear();
    return true;
  }
  const DWORD error = GetLastError();
  ReplacementAbandon(replacement);
  const bool kept = placement == Placement::kKeepExisting &&
                    (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS);
  return Fail(replacement, kept ? std::string(kReasonExists) : ReasonOf(error));
}

void ReplacementAbandon(Replacement& replacement) {
  if (replacement.handle) CloseHandle(Handle(replacement));
  replacement.handle = nullptr;
  if (!replacement.temporary.empty()) DeleteFileW(WideFromUtf8(replacement.temporary).c_str());
  replacement.temporary.clear();
}

bool ReplacementWithdraw(Replacement& replacement) {
  return DeleteFileW(WideFromUtf8(replacement.target).c_str()) != 0;
}
