// Tests of the POSIX file system against real files in a temporary folder.
#include "platform/posix/PosixFileSystem.h"

#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <functional>
#include <future>
#include <string>
#include <vector>

#include "TemporaryFolder.h"

namespace brindle::platform::posix {
namespace {

using test::TemporaryFolder;
using ::testing::ElementsAre;
using ::testing::UnorderedElementsAre;

class PosixFileSystemTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(folder.valid()); }

  void put(const std::string& path, const std::string& bytes) {
    ASSERT_TRUE(fs.writeFile(path, bytes, WriteMode::Replace).ok()) << path;
  }
  std::string content(const std::string& path) {
    Result<std::string> read = fs.readFile(path);
    return read ? read.value() : "<unreadable: " + read.error().message + ">";
  }

  TemporaryFolder folder;
  PosixFileSystem fs;
};

/// Both ways of renaming must behave the same; each test runs with both.
struct RenameWay {
  const char* name;
  std::function<Status(PosixFileSystem&, const std::string&, const std::string&)> rename;
};

void PrintTo(const RenameWay& way, std::ostream* out) {
  *out << way.name;
}

class RenameTest : public PosixFileSystemTest, public ::testing::WithParamInterface<RenameWay> {
 protected:
  Status rename(const std::string& from, const std::string& to) {
    return GetParam().rename(fs, from, to);
  }
};

TEST_P(RenameTest, MovesTheContentToTheNewName) {
  put(folder / "old.txt", "old bytes");
  ASSERT_TRUE(rename(folder / "old.txt", folder / "new.txt").ok());
  EXPECT_FALSE(fs.exists(folder / "old.txt"));
  EXPECT_EQ(content(folder / "new.txt"), "old bytes");
}

TEST_P(RenameTest, RefusesAnExistingTargetAndKeepsBothFiles) {
  put(folder / "a.txt", "first");
  put(folder / "b.txt", "second");
  Status status = rename(folder / "a.txt", folder / "b.txt");
  ASSERT_FALSE(status.ok());
  EXPECT_EQ(status.error().code, EEXIST);
  EXPECT_THAT(status.error().message, ::testing::HasSubstr("a.txt"));
  EXPECT_EQ(content(folder / "a.txt"), "first");
  EXPECT_EQ(content(folder / "b.txt"), "second");
}

TEST_P(RenameTest, HandlesNamesThatAreNotUtf8) {
  const std::string from = folder / "\xff\xfe.txt";
  const std::string to = folder / "\xfe\xff renamed.txt";
  put(from, "latin");
  ASSERT_TRUE(rename(from, to).ok());
  EXPECT_FALSE(fs.exists(from));
  EXPECT_EQ(content(to), "latin");
  Result<DirectoryListing> listing = fs.listDirectory(folder.path());
  ASSERT_TRUE(listing.ok());
  EXPECT_THAT(listing.value().files, ElementsAre("\xfe\xff renamed.txt"));
}

TEST_P(RenameTest, FailsForAMissingSource) {
  Status status = rename(folder / "missing.txt", folder / "new.txt");
  ASSERT_FALSE(status.ok());
  EXPECT_EQ(status.error().code, ENOENT);
  EXPECT_FALSE(fs.exists(folder / "new.txt"));
}

INSTANTIATE_TEST_SUITE_P(
    BothWays, RenameTest,
    ::testing::Values(RenameWay{"renameNoReplace",
                                [](PosixFileSystem& fs, const std::string& from,
                                   const std::string& to) { return fs.renameNoReplace(from, to); }},
                      RenameWay{"renameByLink",
                                [](PosixFileSystem&, const std::string& from,
                                   const std::string& to) { return renameByLink(from, to); }}),
    [](const ::testing::TestParamInfo<RenameWay>& info) { return std::string(info.param.name); });

TEST_F(PosixFileSystemTest, RemoveDeletesAFile) {
  put(folder / "gone.txt", "x");
  ASSERT_TRUE(fs.remove(folder / "gone.txt").ok());
  EXPECT_FALSE(fs.exists(folder / "gone.txt"));
}

TEST_F(PosixFileSystemTest, RemoveOfAMissingFileFails) {
  Status status = fs.remove(folder / "missing.txt");
  ASSERT_FALSE(status.ok());
  EXPECT_EQ(status.error().code, ENOENT);
}

