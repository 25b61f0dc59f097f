// What `write` and `remove-v2` print when the file system fails underneath:
// the component's "Error: 10" as before, then the file and the reason with the
// system's error text.
#include "cli/TagCommands.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <sstream>

#include "platform/posix/PosixFileSystem.h"
#include "platform/testing/RecordingFileSystem.h"
#include "tests/support/TempDir.h"

namespace brindle::cli {
namespace {

using platform::testing::FsOp;

/// An MPEG 1 layer 3 frame header, then silence.
std::string audio() {
  return std::string("\xFF\xFB\x90\x64", 4) + std::string(4000, '\0');
}

class TagCommandsTest : public ::testing::Test {
 protected:
  testsupport::TempDir folder;
  platform::posix::PosixFileSystem real;
  platform::testing::RecordingFileSystem fileSystem{real};
  std::ostringstream err;
};

TEST_F(TagCommandsTest, FullDiskIsReportedWithTheSystemsText) {
  const std::string path = folder.write("song.mp3", audio());
  fileSystem.fail(FsOp::Write, {ENOSPC, "scripted"});
  EXPECT_EQ(writeTags(fileSystem, path, {"TAGv2Title=x"}, err), kFailed);
  EXPECT_EQ(err.str(), "Error: 10\nbrindle-cli: " + path +
                           ": cannot write the new tag: No space left on device\n");
}

TEST_F(TagCommandsTest, RefusedCreationIsReportedForEachFailingWrite) {
  const std::string path = folder.write("song.mp3", audio());
  fileSystem.fail(FsOp::CreateNewFile, {EACCES, "scripted"});
  fileSystem.fail(FsOp::OpenForUpdate, {EROFS, "scripted"});
  EXPECT_EQ(writeTags(fileSystem, path, {}, err), kFailed);
  // Both writers fail with code 10: one event, with the first reason.
  EXPECT_EQ(err.str(), "Error: 10\nbrindle-cli: " + path +
                           ": cannot create a temporary file beside it: Permission denied\n");
  EXPECT_EQ(testsupport::TempDir::read(path), audio());
}

TEST_F(TagCommandsTest, RemovalFailureNamesTheFileAndTheCause) {
  const std::string tagged = std::string("ID3\x03\0\0\0\0\0\0", 10) + audio();
  const std::string path = folder.write("tagged.mp3", tagged);
  fileSystem.fail(FsOp::ReplaceFile, {EXDEV, "scripted"});
  EXPECT_EQ(removeVersion2Tags(fileSystem, {path}, err), kFailed);
  EXPECT_EQ(err.str(), "Error: 10\nbrindle-cli: " + path +
                           ": cannot put the new file in place of the old one: " +
                           std::strerror(EXDEV) + "\n");
  EXPECT_EQ(testsupport::TempDir::read(path), tagged);
}

TEST_F(TagCommandsTest, SuccessPrintsNothing) {
  const std::string path = folder.write("song.mp3", audio());
  EXPECT_EQ(writeTags(fileSystem, path, {"TAGv2Title=x"}, err), kSuccess);
  EXPECT_EQ(err.str(), "");
}

}  // namespace
}  // namespace brindle::cli
