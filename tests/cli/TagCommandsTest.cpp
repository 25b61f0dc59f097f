// What `write` and `remove-v2` print when the file system fails underneath:
// the component's "Error: 10" as before, then the file and the reason with the
// system's error text.
#include "cli/TagCommands.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <optional>
#include <sstream>

#include "platform/posix/PosixFileSystem.h"
#include "platform/testing/RecordingFileSystem.h"
#include "tests/history/FakeHistory.h"
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
  EXPECT_EQ(writeTags(fileSystem, {path}, {"TAGv2Title=x"}, err), kFailed);
  EXPECT_EQ(
      err.str(),
      "Error: 10\nbrindle-cli: " + path +
          ": cannot write the new tag: no space left on the device (No space left on device)\n");
}

TEST_F(TagCommandsTest, RefusedCreationIsReportedForEachFailingWrite) {
  const std::string path = folder.write("song.mp3", audio());
  fileSystem.fail(FsOp::CreateNewFile, {EACCES, "scripted"});
  EXPECT_EQ(writeTags(fileSystem, {path}, {}, err), kFailed);
  // Both tags are written in one step: one event, with its reason.
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

struct Refusal {
  const char* name;
  std::string content;
  /// A fault of the file system, when the refusal comes from it.
  std::optional<platform::Error> createFault;
  const char* reason;
};

/// Names the row in test output instead of its bytes.
void PrintTo(const Refusal& row, std::ostream* out) {
  *out << row.name;
}

class TagCommandsRefusal : public TagCommandsTest, public ::testing::WithParamInterface<Refusal> {};

TEST_P(TagCommandsRefusal, PrintsTheCodeAndTheReasonAndKeepsEveryByte) {
  const Refusal& row = GetParam();
  const std::string path = folder.write("song.mp3", row.content);
  if (row.createFault) fileSystem.fail(FsOp::CreateNewFile, *row.createFault);
  EXPECT_EQ(writeTags(fileSystem, {path}, {"TAGv2Title=x", "TAGv1Artist=y"}, err), kFailed);
  EXPECT_EQ(err.str(), "Error: 10\nbrindle-cli: " + path + ": " + row.reason + "\n");
  EXPECT_EQ(testsupport::TempDir::read(path), row.content);
  EXPECT_EQ(folder.names(), std::vector<std::string>{"song.mp3"});
}

INSTANTIATE_TEST_SUITE_P(
    Files, TagCommandsRefusal,
    ::testing::Values(
        Refusal{"Version25", std::string("ID3\x05\0\0\0\0\0\0", 10) + audio(), std::nullopt,
                "the tag is ID3v2.5"},
        Refusal{"TagLongerThanFile",
                std::string("ID3\x03\0\0\0\0\x27\x6E", 10) + std::string(4078, 'a'), std::nullopt,
                "the tag claims 5112 bytes but the file has 4088"},
        Refusal{"Empty", "", std::nullopt, "the file is empty"},
        Refusal{"Wave", "RIFF\x24\0\0\0WAVEfmt " + std::string(100, '\0'), std::nullopt,
                "not an MPEG audio file (it is RIFF/WAVE)"},
        Refusal{"ReadOnlyMount", audio(), platform::Error{EROFS, "scripted"},
                "cannot create a temporary file beside it: the file system is read-only "
                "(Read-only file system)"},
        Refusal{"FullDisk", audio(), platform::Error{ENOSPC, "scripted"},
                "cannot create a temporary file beside it: no space left on the device (No "
                "space left on device)"}),
    [](const auto& info) { return info.param.name; });

/// Several files in one call: each failing file is reported (refused while
/// planned, or failing while written) and the others are saved.
TEST_F(TagCommandsTest, SeveralFilesAFailingOneIsReportedAndTheOthersAreSaved) {
  const std::string tagged =
      std::string("ID3\x03\0\0\0\0\x08\0", 10) + std::string(1024, '\0') + audio();
  const std::string first = folder.write("first.mp3", tagged);
  const std::string wave =
      folder.write("wave.mp3", "RIFF\x24\0\0\0WAVEfmt " + std::string(100, '\0'));
  const std::string locked = folder.write("locked.mp3", tagged);
  const std::string last = folder.write("last.mp3", audio());
  fileSystem.fail(FsOp::OpenForUpdate, {EIO, "scripted"}, locked);
  const std::string missing = folder.file("missing.mp3");
  EXPECT_EQ(writeTags(fileSystem, {first, wave, missing, locked, last}, {"TAGv2Title=Same"}, err),
            kFailed);
  EXPECT_EQ(err.str(), "Error: 10\nbrindle-cli: " + wave +
                           ": not an MPEG audio file (it is RIFF/WAVE)\n"
                           "brindle-cli: cannot read \"" +
                           missing +
                           "\": No such file or directory\n"
                           "Error: 10\nbrindle-cli: " +
                           locked + ": cannot open the file: Input/output error\n");
  // The two good files have the new title; the one written in place kept
  // its length apart from the version 1 tag added.
  for (const std::string& path : {first, last}) {
    EXPECT_NE(testsupport::TempDir::read(path).find("Same"), std::string::npos) << path;
  }
  EXPECT_EQ(testsupport::TempDir::read(first).size(), tagged.size() + 128);
  EXPECT_EQ(testsupport::TempDir::read(locked), tagged);
  EXPECT_EQ(folder.names(),
            (std::vector<std::string>{"first.mp3", "last.mp3", "locked.mp3", "wave.mp3"}));
}

TEST_F(TagCommandsTest, OneCallIsOneBatchOfTheHistory) {
  const std::string tagged =
      std::string("ID3\x03\0\0\0\0\x08\0", 10) + std::string(1024, '\0') + audio();
  const std::vector<std::string> files{folder.write("a.mp3", tagged),
                                       folder.write("b.mp3", audio())};
  history::testing::FakeHistory history;
  EXPECT_EQ(writeTags(fileSystem, files, {"TAGv2Title=x"}, err, &history), kSuccess);
  EXPECT_EQ(err.str(), "");
  ASSERT_EQ(history.recorded().size(), 1u);
  const auto& batch = history.recorded()[0];
  EXPECT_EQ(batch.summary.command, "brindle-cli write");
  EXPECT_EQ(batch.summary.state, history::BatchState::Done);
  ASSERT_EQ(batch.tags.size(), 2u);
  for (std::size_t i = 0; i < files.size(); ++i) {
    const std::string now = testsupport::TempDir::read(files[i]);
    const auto& after = batch.tags[i].after;
    EXPECT_EQ(now.substr(0, after.version2.size()),
              std::string(after.version2.begin(), after.version2.end()));
    EXPECT_EQ(now.substr(now.size() - 128),
              std::string(after.version1.begin(), after.version1.end()));
  }
  // Written without a flush per file; the file system flushed once.
  EXPECT_EQ(fileSystem.callsOf(FsOp::SyncFileSystem).size(), 1u);
}

TEST_F(TagCommandsTest, SuccessPrintsNothing) {
  const std::string path = folder.write("song.mp3", audio());
  EXPECT_EQ(writeTags(fileSystem, {path}, {"TAGv2Title=x"}, err), kSuccess);
  EXPECT_EQ(err.str(), "");
}

}  // namespace
}  // namespace brindle::cli
