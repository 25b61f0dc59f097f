// What `write` and `remove-v2` print when the file system fails: "Error: 10", the file, the reason.
#include "cli/TagCommands.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <optional>
#include <sstream>

#include "platform/posix/PosixFileSystem.h"
#include "platform/testing/RecordingFileSystem.h"
#include "tests/support/TempDir.h"

namespace brindle::cli {
namespace {

using platform::testing::FsOp;
using testsupport::TempDir;

/// An MPEG 1 layer 3 frame header, then silence.
const std::string kAudio = std::string("\xFF\xFB\x90\x64", 4) + std::string(4000, '\0');

struct TagCommandsTest : ::testing::Test {
  TempDir folder;
  platform::posix::PosixFileSystem real;
  platform::testing::RecordingFileSystem fileSystem{real};
  std::ostringstream err;
};

// A refused file or a failing step prints the code and the reason; every byte stays as it was.
TEST_F(TagCommandsTest, ARefusalPrintsTheCodeAndTheReasonAndKeepsEveryByte) {
  const std::string full = "no space left on the device (No space left on device)",
                    beside = "cannot create a temporary file beside it: ",
                    place = "cannot put the new file in place of the old one: ";
  // clang-format off
  const struct {
    std::string content; std::optional<platform::Error> fault; std::string reason;
    FsOp op = FsOp::CreateNewFile; bool removeV2 = false;
  } cases[] = {
      {std::string("ID3\x05\0\0\0\0\0\0", 10) + kAudio, {}, "the tag is ID3v2.5"},
      {std::string("ID3\x03\0\0\0\0\x27\x6E", 10) + std::string(4078, 'a'), {},
       "the tag claims 5112 bytes but the file has 4088"},
      {"", {}, "the file is empty"},
      {"RIFF\x24\0\0\0WAVEfmt " + std::string(100, '\0'), {}, "not an MPEG audio file (it is RIFF/WAVE)"},
      {kAudio, platform::Error{EROFS, "x"}, beside + "the file system is read-only (Read-only file system)"},
      {kAudio, platform::Error{ENOSPC, "x"}, beside + full},
      {kAudio, platform::Error{EACCES, "x"}, beside + "Permission denied"},
      {kAudio, platform::Error{ENOSPC, "x"}, "cannot write the new tag: " + full, FsOp::Write},
      {std::string("ID3\x03\0\0\0\0\0\0", 10) + kAudio, platform::Error{EXDEV, "x"},
       place + std::strerror(EXDEV), FsOp::ReplaceFile, true},
  };
  // clang-format on
  for (const auto& c : cases) {
    SCOPED_TRACE(c.reason);
    TempDir here;
    fileSystem.clearFaults(), err.str("");
    const std::string path = here.write("song.mp3", c.content);
    if (c.fault) fileSystem.fail(c.op, *c.fault);
    EXPECT_EQ(c.removeV2 ? removeVersion2Tags(fileSystem, {path}, err)
                         : writeTags(fileSystem, {path}, {"TAGv2Title=x", "TAGv1Artist=y"}, err),
              kFailed);
    EXPECT_EQ(err.str(), "Error: 10\nbrindle-cli: " + path + ": " + c.reason + "\n");
    EXPECT_EQ(std::pair(TempDir::read(path), here.names()),
              std::pair(c.content, std::vector<std::string>{"song.mp3"}));
  }
}

// Several files: each failing one is reported (refused or failing when written), the rest saved.
TEST_F(TagCommandsTest, SeveralFilesAFailingOneIsReportedAndTheOthersAreSaved) {
  // clang-format off
  const std::string tagged = std::string("ID3\x03\0\0\0\0\x08\0", 10) + std::string(1024, 0) + kAudio;
  const std::string first = folder.write("first.mp3", tagged), locked = folder.write("locked.mp3", tagged),
                    wave = folder.write("wave.mp3", "RIFF\x24\0\0\0WAVEfmt " + std::string(100, '\0')),
                    last = folder.write("last.mp3", kAudio), missing = folder.file("missing.mp3");
  fileSystem.fail(FsOp::OpenForUpdate, {EIO, "scripted"}, locked);
  EXPECT_EQ(writeTags(fileSystem, {first, wave, missing, locked, last}, {"TAGv2Title=Same"}, err), kFailed);
  EXPECT_EQ(err.str(), "Error: 10\nbrindle-cli: " + wave + ": not an MPEG audio file (it is RIFF/WAVE)\n"
            "brindle-cli: cannot read \"" + missing + "\": No such file or directory\n"
            "Error: 10\nbrindle-cli: " + locked + ": cannot open the file: Input/output error\n");
  // clang-format on
  for (const std::string& path : {first, last})
    EXPECT_NE(TempDir::read(path).find("Same"), std::string::npos);
  EXPECT_EQ(TempDir::read(first).size(), tagged.size() + 128);
  EXPECT_EQ(TempDir::read(locked), tagged);
  EXPECT_EQ(folder.names(),
            (std::vector<std::string>{"first.mp3", "last.mp3", "locked.mp3", "wave.mp3"}));
}

}  // namespace
}  // namespace brindle::cli
