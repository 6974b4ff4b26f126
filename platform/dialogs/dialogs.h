// Dialogs and the working directory: the modal message box, the save-file
// dialog and the current directory the dialog starts in.
//
// While a box or dialog is open the program's own windows take no input.
//
// Backends: dialogs_qt.cpp (Qt Widgets), dialogs_win32.cpp (User32, common
// dialogs), dialogs_web.cpp (HTML <dialog>s).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>


// Message box styles: the icon, with the single OK button.
inline constexpr std::uint32_t kBoxPlain = 0;
inline constexpr std::uint32_t kBoxError = 16;
inline constexpr std::uint32_t kBoxWarning = 48;

// Shows a modal box with `title`, `text`, the icon of `style` and one OK
// button; returns when the user has closed it. Returns 1 for OK, 0 when no
// box can be shown (the backend then writes title and text to the standard
// error stream where it has one). Error boxes go to that stream as well,
// where launchers and scripts see them.
std::int32_t MessageBoxShow(std::string_view title, std::string_view text, std::uint32_t style);

// Runs the modal save dialog. `pattern` holds pairs of a display name and a
// filter, each part separated from the next by '|'; `patternIndex` picks the
// pair shown first (0: the first). `initialPath` is split at its last
// separator into the starting folder and the offered name (dropped when it
// holds a character no file name may hold). Existing files are chosen without
// an overwrite question; no extension is added. Returns the chosen full path,
// or "" when the user cancelled. The current directory stays unchanged.
std::string SaveDialogRun(std::string_view title, std::string_view initialPath,
                          std::string_view pattern, std::int32_t patternIndex);

// The current directory ending in the path separator, or "" when unknown.
std::string WorkingDirectory();