TEST_F(PosixFileSystemTest, RemoveRefusesAFolder) {
  ASSERT_EQ(::mkdir((folder / "sub").c_str(), 0755), 0);
  Status status = fs.remove(folder / "sub");
  ASSERT_FALSE(status.ok());
  EXPECT_EQ(status.error().code, EISDIR);
  EXPECT_TRUE(fs.isDirectory(folder / "sub"));
}

TEST_F(PosixFileSystemTest, LengthCountsBytes) {
  put(folder / "five.bin", std::string("ab\0cd", 5));
  Result<std::uint64_t> length = fs.length(folder / "five.bin");
  ASSERT_TRUE(length.ok());
  EXPECT_EQ(length.value(), 5u);
  EXPECT_FALSE(fs.length(folder / "missing").ok());
}

// What a file list shows beside a name: the size and the time of the last
// change.
TEST_F(PosixFileSystemTest, DetailsGiveSizeAndModificationTime) {
  const std::string path = folder / "a.txt";
  put(path, "12345");
  struct timespec times[2] = {{1700000000, 0}, {1600000000, 0}};
  ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
  Result<FileDetails> details = fs.details(path);
  ASSERT_TRUE(details.ok());
  EXPECT_EQ(details.value(), (FileDetails{5, 1600000000}));
  EXPECT_FALSE(fs.details(folder / "missing").ok());
}

TEST_F(PosixFileSystemTest, ExistsAndIsDirectory) {
  put(folder / "file", "");
  ASSERT_EQ(::mkdir((folder / "dir").c_str(), 0755), 0);
  EXPECT_TRUE(fs.exists(folder / "file"));
  EXPECT_FALSE(fs.isDirectory(folder / "file"));
  EXPECT_TRUE(fs.isDirectory(folder / "dir"));
  EXPECT_FALSE(fs.exists(folder / "nothing"));
  EXPECT_FALSE(fs.isDirectory(folder / "nothing"));
}

TEST_F(PosixFileSystemTest, ReadOnlyRoundTrip) {
  const std::string path = folder / "guarded.txt";
  put(path, "keep");
  ASSERT_EQ(::chmod(path.c_str(), 0644), 0);
  ASSERT_TRUE(fs.isReadOnly(path).ok());
  EXPECT_FALSE(fs.isReadOnly(path).value());

  ASSERT_TRUE(fs.setReadOnly(path, true).ok());
  ASSERT_TRUE(fs.isReadOnly(path).ok());
  EXPECT_TRUE(fs.isReadOnly(path).value());
  struct stat info {};
  ASSERT_EQ(::stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0222, 0u);
  EXPECT_EQ(info.st_mode & 0444, 0444u) << "read permission must stay";
  // Root may write regardless of the permission bits.
  if (::geteuid() != 0) {
    EXPECT_FALSE(fs.writeFile(path, "changed", WriteMode::Replace).ok());
    EXPECT_EQ(content(path), "keep");
  }

  ASSERT_TRUE(fs.setReadOnly(path, false).ok());
  EXPECT_FALSE(fs.isReadOnly(path).value());
  ASSERT_EQ(::stat(path.c_str(), &info), 0);
  EXPECT_NE(info.st_mode & S_IWUSR, 0u);
  EXPECT_TRUE(fs.writeFile(path, "changed", WriteMode::Replace).ok());
  EXPECT_EQ(content(path), "changed");
}

TEST_F(PosixFileSystemTest, ReadOnlyOfAMissingFileFails) {
  EXPECT_FALSE(fs.isReadOnly(folder / "missing").ok());
  Status status = fs.setReadOnly(folder / "missing", true);
  ASSERT_FALSE(status.ok());
  EXPECT_EQ(status.error().code, ENOENT);
}

TEST_F(PosixFileSystemTest, ListDirectorySeparatesFilesAndFolders) {
  put(folder / "song.mp3", "");
  put(folder / ".hidden", "");
  ASSERT_EQ(::symlink("song.mp3", (folder / "link to song").c_str()), 0);
  ASSERT_EQ(::mkdir((folder / "sub").c_str(), 0755), 0);
  ASSERT_EQ(::symlink("sub", (folder / "link to sub").c_str()), 0);
  ASSERT_EQ(::symlink("nowhere", (folder / "dangling").c_str()), 0);

  Result<DirectoryListing> listing = fs.listDirectory(folder.path());
  ASSERT_TRUE(listing.ok());
  EXPECT_THAT(listing.value().files, UnorderedElementsAre("song.mp3", ".hidden", "link to song"));
  EXPECT_THAT(listing.value().directories, UnorderedElementsAre("sub", "link to sub"));
}

