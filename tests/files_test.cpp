// Files: what reaches the disk when, through the 4096-byte write buffer; how
// failed writes and files that are not open are reported; and how a file is
// replaced: only when complete, never through a special file, and with the
// reason when it cannot be.
#include "platform/core/files.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/test_support.h"
#ifdef _WIN32
#include <windows.h>
#else
#include "tests/save_faults.h"
#endif

// Size limits, FIFOs, mounts and permission bits: the system's ways to make a
// save fail. Windows has none of them; Emscripten's in-memory files and its
// thread-less tests do not either.
#if !defined(_WIN32) && !defined(__EMSCRIPTEN__)
#define TONKELWERK_SYSTEM_FAULTS 1
#endif

namespace {

namespace fs = std::filesystem;
using tonkelwerk_test::ReadFileBytes;
using tonkelwerk_test::WriteFileBytes;

// `count` bytes of a pattern that differs from one block to the next.
std::vector<std::uint8_t> Block(std::size_t count, std::uint8_t tag) {
  std::vector<std::uint8_t> bytes(count);
  for (std::size_t k = 0; k < count; ++k) bytes[k] = static_cast<std::uint8_t>(tag + k * 7);
  return bytes;
}

std::int32_t Write(ObjectId id, const std::vector<std::uint8_t>& bytes) {
  return FileWrite(id, bytes.data(), static_cast<std::int32_t>(bytes.size()));
}

std::vector<std::uint8_t> Joined(std::initializer_list<std::vector<std::uint8_t>> parts) {
  std::vector<std::uint8_t> all;
  for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

class Files : public tonkelwerk_test::ScratchFolderTest {
 protected:
  void TearDown() override {
    FilesShutdown();
    ScratchFolderTest::TearDown();
  }

  // The temporary file that stands in for `target` until FileClose.
  static fs::path Pending(const fs::path& target) {
    const std::string prefix = std::string(1, '.').append(target.filename().string()).append(".");
    for (const auto& entry : fs::directory_iterator(target.parent_path()))
      if (entry.path().filename().string().starts_with(prefix)) return entry.path();
    ADD_FAILURE() << "no temporary file for " << target;
    return {};
  }
  // The bytes on the disk so far for `target`.
  static std::uintmax_t Written(const fs::path& target) { return fs::file_size(Pending(target)); }
};

TEST_F(Files, WriteOfExactly4096BytesGoesStraightToDisk) {
  const fs::path path = Path("a.bin");
  ASSERT_NE(FileCreate(1, path.string()), 0);
  EXPECT_EQ(Written(path), 0u);
  const auto data = Block(4096, 1);
  EXPECT_EQ(Write(1, data), 4096);
  EXPECT_EQ(Written(path), 4096u);
  EXPECT_TRUE(FileClose(1));
  EXPECT_EQ(ReadFileBytes(path), data);
}

TEST_F(Files, WriteOf4095BytesStaysBufferedUntilClose) {
  const fs::path path = Path("a.bin");
  ASSERT_NE(FileCreate(1, path.string()), 0);
  const auto data = Block(4095, 2);
  EXPECT_EQ(Write(1, data), 4095);
  EXPECT_EQ(Written(path), 0u);
  EXPECT_TRUE(FileClose(1));
  EXPECT_EQ(ReadFileBytes(path), data);
}

TEST_F(Files, ThreeWritesOf2000BytesFlushTheFirstTwoOnTheThird) {
  const fs::path path = Path("a.bin");
  ASSERT_NE(FileCreate(1, path.string()), 0);
  const auto first = Block(2000, 3);
  const auto second = Block(2000, 4);
  const auto third = Block(2000, 5);
  EXPECT_EQ(Write(1, first), 2000);
  EXPECT_EQ(Written(path), 0u);
  EXPECT_EQ(Write(1, second), 2000);
  EXPECT_EQ(Written(path), 0u);
  EXPECT_EQ(Write(1, third), 2000);  // only 96 bytes free
  EXPECT_EQ(Written(path), 4000u);
  EXPECT_EQ(ReadFileBytes(Pending(path)), Joined({first, second}));
  EXPECT_TRUE(FileClose(1));
  EXPECT_EQ(ReadFileBytes(path), Joined({first, second, third}));
}

TEST_F(Files, WriteOfExactlyTheFreeBytesFlushesFirst) {
  const fs::path path = Path("a.bin");
  ASSERT_NE(FileCreate(1, path.string()), 0);
  const auto first = Block(4000, 6);
  const auto second = Block(96, 7);
  const auto third = Block(95, 8);
  EXPECT_EQ(Write(1, first), 4000);
  EXPECT_EQ(Write(1, second), 96);  // 96 is not less than the 96 free bytes
  EXPECT_EQ(Written(path), 4000u);
  EXPECT_EQ(Write(1, third), 95);  // 95 fits behind the 96 buffered ones
  EXPECT_EQ(Written(path), 4000u);
  EXPECT_TRUE(FileClose(1));
  EXPECT_EQ(ReadFileBytes(path), Joined({first, second, third}));
}

TEST_F(Files, LargeWriteFlushesTheBufferThenGoesDirect) {
  const fs::path path = Path("a.bin");
  ASSERT_NE(FileCreate(1, path.string()), 0);
  const auto small = Block(100, 9);
  const auto large = Block(10000, 10);
  EXPECT_EQ(Write(1, small), 100);
  EXPECT_EQ(Write(1, large), 10000);
  EXPECT_EQ(Written(path), 10100u);
  EXPECT_EQ(ReadFileBytes(Pending(path)), Joined({small, large}));
  EXPECT_TRUE(FileClose(1));
  EXPECT_EQ(fs::file_size(path), 10100u);
}

TEST_F(Files, ManySmallWritesArriveInOrder) {
  const fs::path path = Path("a.bin");
  ASSERT_NE(FileCreate(4, path.string()), 0);
  std::vector<std::uint8_t> all;
  for (int k = 0; k < 300; ++k) {
    const auto part =
        Block(static_cast<std::size_t>(1 + (k * 37) % 500), static_cast<std::uint8_t>(k));
    ASSERT_EQ(Write(4, part), static_cast<std::int32_t>(part.size()));
    all.insert(all.end(), part.begin(), part.end());
    // Never more than 4095 bytes wait in the buffer.
    ASSERT_GE(Written(path) + 4095, all.size());
  }
  EXPECT_TRUE(FileClose(4));
  EXPECT_EQ(ReadFileBytes(path), all);
}

TEST_F(Files, AnExistingFileKeepsItsBytesUntilTheNewOneIsClosed) {
  const fs::path path = Path("old.bin");
  WriteFileBytes(path, std::string(10000, 'o'));
  ASSERT_NE(FileCreate(1, path.string()), 0);
  const auto data = Block(5000, 11);
  EXPECT_EQ(Write(1, data), 5000);
  EXPECT_EQ(ReadFileBytes(path), std::vector<std::uint8_t>(10000, 'o'));
  EXPECT_TRUE(FileClose(1));
  EXPECT_EQ(ReadFileBytes(path), data);
  EXPECT_EQ(tonkelwerk_test::Entries(folder_), std::vector<std::string>{"old.bin"});
}

TEST_F(Files, AStagedFileTakesAFreeNameOnlyAndCanBeTakenBack) {
  const fs::path path = Path("kit.bin");
  const auto data = Block(6000, 5);
  Replacement staged;
  ASSERT_EQ(FileStageWhole(staged, path.string(), data.data(), 6000), "");
  EXPECT_FALSE(fs::exists(path)) << "a staged file has no name yet";
  // The name turns up before the placing: it is kept, the staged file goes.
  WriteFileBytes(path, "theirs");
  EXPECT_FALSE(ReplacementPlace(staged, Placement::kKeepExisting));
  EXPECT_EQ(staged.reason, kReasonExists);
  EXPECT_EQ(ReadFileBytes(path), std::vector<std::uint8_t>({'t', 'h', 'e', 'i', 'r', 's'}));
  EXPECT_EQ(tonkelwerk_test::Entries(folder_), std::vector<std::string>{"kit.bin"});

  EXPECT_EQ(FileSaveWhole(path.string(), data.data(), 6000, Placement::kKeepExisting),
            std::string(kReasonExists));
  EXPECT_EQ(FileSaveWhole(path.string(), data.data(), 6000), "");
  EXPECT_EQ(ReadFileBytes(path), data);

  const fs::path fresh = Path("fresh.bin");
  ASSERT_EQ(FileStageWhole(staged, fresh.string(), data.data(), 6000), "");
  ASSERT_TRUE(ReplacementPlace(staged, Placement::kKeepExisting));
  EXPECT_EQ(ReadFileBytes(fresh), data);
  EXPECT_TRUE(ReplacementWithdraw(staged));
  ASSERT_EQ(FileStageWhole(staged, fresh.string(), data.data(), 6000), "");
  ReplacementAbandon(staged);
  EXPECT_EQ(tonkelwerk_test::Entries(folder_), std::vector<std::string>{"kit.bin"});
}

TEST_F(Files, NewRecordIdentifierWorksLikeANumber) {
  const fs::path path = Path("a.bin");
  const ObjectId file = FileCreate(kNewObject, path.string());
  ASSERT_NE(file, 0);
  ASSERT_NE(file, kNewObject);
  const auto data = Block(50, 12);
  EXPECT_EQ(Write(file, data), 50);
  EXPECT_FALSE(FileClose(kNewObject));  // -1 names no file
  EXPECT_EQ(Written(path), 0u);
  EXPECT_TRUE(FileClose(file));
  EXPECT_EQ(ReadFileBytes(path), data);
  // The identifier is dead once closed.
  EXPECT_EQ(Write(file, data), 0);
  EXPECT_FALSE(FileClose(file));
}

TEST_F(Files, OpenFilesKeepTheirOwnBuffers) {
  const fs::path pathA = Path("a.bin");
  const fs::path pathB = Path("b.bin");
  ASSERT_NE(FileCreate(1, pathA.string()), 0);
  const ObjectId b = FileCreate(kNewObject, pathB.string());
  ASSERT_NE(b, 0);
  const auto a1 = Block(3000, 13);
  const auto b1 = Block(3000, 14);
  const auto a2 = Block(3000, 15);
  EXPECT_EQ(Write(1, a1), 3000);
  EXPECT_EQ(Write(b, b1), 3000);
  EXPECT_EQ(Write(1, a2), 3000);
  EXPECT_EQ(Written(pathA), 3000u);
  EXPECT_EQ(Written(pathB), 0u);
  EXPECT_TRUE(FileClose(1));
  EXPECT_TRUE(FileClose(b));
  EXPECT_EQ(ReadFileBytes(pathA), Joined({a1, a2}));
  EXPECT_EQ(ReadFileBytes(pathB), b1);
}

TEST_F(Files, CreatingUnderANumberInUseClosesTheFileFirst) {
  const fs::path first = Path("first.bin");
  const fs::path second = Path("second.bin");
  ASSERT_NE(FileCreate(1, first.string()), 0);
  const auto data = Block(100, 16);
  EXPECT_EQ(Write(1, data), 100);
  ASSERT_NE(FileCreate(1, second.string()), 0);
  EXPECT_EQ(ReadFileBytes(first), data);  // flushed on the way out
  EXPECT_EQ(Write(1, Block(5, 17)), 5);
  EXPECT_TRUE(FileClose(1));
  EXPECT_EQ(fs::file_size(first), 100u);
  EXPECT_EQ(fs::file_size(second), 5u);
}

TEST_F(Files, WritesThatCannotBeTakenReturnZero) {
  const auto data = Block(10, 18);
  EXPECT_EQ(Write(7, data), 0);  // never opened
  EXPECT_FALSE(FileClose(7));
  const fs::path path = Path("a.bin");
  ASSERT_NE(FileCreate(1, path.string()), 0);
  EXPECT_EQ(FileWrite(1, nullptr, 10), 0);
  EXPECT_EQ(FileWrite(1, data.data(), 0), 0);
  EXPECT_EQ(FileWrite(1, data.data(), -5), 0);
  EXPECT_TRUE(FileClose(1));
  EXPECT_EQ(fs::file_size(path), 0u);
  EXPECT_EQ(Write(1, data), 0);  // closed
  EXPECT_EQ(fs::file_size(path), 0u);
}

TEST_F(Files, CreateFailureLeavesNothingOpen) {
  const fs::path path = Path("missing") / "a.bin";
  EXPECT_EQ(FileCreate(1, path.string()), 0);
  EXPECT_EQ(FileCreate(kNewObject, path.string()), 0);
  EXPECT_EQ(FileCreate(1, ""), 0);
  EXPECT_EQ(Write(1, Block(10, 19)), 0);
  EXPECT_FALSE(FileClose(1));
  EXPECT_FALSE(fs::exists(path));
}

TEST_F(Files, CreateFailureUnderANumberInUseStillClosesTheOldFile) {
  const fs::path first = Path("first.bin");
  ASSERT_NE(FileCreate(1, first.string()), 0);
  const auto data = Block(100, 20);
  EXPECT_EQ(Write(1, data), 100);
  EXPECT_EQ(FileCreate(1, (Path("missing") / "x.bin").string()), 0);
  EXPECT_EQ(ReadFileBytes(first), data);
  EXPECT_EQ(Write(1, data), 0);
}

TEST_F(Files, ShutdownFlushesEveryOpenFile) {
  const fs::path pathA = Path("a.bin");
  const fs::path pathB = Path("b.bin");
  ASSERT_NE(FileCreate(3, pathA.string()), 0);
  const ObjectId b = FileCreate(kNewObject, pathB.string());
  ASSERT_NE(b, 0);
  const auto a = Block(123, 21);
  const auto bb = Block(456, 22);
  EXPECT_EQ(Write(3, a), 123);
  EXPECT_EQ(Write(b, bb), 456);
  FilesShutdown();
  EXPECT_EQ(ReadFileBytes(pathA), a);
  EXPECT_EQ(ReadFileBytes(pathB), bb);
  EXPECT_EQ(Write(3, a), 0);
  EXPECT_EQ(Write(b, bb), 0);
}

#ifdef TONKELWERK_SYSTEM_FAULTS
// Writes past a small file size limit fail as a full disk's do.
class SizeLimited : public Files {
 protected:
  void SetUp() override {
    Files::SetUp();
    std::signal(SIGXFSZ, SIG_IGN);  // as both programs do
    limit_.emplace(50);
    ASSERT_TRUE(limit_->active());
  }
  void TearDown() override {
    limit_.reset();
    Files::TearDown();
  }
  std::optional<tonkelwerk_test::FileSizeLimit> limit_;
};

TEST_F(SizeLimited, BufferedWriteIsTakenButCloseReportsTheFailure) {
  ASSERT_NE(FileCreate(1, Path("a.bin").string()), 0);
  EXPECT_EQ(Write(1, Block(100, 23)), 100);
  EXPECT_FALSE(FileClose(1));
  EXPECT_EQ(FileSaveWhole(Path("b.bin").string(), Block(100, 23).data(), 100),
            "the file is larger than the system allows");
}

TEST_F(SizeLimited, DirectWriteReportsBytesNotTaken) {
  ASSERT_NE(FileCreate(1, Path("a.bin").string()), 0);
  EXPECT_LT(Write(1, Block(4096, 24)), 4096);
  EXPECT_FALSE(FileClose(1));
}

TEST_F(SizeLimited, FailedFlushReportsTheWriteThatCausedIt) {
  ASSERT_NE(FileCreate(1, Path("a.bin").string()), 0);
  EXPECT_EQ(Write(1, Block(2000, 25)), 2000);
  EXPECT_EQ(Write(1, Block(2000, 26)), 2000);
  EXPECT_LT(Write(1, Block(2000, 27)), 2000);  // the flush of 4000 bytes failed
  EXPECT_FALSE(FileClose(1));
}

TEST_F(SizeLimited, NothingWrittenClosesCleanly) {
  ASSERT_NE(FileCreate(1, Path("a.bin").string()), 0);
  EXPECT_TRUE(FileClose(1));
  EXPECT_EQ(fs::file_size(Path("a.bin")), 0u);
}

// The faults users met, through the writer of every saved file: 100,000
// bytes for a file.
std::string SaveThroughTheFileLayer(const tonkelwerk_test::SaveFault& fault) {
  const std::string reason = FileSaveWhole(fault.target.string(), Block(100000, 28).data(), 100000);
  return reason.empty() ? "saved" : reason;
}

TEST_F(Files, AFullDiskKeepsTheOldFileAndSaysSo) {
  tonkelwerk_test::SaveFaultLab lab(folder_);
  const auto cases = lab.FullDiskCases();
  if (cases.empty()) GTEST_SKIP() << lab.skipReason;
  for (const auto& fault : cases) lab.Check(fault, SaveThroughTheFileLayer);
}

TEST_F(Files, SizeLimitsAndSpecialTargetsKeepTheOldFileAndSaySo) {
  std::signal(SIGXFSZ, SIG_IGN);  // as both programs do
  tonkelwerk_test::SaveFaultLab lab(folder_);
  for (const auto& fault : lab.OtherCases(true)) lab.Check(fault, SaveThroughTheFileLayer);
}

TEST_F(Files, ReplacingThroughALinkKeepsTheLinkAndThePermissionBits) {
  const fs::path file = Path("real.bin");
  WriteFileBytes(file, "old");
  fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  fs::create_symlink("real.bin", Path("link.bin"));
  ASSERT_NE(FileCreate(1, Path("link.bin").string()), 0);
  EXPECT_EQ(Write(1, Block(10, 29)), 10);
  ASSERT_TRUE(FileClose(1));
  EXPECT_EQ(fs::read_symlink(Path("link.bin")), "real.bin");
  EXPECT_EQ(ReadFileBytes(file), Block(10, 29));
  EXPECT_EQ(fs::status(file).permissions(), fs::perms(0640));

  const mode_t mask = ::umask(027);  // a new file: 0666 less the umask
  ASSERT_NE(FileCreate(1, Path("new.bin").string()), 0);
  EXPECT_TRUE(FileClose(1));
  ::umask(mask);
  EXPECT_EQ(fs::status(Path("new.bin")).permissions(), fs::perms(0640));
}
#endif  // TONKELWERK_SYSTEM_FAULTS

// Names outside any ANSI code page reach the disk whole, on Windows through
// the wide-character calls.
TEST_F(Files, GreekAndEmojiNamesAreSaved) {
  for (const char8_t* name : {u8"ήχος.wav", u8"boom🔊.wav"}) {
    const fs::path path = folder_ / fs::path(name);
    const std::u8string utf8 = path.u8string();
    ASSERT_NE(FileCreate(1, std::string(utf8.begin(), utf8.end())), 0);
    EXPECT_EQ(Write(1, Block(5000, 30)), 5000);
    EXPECT_TRUE(FileClose(1));
    EXPECT_EQ(ReadFileBytes(path), Block(5000, 30));
  }
  EXPECT_EQ(std::distance(fs::directory_iterator(folder_), fs::directory_iterator()), 2);
}

// A replacement that the system refuses leaves the old file and no other.
TEST_F(Files, ARefusedReplacementKeepsTheOldFile) {
  const fs::path folder = Path("folder.wav");
  fs::create_directory(folder);
  EXPECT_EQ(FileCreate(1, folder.string()), 0);
  EXPECT_EQ(FileSaveWhole(folder.string(), "x", 1), "the target is not a regular file");
  const fs::path locked = Path("locked.wav");
  WriteFileBytes(locked, "old bytes");
  fs::permissions(locked, fs::perms::owner_read);
  if (FileCreate(1, locked.string()) != 0) {
    FileClose(1);  // root writes where the permission bits say no
    GTEST_SKIP() << "a read-only file does not stop this user";
  }
  EXPECT_EQ(FileSaveWhole(locked.string(), "x", 1), "permission was denied");
  fs::permissions(locked, fs::perms::owner_all);
  const std::string old = "old bytes";
  EXPECT_EQ(ReadFileBytes(locked), std::vector<std::uint8_t>(old.begin(), old.end()));
  EXPECT_EQ(std::distance(fs::directory_iterator(folder_), fs::directory_iterator()), 2);
}

#ifdef _WIN32
TEST_F(Files, AHiddenFileIsReplacedAndStaysHidden) {
  const fs::path path = Path("hidden.wav");
  WriteFileBytes(path, "old");
  ASSERT_TRUE(SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_HIDDEN));
  ASSERT_NE(FileCreate(1, path.string()), 0);
  EXPECT_EQ(Write(1, Block(10, 31)), 10);
  EXPECT_TRUE(FileClose(1));
  EXPECT_EQ(ReadFileBytes(path), Block(10, 31));
  EXPECT_TRUE(GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_HIDDEN);
}
#endif

}  // namespace
