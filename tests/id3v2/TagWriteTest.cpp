// Writing and removing tags: exact bytes, frames never lost, the file
// replaced safely, and the original untouched after any failure.
#include <limits.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include "id3v2/ID3v2FrameId.h"
#include "id3v2/TextCodec.h"
#include "tests/id3v2/TagFixture.h"

namespace brindle::id3v2 {
namespace {

using namespace testbytes;
using platform::testing::FsOp;

std::string text(const std::string& latin1) {
  return bytes({0}) + latin1;
}

class TagWriteTest : public TagFixture {
 protected:
  /// Reads the file, lets `change` edit the frames, writes the tag back.
  std::unique_ptr<clsTv2> edit(const std::string& path,
                               const std::function<void(clsTv2&)>& change = {}) {
    auto tag = container();
    tag->readtag(path);
    if (change) change(*tag);
    tag->lasterror(0);
    tag->writetag(path);
    return tag;
  }
};

TEST_F(TagWriteTest, NewTagOnUntaggedFileIsByteExact) {
  const std::string path = song(kAudio);
  auto tag = container();
  tag->setframevalue(TIT2, "Song");
  tag->writetag(path);
  EXPECT_EQ(tag->lasterror(), 0);
  EXPECT_TRUE(tag->hastag());
  const std::string expected = bytes({0x49, 0x44, 0x33, 0x03, 0, 0, 0, 0, 0x02, 0x01}) +
                               bytes({0x54, 0x49, 0x54, 0x32, 0, 0, 0, 0x06, 0, 0}) + bytes({0}) +
                               "Song" + bytes({0}) + std::string(241, '\0') + kAudio;
  EXPECT_EQ(contentOf(path), expected);
  EXPECT_EQ(contentOf(path).substr(267), kAudio);
  EXPECT_EQ(names(), std::vector<std::string>{"song.mp3"});
}

TEST_F(TagWriteTest, PaddingToMultiplesOf257) {
  const std::string path = song(kAudio);
  auto tag = container();
  tag->writetag(path);  // no frames: a bare header with size 0
  EXPECT_EQ(contentOf(path), header(3, 0) + kAudio);

  // One text frame of exactly 257 bytes in all needs no padding.
  auto exact = container();
  exact->setframevalue(TALB, std::string(257 - 10 - 2, 'a'));
  exact->writetag(path);
  EXPECT_EQ(contentOf(path).substr(6, 4), syncsafe(257));
  EXPECT_EQ(contentOf(path).substr(10 + 257), kAudio);
}

TEST_F(TagWriteTest, FrameSizesArePlainInVersion23) {
  const std::string path = song(kAudio);
  auto tag = container();
  tag->setframevalue(TIT2, std::string(198, 'x'));  // 200 content bytes
  tag->writetag(path);
  EXPECT_EQ(contentOf(path).substr(14, 4), bytes({0, 0, 0, 0xC8}));
  auto back = container();
  back->readtag(path);
  EXPECT_EQ(back->getframevalue(TIT2), std::string(198, 'x'));
}

TEST_F(TagWriteTest, UnknownFramesSurviveByteForByte) {
  std::string picture = bytes({0}) + "image/jpeg" + bytes({0, 3}) + "cover" + bytes({0});
  for (int i = 0; i < 3000; ++i) picture += static_cast<char>(i * 7 % 256);
  const std::string txxx = frame23("TXXX", bytes({0}) + "MOOD" + bytes({0}) + "calm");
  const std::string apic = frame23("APIC", picture, 0, 0);
  const std::string path =
      song(id3tag(3, frame23("TIT2", text("Old")) + txxx + apic + frame23("TPE1", text("B")), 100) +
           kAudio);
  edit(path, [](clsTv2& tag) { tag.setframevalue(TIT2, "New"); });

  const std::string written = contentOf(path);
  EXPECT_NE(written.find(txxx), std::string::npos);
  EXPECT_NE(written.find(apic), std::string::npos);
  EXPECT_LT(written.find(txxx), written.find(apic));  // original order
  EXPECT_EQ(written.substr(written.size() - kAudio.size()), kAudio);
  auto back = container();
  back->readtag(path);
  EXPECT_EQ(back->frames().count(), 4);
  EXPECT_EQ(back->getframevalue(TIT2), "New");
  EXPECT_EQ(back->frames().item(2)->frameid(), "TXXX");
  EXPECT_EQ(back->frames().item(3)->frameid(), "APIC");
}

TEST_F(TagWriteTest, TwoCommentsBothWrittenFirstOneSet) {
  const std::string path =
      song(id3tag(3, frame23("COMM", bytes({0, 'e', 'n', 'g', 0}) + "one") +
                         frame23("COMM", bytes({0, 'e', 'n', 'g', 0}) + "two")));
  auto tag = edit(path, [](clsTv2& t) {
    EXPECT_EQ(t.getframevalue(COMM), "one");
    t.setframevalue(COMM, "first");
  });
  auto back = container();
  back->readtag(path);
  ASSERT_EQ(back->frames().count(), 2);
  EXPECT_EQ(back->getframevalue(COMM), "first");
  EXPECT_EQ(back->frames().item(2)->data(), "two");
}

TEST_F(TagWriteTest, OutOfRangeIdChangesNothing) {
  auto tag = container();
  tag->setframevalue(0, "x");
  tag->setframevalue(13, "x");
  EXPECT_EQ(tag->frames().count(), 0);
}

TEST_F(TagWriteTest, UnchangedUtf16ValuesStayByteIdentical) {
  const std::string title = bytes({1, 0xFF, 0xFE, 'G', 0, 0xFC, 0, 0, 0});
  const std::string comment =
      bytes({1, 'd', 'e', 'u', 0xFF, 0xFE, 0, 0, 0xFF, 0xFE, 'h', 0, 'i', 0, 0, 0});
  const std::string original =
      id3tag(3, frame23("TIT2", title) + frame23("COMM", comment), 257 - (10 + 9) - (10 + 16)) +
      kAudio;
  const std::string path = song(original);
  edit(path, [](clsTv2& tag) {
    // The way a window saves: every value set back as it was read.
    for (std::int32_t id = 1; id <= 12; ++id) {
      if (!tag.getframevalue(id).empty()) tag.setframevalue(id, tag.getframevalue(id));
    }
  });
  EXPECT_EQ(contentOf(path), original);
}

TEST_F(TagWriteTest, NonLatin1ValueIsWrittenAsUtf16AndReadsBack) {
  const std::string path = song(kAudio);
  auto tag = container();
  const std::string value = "\xCE\xA9mega \xE2\x98\x83 \xF0\x9D\x84\x9E";
  tag->setframevalue(TIT2, value);
  tag->setframevalue(COMM, value);
  tag->setframevalue(TPE1, "caf\xC3\xA9");
  tag->writetag(path);
  auto back = container();
  back->readtag(path);
  EXPECT_EQ(back->getframevalue(TIT2), value);
  EXPECT_EQ(back->getframevalue(COMM), value);
  EXPECT_EQ(back->getframevalue(TPE1), "caf\xC3\xA9");
  ByteVector content;
  back->frames().item(1)->getbytes(content);
  EXPECT_EQ(content[0], 1);
  EXPECT_EQ(content[1], 0xFF);
  EXPECT_EQ(content[2], 0xFE);
  EXPECT_EQ(content[content.size() - 2], 0);
  EXPECT_EQ(content[content.size() - 1], 0);
  back->frames().item(3)->getbytes(content);
  EXPECT_EQ(content, (ByteVector{0, 'c', 'a', 'f', 0xE9, 0}));  // ISO-8859-1 when it fits
}

TEST_F(TagWriteTest, Version24KeepsItsVersionAndFrames) {
  const std::string frames = frame24("TIT2", bytes({3}) + "Old") + frame24("TDRC", text("2020")) +
                             frame24("TXXX", bytes({3}) + "k" + bytes({0}) + "v") +
                             frame24("TPE1", text("compressed"), 0, 0x08);
  const std::string path = song(id3tag(4, frames, 40) + kAudio);
  edit(path, [](clsTv2& tag) {
    tag.setframevalue(TIT2, "New");
    tag.setframevalue(TYER, "2021");
  });
  const std::string written = contentOf(path);
  EXPECT_EQ(written.substr(0, 5), "ID3" + bytes({4, 0}));
  EXPECT_NE(written.find(frame24("TXXX", bytes({3}) + "k" + bytes({0}) + "v")), std::string::npos);
  EXPECT_NE(written.find(frame24("TPE1", text("compressed"), 0, 0x08)), std::string::npos);
  EXPECT_EQ(written.find("TYER"), std::string::npos);
  auto back = container();
  back->readtag(path);
  EXPECT_EQ(back->majorVersion(), 4);
  EXPECT_EQ(back->frames().count(), 4);
  EXPECT_EQ(back->getframevalue(TIT2), "New");
  EXPECT_EQ(back->getframevalue(TYER), "2021");
}

TEST_F(TagWriteTest, Version24FooterIsReplacedWithTheTag) {
  const std::string frames = frame24("TIT2", text("T"));
  const std::string original = header(4, static_cast<std::uint32_t>(frames.size()), 0x10) + frames +
                               "3DI" + bytes({4, 0, 0x10}) +
                               syncsafe(static_cast<std::uint32_t>(frames.size())) + kAudio;
  const std::string path = song(original);
  edit(path);
  const std::string written = contentOf(path);
  EXPECT_EQ(written.find("3DI"), std::string::npos);
  EXPECT_EQ(written.substr(written.size() - kAudio.size()), kAudio);
}

TEST_F(TagWriteTest, TagOfAnUnknownVersionIsNeverDestroyed) {
  const std::string original =
      "ID3" + bytes({5, 0, 0}) + syncsafe(12) + "TIT2" + bytes({0, 0, 0, 2, 0, 0}) + "T" + kAudio;
  const std::string path = song(original);
  auto tag = container();
  tag->setframevalue(TIT2, "x");
  tag->writetag(path);
  EXPECT_EQ(tag->lasterror(), clsTv2::kWriteFailed);
  EXPECT_EQ(contentOf(path), original);
  EXPECT_EQ(names(), std::vector<std::string>{"song.mp3"});
}

TEST_F(TagWriteTest, UnsynchronisedTagIsWrittenPlain) {
  const std::string stored = "TIT2" + plain(4) + bytes({0, 0, 0, 'a', 0xFF, 0x00, 0xE0});
  const std::string path =
      song(header(3, static_cast<std::uint32_t>(stored.size()), 0x80) + stored + kAudio);
  edit(path);
  const std::string written = contentOf(path);
  EXPECT_EQ(written[5], 0);  // no flags
  EXPECT_EQ(written.substr(10, 14), frame23("TIT2", bytes({0, 'a', 0xFF, 0xE0})));
}

TEST_F(TagWriteTest, WritingTwiceGivesTheSameFile) {
  const std::string path = song(id3tag(3, frame23("TIT2", text("A")), 5) + kAudio);
  auto tag = container();
  tag->readtag(path);
  tag->setframevalue(TALB, "Album");
  tag->writetag(path);
  const std::string first = contentOf(path);
  tag->writetag(path);
  EXPECT_EQ(contentOf(path), first);
}

TEST_F(TagWriteTest, TemporaryNamesAreOursAndShortAndLeftoversGo) {
  // A name of 255 bytes can be saved: the temporary name does not grow
  // with it.
  const std::string path = song(kAudio, std::string(251, 's') + ".mp3");
  const std::string others = folder.write("song.mp3.new", "someone else's file");
  const std::string lookalike = folder.write(".brindle-notours", "not ours either");
  const std::string leftover = folder.write(".brindle-k3x9q2", "left by a killed save");
  // A save running in another program holds its temporary file.
  auto running = real.createNewFile(folder.file(".brindle-run123"), 0600);
  ASSERT_TRUE(running);

  auto tag = container();
  tag->setframevalue(TIT2, "x");
  EXPECT_TRUE(tag->writetag(path));
  EXPECT_EQ(tag->lasterror(), 0);
  const auto creates = fileSystem.callsOf(FsOp::CreateNewFile);
  ASSERT_EQ(creates.size(), 1u);
  const std::string created = creates[0].path.substr(folder.file("").size());
  EXPECT_EQ(created.substr(0, 9), ".brindle-");
  EXPECT_EQ(created.size(), 15u);
  EXPECT_EQ(contentOf(others), "someone else's file");
  EXPECT_EQ(contentOf(lookalike), "not ours either");
  EXPECT_EQ(names(), (std::vector<std::string>{".brindle-notours", ".brindle-run123",
                                               "song.mp3.new", std::string(251, 's') + ".mp3"}));
}

TEST_F(TagWriteTest, MissingPathFailsWithoutCreatingAFile) {
  auto tag = container();
  tag->setframevalue(TIT2, "x");
  tag->writetag(folder.file("gone.mp3"));
  EXPECT_EQ(tag->lasterror(), clsTv2::kWriteFailed);
  tag->lasterror(0);
  tag->removetag(folder.file("gone.mp3"), true);
  EXPECT_EQ(tag->lasterror(), 0);
  EXPECT_TRUE(names().empty());
}

TEST_F(TagWriteTest, EmptyFileFails) {
  const std::string path = song("");
  auto tag = container();
  tag->writetag(path);
  EXPECT_EQ(tag->lasterror(), clsTv2::kWriteFailed);
  EXPECT_EQ(contentOf(path), "");
}

struct Failure {
  const char* name;
  FsOp op;
  /// The sentence the write's status gives, before the system's error text.
  const char* reason;
};

/// Names the row in test output instead of its bytes.
void PrintTo(const Failure& row, std::ostream* out) {
  *out << row.name;
}

class TagWriteFailure : public TagWriteTest, public ::testing::WithParamInterface<Failure> {};

TEST_P(TagWriteFailure, LeavesOriginalIdenticalAndNoTemporaryFile) {
  const std::string original = id3tag(3, frame23("TIT2", text("Old")), 30) + kAudio;
  const std::string path = song(original);
  fileSystem.fail(GetParam().op, {EIO, "scripted failure"});
  auto tag = container();
  tag->readtag(path);
  tag->setframevalue(TIT2, "New");
  const platform::Status written = tag->writetag(path);
  EXPECT_EQ(tag->lasterror(), clsTv2::kWriteFailed);
  ASSERT_FALSE(written);
  EXPECT_EQ(written.error().code, EIO);
  EXPECT_EQ(written.error().message, std::string(GetParam().reason) + ": Input/output error");
  EXPECT_EQ(contentOf(path), original);
  EXPECT_EQ(names(), std::vector<std::string>{"song.mp3"});

  auto remover = container();
  const platform::Status removed = remover->removetag(path, true);
  EXPECT_EQ(remover->lasterror(), clsTv2::kWriteFailed);
  ASSERT_FALSE(removed);
  EXPECT_EQ(removed.error().code, EIO);
  EXPECT_EQ(contentOf(path), original);
  EXPECT_EQ(names(), std::vector<std::string>{"song.mp3"});
}

INSTANTIATE_TEST_SUITE_P(
    EveryStep, TagWriteFailure,
    ::testing::Values(
        Failure{"Create", FsOp::CreateNewFile, "cannot create a temporary file beside it"},
        Failure{"Write", FsOp::Write, "cannot write the new tag"},
        Failure{"Copy", FsOp::CopyFrom, "cannot copy the audio into the new file"},
        Failure{"Flush", FsOp::Sync, "cannot flush the new file to the disk"},
        Failure{"Close", FsOp::Close, "cannot close the new file"},
        Failure{"Replace", FsOp::ReplaceFile, "cannot put the new file in place of the old one"},
        Failure{"Permissions", FsOp::Permissions, "cannot read the file's permissions"},
        Failure{"Kind", FsOp::KindOf, "cannot open the file"},
        Failure{"Resolve", FsOp::ResolvedPath, "cannot open the file"},
        Failure{"Metadata", FsOp::CopyMetadata,
                "cannot give the new file the owner and attributes of the old one"},
        Failure{"Open", FsOp::OpenForReading, "cannot open the file"},
        Failure{"Read", FsOp::ReadAt, "cannot read the start of the file"}),
    [](const auto& info) { return info.param.name; });

/// The status of a write that is refused, or {0, ""} when it succeeds.
platform::Error refusalOf(const platform::Status& status) {
  return status ? platform::Error{} : status.error();
}

TEST_F(TagWriteTest, RefusalsSayWhy) {
  const auto write = [&](const std::string& path, bool ignoreReadOnly = true) {
    auto tag = container();
    tag->setframevalue(TIT2, "x");
    return refusalOf(tag->writetag(path, ignoreReadOnly));
  };
  const platform::Error version25 = write(song("ID3" + bytes({5, 0, 0}) + syncsafe(0) + kAudio));
  EXPECT_EQ(version25.message, "the tag is ID3v2.5");
  EXPECT_EQ(version25.code, 0);
  EXPECT_EQ(write(song("", "empty.mp3")).message, "the file is empty");
  EXPECT_EQ(write(song(header(3, 5102) + std::string(4078, 'a'), "short.mp3")).message,
            "the tag claims 5112 bytes but the file has 4088");
  const platform::Error missing = write(folder.file("gone.mp3"));
  EXPECT_EQ(missing.code, ENOENT);
  EXPECT_EQ(missing.message, "cannot open the file: No such file or directory");
  std::string longPath = folder.path();
  while (longPath.size() <= PATH_MAX) longPath += "/" + std::string(200, 'd');
  const platform::Error tooLong = write(longPath);
  EXPECT_EQ(tooLong.code, ENAMETOOLONG);
  EXPECT_EQ(tooLong.message, "cannot open the file: the path is too long (File name too long)");

  const std::string readOnly = song(kAudio, "read-only.mp3");
  ::chmod(readOnly.c_str(), 0444);
  const platform::Error refused = write(readOnly, false);
  EXPECT_EQ(refused.code, EACCES);
  EXPECT_EQ(refused.message, "the file is read-only");
}

struct NotWritten {
  const char* name;
  /// The file's bytes; a null pointer makes a FIFO, "/" a folder.
  std::string content;
  /// The reason both the write and the removal give.
  const char* reason;
  /// The reason of the removal when it differs; "" when the removal
  /// succeeds (no tag to remove, or one it may remove).
  const char* removalReason = nullptr;
  bool removalChangesFile = false;
};

/// Names the row in test output instead of its bytes.
void PrintTo(const NotWritten& row, std::ostream* out) {
  *out << row.name;
}

class TagNotWritten : public TagWriteTest, public ::testing::WithParamInterface<NotWritten> {};

TEST_P(TagNotWritten, RefusedWithItsReasonAndEveryByteKept) {
  const NotWritten& row = GetParam();
  std::string path;
  if (row.content == "<fifo>") {
    path = folder.file("x.mp3");
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
  } else if (row.content == "<folder>") {
    path = folder.file("x.mp3");
    ASSERT_EQ(::mkdir(path.c_str(), 0700), 0);
  } else {
    path = song(row.content, "x.mp3");
  }
  auto tag = container();
  tag->setframevalue(TIT2, "x");
  const platform::Status written = tag->writetag(path, true);
  ASSERT_FALSE(written);
  EXPECT_EQ(written.error().message, row.reason);
  EXPECT_EQ(tag->lasterror(), clsTv2::kWriteFailed);
  if (row.content != "<fifo>" && row.content != "<folder>") {
    EXPECT_EQ(contentOf(path), row.content);
  }
  const platform::Status removed = container()->removetag(path, true);
  if (row.removalReason && std::string(row.removalReason).empty()) {
    EXPECT_TRUE(removed);
  } else {
    ASSERT_FALSE(removed);
    EXPECT_EQ(removed.error().message, row.removalReason ? row.removalReason : row.reason);
  }
  if (row.content != "<fifo>" && row.content != "<folder>" && !row.removalChangesFile) {
    EXPECT_EQ(contentOf(path), row.content);
  }
  EXPECT_EQ(names().size(), row.content == "<folder>" || row.content == "<fifo>" ? 0u : 1u);
}

const std::string kWave = "RIFF" + bytes({36, 0, 0, 0}) + "WAVEfmt " + std::string(40, '\0');

INSTANTIATE_TEST_SUITE_P(
    Files, TagNotWritten,
    ::testing::Values(
        NotWritten{"Wave", kWave, "not an MPEG audio file (it is RIFF/WAVE)"},
        NotWritten{"TaggedWave", id3tag(3, frame23("TIT2", text("T"))) + kWave,
                   "not an MPEG audio file (it is RIFF/WAVE)"},
        NotWritten{"Flac", "fLaC" + std::string(100, '\0'), "not an MPEG audio file (it is FLAC)"},
        NotWritten{"Ogg", "OggS" + std::string(100, '\1'), "not an MPEG audio file (it is Ogg)"},
        NotWritten{"Mp4", bytes({0, 0, 0, 32}) + "ftypM4A " + std::string(100, '\0'),
                   "not an MPEG audio file (it is MP4)"},
        NotWritten{"Text", "just some words, no audio frame", "not an MPEG audio file"},
        NotWritten{"Empty", "", "the file is empty"},
        NotWritten{"Version25", "ID3" + bytes({5, 0, 0}) + syncsafe(0) + kAudio,
                   "the tag is ID3v2.5", "", true},
        NotWritten{"TagLongerThanFile", header(3, 5102) + std::string(4078, 'a'),
                   "the tag claims 5112 bytes but the file has 4088"},
        NotWritten{"Fifo", "<fifo>", "not an MPEG audio file (it is a FIFO, socket or device)"},
        NotWritten{"Folder", "<folder>", "not an MPEG audio file (it is a folder)"}),
    [](const auto& info) { return info.param.name; });

TEST_F(TagWriteTest, ReadFailureIsReportedAndGivesNoFrames) {
  const std::string path = song(id3tag(3, frame23("TIT2", text("T"))) + kAudio);
  fileSystem.fail(FsOp::ReadAt, {EIO, "scripted failure"});
  auto tag = container();
  const platform::Status read = tag->readtag(path);
  ASSERT_FALSE(read);
  EXPECT_EQ(read.error().code, EIO);
  EXPECT_EQ(read.error().message, "cannot read the start of the file: Input/output error");
  EXPECT_EQ(tag->frames().count(), 0);
  fileSystem.clearFaults();
  EXPECT_TRUE(tag->readtag(path));
  EXPECT_EQ(tag->getframevalue(TIT2), "T");
}

TEST_F(TagWriteTest, RemoveLeavesTheRestOnly) {
  const std::string path = song(id3tag(3, frame23("TIT2", text("T")), 50) + kAudio);
  auto tag = container();
  tag->readtag(path);
  tag->removetag(path, true);
  EXPECT_EQ(tag->lasterror(), 0);
  EXPECT_FALSE(tag->hastag());
  EXPECT_EQ(tag->frames().count(), 0);
  EXPECT_EQ(contentOf(path), kAudio);

  const std::string onlyTag = song(id3tag(3, frame23("TIT2", text("T"))), "tag-only.mp3");
  container()->removetag(onlyTag, true);
  EXPECT_EQ(contentOf(onlyTag), "");
}

TEST_F(TagWriteTest, RemoveOnUntaggedFileChangesNothing) {
  const std::string path = song(kAudio);
  auto tag = container();
  tag->lasterror(3);
  tag->removetag(path, true);
  EXPECT_EQ(tag->lasterror(), 3);
  EXPECT_EQ(contentOf(path), kAudio);
  EXPECT_TRUE(fileSystem.callsOf(FsOp::CreateNewFile).empty());
}

TEST_F(TagWriteTest, ReadOnlyFileNeedsTheOverride) {
  const std::string original = kAudio;
  const std::string path = song(original);
  ::chmod(path.c_str(), 0444);
  auto refused = container();
  refused->setframevalue(TIT2, "x");
  refused->writetag(path, false);
  EXPECT_EQ(refused->lasterror(), clsTv2::kWriteFailed);
  EXPECT_EQ(contentOf(path), original);

  // The override writes the file and it stays read-only, after a failed
  // save as after a successful one.
  fileSystem.fail(FsOp::Sync, {EIO, "scripted failure"});
  auto failing = container();
  failing->setframevalue(TIT2, "x");
  EXPECT_FALSE(failing->writetag(path, true));
  EXPECT_TRUE(real.isReadOnly(path).value());
  EXPECT_EQ(contentOf(path), original);
  fileSystem.clearFaults();

  auto forced = container();
  forced->setframevalue(TIT2, "x");
  forced->writetag(path, true);
  EXPECT_EQ(forced->lasterror(), 0);
  EXPECT_TRUE(real.isReadOnly(path).value());
  EXPECT_EQ(real.permissions(path).value(), 0444u);
  EXPECT_NE(contentOf(path), original);
}

TEST_F(TagWriteTest, PermissionsAreKept) {
  const std::string path = song(kAudio);
  ::chmod(path.c_str(), 0640);
  auto tag = container();
  tag->setframevalue(TIT2, "x");
  tag->writetag(path);
  EXPECT_EQ(real.permissions(path).value(), 0640u);
}

TEST_F(TagWriteTest, SaveThroughALinkChangesTheTargetAndKeepsTheLink) {
  const std::string target = song(id3tag(3, frame23("TIT2", text("Old"))) + kAudio, "real.mp3");
  const std::string link = folder.file("link.mp3");
  ASSERT_EQ(::symlink("real.mp3", link.c_str()), 0);
  auto tag = container();
  tag->readtag(link);
  tag->setframevalue(TIT2, "New");
  ASSERT_TRUE(tag->writetag(link));
  struct stat info {};
  ASSERT_EQ(::lstat(link.c_str(), &info), 0);
  EXPECT_TRUE(S_ISLNK(info.st_mode));
  auto back = container();
  back->readtag(target);
  EXPECT_EQ(back->getframevalue(TIT2), "New");
  EXPECT_TRUE(container()->removetag(link, true));
  EXPECT_EQ(contentOf(target), kAudio);
  ASSERT_EQ(::lstat(link.c_str(), &info), 0);
  EXPECT_TRUE(S_ISLNK(info.st_mode));
  EXPECT_EQ(names(), (std::vector<std::string>{"link.mp3", "real.mp3"}));
}

TEST_F(TagWriteTest, OwnerGroupSpecialBitsAndAttributesAreKept) {
  if (::geteuid() != 0) GTEST_SKIP() << "giving a file to another user needs root";
  const std::string path = song(kAudio);
  ASSERT_EQ(::chown(path.c_str(), 4321, 4322), 0);
  ASSERT_EQ(::chmod(path.c_str(), 06750), 0);
  const bool attributes = ::setxattr(path.c_str(), "user.note", "kept", 4, 0) == 0;
  auto tag = container();
  tag->setframevalue(TIT2, "x");
  ASSERT_TRUE(tag->writetag(path));
  EXPECT_TRUE(container()->removetag(path, true));
  struct stat info {};
  ASSERT_EQ(::stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_uid, 4321u);
  EXPECT_EQ(info.st_gid, 4322u);
  EXPECT_EQ(info.st_mode & 07777, 06750u);
  if (attributes) {
    char value[8] = {};
    EXPECT_EQ(::getxattr(path.c_str(), "user.note", value, sizeof value), 4);
    EXPECT_EQ(std::string(value, 4), "kept");
  }
}

TEST_F(TagWriteTest, HardLinkedFileIsWrittenInPlaceWhenTheTagFits) {
  const std::string original = id3tag(3, frame23("TIT2", text("Old")), 300) + kAudio;
  const std::string path = song(original);
  const std::string other = folder.file("other.mp3");
  ASSERT_EQ(::link(path.c_str(), other.c_str()), 0);
  struct stat before {};
  ASSERT_EQ(::stat(path.c_str(), &before), 0);

  // The version 1 tag is added in the same step, through the ending.
  const EndingOf v1 = [](platform::ReadableFile&, std::uint64_t) {
    return platform::Result<FileEnding>(FileEnding{ByteVector(128, 'T'), 0});
  };
  edit(path, [](clsTv2& tag) { tag.setframevalue(TIT2, "New"); });
  auto tag = container();
  tag->readtag(path);
  tag->setframevalue(TALB, "Album");
  ASSERT_TRUE(tag->writetag(path, false, v1));

  struct stat after {};
  ASSERT_EQ(::stat(path.c_str(), &after), 0);
  EXPECT_EQ(after.st_ino, before.st_ino);
  EXPECT_EQ(after.st_nlink, 2u);
  EXPECT_EQ(contentOf(other), contentOf(path));
  const std::string written = contentOf(path);
  EXPECT_EQ(written.size(), original.size() + 128);
  EXPECT_EQ(written.substr(original.size() - kAudio.size(), kAudio.size()), kAudio);
  EXPECT_EQ(written.substr(original.size()), std::string(128, 'T'));
  auto back = container();
  back->readtag(other);
  EXPECT_EQ(back->getframevalue(TIT2), "New");
  EXPECT_EQ(back->getframevalue(TALB), "Album");
  EXPECT_EQ(names(), (std::vector<std::string>{"other.mp3", "song.mp3"}));
}

TEST_F(TagWriteTest, FailedInPlaceWriteIsUndoneAtOnceOrByTheNextSave) {
  const std::string original = id3tag(3, frame23("TIT2", text("Old")), 300) + kAudio;
  const std::string path = song(original);
  ASSERT_EQ(::link(path.c_str(), folder.file("other.mp3").c_str()), 0);
  const EndingOf v1 = [](platform::ReadableFile&, std::uint64_t) {
    return platform::Result<FileEnding>(FileEnding{ByteVector(128, 'T'), 0});
  };
  const auto save = [&] {
    auto tag = container();
    tag->readtag(path);
    tag->setframevalue(TIT2, "New");
    return tag->writetag(path, false, v1);
  };

  // The version 1 tag's write fails: the new version 2 tag is taken back.
  fileSystem.failLater(FsOp::WriteAt, 1, {ENOSPC, "scripted"}, 64);
  const platform::Status failed = save();
  ASSERT_FALSE(failed);
  EXPECT_EQ(failed.error().message,
            "cannot write the new tags into the file: no space left on the device (No space "
            "left on device)");
  EXPECT_EQ(contentOf(path), original);
  EXPECT_EQ(names(), (std::vector<std::string>{"other.mp3", "song.mp3"}));

  // Even taking it back fails, as when the program is killed: the undo
  // record stays, and the next save in the folder applies it first.
  fileSystem.failLater(FsOp::WriteAt, 1, {EIO, "scripted"}, 64);
  fileSystem.fail(FsOp::SetLength, {EIO, "scripted"});
  ASSERT_FALSE(save());
  EXPECT_NE(contentOf(path), original);
  EXPECT_EQ(names().size(), 3u);
  fileSystem.clearFaults();
  container()->finishAbandonedSaves(path);
  EXPECT_EQ(contentOf(path), original);
  EXPECT_EQ(names(), (std::vector<std::string>{"other.mp3", "song.mp3"}));
}

/// Audio longer than the piece an in-place rewrite moves at a time, so the
/// move takes several pieces, each overlapping where it came from.
std::string longAudio() {
  std::string audio = kAudio;
  for (std::size_t i = 0; audio.size() < (std::size_t{5} << 19); ++i) {
    audio += static_cast<char>((i * 7 + i / 251) & 0xFF);
  }
  return audio;
}

/// The inode of the file at `path`.
ino_t inodeOf(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 ? info.st_ino : 0;
}

TEST_F(TagWriteTest, HardLinkedFileKeepsItsInodeWhenTheTagGrowsOrGoes) {
  const std::string audio = longAudio();
  const std::string original = id3tag(3, frame23("TIT2", text("Old"))) + audio;
  const std::string path = song(original);
  const std::string other = folder.file("other.mp3");
  ASSERT_EQ(::link(path.c_str(), other.c_str()), 0);
  // A file with one name, saved the same way through a temporary file,
  // gives the bytes expected.
  const std::string plain = song(original, "plain.mp3");
  const ino_t inode = inodeOf(path);
  const EndingOf v1 = [](platform::ReadableFile&, std::uint64_t) {
    return platform::Result<FileEnding>(FileEnding{ByteVector(128, 'T'), 0});
  };
  const auto grow = [&](const std::string& file) {
    auto tag = container();
    tag->readtag(file);
    tag->setframevalue(TALB, std::string(3000, 'a'));
    return tag->writetag(file, false, v1);
  };

  ASSERT_TRUE(grow(path));
  ASSERT_TRUE(grow(plain));
  EXPECT_EQ(inodeOf(path), inode);
  EXPECT_EQ(contentOf(path), contentOf(plain));
  EXPECT_EQ(contentOf(other), contentOf(path));
  const std::string grown = contentOf(path);
  ASSERT_GT(grown.size(), original.size() + 3000);
  EXPECT_EQ(grown.substr(grown.size() - 128 - audio.size(), audio.size()), audio);
  EXPECT_EQ(grown.substr(grown.size() - 128), std::string(128, 'T'));

  ASSERT_TRUE(container()->removetag(path, true));
  EXPECT_EQ(inodeOf(path), inode);
  EXPECT_EQ(contentOf(path), audio + std::string(128, 'T'));
  EXPECT_EQ(contentOf(other), contentOf(path));
  EXPECT_EQ(names(), (std::vector<std::string>{"other.mp3", "plain.mp3", "song.mp3"}));

  // A rewrite that cannot even be taken back, as when the program is
  // killed, leaves its undo record, and the next save in the folder applies
  // it first.
  const std::string before = contentOf(path);
  // The new tag's write stops half way, and so does the first write back.
  fileSystem.failLater(FsOp::WriteAt, 0, {EIO, "scripted"}, 64);
  fileSystem.fail(FsOp::WriteAt, {EIO, "scripted"}, std::nullopt, 1);
  ASSERT_FALSE(grow(path));
  EXPECT_NE(contentOf(path), before);
  EXPECT_EQ(names().size(), 4u);
  fileSystem.clearFaults();
  container()->finishAbandonedSaves(path);
  EXPECT_EQ(contentOf(path), before);
  EXPECT_EQ(inodeOf(path), inode);
  EXPECT_EQ(names(), (std::vector<std::string>{"other.mp3", "plain.mp3", "song.mp3"}));
}

struct InPlaceFailure {
  const char* name;
  FsOp op;
  /// How many calls of `op` in the save pass before the one that fails.
  int passing;
  const char* reason;
};

void PrintTo(const InPlaceFailure& row, std::ostream* out) {
  *out << row.name;
}

class HardLinkedRewriteFailure : public TagWriteTest,
                                 public ::testing::WithParamInterface<InPlaceFailure> {};

TEST_P(HardLinkedRewriteFailure, LeavesTheFileIdenticalAndNoRecord) {
  const std::string original = id3tag(3, frame23("TIT2", text("Old"))) + longAudio();
  const std::string path = song(original);
  ASSERT_EQ(::link(path.c_str(), folder.file("other.mp3").c_str()), 0);
  const ino_t inode = inodeOf(path);
  const InPlaceFailure& row = GetParam();
  // The tag grows, or goes: both move the audio.
  const std::vector<std::function<platform::Status()>> saves{
      [&] {
        auto tag = container();
        tag->readtag(path);
        tag->setframevalue(TALB, std::string(3000, 'a'));
        fileSystem.failLater(row.op, row.passing, {EIO, "scripted failure"}, 7);
        return tag->writetag(path);
      },
      [&] {
        fileSystem.failLater(row.op, row.passing, {EIO, "scripted failure"}, 7);
        return container()->removetag(path, true);
      }};
  for (const auto& save : saves) {
    const platform::Status saved = save();
    fileSystem.clearFaults();
    ASSERT_FALSE(saved);
    EXPECT_EQ(saved.error().message, std::string(row.reason) + ": Input/output error");
    EXPECT_EQ(contentOf(path), original);
    EXPECT_EQ(inodeOf(path), inode);
    EXPECT_EQ(names(), (std::vector<std::string>{"other.mp3", "song.mp3"}));
  }
}

INSTANTIATE_TEST_SUITE_P(
    EveryStep, HardLinkedRewriteFailure,
    ::testing::Values(
        InPlaceFailure{"Open", FsOp::OpenForUpdate, 0, "cannot open the file"},
        InPlaceFailure{"CreateRecord", FsOp::CreateNewFile, 0,
                       "cannot create an undo record beside the file"},
        InPlaceFailure{"WriteRecord", FsOp::Write, 0,
                       "cannot write an undo record beside the file"},
        InPlaceFailure{"CopyIntoRecord", FsOp::CopyFrom, 0,
                       "cannot write an undo record beside the file"},
        InPlaceFailure{"FlushRecord", FsOp::Sync, 0, "cannot write an undo record beside the file"},
        InPlaceFailure{"FlushFolder", FsOp::SyncDirectory, 0,
                       "cannot write an undo record beside the file"},
        InPlaceFailure{"OpenRecord", FsOp::OpenForReading, 2, "cannot read the undo record back"},
        InPlaceFailure{"WriteTag", FsOp::WriteAt, 0, "cannot write the new tags into the file"},
        InPlaceFailure{"ReadRecord", FsOp::ReadAt, 6, "cannot move the audio into place"},
        InPlaceFailure{"ReadRecordLater", FsOp::ReadAt, 7, "cannot move the audio into place"},
        InPlaceFailure{"MoveAudio", FsOp::WriteAt, 1, "cannot move the audio into place"},
        InPlaceFailure{"MoveAudioLater", FsOp::WriteAt, 2, "cannot move the audio into place"},
        InPlaceFailure{"Cut", FsOp::SetLength, 0, "cannot cut the file to its new length"},
        InPlaceFailure{"Flush", FsOp::Sync, 1, "cannot flush the file to the disk"}),
    [](const auto& info) { return info.param.name; });

TEST_F(TagWriteTest, SpecialBitsGoWhenTheOwnerCannotBeKept) {
  if (::geteuid() != 0) GTEST_SKIP() << "saving as another user needs root";
  ASSERT_EQ(::chmod(folder.path().c_str(), 0777), 0);
  const std::string path = song(kAudio);
  ASSERT_EQ(::chown(path.c_str(), 4321, 4322), 0);
  ASSERT_EQ(::chmod(path.c_str(), 06777), 0);
  // A user who may write the file but is neither its owner nor in its group
  // saves it: the new file is theirs, without the owner's privileges.
  const pid_t child = ::fork();
  if (child == 0) {
    if (::setgid(4000) != 0 || ::setuid(4000) != 0) ::_exit(2);
    platform::posix::PosixFileSystem files;
    platform::testing::FixedClock time({0, 0, 0});
    clsTv2 tag(files, time);
    tag.setframevalue(TIT2, "x");
    ::_exit(tag.writetag(path) ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  ASSERT_EQ(WEXITSTATUS(status), 0);
  struct stat info {};
  ASSERT_EQ(::stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_uid, 4000u);
  EXPECT_EQ(info.st_mode & 07777, 0777u);
  EXPECT_NE(contentOf(path), kAudio);
}

TEST_F(TagWriteTest, BusyHandlerFramesTheWrite) {
  const std::string path = song(kAudio);
  std::vector<bool> calls;
  auto tag = container();
  tag->setBusyHandler([&](bool busy) { calls.push_back(busy); });
  tag->writetag(path);
  EXPECT_EQ(calls, (std::vector<bool>{true, false}));
}

}  // namespace
}  // namespace brindle::id3v2
