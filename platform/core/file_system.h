// The system's part of reading files and making folders, and the one place
// where a system's error code becomes the reason the user reads. The file
// layer (files.h) makes its folders and answers PathExists with these; its
// FileReadWhole is defined in the same sources.
// Texts are UTF-8; the Windows source converts paths at its boundary.
// Sources: file_system_posix.cpp, file_system_win32.cpp (chosen by the build).
// Depends on: file_replace.h for the reasons' texts.
#pragma once

#include <string>
#include <string_view>

#ifdef _WIN32
using SystemError = unsigned long;  // a GetLastError() code (DWORD)
#else
using SystemError = int;  // an errno value
#endif

// Why a call failed with `error`: one of file_replace.h's reasons, else the
// system's own words.
std::string ReasonOf(SystemError error);

enum class PathKind { kMissing, kFolder, kOther };

// What is at `path`; kMissing also when the system will not say.
PathKind PathKindOf(std::string_view path);

// Makes the one folder `path` in a folder that exists. Returns "" when the
// folder is there afterwards (made by someone else meanwhile too), else why
// not.
std::string FolderMakeOne(std::string_view path);
