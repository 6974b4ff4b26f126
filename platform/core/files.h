// Writing files through a small per-file write buffer.
//
// Files live in an ObjectTable: under a number the caller chooses, or under -1
// for a new record whose reference identifies the file. Small writes gather in
// a 4096-byte buffer; a write that does not fit flushes it first, and a write
// of 4096 bytes or more goes to the file directly.
//
// Unlike a plain buffered writer, failures are not swallowed: FileWrite says
// how many bytes it took, and FileClose says whether every byte reached the
// file, so a full disk is never reported as a saved file.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/core/object_table.h"

// Creates (or empties) the file at `path` for writing under `id`. Returns a
// nonzero value on success (for -1: the new file's identifier) and 0 when the
// file cannot be created; a number that was in use is closed first.
ObjectId FileCreate(ObjectId id, std::string_view path);

// Writes `length` bytes. Returns the number of bytes taken: `length` on
// success, fewer when the file refused bytes (this write's or buffered ones
// flushed now), and 0 for no data, a length <= 0 or a file that is not open.
std::int32_t FileWrite(ObjectId id, const void* data, std::int32_t length);

// Flushes and closes the file. Returns true when every byte taken reached the
// file and it closed cleanly; false after any failed write, or when `id` names
// no open file.
bool FileClose(ObjectId id);

// Removes the regular file at `path` (a device or folder is left alone).
// Returns true when a file was removed.
bool FileDelete(std::string_view path);

// Closes every file still open, flushing what its buffer holds.
void FilesShutdown();