TEST_F(PosixFileSystemTest, ListDirectoryOfAMissingFolderFails) {
  Result<DirectoryListing> listing = fs.listDirectory(folder / "missing");
  ASSERT_FALSE(listing.ok());
  EXPECT_EQ(listing.error().code, ENOENT);
}

TEST_F(PosixFileSystemTest, WriteFileModes) {
  const std::string path = folder / "out.txt";
  ASSERT_TRUE(fs.writeFile(path, "one", WriteMode::Replace).ok());
  ASSERT_TRUE(fs.writeFile(path, "two", WriteMode::Replace).ok());
  EXPECT_EQ(content(path), "two");
  ASSERT_TRUE(fs.writeFile(path, "+three", WriteMode::Append).ok());
  EXPECT_EQ(content(path), "two+three");
  ASSERT_TRUE(fs.writeFile(folder / "appended.txt", "new", WriteMode::Append).ok());
  EXPECT_EQ(content(folder / "appended.txt"), "new");

  Status status = fs.writeFile(path, "clobber", WriteMode::CreateNew);
  ASSERT_FALSE(status.ok());
  EXPECT_EQ(status.error().code, EEXIST);
  EXPECT_EQ(content(path), "two+three");
  ASSERT_TRUE(fs.writeFile(folder / "fresh.txt", "fresh", WriteMode::CreateNew).ok());
  EXPECT_EQ(content(folder / "fresh.txt"), "fresh");
}

TEST_F(PosixFileSystemTest, WriteFileIntoAMissingFolderFails) {
  Status status = fs.writeFile(folder / "no/such.txt", "x", WriteMode::Replace);
  ASSERT_FALSE(status.ok());
  EXPECT_EQ(status.error().code, ENOENT);
}

TEST_F(PosixFileSystemTest, ReadFileOfAMissingFileFails) {
  Result<std::string> read = fs.readFile(folder / "missing.txt");
  ASSERT_FALSE(read.ok());
  EXPECT_EQ(read.error().code, ENOENT);
  EXPECT_THAT(read.error().message, ::testing::HasSubstr("missing.txt"));
}

TEST_F(PosixFileSystemTest, ReadFileReturnsLargeBinaryContent) {
  std::string bytes;
  for (int i = 0; i < 200000; ++i) bytes += static_cast<char>(i % 256);
  put(folder / "big.bin", bytes);
  EXPECT_EQ(content(folder / "big.bin"), bytes);
}

TEST_F(PosixFileSystemTest, KindOfNamesWhatIsThere) {
  put(folder / "file", "");
  ASSERT_EQ(::mkdir((folder / "dir").c_str(), 0755), 0);
  ASSERT_EQ(::mkfifo((folder / "x.mp3").c_str(), 0600), 0);
  EXPECT_EQ(fs.kindOf(folder / "file").value(), FileKind::Regular);
  EXPECT_EQ(fs.kindOf(folder / "dir").value(), FileKind::Directory);
  EXPECT_EQ(fs.kindOf(folder / "x.mp3").value(), FileKind::Special);
  EXPECT_EQ(fs.kindOf("/dev/null").value(), FileKind::Special);
  EXPECT_EQ(fs.kindOf(folder / "missing").error().code, ENOENT);
  // Too long is not missing.
  std::string longPath = folder.path();
  while (longPath.size() <= PATH_MAX) longPath += "/" + std::string(200, 'd');
  EXPECT_EQ(fs.kindOf(longPath).error().code, ENAMETOOLONG);
  EXPECT_EQ(fs.openForReading(longPath).error().code, ENAMETOOLONG);
}

