// Reading a file whole, making one folder and naming errors on POSIX
// systems. A file is read through its descriptor, so a pipe or a FIFO reads
// as well as a regular file; only a folder is refused.
// Leaves out: files larger than memory.
// Depends on: POSIX (open, fstat, read, close, stat, mkdir).
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/core/file_replace.h"
#include "platform/core/file_system.h"
#include "platform/core/files.h"

std::string ReasonOf(SystemError error) {
  switch (error) {
    case ENOSPC:
    case EDQUOT:
      return std::string(kReasonDiskFull);
    case EACCES:
    case EPERM:
      return std::string(kReasonPermission);
    case EROFS:
      return std::string(kReasonReadOnly);
    case ENOENT:
    case ENOTDIR:
      return std::string(kReasonNoFolder);
    case ENAMETOOLONG:
      return std::string(kReasonNameTooLong);
    case EFBIG:
      return std::string(kReasonTooLarge);
    case EISDIR:
      return std::string(kReasonNotRegular);
    default:
      return std::strerror(error);
  }
}

PathKind PathKindOf(std::string_view path) {
  struct stat status;
  if (::stat(std::string(path).c_str(), &status) != 0) return PathKind::kMissing;
  return S_ISDIR(status.st_mode) ? PathKind::kFolder : PathKind::kOther;
}

std::string FolderMakeOne(std::string_view path) {
  if (::mkdir(std::string(path).c_str(), 0777) == 0) return {};
  const int error = errno;
  if (PathKindOf(path) == PathKind::kFolder) return {};
  return error == EEXIST ? std::string(kReasonFileInWay) : ReasonOf(error);
}

std::string FileReadWhole(std::string_view path, std::string& text) {
  const int fd = ::open(std::string(path).c_str(), O_RDONLY | O_CLOEXEC);
  // Only the file itself can be missing: the folders' part is the writer's.
  if (fd < 0) return errno == ENOENT ? std::string(kReasonNoFile) : ReasonOf(errno);
  struct stat status;
  int error = ::fstat(fd, &status) == 0 ? 0 : errno;
  if (error == 0 && S_ISDIR(status.st_mode)) error = EISDIR;
  text.clear();
  char buffer[65536];
  while (error == 0) {
    const ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got > 0) {
      text.append(buffer, static_cast<std::size_t>(got));
    } else if (got == 0) {
      break;
    } else if (errno != EINTR) {
      error = errno;
    }
  }
  ::close(fd);
  if (error == EISDIR) return std::string(kReasonIsFolder);
  return error == 0 ? std::string() : ReasonOf(error);
}
