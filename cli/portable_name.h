// File names that are the same file on every system, so that a sound kit
// that renders on Linux renders on Windows and macOS too: the one rule for a
// batch line's name, --count's names and -o's file.
// Leaves out: what a single system refuses anyway (its own reserved
// characters, which the settings line already keeps out of names), and case
// folding beyond ASCII letters.
// Depends on: nothing but the standard library.
#pragma once

#include <string>
#include <string_view>

// Why the file name `name` (one path component) is a file on no system or
// not one everywhere, "" when it is: a Windows device name (CON, PRN, AUX,
// NUL, COM1..COM9, LPT1..LPT9, in any case and with any extension), or more
// than 255 bytes.
std::string ReservedNameProblem(std::string_view name);

// Why the file name `name` would not be one and the same file everywhere,
// "" when it is: ReservedNameProblem's names, and a last character '.' or
// ' ' (which Windows drops, so "zap." would be "zap").
std::string PortableNameProblem(std::string_view name);

// The file of a sound called `name` in `extension`'s format: "NAME.EXT",
// or `name` alone when it ends in ".EXT" already (in any case).
std::string NamedFile(std::string_view name, std::string_view extension);

// `name` with ASCII letters in lower case: two names with the same folded
// form are one file where case does not count (Windows, macOS).
std::string CaseFolded(std::string_view name);