TEST_F(PosixFileSystemTest, OnlyRegularFilesAreOpenedAndAFifoNeverBlocks) {
  const std::string fifo = folder / "x.mp3";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  ASSERT_EQ(::mkdir((folder / "dir").c_str(), 0755), 0);
  // Each opening runs on its own thread: should one block on the FIFO, the
  // test opens the FIFO's other end to free it and fails instead of hanging.
  const auto returnsPromptly = [&](const std::function<Error()>& open) {
    auto done = std::async(std::launch::async, open);
    if (done.wait_for(std::chrono::seconds(5)) != std::future_status::ready) {
      const int writer = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
      done.wait();
      if (writer >= 0) ::close(writer);
      ADD_FAILURE() << "the opening blocked on the FIFO";
    }
    return done.get();
  };
  const Error read = returnsPromptly([&] { return fs.openForReading(fifo).error(); });
  EXPECT_EQ(read.message, "not a regular file but a FIFO");
  EXPECT_EQ(returnsPromptly([&] { return fs.openForUpdate(fifo).error(); }).message,
            "not a regular file but a FIFO");
  EXPECT_EQ(returnsPromptly([&] { return fs.readFile(fifo).error(); }).message,
            "not a regular file but a FIFO");
  EXPECT_EQ(fs.openForReading(folder / "dir").error().code, EISDIR);
  EXPECT_EQ(fs.openForUpdate("/dev/null").error().message, "not a regular file but a device");

  // A regular file opened this way reads and writes as usual (blocking).
  put(folder / "plain", "abc");
  auto file = fs.openForUpdate(folder / "plain");
  ASSERT_TRUE(file);
  EXPECT_TRUE(file.value()->writeAt(3, std::vector<std::uint8_t>{'d'}));
  std::vector<std::uint8_t> bytes(4);
  EXPECT_EQ(file.value()->readAt(0, bytes).value(), 4u);
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "abcd");
}

TEST_F(PosixFileSystemTest, AbandonedTemporaryFilesGoHeldOnesStay) {
  auto held = fs.createNewFile(folder / "held", 0600);
  ASSERT_TRUE(held);
  put(folder / "left", "x");
  EXPECT_FALSE(fs.removeIfAbandoned(folder / "held").value());
  EXPECT_TRUE(fs.exists(folder / "held"));
  EXPECT_TRUE(fs.removeIfAbandoned(folder / "left").value());
  EXPECT_FALSE(fs.exists(folder / "left"));
  // Once its writer closes it, a file is no longer held.
  ASSERT_TRUE(held.value()->close());
  EXPECT_TRUE(fs.removeIfAbandoned(folder / "held").value());
  EXPECT_FALSE(fs.removeIfAbandoned(folder / "missing").ok());
}

TEST_F(PosixFileSystemTest, SyncDirectoryOfAFile) {
  put(folder / "file", "x");
  EXPECT_TRUE(fs.syncDirectoryOf(folder / "file"));
  EXPECT_FALSE(fs.syncDirectoryOf(folder / "missing-folder/file"));
}

TEST(ParseMountTable, DecodesEscapesAndDropsPseudoFileSystems) {
  const std::string table =
      "/dev/sda1 / ext4 rw,relatime 0 0\n"
      "proc /proc proc rw,nosuid 0 0\n"
      "sysfs /sys sysfs rw 0 0\n"
      "devpts /dev/pts devpts rw 0 0\n"
      "cgroup2 /sys/fs/cgroup cgroup2 rw 0 0\n"
      "/dev/sdb1 /media/My\\040Disk vfat rw 0 0\n"
      "/dev/sdc1 /mnt/tab\\011and\\134slash ext4 rw 0 0\n"
      "tmpfs /run tmpfs rw 0 0\n"
      "/dev/sda1 / ext4 rw 0 0\n"
      "broken-line\n"
      "\n";
  EXPECT_THAT(parseMountTable(table),
              ElementsAre("/", "/media/My Disk", "/mnt/tab\tand\\slash", "/run"));
}

TEST(ParseMountTable, EscapeAtTheEndOfTheField) {
  EXPECT_THAT(parseMountTable("dev /media/x\\040 ext4 rw 0 0\n"), ElementsAre("/media/x "));
  EXPECT_THAT(parseMountTable("dev /media/x\\04 ext4 rw 0 0\n"), ElementsAre("/media/x\\04"));
}

TEST(PosixDrives, IncludeTheRoot) {
  PosixFileSystem fs;
  std::vector<std::string> drives = fs.drives();
  EXPECT_NE(std::find(drives.begin(), drives.end(), "/"), drives.end());
  EXPECT_EQ(std::find(drives.begin(), drives.end(), "/proc"), drives.end());
}

}  // namespace
}  // namespace brindle::platform::posix
