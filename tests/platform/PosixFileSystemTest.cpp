// The POSIX file system against real files in a temporary folder, and UTF-8.
#include "platform/posix/PosixFileSystem.h"

#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <limits.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <future>

#include "platform/Utf8.h"
#include "tests/support/TempDir.h"

namespace brindle::platform::posix {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::UnorderedElementsAre;

const auto codeOf = [](const auto& result) { return result.ok() ? 0 : result.error().code; };

/// Expects each result to have failed with `code`.
template <class... R>
void expectCodes(int code, const R&... results) {
  int argument = 0;
  const auto check = [&](int got) { EXPECT_EQ(got, code) << "argument " << argument++; };
  (check(codeOf(results)), ...);
}

std::span<const std::uint8_t> asBytes(const std::string& text) {
  return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

/// A source the kernel cannot copy from: the copy falls back to reading and writing.
struct ForeignFile : ReadableFile {
  explicit ForeignFile(ReadableFile& inner) : inner(inner) {}
  Result<std::size_t> readAt(std::uint64_t offset, std::span<std::uint8_t> buffer) override {
    return inner.readAt(offset, buffer);
  }
  Result<std::uint64_t> size() override { return inner.size(); }
  ReadableFile& inner;
};

class PosixFileSystemTest : public ::testing::Test {
 protected:
  std::string put(const std::string& name, const std::string& bytes = "") {
    return folder.write(name, bytes);
  }
  static std::string content(const std::string& path) { return testsupport::TempDir::read(path); }
  std::string mkdir(const std::string& name) {
    EXPECT_EQ(::mkdir((folder / name).c_str(), 0755), 0);
    return folder / name;
  }
  testsupport::TempDir folder;
  PosixFileSystem fs;
};

// Both ways of renaming move the file, never overwrite, and carry the error up.
TEST_F(PosixFileSystemTest, RenamesNeverOverwrite) {
  using Rename = std::function<Status(const std::string&, const std::string&)>;
  const Rename noReplace = [&](auto& from, auto& to) { return fs.renameNoReplace(from, to); };
  for (const Rename& rename : {noReplace, Rename(renameByLink)}) {
    const std::string from = put("\xff\xfe.txt", "latin"), to = folder / "\xfe\xff new.txt";
    ASSERT_TRUE(rename(from, to).ok());
    EXPECT_THAT(fs.listDirectory(folder.path()).value().files, ElementsAre("\xfe\xff new.txt"));
    const std::string taken = put("a.txt", "first");
    Status refused = rename(taken, to);
    EXPECT_EQ(codeOf(refused), EEXIST);
    EXPECT_THAT(refused.error().message, HasSubstr("a.txt"));
    EXPECT_EQ(content(taken) + content(to), "firstlatin");
    EXPECT_EQ(codeOf(rename(folder / "missing", folder / "new")), ENOENT);
    EXPECT_FALSE(fs.exists(folder / "new"));
    ASSERT_EQ(::unlink(to.c_str()) | ::unlink(taken.c_str()), 0);
  }
}

// Every failing call carries the system's error number up, and fails before changing anything.
TEST_F(PosixFileSystemTest, ErrorsCarryTheErrorNumber) {
  const std::string missing = folder / "missing", file = put("file", "keep"), dir = mkdir("dir");
  std::string tooLong = folder.path();
  while (tooLong.size() <= PATH_MAX) tooLong += "/" + std::string(200, 'd');
  // One short of the limit is looked up (and missing); at the limit it is refused unread.
  const auto ofLength = [](std::size_t length) {
    std::string path(length, 'x');
    for (std::size_t at = 0; at < length; at += 200) path[at] = '/';
    return path;
  };
  expectCodes(ENOENT, fs.remove(missing), fs.length(missing), fs.details(missing),
              fs.kindOf(missing), fs.linkCount(missing), fs.isReadOnly(missing),
              fs.setReadOnly(missing, true), fs.permissions(missing), fs.identity(missing),
              fs.listDirectory(missing), fs.readFile(missing),
              fs.writeFile(missing + "/x", "x", WriteMode::Replace), fs.openForReading(missing),
              fs.openForUpdate(missing), fs.replaceFile(missing, file),
              fs.resolvedPath(missing + "/x"), fs.resolvedPath(ofLength(PATH_MAX - 1)),
              fs.copyMetadata(missing, file), fs.copyMetadata(file, missing),
              fs.syncFileSystemOf(missing), fs.syncDirectoryOf(missing + "/x"),
              fs.removeIfAbandoned(missing), fs.takeIfAbandoned(missing));
  expectCodes(EISDIR, fs.remove(dir), fs.readFile(dir), fs.openForReading(dir));
  expectCodes(EEXIST, fs.writeFile(file, "x", WriteMode::CreateNew), fs.createNewFile(file, 0644));
  expectCodes(ENAMETOOLONG, fs.kindOf(tooLong), fs.openForReading(tooLong),
              fs.resolvedPath(ofLength(PATH_MAX)));
  EXPECT_THAT(fs.readFile(missing).error().message, HasSubstr("missing"));
  EXPECT_EQ(content(file), "keep");
  EXPECT_TRUE(fs.isDirectory(dir) && !fs.exists(missing + "/x"));
}

TEST_F(PosixFileSystemTest, WhatIsThereAndWhoItIs) {
  const std::string file = put("five.bin", std::string("ab\0cd", 5)), dir = mkdir("dir");
  const std::string fifo = folder / "x.mp3", other = put("other");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_TRUE(fs.exists(fifo) && fs.exists(dir) && !fs.exists(folder / "none"));
  EXPECT_TRUE(fs.isDirectory(dir) && !fs.isDirectory(file) && !fs.isDirectory(folder / "none"));
  EXPECT_EQ(
      (std::vector{fs.kindOf(file).value(), fs.kindOf(dir).value(), fs.kindOf(fifo).value(),
                   fs.kindOf("/dev/null").value()}),
      (std::vector{FileKind::Regular, FileKind::Directory, FileKind::Special, FileKind::Special}));
  struct timespec times[2] = {{1700000000, 0}, {1600000000, 0}};
  ASSERT_EQ(::utimensat(AT_FDCWD, file.c_str(), times, 0), 0);
  EXPECT_EQ(fs.details(file).value(), (FileDetails{5, 1600000000}));
  EXPECT_EQ(fs.length(file).value(), 5u);
  // A hard link and a symbolic one are the same file; another file is not.
  ASSERT_EQ(::link(file.c_str(), (folder / "hard").c_str()), 0);
  ASSERT_EQ(::symlink("five.bin", (folder / "soft").c_str()), 0);
  const FileIdentity identity = fs.identity(file).value();
  EXPECT_TRUE(fs.identity(folder / "hard").value() == identity &&
              fs.identity(folder / "soft").value() == identity);
  EXPECT_FALSE(fs.identity(other).value() == identity);
  EXPECT_EQ(std::pair(fs.linkCount(file).value(), fs.linkCount(other).value()),
            std::pair(2ul, 1ul));
  EXPECT_EQ(fs.resolvedPath(folder / "soft").value(),
            fs.resolvedPath(folder.path()).value() + "/five.bin");
}

TEST_F(PosixFileSystemTest, ReadOnlyRoundTripAndMetadataCopy) {
  const std::string path = put("guarded.txt", "keep");
  ASSERT_EQ(::chmod(path.c_str(), 0644), 0);
  EXPECT_FALSE(fs.isReadOnly(path).value());
  ASSERT_TRUE(fs.setReadOnly(path, true).ok());
  EXPECT_TRUE(fs.isReadOnly(path).value());
  EXPECT_EQ(fs.permissions(path).value(), 0444u) << "read permission must stay";
  if (::geteuid() != 0) {  // root may write regardless of the bits
    EXPECT_FALSE(fs.writeFile(path, "changed", WriteMode::Replace).ok());
  }
  const mode_t mask = ::umask(022);
  ASSERT_TRUE(fs.setReadOnly(path, false).ok());
  ::umask(mask);
  EXPECT_FALSE(fs.isReadOnly(path).value());
  EXPECT_EQ(fs.permissions(path).value(), 0644u) << "the umask keeps group and others out";
  // The setgid bit stays when owner and group do; attributes go along where supported.
  const std::string copy = put("copy");
  ASSERT_EQ(::chmod(path.c_str(), 02750), 0);
  const bool attributes = ::setxattr(path.c_str(), "user.brindle", "v", 1, 0) == 0;
  ASSERT_TRUE(fs.copyMetadata(path, copy).ok());
  EXPECT_EQ(fs.permissions(copy).value(), 02750u);
  char value[2] = {};
  EXPECT_TRUE(!attributes || ::getxattr(copy.c_str(), "user.brindle", value, 2) == 1);
}

TEST_F(PosixFileSystemTest, ListDirectoryFollowsLinksAndDropsDangling) {
  put("song.mp3"), put(".hidden"), mkdir("sub");
  for (auto [target, name] : {std::pair("song.mp3", "to song"), {"sub", "to sub"}, {"none", "x"}}) {
    ASSERT_EQ(::symlink(target, (folder / name).c_str()), 0);
  }
  ASSERT_EQ(::mkfifo((folder / "fifo").c_str(), 0600), 0);
  DirectoryListing listing = fs.listDirectory(folder.path()).value();
  EXPECT_THAT(listing.files, UnorderedElementsAre("song.mp3", ".hidden", "to song"));
  EXPECT_THAT(listing.directories, UnorderedElementsAre("sub", "to sub"));
}

TEST_F(PosixFileSystemTest, WriteAndReadWholeFiles) {
  const std::string path = folder / "out.txt";
  for (auto [bytes, mode, after] : {std::tuple("one", WriteMode::Replace, "one"),
                                    {"two", WriteMode::Replace, "two"},
                                    {"+three", WriteMode::Append, "two+three"}}) {
    ASSERT_TRUE(fs.writeFile(path, bytes, mode).ok());
    EXPECT_EQ(fs.readFile(path).value(), after);
  }
  ASSERT_TRUE(fs.writeFile(folder / "new", "new", WriteMode::Append).ok());
  ASSERT_TRUE(fs.writeFile(folder / "fresh", "fresh", WriteMode::CreateNew).ok());
  EXPECT_EQ(content(folder / "new") + content(folder / "fresh"), "newfresh");
  std::string bytes;  // more than one read buffer, every byte value
  for (int i = 0; i < 200000; ++i) bytes += static_cast<char>(i % 256);
  EXPECT_EQ(fs.readFile(put("big.bin", bytes)).value(), bytes);
}

// A FIFO put where a file was expected is refused without blocking; so are devices.
TEST_F(PosixFileSystemTest, OnlyRegularFilesAreOpenedAndAFifoNeverBlocks) {
  const std::string fifo = folder / "x.mp3";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  // Should an opening block, the test opens the FIFO's other end and fails instead of hanging.
  const auto refusal = [&](const std::function<Error()>& open) {
    auto done = std::async(std::launch::async, open);
    if (done.wait_for(std::chrono::seconds(5)) != std::future_status::ready) {
      const int writer = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
      done.wait();
      if (writer >= 0) ::close(writer);
      ADD_FAILURE() << "the opening blocked on the FIFO";
    }
    return done.get().message;
  };
  const std::string aFifo = "not a regular file but a FIFO";
  EXPECT_EQ(refusal([&] { return fs.openForReading(fifo).error(); }), aFifo);
  EXPECT_EQ(refusal([&] { return fs.openForUpdate(fifo).error(); }), aFifo);
  EXPECT_EQ(refusal([&] { return fs.readFile(fifo).error(); }), aFifo);
  EXPECT_EQ(fs.openForUpdate("/dev/null").error().message, "not a regular file but a device");
}

TEST_F(PosixFileSystemTest, ReadsAtOffsetsAndUpdatesInPlace) {
  const std::string path = put("a", "0123456789");
  auto reading = fs.openForReading(path);
  auto updating = fs.openForUpdate(path);
  ASSERT_TRUE(reading.ok() && updating.ok());
  ReadableFile& reader = *reading.value();
  auto& file = *updating.value();
  std::uint8_t buffer[4] = {};
  EXPECT_EQ(reader.readAt(8, buffer).value(), 2u);
  EXPECT_EQ(buffer[0], '8');
  EXPECT_EQ(reader.readAt(20, buffer).value(), 0u);
  EXPECT_EQ(reader.size().value(), 10u);
  EXPECT_TRUE(file.writeAt(2, asBytes("xy")).ok() && file.writeAt(10, asBytes("END")).ok());
  EXPECT_EQ(file.size().value(), 13u);
  EXPECT_EQ(file.readAt(9, buffer).value(), 4u);
  EXPECT_EQ(std::string(buffer, buffer + 4), "9END");
  EXPECT_TRUE(file.sync().ok());
  EXPECT_EQ(content(path), "01xy456789END");
  EXPECT_TRUE(file.setLength(4).ok() && file.close().ok());
  EXPECT_EQ(content(path), "01xy");
}

TEST_F(PosixFileSystemTest, NewFilesKeepExactPermissionsAndReplaceAtomically) {
  const mode_t old = ::umask(0077);
  auto file = fs.createNewFile(folder / "new", 0644);
  auto readOnly = fs.createNewFile(folder / "ro", 0444);
  ::umask(old);
  ASSERT_TRUE(file.ok() && readOnly.ok());
  EXPECT_TRUE(file.value()->write(asBytes("abc")) && file.value()->sync() && file.value()->close());
  EXPECT_EQ(fs.permissions(folder / "new").value(), 0644u);
  // A read-only original's bits are kept, and the open file stays writable.
  EXPECT_TRUE(readOnly.value()->write(asBytes("x")).ok());
  EXPECT_EQ(fs.permissions(folder / "ro").value(), 0444u);
  ASSERT_TRUE(fs.replaceFile(folder / "new", put("old", "old")).ok());
  EXPECT_EQ(content(folder / "old"), "abc");
  EXPECT_FALSE(fs.exists(folder / "new"));
}

// Copies through the kernel and by hand, over several pieces; a source ending early fails.
TEST_F(PosixFileSystemTest, CopiesARangeOfAnotherFileEitherWay) {
  std::string big(3 * (1 << 20) + 17, '\0');
  for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 131 % 251);
  put("source", big);
  for (const bool byHand : {false, true}) {
    const std::string target = folder / (byHand ? "hand" : "kernel");
    auto opened = fs.openForReading(folder / "source");
    auto copy = fs.createNewFile(target, 0600);
    ASSERT_TRUE(opened.ok() && copy.ok());
    ForeignFile foreign(*opened.value());
    ReadableFile& source = byHand ? foreign : *opened.value();
    ASSERT_TRUE(copy.value()->write(asBytes("head")).ok());
    ASSERT_TRUE(copy.value()->copyFrom(source, 10, big.size() - 10).ok());
    EXPECT_EQ(codeOf(copy.value()->copyFrom(source, big.size() - 2, 3)), EIO);
    ASSERT_TRUE(copy.value()->close().ok());
    EXPECT_EQ(content(target), "head" + big.substr(10) + big.substr(big.size() - 2)) << target;
  }
}

TEST_F(PosixFileSystemTest, AbandonedTemporaryFilesGoHeldOnesStay) {
  auto held = fs.createNewFile(folder / "held", 0600);
  ASSERT_TRUE(held);
  EXPECT_FALSE(fs.removeIfAbandoned(folder / "held").value());
  EXPECT_EQ(fs.takeIfAbandoned(folder / "held").value(), std::nullopt);
  EXPECT_TRUE(fs.removeIfAbandoned(put("left", "x")).value());
  EXPECT_EQ(fs.takeIfAbandoned(put("taken", "leftover")).value(), "leftover");
  EXPECT_FALSE(fs.removeIfAbandoned(mkdir("dir")).value()) << "only regular files";
  EXPECT_EQ(folder.names(), (std::vector<std::string>{"dir", "held"}));
  ASSERT_TRUE(held.value()->close());  // then it is no longer held
  EXPECT_TRUE(fs.removeIfAbandoned(folder / "held").value());
}

TEST_F(PosixFileSystemTest, FlushesTheFolderAndFileSystem) {
  EXPECT_TRUE(fs.syncDirectoryOf(put("file", "x")) && fs.syncFileSystemOf(folder / "file"));
  EXPECT_TRUE(fs.syncDirectoryOf("/file-at-the-root"));
  const std::string previous = std::filesystem::current_path();
  std::filesystem::current_path(folder.path());
  EXPECT_TRUE(fs.syncDirectoryOf("file")) << "a bare name is in the current folder";
  std::filesystem::current_path(previous);
}

TEST(ParseMountTable, DecodesEscapesAndDropsPseudoFileSystems) {
  const std::string table =
      "/dev/sda1 / ext4 rw,relatime 0 0\nproc /proc proc rw,nosuid 0 0\nsysfs /sys sysfs rw 0 0\n"
      "cgroup2 /sys/fs/cgroup cgroup2 rw 0 0\n/dev/sdb1 /media/My\\040Disk vfat rw 0 0\n"
      "/dev/sdc1 /mnt/tab\\011and\\134slash ext4 rw 0 0\ntmpfs /run tmpfs rw 0 0\n"
      "/dev/sda1 / ext4 rw 0 0\nbroken-line\n\n";
  EXPECT_THAT(parseMountTable(table),
              ElementsAre("/", "/media/My Disk", "/mnt/tab\tand\\slash", "/run"));
  // An escape needs three digits within the field.
  EXPECT_THAT(parseMountTable("dev /media/x\\040 ext4 rw 0 0\n"), ElementsAre("/media/x "));
  EXPECT_THAT(parseMountTable("dev /media/x\\04 ext4 rw 0 0\n"), ElementsAre("/media/x\\04"));
  EXPECT_THAT(parseMountTable("dev /a\\0x1 ext4 0 0\n"), ElementsAre("/a\\0x1"));
  const std::vector<std::string> drives = PosixFileSystem().drives();
  EXPECT_TRUE(std::count(drives.begin(), drives.end(), "/") == 1 &&
              std::count(drives.begin(), drives.end(), "/proc") == 0);
}

// Which sequences are well-formed, how far a malformed one reaches, and code points written back.
TEST(Utf8, DecodesChecksAndEncodes) {
  using namespace utf8;
  constexpr char32_t bad = kReplacementCharacter;
  // clang-format off
  struct Case { std::string text; std::size_t at; char32_t codePoint; std::size_t length; bool valid; };
  const Case cases[] = {
      {"plain.txt", 0, U'p', 1, true},
      {"a\xC3\xB1", 1, U'\u00F1', 2, true},
      {"\xE2\x98\x83", 0, U'\u2603', 3, true},
      {"\xF0\x9D\x84\x9E.mp3", 0, U'\U0001D11E', 4, true},
      {"\xEF\xBF\xBD", 0, bad, 3, true},
      {"\xE9t\xE9", 0, bad, 1, false},  // Latin-1
      {"\x80", 0, bad, 1, false},
      {"\xC0\xAF", 0, bad, 1, false},  // overlong
      {"\xE0\x80\xAF", 0, bad, 1, false},
      {"\xED\xA0\x80", 0, bad, 1, false},  // surrogate
      {"\xF4\x90\x80\x80", 0, bad, 1, false},
      {"\xE2\x82!", 0, bad, 2, false},  // cut short
      {"\xE2\x82", 0, bad, 2, false},
      {"a\xC3", 1, bad, 1, false}};
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const Decoded decoded = decodeAt(c.text, c.at);  // `length`: how far it reads
    EXPECT_EQ(std::tuple(decoded.codePoint, decoded.length, decoded.valid),
              std::tuple(c.codePoint, c.length, c.valid));
    EXPECT_EQ(sequenceLength(c.text, c.at), c.valid ? c.length : 0u);
    EXPECT_EQ(isValid(c.text), c.valid);
    if (!c.valid) continue;
    std::string written;
    append(written, c.codePoint);
    EXPECT_EQ(written, c.text.substr(c.at, c.length));
  }
  EXPECT_TRUE(isValid(""));
}

}  // namespace
}  // namespace brindle::platform::posix
