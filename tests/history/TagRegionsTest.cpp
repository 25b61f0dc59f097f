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

class TagRegionsTest : public ::testing::Test {
 protected:
  testsupport::TempDir folder;
  platform::posix::PosixFileSystem real;
  platform::testing::RecordingFileSystem fileSystem{real};
};

TEST_F(TagRegionsTest, ReadsBothRegionsByteExact) {
  struct Row {
    const char* name;
    TagRegions regions;
    std::size_t audio;
  };
  const std::vector<Row> rows = {
      {"none", {}, 500},
      {"version 2 with padding", {version2Tag("Title", 1024), {}}, 500},
      {"version 1 only", {{}, version1("Old")}, 500},
      {"both", {version2Tag("Title", 300), version1("Old")}, 5000},
      {"large tag", {version2Tag("Big", 20000), version1("Old")}, 100},
      {"no audio", {version2Tag("T", 64), {}}, 0},
      {"lower-case marker", {{}, bytesOf("tag" + textOf(version1("x")).substr(3))}, 300},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string path = folder.write("song.mp3", fileWith(row.regions, noise(row.audio)));
    auto read = id3v2::readTagRegions(fileSystem, path);
    ASSERT_TRUE(read.ok());
    EXPECT_EQ(read.value(), row.regions);
  }
}

TEST_F(TagRegionsTest, RefusesATagLongerThanTheFile) {
  std::string bytes = textOf(version2Tag("T", 2000));
  bytes.resize(900);
  const std::string path = folder.write("song.mp3", bytes);
  auto read = id3v2::readTagRegions(fileSystem, path);
  ASSERT_FALSE(read.ok());
  EXPECT_EQ(read.error().message, "the tag claims 2000 bytes but the file has 900");
}

/// A save whose tag fits touches only the tag bytes: every read and write of
/// the file is at offset 0 (the version 2 region) or at the end (version 1).
TEST_F(TagRegionsTest, InPlaceTouchesOnlyTheTagRegions) {
  struct Row {
    const char* name;
    Durability durability;
    TagRegions before;
    TagRegions after;
  };
  const std::vector<Row> rows = {
      {"replaced, deferred",
       Durability::Deferred,
       {version2Tag("Old", 1024), version1("Old")},
       {version2Tag("New title", 1024), version1("New")}},
      {"version 1 added, deferred",
       Durability::Deferred,
       {version2Tag("Old", 1024), {}},
       {version2Tag("New title", 1024), version1("New")}},
      {"version 1 dropped, deferred",
       Durability::Deferred,
       {version2Tag("Old", 1024), version1("Old")},
       {version2Tag("New", 1024), {}}},
      {"replaced, flushed",
       Durability::Flushed,
       {version2Tag("Old", 1024), version1("Old")},
       {version2Tag("New title", 1024), version1("New")}},
      {"version 1 added, flushed",
       Durability::Flushed,
       {version2Tag("Old", 1024), {}},
       {version2Tag("New title", 1024), version1("New")}},
  };
  const std::string audio = noise(300000);
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string path = folder.write("song.mp3", fileWith(row.before, audio));
    fileSystem.clearCalls();
    ASSERT_TRUE(
        id3v2::replaceTagRegions(fileSystem, path, row.before, row.after, row.durability).ok());
    EXPECT_EQ(testsupport::TempDir::read(path), fileWith(row.after, audio));
    const std::uint64_t audioEnd = row.before.version2.size() + audio.size();
    const std::uint64_t oldSize = audioEnd + row.before.version1.size();
    for (const auto& call : fileSystem.calls()) {
      if (call.path != path) continue;
      if (call.op == FsOp::ReadAt) {
        const std::uint64_t offset = std::stoull(call.second);
        EXPECT_TRUE(offset == 0 || offset == oldSize - 128) << "read at " << offset;
      }
      if (call.op == FsOp::WriteAt) {
        const std::uint64_t offset = std::stoull(call.second);
        EXPECT_TRUE(offset == 0 || offset == audioEnd) << "write at " << offset;
      }
      EXPECT_NE(call.op, FsOp::CopyFrom);
    }
    EXPECT_TRUE(fileSystem.callsOf(FsOp::ReplaceFile).empty());
    if (row.durability == Durability::Deferred) {
      EXPECT_TRUE(fileSystem.callsOf(FsOp::Sync).empty());
      EXPECT_TRUE(fileSystem.callsOf(FsOp::CreateNewFile).empty());
    } else {
      // The undo record beside the file, then the file, are flushed.
      EXPECT_EQ(fileSystem.callsOf(FsOp::CreateNewFile).size(), 1u);
      EXPECT_EQ(fileSystem.callsOf(FsOp::Sync).size(), 2u);
    }
    EXPECT_EQ(folder.names(), std::vector<std::string>{"song.mp3"});
  }
}

