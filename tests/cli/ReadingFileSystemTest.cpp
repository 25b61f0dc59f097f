// The file system of read, wav and info opens the same files and refuses the same paths, with the
// same reasons, as the POSIX file system, while it keeps the last folder open.
#include "cli/ReadingFileSystem.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "tests/support/TempDir.h"

namespace brindle::cli {
namespace {

using testsupport::TempDir;

/// The whole content of an open file, read at offset 0.
std::string contentOf(platform::ReadableFile& file) {
  std::string bytes(static_cast<std::size_t>(file.size().value()), '\0');
  auto got = file.readAt(0, std::span(reinterpret_cast<std::uint8_t*>(bytes.data()), bytes.size()));
  return got ? bytes.substr(0, got.value()) : "(unreadable)";
}

TEST(ReadingFileSystem, OpensAndRefusesAsThePosixFileSystem) {
  TempDir folder;
  folder.makeDirectory("a");
  folder.makeDirectory("b");
  // Each file holds its own name, so a file opened in the wrong folder shows.
  for (const char* name : {"a/one.mp3", "a/two.mp3", "b/one.mp3", "b/empty.mp3"})
    folder.write(name, name == std::string("b/empty.mp3") ? "" : name);
  ASSERT_EQ(::mkfifo(folder.file("a/fifo.mp3").c_str(), 0600), 0);
  ASSERT_EQ(::symlink("one.mp3", folder.file("a/link.mp3").c_str()), 0);
  ASSERT_EQ(::symlink("gone.mp3", folder.file("a/dangling.mp3").c_str()), 0);
  const std::vector<std::string> paths = {
      folder / "a/one.mp3",   folder / "a/two.mp3",
      folder / "b/one.mp3",   folder / "a/one.mp3",
      folder / "b/empty.mp3", folder / "a/missing.mp3",
      folder / "c/one.mp3",   folder / "a/one.mp3/x",
      folder / "a",           folder / "a/",
      folder / "a/fifo.mp3",  "/dev/null",
      folder / "a/link.mp3",  folder / "a/dangling.mp3",
      folder / "a//two.mp3",  folder / "a/../b/one.mp3",
      folder / "b/.",
  };
  ReadingFileSystem reading;
  platform::posix::PosixFileSystem posix;
  for (const std::string& path : paths) {
    SCOPED_TRACE(path);
    auto mine = reading.openForReading(path);
    auto theirs = posix.openForReading(path);
    ASSERT_EQ(static_cast<bool>(mine), static_cast<bool>(theirs));
    if (!mine) {
      EXPECT_EQ(mine.error().code, theirs.error().code);
      EXPECT_EQ(mine.error().message, theirs.error().message);
      continue;
    }
    EXPECT_EQ(contentOf(*mine.value()), contentOf(*theirs.value()));
    EXPECT_EQ(mine.value()->size().value(), theirs.value()->size().value());
  }
  // The files were really read: not two empty answers.
  EXPECT_EQ(contentOf(*reading.openForReading(folder / "b/one.mp3").value()), "b/one.mp3");
}

}  // namespace
}  // namespace brindle::cli
