// The tag regions of a file: read byte-exact, and replaced in place when the
// audio keeps its place (only the tag bytes are read and written), through a
// new file otherwise, never over a file that changed.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "id3v2/TagRegions.h"
#include "platform/posix/PosixFileSystem.h"
#include "platform/testing/RecordingFileSystem.h"
#include "tests/history/TagShapes.h"
#include "tests/support/TempDir.h"

namespace brindle::history::testing {
namespace {

using namespace shapes;
using id3v2::Durability;
using id3v2::TagRegions;
using platform::testing::FsOp;
using testsupport::TempDir;

constexpr auto kDeferred = Durability::Deferred;
constexpr auto kFlushed = Durability::Flushed;

class TagRegionsTest : public ::testing::Test {
 protected:
  TempDir folder;
  platform::posix::PosixFileSystem real;
  platform::testing::RecordingFileSystem fileSystem{real};
};

// Tags within and past the first read of 4096 bytes, version 1 blocks within
// it and past it, "tag" in lower case, and a tag longer than the file.
TEST_F(TagRegionsTest, ReadsBothRegionsByteExact) {
  const struct {
    const char* name;
    TagRegions regions;
    std::size_t audio;
  } rows[] = {
      {"none", {}, 500},
      {"version 2 with padding", {version2Tag("Title", 1024), {}}, 500},
      {"version 1 only", {{}, version1("Old")}, 500},
      {"both", {version2Tag("Title", 300), version1("Old")}, 5000},
      {"tag of the first read", {version2Tag("Big", 4096), version1("Old")}, 0},
      {"large tag", {version2Tag("Big", 20000), version1("Old")}, 100},
      {"no audio", {version2Tag("T", 64), {}}, 0},
      {"lower-case marker", {{}, bytesOf("tag" + textOf(version1("x")).substr(3))}, 300},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string path = folder.write("song.mp3", fileWith(row.regions, noise(row.audio)));
    EXPECT_EQ(id3v2::readTagRegions(fileSystem, path).value(), row.regions);
  }
  std::string bytes = textOf(version2Tag("T", 2000));
  bytes.resize(900);
  auto read = id3v2::readTagRegions(fileSystem, folder.write("song.mp3", bytes));
  ASSERT_FALSE(read.ok());
  EXPECT_EQ(read.error().message, "the tag claims 2000 bytes but the file has 900");
}

/// A save whose tag fits touches only the tag bytes: every read and write of
/// the file is at offset 0 (the version 2 region) or at the end (version 1).
TEST_F(TagRegionsTest, InPlaceTouchesOnlyTheTagRegions) {
  const TagRegions old{version2Tag("Old", 1024), version1("Old")};
  const TagRegions oldOnly{version2Tag("Old", 1024), {}};
  const TagRegions fresh{version2Tag("New title", 1024), version1("New")};
  const struct {
    const char* name;
    Durability durability;
    TagRegions before, after;
  } rows[] = {
      {"replaced, deferred", kDeferred, old, fresh},
      {"version 1 added, deferred", kDeferred, oldOnly, fresh},
      {"version 1 dropped, deferred", kDeferred, old, {fresh.version2, {}}},
      {"replaced, flushed", kFlushed, old, fresh},
      {"version 1 added, flushed", kFlushed, oldOnly, fresh},
  };
  const std::string audio = noise(300000);
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string path = folder.write("song.mp3", fileWith(row.before, audio));
    fileSystem.clearCalls();
    ASSERT_TRUE(
        id3v2::replaceTagRegions(fileSystem, path, row.before, row.after, row.durability).ok());
    EXPECT_EQ(TempDir::read(path), fileWith(row.after, audio));
    const std::uint64_t audioEnd = row.before.version2.size() + audio.size();
    for (const auto& call : fileSystem.calls()) {
      if (call.path != path) continue;
      const std::uint64_t offset = call.second.empty() ? 0 : std::stoull(call.second);
      const bool read = call.op == FsOp::ReadAt;
      const std::uint64_t end = read ? audioEnd + row.before.version1.size() - 128 : audioEnd;
      if (read || call.op == FsOp::WriteAt) {
        EXPECT_TRUE(offset == 0 || offset == end) << offset;
      }
      EXPECT_NE(call.op, FsOp::CopyFrom);
    }
    EXPECT_TRUE(fileSystem.callsOf(FsOp::ReplaceFile).empty());
    // Flushed: the undo record beside the file, then the file, are flushed.
    const bool flushed = row.durability == kFlushed;
    EXPECT_EQ(fileSystem.callsOf(FsOp::CreateNewFile).size(), flushed ? 1u : 0u);
    EXPECT_EQ(fileSystem.callsOf(FsOp::Sync).size(), flushed ? 2u : 0u);
    EXPECT_EQ(folder.names(), std::vector<std::string>{"song.mp3"});
  }
}

// A tag that grows goes through a new file; a file with a second name is
// rewritten in place and keeps its inode; a read-only file is replaced by a
// new one and stays read-only.
TEST_F(TagRegionsTest, ATagThatGrowsGoesThroughANewFile) {
  const TagRegions before{version2Tag("Old", 256), version1("Old")};
  const TagRegions after{version2Tag("A much longer title", 2048), version1("New")};
  const std::string audio = noise(10000);
  for (const Durability durability : {kDeferred, kFlushed}) {
    const std::string path = folder.write("song.mp3", fileWith(before, audio));
    fileSystem.clearCalls();
    ASSERT_TRUE(id3v2::replaceTagRegions(fileSystem, path, before, after, durability).ok());
    EXPECT_EQ(TempDir::read(path), fileWith(after, audio));
    EXPECT_EQ(fileSystem.callsOf(FsOp::ReplaceFile).size(), 1u);
    EXPECT_EQ(fileSystem.callsOf(FsOp::Sync).size(), 1u);
    EXPECT_EQ(folder.names(), std::vector<std::string>{"song.mp3"});
  }
  ASSERT_EQ(::link(folder.file("song.mp3").c_str(), folder.file("other.mp3").c_str()), 0);
  const TagRegions longer{version2Tag("Longer", 4096), {}};
  ASSERT_TRUE(
      id3v2::replaceTagRegions(fileSystem, folder.file("song.mp3"), after, longer, kDeferred).ok());
  EXPECT_EQ(TempDir::read(folder.file("other.mp3")), fileWith(longer, audio));

  if (::geteuid() == 0) return;  // root may write any file
  const std::string path = folder.write("locked.mp3", fileWith(before, audio));
  ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
  const TagRegions same{version2Tag("New", 256), version1("New")};
  ASSERT_TRUE(id3v2::replaceTagRegions(fileSystem, path, before, same, kDeferred).ok());
  EXPECT_EQ(TempDir::read(path), fileWith(same, audio));
  struct stat status {};
  ASSERT_EQ(::stat(path.c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 0777, 0444u);
}

TEST_F(TagRegionsTest, RefusesAFileThatChangedSinceItsTagsWereRead) {
  const TagRegions before{version2Tag("Old", 1024), version1("Old")};
  const std::string changed = fileWith({version2Tag("Other", 1024), version1("Old")}, noise(1000));
  for (const std::size_t length : {1024u, 4096u}) {
    for (const Durability durability : {kDeferred, kFlushed}) {
      const std::string path = folder.write("song.mp3", changed);
      const TagRegions target{version2Tag("New", length), version1("New")};
      auto status = id3v2::replaceTagRegions(fileSystem, path, before, target, durability);
      ASSERT_FALSE(status.ok());
      EXPECT_EQ(status.error().message, "the file changed since its tags were read");
      EXPECT_EQ(TempDir::read(path), changed);
    }
  }
}

}  // namespace
}  // namespace brindle::history::testing
