// Writing and removing tags: exact bytes, safe replace or in-place rewrite, original kept on
// failure.
#include <limits.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include "id3v2/ID3v2FrameId.h"
#include "tests/id3v2/TagFixture.h"

namespace brindle::id3v2 {
namespace {

using namespace testbytes;
using platform::testing::FsOp;
using Names = std::vector<std::string>;
using Values = std::vector<std::pair<ID3v2FrameId, std::string>>;

/// A version 1 tag of 128 'T' bytes, added at the end in the same step.
const EndingOf kV1 = [](platform::ReadableFile&, std::uint64_t) {
  return platform::Result<FileEnding>(FileEnding{ByteVector(128, 'T'), 0});
};

/// Audio longer than the piece an in-place rewrite moves at a time.
std::string longAudio() {
  std::string audio = kAudio;
  for (std::size_t i = 0; audio.size() < (std::size_t{5} << 19); ++i) {
    audio += static_cast<char>((i * 7 + i / 251) & 0xFF);
  }
  return audio;
}

ino_t inodeOf(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 ? info.st_ino : 0;
}

class TagWriteTest : public TagFixture {
 protected:
  /// Reads the file, sets the values and writes the tag back.
  platform::Status save(const std::string& path, const Values& values, bool ignoreReadOnly = false,
                        const EndingOf& ending = {}) {
    auto tag = container();
    tag->readtag(path);
    for (const auto& [id, value] : values) tag->setframevalue(id, value);
    const platform::Status written =
        ending ? tag->writetag(path, ignoreReadOnly, ending) : tag->writetag(path, ignoreReadOnly);
    EXPECT_EQ(tag->lasterror(), written ? 0 : clsTv2::kWriteFailed);
    return written;
  }
  std::unique_ptr<clsTv2> read(const std::string& path) {
    auto tag = container();
    tag->readtag(path);
    return tag;
  }
};

TEST_F(TagWriteTest, NewTagIsByteExactPaddedTo257WithPlainSizes) {
  const std::string path = song(kAudio);
  auto tag = container();
  std::vector<bool> busy;
  tag->setBusyHandler([&](bool on) { busy.push_back(on); });
  tag->setframevalue(0, "x");
  tag->setframevalue(13, "x");
  EXPECT_EQ(tag->frames().count(), 0);
  tag->setframevalue(TIT2, "Song");
  ASSERT_TRUE(tag->writetag(path));
  EXPECT_EQ(busy, (std::vector<bool>{true, false}));
  EXPECT_TRUE(tag->hastag() && tag->lasterror() == 0);
  EXPECT_EQ(contentOf(path), unhex("494433 030000 00000201 54495432 00000006 0000 00") + "Song" +
                                 std::string(242, '\0') + kAudio);
  EXPECT_EQ(names(), Names{"song.mp3"});
  const std::string first = contentOf(path);
  ASSERT_TRUE(tag->writetag(path));  // the same tag written twice gives the same file
  EXPECT_EQ(contentOf(path), first);
  const std::string bare = song(kAudio, "bare.mp3");
  ASSERT_TRUE(container()->writetag(bare));
  EXPECT_EQ(contentOf(bare), header(3, 0) + kAudio);
  // A text frame of exactly 257 bytes in all needs no padding.
  const std::string exact = song(kAudio, "exact.mp3");
  ASSERT_TRUE(save(exact, {{TALB, std::string(257 - 10 - 2, 'a')}}));
  EXPECT_EQ(contentOf(exact).substr(6, 4) + contentOf(exact).substr(10 + 257),
            syncsafe(257) + kAudio);
  const std::string sized = song(kAudio, "sized.mp3");
  ASSERT_TRUE(save(sized, {{TIT2, std::string(198, 'x')}}));
  EXPECT_EQ(contentOf(sized).substr(14, 4), plain(200));
  EXPECT_EQ(read(sized)->getframevalue(TIT2), std::string(198, 'x'));
}

TEST_F(TagWriteTest, OtherFramesAndUnchangedValuesKeepTheirBytes) {
  std::string picture = bytes({0}) + "image/jpeg" + bytes({0, 3}) + "cover" + bytes({0});
  for (int i = 0; i < 3000; ++i) picture += static_cast<char>(i * 7 % 256);
  const std::string txxx = frame23("TXXX", bytes({0}) + "MOOD" + bytes({0}) + "calm");
  const std::string apic = frame23("APIC", picture);
  const std::string path =
      song(id3tag(3, frame23("TIT2", text("Old")) + txxx + apic + frame23("TPE1", text("B")), 100) +
           kAudio);
  ASSERT_TRUE(save(path, {{TIT2, "New"}}));
  const std::string written = contentOf(path);
  EXPECT_NE(written.find(txxx + apic), std::string::npos);
  EXPECT_EQ(written.substr(written.size() - kAudio.size()), kAudio);
  auto back = read(path);
  EXPECT_EQ(summary(*back), "tag 4: TIT2=New TPE1=B");
  EXPECT_EQ(back->frames().item(2)->frameid(), "TXXX");
  back->writetag(path);  // writing the same tag again gives the same file
  EXPECT_EQ(contentOf(path), written);

  // Of two comments the first is shown and set; the second is written as it was.
  const std::string comm = bytes({0, 'e', 'n', 'g', 0});
  const std::string two =
      song(id3tag(3, frame23("COMM", comm + "one") + frame23("COMM", comm + "two")), "two.mp3");
  EXPECT_EQ(read(two)->getframevalue(COMM), "one");
  ASSERT_TRUE(save(two, {{COMM, "first"}}));
  EXPECT_EQ(read(two)->getframevalue(COMM) + read(two)->frames().item(2)->data(), "firsttwo");

  // UTF-16 values set back as they were read (as a window saves) keep every byte.
  const std::string original =
      id3tag(3,
             frame23("TIT2", bytes({1, 0xFF, 0xFE, 'G', 0, 0xFC, 0, 0, 0})) +
                 frame23("COMM", unhex("01 646575 FFFE 0000 FFFE 6800 6900 0000")),
             257 - (10 + 9) - (10 + 16)) +
      kAudio;
  const std::string utf16 = song(original, "utf16.mp3");
  Values same;
  for (std::int32_t id = TRCK; id <= TENC; ++id) {
    const std::string value = read(utf16)->getframevalue(id);
    if (!value.empty()) same.emplace_back(static_cast<ID3v2FrameId>(id), value);
  }
  ASSERT_EQ(same.size(), 2u);
  ASSERT_TRUE(save(utf16, same));
  EXPECT_EQ(contentOf(utf16), original);
}

TEST_F(TagWriteTest, NonLatin1ValueIsWrittenAsUtf16) {
  const std::string path = song(kAudio);
  const std::string value = "\xCE\xA9mega \xE2\x98\x83 \xF0\x9D\x84\x9E";
  ASSERT_TRUE(save(path, {{TIT2, value}, {COMM, value}, {TPE1, "caf\xC3\xA9"}}));
  auto back = read(path);
  EXPECT_EQ(summary(*back), "tag 3: TIT2=" + value + " TPE1=caf\xC3\xA9 COMM=" + value);
  ByteVector content;
  back->frames().item(1)->getbytes(content);
  EXPECT_EQ(std::string(content.begin(), content.begin() + 3) +
                std::string(content.end() - 2, content.end()),
            unhex("01 FFFE 0000"));
  back->frames().item(3)->getbytes(content);
  EXPECT_EQ(content, (ByteVector{0, 'c', 'a', 'f', 0xE9, 0}));  // ISO-8859-1 when it fits
}

TEST_F(TagWriteTest, Version24KeepsItsVersionFramesAndLosesFooterAndUnsynchronisation) {
  const std::string txxx = frame24("TXXX", bytes({3}) + "k" + bytes({0}) + "v");
  const std::string compressed = frame24("TPE1", text("compressed"), 0, 0x08);
  const std::string path = song(id3tag(4,
                                       frame24("TIT2", bytes({3}) + "Old") +
                                           frame24("TDRC", text("2020")) + txxx + compressed,
                                       40) +
                                kAudio);
  ASSERT_TRUE(save(path, {{TIT2, "New"}, {TYER, "2021"}}));
  const std::string written = contentOf(path);
  EXPECT_EQ(written.substr(0, 5), "ID3" + bytes({4, 0}));
  EXPECT_NE(written.find(txxx), std::string::npos);
  EXPECT_NE(written.find(compressed), std::string::npos);
  EXPECT_EQ(written.find("TYER"), std::string::npos);
  auto back = read(path);
  EXPECT_EQ(back->majorVersion(), 4);
  EXPECT_EQ(summary(*back), "tag 4: TIT2=New TYER=2021");

  const std::string footed = song(header(4, 12, 0x10) + frame24("TIT2", text("T")) + "3DI" +
                                      bytes({4, 0, 0x10}) + syncsafe(12) + kAudio,
                                  "footer.mp3");
  ASSERT_TRUE(save(footed, {}));
  EXPECT_EQ(contentOf(footed).find("3DI"), std::string::npos);
  EXPECT_EQ(contentOf(footed).substr(contentOf(footed).size() - kAudio.size()), kAudio);

  const std::string stored = "TIT2" + plain(4) + bytes({0, 0, 0, 'a', 0xFF, 0x00, 0xE0});
  const std::string unsync = song(header(3, 15, 0x80) + stored + kAudio, "unsync.mp3");
  ASSERT_TRUE(save(unsync, {}));
  EXPECT_EQ(contentOf(unsync).substr(5, 1) + contentOf(unsync).substr(10, 14),  // no flags
            bytes({0}) + frame23("TIT2", bytes({0, 'a', 0xFF, 0xE0})));
}

TEST_F(TagWriteTest, TemporaryNamesAreOursAndShortAndLeftoversGo) {
  // A name of 255 bytes can be saved: the temporary name does not grow with it.
  const std::string path = song(kAudio, std::string(251, 's') + ".mp3");
  const std::string others = folder.write("song.mp3.new", "someone else's file");
  const std::string lookalike = folder.write(".brindle-notours", "not ours either");
  folder.write(".brindle-k3x9q2", "left by a killed save");
  // A save running in another program holds its temporary file.
  auto running = real.createNewFile(folder.file(".brindle-run123"), 0600);
  ASSERT_TRUE(running);
  ASSERT_TRUE(save(path, {{TIT2, "x"}}));
  const auto creates = fileSystem.callsOf(FsOp::CreateNewFile);
  ASSERT_EQ(creates.size(), 1u);
  const std::string created = creates[0].path.substr(folder.file("").size());
  EXPECT_EQ(created.substr(0, 9), ".brindle-");
  EXPECT_EQ(created.size(), 15u);
  EXPECT_EQ(contentOf(others) + contentOf(lookalike), "someone else's filenot ours either");
  EXPECT_EQ(names(), (Names{".brindle-notours", ".brindle-run123", "song.mp3.new",
                            std::string(251, 's') + ".mp3"}));
}

struct Failure {
  const char* name;
  FsOp op;
  const char* reason;  // before the system's error text
};

class TagWriteFailure : public TagWriteTest, public ::testing::WithParamInterface<Failure> {};

TEST_P(TagWriteFailure, LeavesOriginalIdenticalAndNoTemporaryFile) {
  const std::string original = id3tag(3, frame23("TIT2", text("Old")), 30) + kAudio;
  const std::string path = song(original);
  fileSystem.fail(GetParam().op, {EIO, "scripted failure"});
  EXPECT_EQ(why(save(path, {{TIT2, "New"}})),
            "5 " + std::string(GetParam().reason) + ": Input/output error");
  EXPECT_EQ(contentOf(path), original);
  EXPECT_EQ(names(), Names{"song.mp3"});
  auto remover = container();
  EXPECT_EQ(why(remover->removetag(path, true)).substr(0, 2), "5 ");
  EXPECT_EQ(remover->lasterror(), clsTv2::kWriteFailed);
  EXPECT_EQ(contentOf(path), original);
  EXPECT_EQ(names(), Names{"song.mp3"});
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(EveryStep, TagWriteFailure, ::testing::Values(
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
// clang-format on

// "<fifo>"/"<folder>" content makes a FIFO/folder; removalReason "" means the removal succeeds.
struct NotWritten {
  const char* name;
  std::string content;
  const char *reason, *removalReason = nullptr;
  bool removalChangesFile = false;
};

class TagNotWritten : public TagWriteTest, public ::testing::WithParamInterface<NotWritten> {};

TEST_P(TagNotWritten, RefusedWithItsReasonAndEveryByteKept) {
  const NotWritten& row = GetParam();
  const bool special = row.content == "<fifo>" || row.content == "<folder>";
  std::string path = folder.file("x.mp3");
  ASSERT_EQ(row.content == "<fifo>"     ? ::mkfifo(path.c_str(), 0600)
            : row.content == "<folder>" ? ::mkdir(path.c_str(), 0700)
                                        : 0,
            0);
  if (!special) path = song(row.content, "x.mp3");
  auto tag = container();
  tag->setframevalue(TIT2, "x");
  const auto message = [](const platform::Status& s) { return s ? "ok" : s.error().message; };
  EXPECT_EQ(message(tag->writetag(path, true)), row.reason);
  EXPECT_EQ(tag->lasterror(), clsTv2::kWriteFailed);
  EXPECT_EQ(special ? row.content : contentOf(path), row.content);
  const std::string removal = row.removalReason ? row.removalReason : row.reason;
  EXPECT_EQ(message(container()->removetag(path, true)), removal.empty() ? "ok" : removal);
  EXPECT_EQ(special || row.removalChangesFile ? row.content : contentOf(path), row.content);
  EXPECT_EQ(names().size(), special ? 0u : 1u);
}

const std::string kWave = "RIFF" + bytes({36, 0, 0, 0}) + "WAVEfmt " + std::string(40, '\0');
const char* const kWaveReason = "not an MPEG audio file (it is RIFF/WAVE)";

// clang-format off
INSTANTIATE_TEST_SUITE_P(Files, TagNotWritten, ::testing::Values(
    NotWritten{"Wave", kWave, kWaveReason},
    NotWritten{"TaggedWave", id3tag(3, frame23("TIT2", text("T"))) + kWave, kWaveReason},
    NotWritten{"Flac", "fLaC" + std::string(100, '\0'), "not an MPEG audio file (it is FLAC)"},
    NotWritten{"Ogg", "OggS" + std::string(100, '\1'), "not an MPEG audio file (it is Ogg)"},
    NotWritten{"Mp4", bytes({0, 0, 0, 32}) + "ftypM4A " + std::string(100, '\0'),
               "not an MPEG audio file (it is MP4)"},
    NotWritten{"Text", "just some words, no audio frame", "not an MPEG audio file"},
    NotWritten{"Empty", "", "the file is empty"},
    NotWritten{"Version25", "ID3" + bytes({5, 0, 0}) + syncsafe(0) + kAudio, "the tag is ID3v2.5", "", true},
    NotWritten{"TagLongerThanFile", header(3, 5102) + std::string(4078, 'a'),
               "the tag claims 5112 bytes but the file has 4088"},
    NotWritten{"Fifo", "<fifo>", "not an MPEG audio file (it is a FIFO, socket or device)"},
    NotWritten{"Folder", "<folder>", "not an MPEG audio file (it is a folder)"}),
    [](const auto& info) { return info.param.name; });
// clang-format on

TEST_F(TagWriteTest, RefusalsSayWhyWithTheirCode) {
  const auto refusal = [&](const std::string& path, bool ignoreReadOnly = true) {
    return why(save(path, {{TIT2, "x"}}, ignoreReadOnly));
  };
  EXPECT_EQ(refusal(song("ID3" + bytes({5, 0, 0}) + syncsafe(0) + kAudio)).substr(0, 2), "0 ");
  EXPECT_EQ(refusal(folder.file("gone.mp3")),
            std::to_string(ENOENT) + " cannot open the file: No such file or directory");
  auto remover = container();
  EXPECT_TRUE(remover->removetag(folder.file("gone.mp3"), true));
  EXPECT_EQ(remover->lasterror(), 0);
  std::string longPath = folder.path();
  while (longPath.size() <= PATH_MAX) longPath += "/" + std::string(200, 'd');
  EXPECT_EQ(refusal(longPath),
            std::to_string(ENAMETOOLONG) +
                " cannot open the file: the path is too long (File name too long)");
  EXPECT_EQ(names(), Names{"song.mp3"});
  // A read-only file needs the override; it stays read-only after a failed and a successful save.
  const std::string readOnly = song(kAudio, "read-only.mp3");
  ::chmod(readOnly.c_str(), 0444);
  EXPECT_EQ(refusal(readOnly, false), std::to_string(EACCES) + " the file is read-only");
  fileSystem.fail(FsOp::Sync, {EIO, "scripted failure"});
  EXPECT_FALSE(save(readOnly, {{TIT2, "x"}}, true));
  EXPECT_TRUE(real.isReadOnly(readOnly).value());
  EXPECT_EQ(contentOf(readOnly), kAudio);
  fileSystem.clearFaults();
  EXPECT_TRUE(save(readOnly, {{TIT2, "x"}}, true));
  EXPECT_EQ(real.permissions(readOnly).value(), 0444u);
  EXPECT_NE(contentOf(readOnly), kAudio);
  const std::string shared = song(kAudio, "shared.mp3");
  ::chmod(shared.c_str(), 0640);
  EXPECT_TRUE(save(shared, {{TIT2, "x"}}));
  EXPECT_EQ(real.permissions(shared).value(), 0640u);
}

TEST_F(TagWriteTest, ReadFailureIsReportedAndGivesNoFrames) {
  const std::string path = song(id3tag(3, frame23("TIT2", text("T"))) + kAudio);
  fileSystem.fail(FsOp::ReadAt, {EIO, "scripted failure"});
  auto tag = container();
  EXPECT_EQ(why(tag->readtag(path)), "5 cannot read the start of the file: Input/output error");
  EXPECT_EQ(tag->frames().count(), 0);
  fileSystem.clearFaults();
  EXPECT_TRUE(tag->readtag(path));
  EXPECT_EQ(tag->getframevalue(TIT2), "T");
}

TEST_F(TagWriteTest, RemoveLeavesTheRestOnly) {
  const std::string path = song(id3tag(3, frame23("TIT2", text("T")), 50) + kAudio);
  auto tag = read(path);
  EXPECT_TRUE(tag->removetag(path, true));
  EXPECT_EQ(tag->lasterror(), 0);
  EXPECT_EQ(summary(*tag), "none 0:");
  EXPECT_EQ(contentOf(path), kAudio);
  const std::string onlyTag = song(id3tag(3, frame23("TIT2", text("T"))), "tag-only.mp3");
  container()->removetag(onlyTag, true);
  EXPECT_EQ(contentOf(onlyTag), "");
  // Nothing to remove: nothing is written and the last error stays.
  tag->lasterror(3);
  tag->removetag(path, true);
  EXPECT_EQ(tag->lasterror(), 3);
  EXPECT_EQ(contentOf(path), kAudio);
  EXPECT_EQ(fileSystem.callsOf(FsOp::CreateNewFile).size(), 2u);
}

TEST_F(TagWriteTest, SaveThroughALinkChangesTheTargetAndKeepsTheLink) {
  const std::string target = song(id3tag(3, frame23("TIT2", text("Old"))) + kAudio, "real.mp3");
  const std::string link = folder.file("link.mp3");
  ASSERT_EQ(::symlink("real.mp3", link.c_str()), 0);
  char buf[16];
  ASSERT_TRUE(save(link, {{TIT2, "New"}}));
  EXPECT_EQ(::readlink(link.c_str(), buf, sizeof buf), 8);
  EXPECT_EQ(read(target)->getframevalue(TIT2), "New");
  EXPECT_TRUE(container()->removetag(link, true));
  EXPECT_EQ(contentOf(target), kAudio);
  EXPECT_EQ(::readlink(link.c_str(), buf, sizeof buf), 8);
  EXPECT_EQ(names(), (Names{"link.mp3", "real.mp3"}));
}

TEST_F(TagWriteTest, OwnerGroupSpecialBitsAndAttributesAreKept) {
  if (::geteuid() != 0) GTEST_SKIP() << "giving a file to another user needs root";
  const std::string path = song(kAudio);
  ASSERT_EQ(::chown(path.c_str(), 4321, 4322), 0);
  ASSERT_EQ(::chmod(path.c_str(), 06750), 0);
  const bool attributes = ::setxattr(path.c_str(), "user.note", "kept", 4, 0) == 0;
  ASSERT_TRUE(save(path, {{TIT2, "x"}}));
  EXPECT_TRUE(container()->removetag(path, true));
  struct stat info {};
  ASSERT_EQ(::stat(path.c_str(), &info), 0);
  EXPECT_EQ(std::vector<unsigned>({info.st_uid, info.st_gid, info.st_mode & 07777}),
            std::vector<unsigned>({4321, 4322, 06750}));
  if (attributes) {
    char value[8] = {};
    EXPECT_EQ(::getxattr(path.c_str(), "user.note", value, sizeof value), 4);
    EXPECT_EQ(std::string(value, 4), "kept");
  }
}

TEST_F(TagWriteTest, SpecialBitsGoWhenTheOwnerCannotBeKept) {
  if (::geteuid() != 0) GTEST_SKIP() << "saving as another user needs root";
  ASSERT_EQ(::chmod(folder.path().c_str(), 0777), 0);
  const std::string path = song(kAudio);
  ASSERT_EQ(::chown(path.c_str(), 4321, 4322), 0);
  ASSERT_EQ(::chmod(path.c_str(), 06777), 0);
  // A user who may write the file but is neither its owner nor in its group saves it.
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
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  struct stat info {};
  ASSERT_EQ(::stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_uid + (info.st_mode & 07777), 4000u + 0777u);
  EXPECT_NE(contentOf(path), kAudio);
}

TEST_F(TagWriteTest, HardLinkedFileIsWrittenInPlaceWhenTheTagFits) {
  const std::string original = id3tag(3, frame23("TIT2", text("Old")), 300) + kAudio;
  const std::string path = song(original);
  const std::string other = folder.file("other.mp3");
  ASSERT_EQ(::link(path.c_str(), other.c_str()), 0);
  const ino_t inode = inodeOf(path);
  ASSERT_TRUE(save(path, {{TIT2, "New"}}));
  // The version 1 tag is added in the same step, through the ending.
  ASSERT_TRUE(save(path, {{TALB, "Album"}}, false, kV1));
  EXPECT_EQ(inodeOf(path), inode);
  EXPECT_EQ(contentOf(other), contentOf(path));
  const std::string written = contentOf(path);
  EXPECT_EQ(written.size(), original.size() + 128);
  EXPECT_EQ(written.substr(original.size() - kAudio.size()), kAudio + std::string(128, 'T'));
  EXPECT_EQ(summary(*read(other)), "tag 2: TIT2=New TALB=Album");
  EXPECT_EQ(names(), (Names{"other.mp3", "song.mp3"}));
  // The version 1 tag's write fails: the new version 2 tag is taken back.
  const std::string before = contentOf(path);
  fileSystem.failLater(FsOp::WriteAt, 1, {ENOSPC, "scripted"}, 64);
  EXPECT_EQ(why(save(path, {{TIT2, "Newer"}}, false, kV1)),
            std::to_string(ENOSPC) +
                " cannot write the new tags into the file: no space left on "
                "the device (No space left on device)");
  EXPECT_EQ(contentOf(path), before);
  EXPECT_EQ(names(), (Names{"other.mp3", "song.mp3"}));
  // Taking it back fails too (as if killed): the undo record stays; the next save applies it.
  fileSystem.failLater(FsOp::WriteAt, 1, {EIO, "scripted"}, 64);
  fileSystem.fail(FsOp::SetLength, {EIO, "scripted"});
  ASSERT_FALSE(save(path, {{TIT2, "Newer"}}, false, kV1));
  EXPECT_NE(contentOf(path), before);
  EXPECT_EQ(names().size(), 3u);
  fileSystem.clearFaults();
  container()->finishAbandonedSaves(path);
  EXPECT_EQ(contentOf(path), before);
  EXPECT_EQ(names(), (Names{"other.mp3", "song.mp3"}));
}

TEST_F(TagWriteTest, HardLinkedFileKeepsItsInodeWhenTheTagGrowsOrGoes) {
  const std::string audio = longAudio();
  const std::string original = id3tag(3, frame23("TIT2", text("Old"))) + audio;
  const std::string path = song(original);
  const std::string other = folder.file("other.mp3");
  ASSERT_EQ(::link(path.c_str(), other.c_str()), 0);
  // A file with one name, saved through a temporary file, gives the bytes expected.
  const std::string single = song(original, "single.mp3");
  const ino_t inode = inodeOf(path);
  const Values grow{{TALB, std::string(3000, 'a')}};
  ASSERT_TRUE(save(path, grow, false, kV1));
  ASSERT_TRUE(save(single, grow, false, kV1));
  EXPECT_EQ(inodeOf(path), inode);
  EXPECT_EQ(contentOf(path), contentOf(single));
  EXPECT_EQ(contentOf(other), contentOf(path));
  const std::string grown = contentOf(path);
  ASSERT_GT(grown.size(), original.size() + 3000);
  EXPECT_EQ(grown.substr(grown.size() - 128 - audio.size()), audio + std::string(128, 'T'));

  ASSERT_TRUE(container()->removetag(path, true));
  EXPECT_EQ(inodeOf(path), inode);
  EXPECT_EQ(contentOf(path), audio + std::string(128, 'T'));
  EXPECT_EQ(contentOf(other), contentOf(path));
  EXPECT_EQ(names(), (Names{"other.mp3", "single.mp3", "song.mp3"}));
  // The tag's write and the first write back stop half way: the next save applies the record.
  const std::string before = contentOf(path);
  fileSystem.failLater(FsOp::WriteAt, 0, {EIO, "scripted"}, 64);
  fileSystem.fail(FsOp::WriteAt, {EIO, "scripted"}, std::nullopt, 1);
  ASSERT_FALSE(save(path, grow, false, kV1));
  EXPECT_NE(contentOf(path), before);
  EXPECT_EQ(names().size(), 4u);
  fileSystem.clearFaults();
  container()->finishAbandonedSaves(path);
  EXPECT_EQ(contentOf(path), before);
  EXPECT_EQ(inodeOf(path), inode);
  EXPECT_EQ(names(), (Names{"other.mp3", "single.mp3", "song.mp3"}));
}

struct InPlaceFailure {
  const char* name;
  FsOp op;
  int passing;  // calls of `op` that pass before the failing one
  const char* reason;
};

class HardLinkedRewriteFailure : public TagWriteTest,
                                 public ::testing::WithParamInterface<InPlaceFailure> {};

TEST_P(HardLinkedRewriteFailure, LeavesTheFileIdenticalAndNoRecord) {
  const std::string original = id3tag(3, frame23("TIT2", text("Old"))) + longAudio();
  const std::string path = song(original);
  ASSERT_EQ(::link(path.c_str(), folder.file("other.mp3").c_str()), 0);
  const ino_t inode = inodeOf(path);
  const InPlaceFailure& row = GetParam();
  // The tag grows, or goes: both move the audio.
  for (const bool remove : {false, true}) {
    auto tag = read(path);
    tag->setframevalue(TALB, std::string(3000, 'a'));
    fileSystem.failLater(row.op, row.passing, {EIO, "scripted failure"}, 7);
    const platform::Status saved = remove ? tag->removetag(path, true) : tag->writetag(path);
    fileSystem.clearFaults();
    EXPECT_EQ(why(saved), "5 " + std::string(row.reason) + ": Input/output error");
    EXPECT_EQ(contentOf(path), original);
    EXPECT_EQ(inodeOf(path), inode);
    EXPECT_EQ(names(), (Names{"other.mp3", "song.mp3"}));
  }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(EveryStep, HardLinkedRewriteFailure, ::testing::Values(
    InPlaceFailure{"Open", FsOp::OpenForUpdate, 0, "cannot open the file"},
    InPlaceFailure{"CreateRecord", FsOp::CreateNewFile, 0, "cannot create an undo record beside the file"},
    InPlaceFailure{"WriteRecord", FsOp::Write, 0, "cannot write an undo record beside the file"},
    InPlaceFailure{"CopyIntoRecord", FsOp::CopyFrom, 0, "cannot write an undo record beside the file"},
    InPlaceFailure{"FlushRecord", FsOp::Sync, 0, "cannot write an undo record beside the file"},
    InPlaceFailure{"FlushFolder", FsOp::SyncDirectory, 0, "cannot write an undo record beside the file"},
    InPlaceFailure{"OpenRecord", FsOp::OpenForReading, 2, "cannot read the undo record back"},
    InPlaceFailure{"WriteTag", FsOp::WriteAt, 0, "cannot write the new tags into the file"},
    InPlaceFailure{"ReadRecord", FsOp::ReadAt, 6, "cannot move the audio into place"},
    InPlaceFailure{"ReadRecordLater", FsOp::ReadAt, 7, "cannot move the audio into place"},
    InPlaceFailure{"MoveAudio", FsOp::WriteAt, 1, "cannot move the audio into place"},
    InPlaceFailure{"MoveAudioLater", FsOp::WriteAt, 2, "cannot move the audio into place"},
    InPlaceFailure{"Cut", FsOp::SetLength, 0, "cannot cut the file to its new length"},
    InPlaceFailure{"Flush", FsOp::Sync, 1, "cannot flush the file to the disk"}),
    [](const auto& info) { return info.param.name; });
// clang-format on

}  // namespace
}  // namespace brindle::id3v2
