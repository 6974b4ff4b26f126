// The ways a save fails that users met, set up one by one so that the file
// layer and the program's Save wave can each be run through all of them: a
// full disk with an existing file, a symbolic link into a full disk, a file
// size limit, a FIFO, a folder and a name ending in '/'. After each save the
// old file must hold its old bytes, no temporary file may remain, the save
// must have returned within a second and the message must name the reason.
// POSIX only; the lab needs threads.
#pragma once

#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <functional>
#include <optional>
#include <future>
#include <thread>
#include <string>
#include <vector>

#include "tests/test_support.h"

namespace tonkelwerk_test {

struct SaveFault {
  std::string name;
  std::filesystem::path target;  // what the save is asked to write
  std::string reason;            // the words the failure must name
  bool sizeLimited = false;      // saved under a file size limit of 10 KiB
};

// Lowers this process's file size limit while it lives; with SIGXFSZ ignored
// (as both programs do, and the tests must), writes past it fail with EFBIG.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
#ifdef __EMSCRIPTEN__
    // Emscripten's setrlimit accepts limits that no write obeys.
    (void)bytes;
    return;
#endif
    active_ = getrlimit(RLIMIT_FSIZE, &saved_) == 0;
    rlimit lowered = saved_;
    lowered.rlim_cur = bytes;
    active_ = active_ && setrlimit(RLIMIT_FSIZE, &lowered) == 0;
  }
  ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &saved_); }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;
  bool active() const { return active_; }

 private:
  rlimit saved_{};
  bool active_ = false;
};

inline std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// Sets the faults up in `folder`; the full-disk ones on a 64 KiB tmpfs that
// it mounts at folder/full (root only) and unmounts when it goes.
class SaveFaultLab {
 public:
  explicit SaveFaultLab(std::filesystem::path folder) : folder_(std::move(folder)) {
    std::filesystem::create_directories(folder_);
  }
  ~SaveFaultLab() {
    if (mounted_) ::umount2(Full().c_str(), MNT_DETACH);
  }
  SaveFaultLab(const SaveFaultLab&) = delete;
  SaveFaultLab& operator=(const SaveFaultLab&) = delete;

  // The full-disk cases, or none with `skipReason` set when no tmpfs can be
  // mounted here.
  std::vector<SaveFault> FullDiskCases() {
    std::filesystem::create_directories(Full());
    mounted_ = ::mount("tmpfs", Full().c_str(), "tmpfs", 0, "size=64k") == 0;
    if (!mounted_) {
      skipReason = "mounting a 64 KiB tmpfs needs root (CAP_SYS_ADMIN): full-disk cases skipped";
      return {};
    }
    WriteFileBytes(Full() / "old.wav", kOldBytes);
    WriteFileBytes(Full() / "linked.wav", kOldBytes);
    std::filesystem::create_symlink(Full() / "linked.wav", folder_ / "link.wav");
    return {{"full disk", Full() / "old.wav", "the disk is full"},
            {"link into a full disk", folder_ / "link.wav", "the disk is full"}};
  }

  // The others; `withSeparator` adds the name that ends in '/'.
  std::vector<SaveFault> OtherCases(bool withSeparator) {
    WriteFileBytes(folder_ / "limited.wav", kOldBytes);
    EXPECT_EQ(::mkfifo((folder_ / "pipe.wav").c_str(), 0644), 0);
    std::filesystem::create_directories(folder_ / "folder.wav");
    WriteFileBytes(folder_ / "folder.wav" / "inside.wav", kOldBytes);
    std::vector<SaveFault> cases{
        {"file size limit", folder_ / "limited.wav", "the file is larger than the system allows",
         true},
        {"FIFO", folder_ / "pipe.wav", "the target is not a regular file"},
        {"folder", folder_ / "folder.wav", "the target is not a regular file"}};
    if (withSeparator)
      cases.push_back({"trailing separator", (folder_ / "folder.wav").string() + "/",
                       "the name ends in a folder separator"});
    return cases;
  }

  // Runs `save` on the fault, which returns the message the user was given,
  // and checks the outcome.
  void Check(const SaveFault& fault, const std::function<std::string(const SaveFault&)>& save) {
    SCOPED_TRACE(fault.name);
    const Snapshot before = Take();
    const auto began = std::chrono::steady_clock::now();
    std::string message;
    {
      std::optional<FileSizeLimit> limit;
      if (fault.sizeLimited) {
        ASSERT_TRUE(limit.emplace(10240).active());
      }
      // The save runs on this thread (the program's own); a save that blocked
      // on the FIFO is set free by a reader after a second, and fails.
      std::promise<void> finished;
      std::thread watchdog(DrainFifoUnless, folder_ / "pipe.wav", finished.get_future());
      message = save(fault);
      finished.set_value();
      watchdog.join();
    }
    EXPECT_LT(std::chrono::steady_clock::now() - began, std::chrono::seconds(1));
    EXPECT_NE(Lower(message).find(fault.reason), std::string::npos) << message;
    const Snapshot after = Take();
    EXPECT_EQ(after.entries, before.entries) << "a temporary file remains, or a file went";
    EXPECT_EQ(after.contents, before.contents) << "an old file changed";
    for (const std::string& path : before.links) {
      EXPECT_TRUE(std::filesystem::is_symlink(path)) << path << " stays a link";
    }
  }

  std::string skipReason;

 private:
  const std::string kOldBytes = std::string(3000, 'o') + "the old file's last bytes";

  struct Snapshot {
    std::vector<std::string> entries;
    std::vector<std::vector<std::uint8_t>> contents;
    std::vector<std::string> links;
  };

  std::filesystem::path Full() const { return folder_ / "full"; }

  Snapshot Take() const {
    Snapshot shot;
    for (const auto& folder : {folder_, Full(), folder_ / "folder.wav"}) {
      if (!std::filesystem::is_directory(folder)) continue;
      for (const std::string& name : Entries(folder)) {
        shot.entries.push_back((folder / name).string());
        if (std::filesystem::is_symlink(folder / name)) shot.links.push_back(shot.entries.back());
        if (std::filesystem::is_regular_file(folder / name))
          shot.contents.push_back(ReadFileBytes(folder / name));
      }
    }
    return shot;
  }

  // Reads the FIFO, unless the save has finished within a second, until it has.
  static void DrainFifoUnless(std::filesystem::path fifo, std::future<void> finished) {
    if (finished.wait_for(std::chrono::seconds(1)) == std::future_status::ready) return;
    const int fd = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    char chunk[4096];
    while (finished.wait_for(std::chrono::milliseconds(10)) != std::future_status::ready)
      while (fd >= 0 && ::read(fd, chunk, sizeof chunk) > 0) {
      }
    if (fd >= 0) ::close(fd);
  }

  std::filesystem::path folder_;
  bool mounted_ = false;
};

}  // namespace tonkelwerk_test
