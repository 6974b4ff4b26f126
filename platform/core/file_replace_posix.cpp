// Safe file replacement on POSIX systems: a hidden temporary file
// ".NAME.NNNNNNNN", new and unique (O_EXCL) in the target's folder, written,
// fsync'ed, closed and then renamed over the target, or, where no file may
// be replaced, to a name that must be free: renameat2 with RENAME_NOREPLACE on
// Linux, else (or where the file system refuses that flag) a hard link, which
// the system refuses over an existing name, and an unlink of the temporary
// name. A symbolic link is
// followed to the file it names, which is replaced while the link stays. The
// replacement gets the old file's permission bits, a new file the usual 0666
// less the umask (applied by open itself).
// Leaves out: the old file's owner, group and extended attributes, a sync of
// the folder after the rename, and a check that a withdrawn file is still the
// one placed.
// Depends on: POSIX (lstat, readlink, stat, access, open, fchmod, fsync,
// rename, link, unlink), Linux's renameat2 where the C library has it.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdio>

#include "platform/core/file_replace.h"
#include "platform/core/file_system.h"

namespace {

constexpr int kMaxLinks = 40;           // links in a row, as the kernel allows
constexpr std::size_t kNameKept = 200;  // of the target's name in the temporary one
constexpr int kTries = 100;             // names tried before giving up

bool Fail(Replacement& replacement, std::string reason) {
  replacement.reason = std::move(reason);
  return false;
}

// The folder part of `path` with its final '/', or "" for a bare name.
std::string FolderOf(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// Follows symbolic links until `path` names no link; a relative link text
// counts from the link's own folder. Returns 0 or the error that stopped it.
int FollowLinks(std::string& path) {
  for (int hop = 0; hop < kMaxLinks; ++hop) {
    struct stat status;
    if (::lstat(path.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) return 0;
    std::string text(PATH_MAX + 1, '\0');
    const ssize_t length = ::readlink(path.c_str(), text.data(), text.size());
    if (length < 0) return errno;
    if (length == 0 || static_cast<std::size_t>(length) == text.size()) return ENAMETOOLONG;
    text.resize(static_cast<std::size_t>(length));
    path = text.front() == '/' ? text : FolderOf(path) + text;
  }
  return ELOOP;
}

// Creates a new file "STEM" + a number that no file in the folder has yet;
// returns its descriptor and completes `path`, or -1 with errno set.
int CreateUnique(const std::string& stem, std::string& path) {
  // Atomic: threads may begin replacements at the same time.
  static std::atomic<unsigned> counter = 0;
  const auto clock = std::chrono::steady_clock::now().time_since_epoch().count();
  for (int attempt = 0; attempt < kTries; ++attempt) {
    const unsigned unique =
        static_cast<unsigned>(clock) ^ (static_cast<unsigned>(::getpid()) << 16) ^ ++counter;
    path = stem + std::to_string(unique);
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

// Renames `from` to `to` unless `to` exists; returns 0 or the error.
// File systems without hard links (FAT on a memory stick, a browser's file
// system) still claim the name atomically: an empty file made with O_EXCL
// holds it until the rename puts the finished bytes there.
int RenameKeepingExisting(const char* from, const char* to) {
#ifdef RENAME_NOREPLACE
  if (::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0) return 0;
  if (errno != EINVAL && errno != ENOSYS) return errno;
#endif
  if (::link(from, to) == 0) {
    ::unlink(from);
    return 0;
  }
  if (errno == EEXIST) return EEXIST;
  const int claim = ::open(to, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (claim < 0) return errno;
  ::close(claim);
  if (std::rename(from, to) == 0) return 0;
  const int error = errno;
  ::unlink(to);
  return error;
}

}  // namespace

bool ReplacementBegin(Replacement& replacement, std::string_view path) {
  replacement.target = std::string(path);
  if (const int error = FollowLinks(replacement.target)) return Fail(replacement, ReasonOf(error));
  const std::string& target = replacement.target;
  // stat() never opens: a FIFO or device is refused without blocking on it.
  struct stat status;
  const bool exists = ::stat(target.c_str(), &status) == 0;
  if (exists && !S_ISREG(status.st_mode)) return Fail(replacement, std::string(kReasonNotRegular));
  // A file its owner made read-only is not replaced behind their back.
  if (exists && ::access(target.c_str(), W_OK) != 0) return Fail(replacement, ReasonOf(errno));

  const std::string name = target.substr(FolderOf(target).size(), kNameKept);
  const int fd = CreateUnique(FolderOf(target) + "." + name + ".", replacement.temporary);
  if (fd < 0) return Fail(replacement, ReasonOf(errno));
  const bool modeKept = !exists || ::fchmod(fd, status.st_mode & 07777) == 0;
  std::FILE* stream = modeKept ? ::fdopen(fd, "wb") : nullptr;
  // Unbuffered: each write is one write to the system, with its real result.
  if (!stream || std::setvbuf(stream, nullptr, _IONBF, 0) != 0) {
    const int error = errno;
    stream ? std::fclose(stream) : ::close(fd);
    ::unlink(replacement.temporary.c_str());
    return Fail(replacement, ReasonOf(error));
  }
  replacement.handle = stream;
  return true;
}

std::int32_t ReplacementWrite(Replacement& replacement, const void* data, std::int32_t length) {
  auto* stream = static_cast<std::FILE*>(replacement.handle);
  const auto wanted = static_cast<std::size_t>(length);
  const std::size_t written = std::fwrite(data, 1, wanted, stream);
  if (written != wanted) replacement.reason = ReasonOf(errno);
  return static_cast<std::int32_t>(written);
}

bool ReplacementFinish(Replacement& replacement) {
  auto* stream = static_cast<std::FILE*>(replacement.handle);
  replacement.handle = nullptr;
  int error = ::fsync(::fileno(stream)) == 0 ? 0 : errno;
  if (std::fclose(stream) != 0 && error == 0) error = errno;
  if (error == 0) return true;
  ReplacementAbandon(replacement);
  return Fail(replacement, ReasonOf(error));
}

bool ReplacementPlace(Replacement& replacement, Placement placement) {
  const char* from = replacement.temporary.c_str();
  const char* to = replacement.target.c_str();
  const int error = placement == Placement::kReplace
                        ? (std::rename(from, to) == 0 ? 0 : errno)
                        : RenameKeepingExisting(from, to);
  if (error == 0) {
    replacement.temporary.clear();
    return true;
  }
  ReplacementAbandon(replacement);
  const bool kept = placement == Placement::kKeepExisting && error == EEXIST;
  return Fail(replacement, kept ? std::string(kReasonExists) : ReasonOf(error));
}

void ReplacementAbandon(Replacement& replacement) {
  if (replacement.handle) std::fclose(static_cast<std::FILE*>(replacement.handle));
  replacement.handle = nullptr;
  if (!replacement.temporary.empty()) ::unlink(replacement.temporary.c_str());
  replacement.temporary.clear();
}

bool ReplacementWithdraw(Replacement& replacement) {
  return ::unlink(replacement.target.c_str()) == 0;
}
