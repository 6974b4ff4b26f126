// Files through the 4096-byte write buffer, the only buffer between the
// caller and the system: every write below it is one system write with its
// real result. The safe replacement underneath is file_replace.h's. Folders
// are made here one at a time with file_system.h's step; FileReadWhole is
// the system's own (file_system_*.cpp).
#include "platform/core/files.h"

#include <array>
#include <cstring>
#include <vector>

#include "platform/core/file_replace.h"
#include "platform/core/file_system.h"
#include "platform/core/save_path.h"

namespace {

constexpr std::int32_t kBufferSize = 4096;

struct FileRecord {
  Replacement replacement;  // first field: its native handle marks a live record
  std::array<unsigned char, kBufferSize> buffer;
  std::int32_t bufferSize;
  std::int32_t bufferFree;   // bytes in use: bufferSize - bufferFree, from the start
  std::int32_t bufferState;  // 1 until the first write, then 0
  bool failed;               // some byte taken never reached the file
  bool Live() const { return replacement.handle != nullptr; }
};

// Writes straight to the file; returns the count written and marks the record
// failed when the system took fewer bytes.
std::int32_t WriteThrough(FileRecord& file, const void* data, std::int32_t length) {
  const std::int32_t written = length > 0 ? ReplacementWrite(file.replacement, data, length) : 0;
  if (written != length) file.failed = true;
  return written;
}

// Writes out the bytes in use; true when all of them reached the file.
bool Flush(FileRecord& file) {
  if (file.bufferState != 0) return true;
  const std::int32_t pending = file.bufferSize - file.bufferFree;
  file.bufferFree = file.bufferSize;
  return WriteThrough(file, file.buffer.data(), pending) == pending;
}

// Saves the file if nothing failed, else drops it; the old target stays then.
void CloseRecord(FileRecord& file) {
  if (!file.Live()) return;
  Flush(file);
  if (file.failed) {
    ReplacementAbandon(file.replacement);
  } else if (!ReplacementCommit(file.replacement)) {
    file.failed = true;
  }
}

ObjectTable<FileRecord>& Files() {
  static ObjectTable<FileRecord> table(CloseRecord);
  return table;
}

}  // namespace

ObjectId FileCreate(ObjectId id, std::string_view path) {
  FileRecord* file = Files().Create(id);
  if (!file) return 0;
  if (PathHasFileName(path) && ReplacementBegin(file->replacement, path)) {
    file->bufferSize = kBufferSize;
    file->bufferFree = 0;
    file->bufferState = 1;
    return id == kNewObject ? ObjectTable<FileRecord>::ReferenceOf(file)
                            : reinterpret_cast<ObjectId>(file->replacement.handle);
  }
  Files().Remove(id == kNewObject ? ObjectTable<FileRecord>::ReferenceOf(file) : id);
  return 0;
}

std::int32_t FileWrite(ObjectId id, const void* data, std::int32_t length) {
  FileRecord* file = Files().Find(id);
  if (!data || length <= 0 || !file) return 0;
  if (file->bufferState == 1) {
    file->bufferState = 0;
    file->bufferFree = file->bufferSize;
  }
  if (length < file->bufferFree) {
    std::memcpy(file->buffer.data() + (file->bufferSize - file->bufferFree), data,
                static_cast<std::size_t>(length));
    file->bufferFree -= length;
    return length;
  }
  // A failed flush loses bytes taken earlier: report this write as not taken.
  const bool flushed = Flush(*file);
  if (length >= file->bufferSize) {
    const std::int32_t written = WriteThrough(*file, data, length);
    return flushed ? written : 0;
  }
  std::memcpy(file->buffer.data(), data, static_cast<std::size_t>(length));
  file->bufferFree -= length;
  return flushed ? length : 0;
}

bool FileClose(ObjectId id) {
  FileRecord* file = Files().Find(id);
  if (id == kNewObject || !file) return false;
  CloseRecord(*file);
  const bool saved = !file->failed;
  Files().Remove(id);
  return saved;
}

std::string FileStageWhole(Replacement& staged, std::string_view path, const void* data,
                           std::int32_t size) {
  if (!PathHasFileName(path)) return std::string(kReasonNoFileName);
  if (!ReplacementBegin(staged, path)) return staged.reason;
  if (ReplacementWrite(staged, data, size) != size) {
    ReplacementAbandon(staged);
    return staged.reason;
  }
  return ReplacementFinish(staged) ? std::string() : staged.reason;
}

std::string FileSaveWhole(std::string_view path, const void* data, std::int32_t size,
                          Placement placement) {
  Replacement replacement;
  std::string reason = FileStageWhole(replacement, path, data, size);
  if (reason.empty() && !ReplacementPlace(replacement, placement)) reason = replacement.reason;
  return reason;
}

std::string FolderMake(std::string_view path) {
  // The ends of the path's folders, the whole path last; a separator right
  // after another one ends no new folder.
  std::vector<std::size_t> ends;
  for (std::size_t end = path.find_first_of(kFolderSeparators); end != std::string_view::npos;
       end = path.find_first_of(kFolderSeparators, end + 1)) {
    if (end > 0 && kFolderSeparators.find(path[end - 1]) == std::string_view::npos)
      ends.push_back(end);
  }
  if (PathHasFileName(path)) ends.push_back(path.size());
  // Up from the end to the deepest folder that is there, then down making
  // the rest: a drive or a network share at the top is found, never made.
  std::size_t missing = ends.size();
  while (missing > 0 && PathKindOf(path.substr(0, ends[missing - 1])) == PathKind::kMissing)
    --missing;
  if (missing > 0 && PathKindOf(path.substr(0, ends[missing - 1])) != PathKind::kFolder)
    return std::string(kReasonFileInWay);
  for (; missing < ends.size(); ++missing) {
    std::string reason = FolderMakeOne(path.substr(0, ends[missing]));
    if (!reason.empty()) return reason;
  }
  return {};
}

bool PathExists(std::string_view path) {
  return PathKindOf(path) != PathKind::kMissing;
}

void FilesShutdown() {
  Files().Clear();
}