TEST_F(TagRegionsTest, ATagThatGrowsGoesThroughANewFile) {
  const TagRegions before{version2Tag("Old", 256), version1("Old")};
  const TagRegions after{version2Tag("A much longer title", 2048), version1("New")};
  const std::string audio = noise(10000);
  for (const Durability durability : {Durability::Deferred, Durability::Flushed}) {
    const std::string path = folder.write("song.mp3", fileWith(before, audio));
    fileSystem.clearCalls();
    ASSERT_TRUE(id3v2::replaceTagRegions(fileSystem, path, before, after, durability).ok());
    EXPECT_EQ(testsupport::TempDir::read(path), fileWith(after, audio));
    EXPECT_EQ(fileSystem.callsOf(FsOp::ReplaceFile).size(), 1u);
    EXPECT_EQ(fileSystem.callsOf(FsOp::Sync).size(), 1u);
    EXPECT_EQ(folder.names(), std::vector<std::string>{"song.mp3"});
  }
}

TEST_F(TagRegionsTest, AFileWithSeveralNamesKeepsItsInodeWhenTheTagGrows) {
  const TagRegions before{version2Tag("Old", 256), {}};
  const TagRegions after{version2Tag("Longer", 4096), version1("New")};
  const std::string audio = noise(10000);
  const std::string path = folder.write("song.mp3", fileWith(before, audio));
  ASSERT_EQ(::link(path.c_str(), folder.file("other.mp3").c_str()), 0);
  ASSERT_TRUE(id3v2::replaceTagRegions(fileSystem, path, before, after, Durability::Deferred).ok());
  EXPECT_EQ(testsupport::TempDir::read(folder.file("other.mp3")), fileWith(after, audio));
}

TEST_F(TagRegionsTest, RefusesAFileThatChangedSinceItsTagsWereRead) {
  const TagRegions before{version2Tag("Old", 1024), version1("Old")};
  const TagRegions after{version2Tag("New", 1024), version1("New")};
  const TagRegions grown{version2Tag("New", 4096), version1("New")};
  const std::string audio = noise(1000);
  const std::string changed = fileWith({version2Tag("Other", 1024), version1("Old")}, audio);
  for (const TagRegions& target : {after, grown}) {
    for (const Durability durability : {Durability::Deferred, Durability::Flushed}) {
      const std::string path = folder.write("song.mp3", changed);
      auto status = id3v2::replaceTagRegions(fileSystem, path, before, target, durability);
      ASSERT_FALSE(status.ok());
      EXPECT_EQ(status.error().message, "the file changed since its tags were read");
      EXPECT_EQ(testsupport::TempDir::read(path), changed);
    }
  }
}

TEST_F(TagRegionsTest, AReadOnlyFileIsSavedThroughANewFileAndStaysReadOnly) {
  if (::geteuid() == 0) GTEST_SKIP() << "root may write any file";
  const TagRegions before{version2Tag("Old", 1024), version1("Old")};
  const TagRegions after{version2Tag("New", 1024), version1("New")};
  const std::string audio = noise(1000);
  const std::string path = folder.write("song.mp3", fileWith(before, audio));
  ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
  ASSERT_TRUE(id3v2::replaceTagRegions(fileSystem, path, before, after, Durability::Deferred).ok());
  EXPECT_EQ(testsupport::TempDir::read(path), fileWith(after, audio));
  struct stat status {};
  ASSERT_EQ(::stat(path.c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 0777, 0444u);
}

}  // namespace
}  // namespace brindle::history::testing
