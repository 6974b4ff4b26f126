// Writing files through a small per-file write buffer, replacing them safely.
//
// Files live in an ObjectTable: under a number the caller chooses, or under -1
// for a new record whose reference identifies the file. Small writes gather in
// a 4096-byte buffer; a write that does not fit flushes it first, and a write
// of 4096 bytes or more goes to the file directly.
//
// The bytes go to a temporary file beside the target, which takes the
// target's place only when FileClose finds that every byte reached the disk:
// until then an existing file keeps its old contents, and a failed file never
// replaces it. Failures are not swallowed: FileWrite says how many bytes it
// took, FileClose whether the file was saved. FileSaveWhole, the writer of
// every file the program and tonkelwerk-render save, also says why not.
//
// Reading a file whole, making folders and asking whether a path exists are
// here too, so that every path the programs touch takes one way to the
// system.
//
// Paths are UTF-8 (converted for the wide-character calls on Windows).
// Depends on: file_replace.h and file_system.h for the system's part.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/core/file_replace.h"
#include "platform/core/object_table.h"

// Begins writing the file at `path` under `id`. An existing target must be a
// regular file that may be written; it is checked, never opened, so a FIFO or
// a device cannot block the caller. Returns a nonzero value on success (for
// -1: the new file's identifier) and 0 when the file cannot be made; a number
// that was in use is closed first.
ObjectId FileCreate(ObjectId id, std::string_view path);

// Writes `length` bytes. Returns the number of bytes taken: `length` on
// success, fewer when the file refused bytes (this write's or buffered ones
// flushed now), and 0 for no data, a length <= 0 or a file that is not open.
std::int32_t FileWrite(ObjectId id, const void* data, std::int32_t length);

// Flushes the buffer and, when every byte taken reached the disk, puts the
// file in its target's place. Returns true when the file was saved; false
// after any failed write, sync or rename (the target then stays as it was),
// or when `id` names no open file.
bool FileClose(ObjectId id);

// Writes `size` bytes to `path` as one safe replacement, like FileCreate,
// FileWrite and FileClose together, but without a file number: several threads
// may save at once. Returns "" when the file is in place, else why not, in
// plain words for the user ("the disk is full", "permission was denied", ...).
// With Placement::kKeepExisting a file that has the name by then is kept and
// the save fails with kReasonExists.
std::string FileSaveWhole(std::string_view path, const void* data, std::int32_t size,
                          Placement placement = Placement::kReplace);

// The first half of FileSaveWhole: writes the bytes to a temporary file
// beside `path`, synced and closed, which ReplacementPlace then puts in place
// (or ReplacementAbandon removes). Returns "" or why not; nothing is left
// behind then.
std::string FileStageWhole(Replacement& staged, std::string_view path, const void* data,
                           std::int32_t size);

// Reads the whole file at `path` (a regular file, a pipe, a device) into
// `text`. Returns "" when all of it was read, else why not, in plain words
// ("the file does not exist", "it is a folder", ...).
std::string FileReadWhole(std::string_view path, std::string& text);

// Makes the folder `path` and any folders above it that are missing. Returns
// "" when the folder is there, else why not ("a file of that name is in the
// way", "permission was denied", ...).
std::string FolderMake(std::string_view path);

// True when there is a file, folder or anything else at `path`.
bool PathExists(std::string_view path);

// Closes every file still open as FileClose does, so buffered bytes reach the
// disk.
void FilesShutdown();
