// Replacing a file safely, the part of the file layer that differs by system.
// The new bytes go to a temporary file in the target's folder; only when all
// of them are written and synced to the disk does the temporary file take the
// target's name, in one rename. Until then the old file is untouched, and a
// failure removes the temporary file and leaves the target as it was.
// Finishing the temporary file and placing it are two steps, so that a caller
// can finish many files before any of them takes its name, and the placing
// may refuse to replace a name that exists by then.
//
// Texts are UTF-8; the Windows source converts paths at its boundary.
// Sources: file_replace_posix.cpp, file_replace_win32.cpp (chosen by the build).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Why a replacement, a read or a new folder failed, in the words the user
// sees. A failure that none of these covers is told in the system's own words.
inline constexpr std::string_view kReasonDiskFull = "the disk is full";
inline constexpr std::string_view kReasonPermission = "permission was denied";
inline constexpr std::string_view kReasonReadOnly = "the disk is read-only";
inline constexpr std::string_view kReasonNoFolder = "the folder does not exist";
inline constexpr std::string_view kReasonNameTooLong = "the name is too long";
inline constexpr std::string_view kReasonTooLarge = "the file is larger than the system allows";
inline constexpr std::string_view kReasonNotRegular = "the target is not a regular file";
inline constexpr std::string_view kReasonNoFileName = "the name ends in a folder separator";
inline constexpr std::string_view kReasonNoFile = "the file does not exist";
inline constexpr std::string_view kReasonIsFolder = "it is a folder";
inline constexpr std::string_view kReasonFileInWay = "a file of that name is in the way";
inline constexpr std::string_view kReasonExists = "the file exists already";

// What placing a finished temporary file does to a file that has the name:
// replaces it, or keeps it and fails. Keeping is decided by the system at the
// very moment of the rename, so a file that appeared since the start counts.
enum class Placement { kReplace, kKeepExisting };

struct Replacement {
  void* handle = nullptr;  // the open temporary file; null when none is open
  std::string temporary;   // its path
  std::string target;      // the file it replaces, symbolic links followed
  std::string reason;      // why the replacement failed; "" while it has not
};

// Checks the target and opens a new temporary file beside it. A target that
// exists must be a regular file that may be written; it is never opened.
// Returns false with `reason` set, and nothing open or left behind, when the
// replacement cannot begin.
bool ReplacementBegin(Replacement& replacement, std::string_view path);

// Writes `length` bytes to the temporary file. Returns the count written:
// fewer on a failure, which sets `reason`.
std::int32_t ReplacementWrite(Replacement& replacement, const void* data, std::int32_t length);

// Syncs and closes the temporary file, which stays under its own name.
// Returns false with `reason` set when either step fails; the temporary file
// is then removed.
bool ReplacementFinish(Replacement& replacement);

// Gives the finished temporary file the target's name as `placement` says.
// Returns false with `reason` set (kReasonExists for a kept file) when the
// rename fails; the temporary file is then removed.
bool ReplacementPlace(Replacement& replacement, Placement placement);

// Finishes the temporary file and renames it over the target.
inline bool ReplacementCommit(Replacement& replacement) {
  return ReplacementFinish(replacement) && ReplacementPlace(replacement, Placement::kReplace);
}

// Closes and removes the temporary file, open or finished; the target stays
// as it was. Does nothing once the file is placed.
void ReplacementAbandon(Replacement& replacement);

// Removes the file that ReplacementPlace put at the target, to take back a
// set of files of which not all could be placed. Returns false when the
// system refused.
bool ReplacementWithdraw(Replacement& replacement);
