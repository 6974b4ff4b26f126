// Files on the C runtime's streams. The stream's own buffering is switched
// off, so every write here is one write to the system and its result is the
// real one; the 4096-byte buffer below is the only buffer between the caller
// and the disk.
#include "platform/core/files.h"

#include <sys/stat.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

constexpr std::int32_t kBufferSize = 4096;

struct FileRecord {
  std::FILE* handle;
  std::array<unsigned char, kBufferSize> buffer;
  std::int32_t bufferSize;
  std::int32_t bufferFree;   // bytes in use: bufferSize - bufferFree, from the start
  std::int32_t bufferState;  // 1 until the first write, then 0
  bool failed;               // some byte taken never reached the file
  bool Live() const { return handle != nullptr; }
};

// Writes straight to the file; returns the count written and marks the record
// failed when the system took fewer bytes.
std::int32_t WriteThrough(FileRecord& file, const void* data, std::int32_t length) {
  const std::size_t wanted = static_cast<std::size_t>(length);
  const std::size_t written = length > 0 ? std::fwrite(data, 1, wanted, file.handle) : 0;
  if (written != wanted) file.failed = true;
  return static_cast<std::int32_t>(written);
}

// Writes out the bytes in use; true when all of them reached the file.
bool Flush(FileRecord& file) {
  if (file.bufferState != 0) return true;
  const std::int32_t pending = file.bufferSize - file.bufferFree;
  file.bufferFree = file.bufferSize;
  return WriteThrough(file, file.buffer.data(), pending) == pending;
}

void CloseRecord(FileRecord& file) {
  if (!file.handle) return;
  Flush(file);
  if (std::fclose(file.handle) != 0) file.failed = true;
  file.handle = nullptr;
}

ObjectTable<FileRecord>& Files() {
  static ObjectTable<FileRecord> table(CloseRecord);
  return table;
}

}  // namespace

ObjectId FileCreate(ObjectId id, std::string_view path) {
  FileRecord* file = Files().Create(id);
  if (!file) return 0;
  const std::string name(path);
  file->handle = name.empty() ? nullptr : std::fopen(name.c_str(), "wb");
  if (!file->handle || std::setvbuf(file->handle, nullptr, _IONBF, 0) != 0) {
    Files().Remove(id == kNewObject ? ObjectTable<FileRecord>::ReferenceOf(file) : id);
    return 0;
  }
  file->bufferSize = kBufferSize;
  file->bufferFree = 0;
  file->bufferState = 1;
  return id == kNewObject ? ObjectTable<FileRecord>::ReferenceOf(file)
                          : reinterpret_cast<ObjectId>(file->handle);
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
  const bool ok = !file->failed;
  Files().Remove(id);
  return ok;
}

// The C runtime's stat and remove rather than std::filesystem, whose path
// conversions bring the whole locale library into the Windows program
// (four fifths of its size).
bool FileDelete(std::string_view path) {
  const std::string name(path);
  struct stat status;
  if (::stat(name.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) return false;
  return std::remove(name.c_str()) == 0;
}

void FilesShutdown() {
  Files().Clear();
}
