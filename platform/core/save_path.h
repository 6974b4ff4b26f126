// The path a save writes to, one rule for the program's Save wave and for
// tonkelwerk-render: a chosen name without extension gets ".wav" (or the
// renderer's --format's own), and a name that ends in a folder separator
// names no file at all.
// Depends on: the text operations (TrimSpaces, ExtensionPart).
#pragma once

#include <string>
#include <string_view>

// The characters that end a folder's name in a path.
#ifdef _WIN32
inline constexpr std::string_view kFolderSeparators = "/\\";
#else
inline constexpr std::string_view kFolderSeparators = "/";
#endif

// True when `path` ends in a file name: it is not empty and its last character
// is no folder separator ('/', and on Windows also '\').
bool PathHasFileName(std::string_view path);

// The path a save writes to for a chosen path: with "." + `extension`
// appended (after trimming spaces) when the path has no extension, else
// exactly as chosen. A chosen path whose trimmed form has no file name
// ("sounds/") comes back trimmed and without an extension, so that it is
// refused rather than written as the hidden file "sounds/.wav".
std::string SavePathWithExtension(std::string_view chosen, std::string_view extension = "wav");
