// Tags read, saved and removed on crafted files; the original is kept after any refusal or fault.
#include <gtest/gtest.h>
#include <limits.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <optional>
#include <sstream>

#include "id3v2/CoverArt.h"
#include "id3v2/ID3v2FrameId.h"
#include "id3v2/clsTv2.h"
#include "platform/posix/PosixFileSystem.h"
#include "platform/testing/Recorders.h"
#include "platform/testing/RecordingFileSystem.h"
#include "tests/id3v2/TagBytes.h"
#include "tests/support/TempDir.h"

namespace brindle::id3v2 {
namespace {

using namespace testbytes;
using platform::testing::FsOp;
using Names = std::vector<std::string>;
using Values = std::vector<std::pair<ID3v2FrameId, std::string>>;

/// A version 2.3 text frame's content in ISO-8859-1.
std::string text(const std::string& latin1) {
  return bytes({0}) + latin1;
}

/// "ok", or the error's code and message.
std::string why(const platform::Status& status) {
  return status ? "ok" : std::to_string(status.error().code) + " " + status.error().message;
}

/// A folder, the real file system behind a recording one, a fixed clock, and tag helpers.
class TagTest : public ::testing::Test {
 protected:
  std::unique_ptr<clsTv2> container() { return std::make_unique<clsTv2>(fileSystem, clock); }
  std::string song(const std::string& content, const std::string& name = "song.mp3") {
    return folder.write(name, content);
  }
  static std::string contentOf(const std::string& path) { return testsupport::TempDir::read(path); }
  /// The names in the folder, to see that no temporary file is left.
  std::vector<std::string> names() {
    auto files = real.listDirectory(folder.path()).value().files;
    std::sort(files.begin(), files.end());
    return files;
  }
  /// Tag found, frame count and each non-empty value: "tag 2: TIT2=a TALB=b".
  static std::string summary(const clsTv2& tag) {
    std::string out = tag.hastag() ? "tag " : "none ";
    out.append(std::to_string(tag.frames().count())).append(":");
    for (std::int32_t id = TRCK; id <= TENC; ++id)
      if (!tag.getframevalue(id).empty())
        out.append(" ").append(frameIdText(id)).append("=").append(tag.getframevalue(id));
    return out;
  }
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
  std::unique_ptr<clsTv2> parsed(const std::string& content) { return read(song(content)); }
  static std::string bytesOf(const clsF& frame) {
    ByteVector content;
    frame.getbytes(content);
    return std::string(content.begin(), content.end());
  }
  /// Each frame of the tag as its id, its two flag bytes and its content.
  static std::vector<std::string> framesOf(const clsF2& frames) {
    std::vector<std::string> out;
    for (std::int32_t at = 1; at <= frames.count(); ++at) {
      std::array<std::uint8_t, 2> flags{};
      frames.item(at)->getflags(flags);
      out.push_back(frames.item(at)->frameid() + bytes({flags[0], flags[1]}) +
                    bytesOf(*frames.item(at)));
    }
    return out;
  }
  /// The display reader gives each value the full read gave (ids repeated, several passes).
  void expectSameValuesForDisplay(const std::string& path, const clsTv2& tag) {
    std::vector<std::int32_t> ids;
    for (std::int32_t id = TRCK; id <= TENC; ++id) ids.push_back(id);
    ids.push_back(TIT2);
    for (int pass = 0; pass < 2; ++pass) {
      for (std::int32_t id = TRCK; pass == 1 && id <= TENC; ++id) ids.push_back(id);
      auto shown = container();
      auto file = fileSystem.openForReading(path);
      ASSERT_TRUE(file);
      std::vector<std::string> values(ids.size(), "earlier file's value");
      std::vector<std::string*> outputs;
      for (std::string& value : values) outputs.push_back(&value);
      ASSERT_TRUE(shown->readframevalues(*file.value(), ids, outputs));
      for (std::size_t i = 0; i < ids.size(); ++i) EXPECT_EQ(values[i], tag.getframevalue(ids[i]));
      EXPECT_EQ(shown->hastag(), tag.hastag());
      EXPECT_TRUE(!tag.hastag() || !shown->writetag(path)) << "frames it did not keep";
    }
  }
  testsupport::TempDir folder;
  platform::posix::PosixFileSystem real;
  platform::testing::RecordingFileSystem fileSystem{real};
  platform::testing::FixedClock clock{{14, 3, 9}};
};

TEST_F(TagTest, FramesAndValuesOfEachShape) {
  // A 40 KB frame's plain size (00 00 A0 00) must not be read as 7 bits per byte.
  std::string picture = bytes({0}) + "image/png" + bytes({0, 3, 0});
  picture += std::string(40 * 1024 - picture.size(), '\x89');
  const auto t3 = [](const char* id, const std::string& v) { return frame23(id, text(v)); };
  const auto t4 = [](const char* id, const std::string& v) { return frame24(id, text(v)); };
  const std::string extended = plain(6) + bytes({0, 0, 0, 0, 0, 0}),
                    extended24 = syncsafe(6) + bytes({1, 0});
  const std::string y127 = text(std::string(127, 'y')), x199(199, 'x'), z299(299, 'z');
  // clang-format off
  const std::pair<std::string, std::string> rows[] = {
      {id3tag(3, t3("TIT2", "Song") + t3("TPE1", "Band") + frame23("COMM", unhex("00 656E67 6400") + "Nice") +
                     frame23("WXXX", bytes({0, 0}) + "http://x.example/"), 20) + kAudio,
       "tag 4: TIT2=Song TPE1=Band COMM=Nice WXXX=http://x.example/"},
      {kAudio, "none 0:"},
      {header(3, 0) + kAudio, "tag 0:"},
      {"ID3" + bytes({5, 0, 0}) + syncsafe(12) + "TIT2" + bytes({0, 0, 2, 0, 0, 0}) + "T", "none 0:"},
      {id3tag(3, t3("TIT2", "A") + std::string(10, '\0') + t3("TPE1", "B")), "tag 1: TIT2=A"},  // padding
      // Zeros are trimmed at the end and blanked inside.
      {id3tag(3, frame23("TIT2", text("abc") + bytes({0, 0})) + frame23("TALB", std::string("\0  a\0b ", 7))),
       "tag 2: TIT2=abc TALB=a b"},
      {id3tag(3, frame23("APIC", picture) + t3("TIT2", "Title") + t3("TPE1", "Artist")) + kAudio,
       "tag 3: TIT2=Title TPE1=Artist"},
      // Old 7-bit frame sizes in version 2.3 (200 bytes: 00 00 01 48), plain ones in 2.4.
      {id3tag(3, t4("TIT2", x199) + t4("TPE1", "Artist"), 30), "tag 2: TIT2=" + x199 + " TPE1=Artist"},
      {id3tag(4, t3("TIT2", z299) + t3("TPE1", "Artist"), 30), "tag 2: TIT2=" + z299 + " TPE1=Artist"},
      {id3tag(3, "TIT2" + bytes({0, 0, 1, 0, 0, 0}) + y127), "tag 1: TIT2=" + std::string(127, 'y')},
      {id3tag(3, "TIT2" + bytes({0, 0, 0, 0x80, 0, 0}) + y127), "tag 1: TIT2=" + std::string(127, 'y')},
      {id3tag(3, frame23("TIT2", unhex("01 FFFE 4700 7200 FC00 DF00 6500 0000")) +
                     frame23("COMM", unhex("01 656E67 FFFE 6400 0000 FFFE 3A04 3E04 4204 0000"))),
       "tag 2: TIT2=Gr\xC3\xBC\xC3\x9F" "e COMM=\xD0\xBA\xD0\xBE\xD1\x82"},
      // Extended headers are skipped.
      {header(3, 10 + 16, 0x40) + extended + t3("TIT2", "After"), "tag 1: TIT2=After"},
      {header(4, 6 + 21, 0x40) + extended24 + t4("TIT2", "After"), "tag 1: TIT2=After"},
      // Version 2.4: 7-bit sizes, UTF-8, UTF-16BE, the recording time as the year.
      {id3tag(4, frame24("TIT2", bytes({3}) + "Caf\xC3\xA9") + t4("TDRC", "2024-05-01") +
                     frame24("TPE1", bytes({2, 0, 'A', 0, 'B'}))),
       "tag 3: TIT2=Caf\xC3\xA9 TPE1=AB TYER=2024-05-01"},
      // A frame past the end stops reading; a huge declared size reads what is there.
      {header(3, 30) + t3("TIT2", "ok") + "TPE1" + plain(500) + bytes({0, 0}) + "xxxx", "tag 1: TIT2=ok"},
      {header(3, 0x0FFFFFFF) + t3("TIT2", "tiny"), "tag 1: TIT2=tiny"},
  };
  // clang-format on
  for (const auto& [file, expected] : rows) EXPECT_EQ(summary(*parsed(file)), expected);
  auto tag = parsed(id3tag(4, frame24("TIT2", text("x"))));
  EXPECT_EQ(tag->majorVersion(), 4);
  EXPECT_EQ(tag->getframevalue(0) + tag->getframevalue(13), "");
  // A missing file; reading again forgets the last file.
  tag->readtag(folder.file("none.mp3"));
  EXPECT_FALSE(tag->hastag() || real.exists(folder.file("none.mp3")));
  tag->readtag(song(id3tag(3, frame23("TIT2", text("One")))));
  tag->readtag(song(id3tag(3, frame23("TALB", text("Two"))), "other.mp3"));
  EXPECT_EQ(summary(*tag), "tag 1: TALB=Two");
  // FF 00 E0 stands for FF E0; the frame size counts the bytes after the undoing.
  const std::string stored = "TIT2" + plain(5) + bytes({0, 0, 0, 'a', 0xFF, 0x00, 0xE0, 'b'});
  tag = parsed(header(3, static_cast<std::uint32_t>(stored.size()), 0x80) + stored);
  ASSERT_EQ(tag->frames().count(), 1);
  EXPECT_EQ(bytesOf(*tag->frames().item(1)), unhex("00 61 FFE0 62"));
  // Unknown, compressed (a title then is no text), too short, empty, unterminated: kept opaque.
  tag = parsed(id3tag(
      3, frame23("TXXX", bytes({0, 'k', 0, 'v'})) + frame23("TIT2", text("packed"), 0, 0x80) +
             frame23("COMM", bytes({0, 'e'})) + "TPE2" + plain(0) + bytes({0, 0}) +
             frame23("WXXX", bytes({0}) + "http://a/") + frame23("TALB", text("Album"))));
  ASSERT_EQ(tag->frames().count(), 6);
  for (std::int32_t at = 1; at <= 5; ++at) EXPECT_TRUE(tag->frames().item(at)->isOpaque()) << at;
  EXPECT_EQ(bytesOf(*tag->frames().item(5)), bytes({0}) + "http://a/");
  EXPECT_EQ(summary(*tag), "tag 6: TALB=Album");
}

/// The content of a text frame set by the program: ISO-8859-1, terminated.
std::string setText(const std::string& latin1) {
  return bytes({0}) + latin1 + bytes({0});
}

/// A version 2.2 frame: a 3-character id and a 24-bit size.
std::string frame22(const std::string& id, const std::string& content) {
  const auto size = static_cast<int>(content.size());
  return id + bytes({(size >> 16) & 0xFF, (size >> 8) & 0xFF, size & 0xFF}) + content;
}

/// The file as a save writes it: the tag padded to a multiple of 257 bytes, then the audio.
std::string saved(int major, const std::string& frames) {
  return id3tag(major, frames, (257 - frames.size() % 257) % 257) + kAudio;
}

/// The file as a save writes it when the frames fit in the old tag of `original`: padded to its
/// length.
std::string savedInPlace(int major, const std::string& frames, const std::string& original) {
  return id3tag(major, frames, original.size() - kAudio.size() - 10 - frames.size()) + kAudio;
}

/// zlib streams of "\0Packed title" and "\0Old album" (13 and 10 bytes).
const std::string kPackedTitle =
    bytes({0x78, 0x9C, 0x63, 0x08, 0x48, 0x4C, 0xCE, 0x4E, 0x4D, 0x51, 0x28,
           0xC9, 0x2C, 0xC9, 0x49, 0x05, 0x00, 0x1C, 0xBE, 0x04, 0x8B});
const std::string kPackedAlbum = bytes({0x78, 0x9C, 0x63, 0xF0, 0xCF, 0x49, 0x51, 0x48, 0xCC, 0x49,
                                        0x2A, 0xCD, 0x05, 0x00, 0x0F, 0xBF, 0x03, 0x51});

/// The file, its summary(), values set ("TIT2=New;TALB=A"), the file after the save, the refusal.
struct Shape {
  const char* name;
  std::string original, reads, sets, after, refusal = {};
};

std::vector<Shape> shapes() {
  const auto t3 = [](const char* id, const std::string& v) { return frame23(id, text(v)); };
  const auto t4 = [](const char* id, const std::string& v) { return frame24(id, text(v)); };
  const auto s3 = [](const char* id, const std::string& v) { return frame23(id, setText(v)); };
  const auto s4 = [](const char* id, const std::string& v) { return frame24(id, setText(v)); };
  const auto v22 = [](const std::string& frames) {
    return "ID3" + bytes({2, 0, 0}) + syncsafe(static_cast<std::uint32_t>(frames.size())) + frames +
           kAudio;
  };
  // clang-format off
  // The extended-header flag without an extended header: the frames follow the tag header.
  const std::string rest = t4("TPE1", "Artist") + t4("TALB", "Album") + t4("TDRC", "2001") + t4("TRCK", "3") +
      t4("TCON", "Rock") + frame24("PRIV", "one" + bytes({0, 1})) + frame24("PRIV", "two");
  const std::string titled = t3("TIT2", "Title") + t3("TPE1", "Artist");
  // Frames that cannot all be read: the save refuses.
  const std::string ok = t3("TIT2", "ok");
  const std::string pastEnd = header(3, 30) + ok + "TPE1" + plain(500) + bytes({0, 0}) + "xxxxxxx" + kAudio;
  const std::string garbage = id3tag(3, ok + "xx" + bytes({1, 2}) + std::string(20, 'g')) + kAudio;
  const std::string unknownFlag = id3tag(3, ok, 0, 0x01) + kAudio;
  const std::string badExtended = id3tag(4, bytes({0, 0, 0, 2, 0, 0}) + t4("TIT2", "ok"), 0, 0x40) + kAudio;
  // Compressed, unsynchronised, data-length frames: read decoded, kept unless set, written plain when set.
  const std::string packedAlbum = frame24("TALB", syncsafe(10) + kPackedAlbum, 0, 0x09);
  const std::string unsynchronised = frame24("TPE1", bytes({0, 'A', 0xFF, 0x00, 0xE9}), 0, 0x02);
  const std::string damaged = "TCON" + syncsafe(2) + bytes({0, 0x01, 0, 0});  // 2 bytes, data length
  const std::string encrypted = frame24("TCOM", bytes({0x80, 1, 2, 3}), 0, 0x04);
  const std::string transformed = frame24("TIT2", syncsafe(13) + kPackedTitle, 0, 0x09) + packedAlbum +
      unsynchronised + damaged + encrypted + frame24("TRCK", "") + t4("TENC", "enc");
  const std::string unsyncTitle = bytes({0, 0xFF, 0x00, 0xE9, 'x'});
  const std::string album23 = frame23("TALB", plain(10) + kPackedAlbum, 0, 0x80);
  const std::string packed23 =
      frame23("TIT2", plain(13) + kPackedTitle, 0, 0x80) + "TPE1" + plain(0) + bytes({0, 0});
  // Version 2.2: read under the version 2.3 ids and written as 2.3.
  const std::string png = "c" + bytes({0, 0x89, 'P', 'N'});
  const std::string comment = unhex("00 656E67 00") + "Nice", txx = unhex("00 6B 00 76");
  const std::string frames22 = frame22("TT2", text("Title")) + frame22("TP1", text("Artist")) +
      frame22("TAL", text("Album")) + frame22("TYE", text("1999")) + frame22("COM", comment) +
      frame22("TRK", text("5/9")) + frame22("TCO", text("(17)")) +
      frame22("PIC", bytes({0}) + "PNG" + bytes({3}) + png) + frame22("TXX", txx) + std::string(7, '\0');
  const std::string upgraded = t3("TPE1", "Artist") + t3("TALB", "Album") + t3("TYER", "1999") +
      frame23("COMM", comment) + t3("TRCK", "5/9") + t3("TCON", "(17)") +
      frame23("APIC", bytes({0}) + "image/png" + bytes({0, 3}) + png) + frame23("TXXX", txx);
  const std::string crm = v22(frame22("TT2", text("Title")) + frame22("CRM", "owner"));
  // Several values in one version 2.4 text frame.
  const std::string many = frame24("TPE1", text("piman") + bytes({0}) + "jzig") +
                           frame24("TCOM", bytes({1, 0xFF, 0xFE, 'a', 0, 0, 0, 0xFF, 0xFE, 'b', 0, 0, 0}));
  // Saved in place: the new frames fit in the old tag.
  const std::string flagged = id3tag(4, t4("TIT2", "Title") + rest, 20, 0x40) + kAudio;
  const std::string transformedFile = id3tag(4, transformed, 10) + kAudio;
  const std::string packedFile = id3tag(3, packed23 + album23) + kAudio;
  return {
      {"Version24ExtendedHeaderFlagWithoutHeader", flagged,
       "tag 8: TRCK=3 TIT2=Title TPE1=Artist TALB=Album TYER=2001 TCON=Rock", "TIT2=New;TPE1=Artist",
       savedInPlace(4, s4("TIT2", "New") + rest, flagged)},
      {"Version23ExtendedHeaderFlagWithoutHeader", id3tag(3, titled, 0, 0x40) + kAudio,
       "tag 2: TIT2=Title TPE1=Artist", "TALB=Album", saved(3, titled + s3("TALB", "Album"))},
      {"FramePastTheTagEnd", pastEnd, "tag 1: TIT2=ok", "TIT2=New", pastEnd,
       "the frame TPE1 runs past the end of the tag"},
      {"GarbageWhereAFrameShouldStart", garbage, "tag 1: TIT2=ok", "TIT2=New", garbage,
       "the tag holds unreadable bytes where a frame should start (byte 23)"},
      {"UnknownHeaderFlag", unknownFlag, "tag 1: TIT2=ok", "TIT2=New", unknownFlag,
       "the tag header has flags of unknown meaning"},
      {"UnreadableExtendedHeader", badExtended, "tag 0:", "TIT2=New", badExtended,
       "the tag's extended header cannot be read"},
      {"Version24TransformedAndDamagedFrames", transformedFile,
       "tag 7: TIT2=Packed title TPE1=A\xC3\xBF\xC3\xA9 TALB=Old album TENC=enc",
       "TIT2=New title;TALB=Old album;TPE1=A\xC3\xBF\xC3\xA9;TCON=Jazz;TCOM=Composer;TRCK=4",
       savedInPlace(4, s4("TIT2", "New title") + packedAlbum + unsynchronised + s4("TCON", "Jazz") +
                           s4("TCOM", "Composer") + s4("TRCK", "4") + t4("TENC", "enc"), transformedFile)},
      // The header's unsynchronisation flag stands for each frame's, which says so once it is gone.
      {"Version24TagUnsynchronised", header(4, 16, 0x80) + frame24("TIT2", unsyncTitle) + bytes({0}) + kAudio,
       "tag 1: TIT2=\xC3\xBF\xC3\xA9x", "TPE1=P",
       saved(4, frame24("TIT2", unsyncTitle, 0, 0x02) + s4("TPE1", "P"))},
      {"Version23CompressedAndEmptyFrames", packedFile,
       "tag 3: TIT2=Packed title TALB=Old album", "TIT2=New title;TPE1=Artist",
       savedInPlace(3, s3("TIT2", "New title") + s3("TPE1", "Artist") + album23, packedFile)},
      {"Version22UpgradedOnSave", v22(frames22),
       "tag 9: TRCK=5/9 TIT2=Title TPE1=Artist TALB=Album TYER=1999 TCON=(17) COMM=Nice", "TIT2=New",
       saved(3, s3("TIT2", "New") + upgraded)},
      {"Version22FrameWithoutEquivalent", crm, "tag 2: TIT2=Title", "TIT2=New", crm,
       "the frame CRM has no ID3v2.3 equivalent"},
      {"Version24MultipleValues", id3tag(4, many) + kAudio, "tag 2: TPE1=piman / jzig TCOM=a / b",
       "TPE1=piman / jzig;TCOM=a / b;TIT2=T", saved(4, many + s4("TIT2", "T"))},
  };
  // clang-format on
}

TEST_F(TagTest, OddShapesReadShownAndSavedAsTheyShouldBe) {
  const auto t3 = [](const char* id, const std::string& value) { return frame23(id, text(value)); };
  const auto t4 = [](const char* id, const std::string& value) { return frame24(id, text(value)); };
  const std::string utf16Comm =
      frame23("COMM", bytes({1}) + "eng" + unhex("FFFE 6400 0000 FFFE 4800 6900"));
  // clang-format off
  const std::string tags[] = {
      id3tag(3, t3("TIT2", "First") + t3("TIT2", "Second")),  // two titles: the first counts
      id3tag(3, frame23("TIT2", "") + t3("TIT2", "Real")),  // an empty title before a real one
      id3tag(3, frame23("TIT2", plain(13) + kPackedTitle, 0, 0x80) + t3("TIT2", "Plain")),  // packed 1st
      id3tag(3, frame23("TIT2", bytes({0x80}) + "secret", 0, 0x40) + t3("TIT2", "Plain")),  // encrypted first
      id3tag(4, t4("TYER", "1999") + t4("TDRC", "2001") + t4("TPE1", std::string("a") + '\0' + "b")),
      id3tag(3, frame23("COMM", unhex("00 656E67 00 4869")) + frame23("WXXX", bytes({0, 0}) + "x.org")),
      id3tag(3, frame23("COMM", bytes({0}) + "en") + utf16Comm),  // a short comment, then a UTF-16 one
      id3tag(3, utf16Comm),
      id3tag(3, t3("TALB", "Kept") + "TIT2" + plain(500) + bytes({0, 0})),  // a frame past the tag's end
      id3tag(2, "TT2" + bytes({0, 0, 4}) + text("Old")),
      id3tag(3, t3("TIT2", "Before") + frame23("APIC", std::string(20000, 'p')) + t3("TALB", "After") +
                    t3("TIT2", "Late"), 300),  // a large picture between frames
      id3tag(4, t4("TPE1", "Kept") + frame24("APIC", std::string(9000, 'p')) + "TALB" + syncsafe(900)),
      kAudio,  // no tag
  };
  // clang-format on
  for (const std::string& bytes : tags) {
    SCOPED_TRACE(&bytes - tags);
    const std::string path = song(bytes + kAudio);
    auto tag = container();
    ASSERT_TRUE(tag->readtag(path));
    expectSameValuesForDisplay(path, *tag);
  }
  // Each odd shape is read, shown and saved (or refused) as it should be.
  for (const Shape& shape : shapes()) {
    SCOPED_TRACE(shape.name);
    const std::string path = song(shape.original, std::string(shape.name) + ".mp3");
    auto tag = container();
    ASSERT_TRUE(tag->readtag(path));
    EXPECT_TRUE(tag->hastag());
    EXPECT_EQ(summary(*tag), shape.reads);
    expectSameValuesForDisplay(path, *tag);
    std::istringstream sets(shape.sets);
    for (std::string set; std::getline(sets, set, ';');)
      for (std::int32_t id = TRCK; id <= TENC; ++id)
        if (set.rfind(std::string(frameIdText(id)) + "=", 0) == 0)
          tag->setframevalue(id, set.substr(5));
    EXPECT_EQ(why(tag->writetag(path)), shape.refusal.empty() ? "ok" : "0 " + shape.refusal);
    EXPECT_EQ(tag->lasterror(), shape.refusal.empty() ? 0 : clsTv2::kWriteFailed);
    EXPECT_EQ(contentOf(path), shape.after);
  }
}

/// A file that counts the bytes read from it.
struct CountingFile final : platform::ReadableFile {
  explicit CountingFile(platform::ReadableFile& inner) : inner(inner) {}
  platform::Result<std::size_t> readAt(std::uint64_t offset,
                                       std::span<std::uint8_t> buffer) override {
    bytesRead += buffer.size();
    return inner.readAt(offset, buffer);
  }
  platform::Result<std::uint64_t> size() override { return inner.size(); }
  platform::ReadableFile& inner;
  std::size_t bytesRead = 0;
};

TEST_F(TagTest, ReadForDisplayNeitherReadsTheFramesItDoesNotShowNorHidesAReadError) {
  const std::string picture = frame23("APIC", std::string(100000, 'p'));
  const std::string path = song(
      id3tag(3, frame23("TIT2", text("Before")) + picture + frame23("TALB", text("After")), 300) +
      kAudio);
  const std::array<std::int32_t, 2> ids{TIT2, TALB};
  std::string title, album;
  const std::array<std::string*, 2> outputs{&title, &album};
  auto file = fileSystem.openForReading(path);
  CountingFile counting(*file.value());
  ASSERT_TRUE(container()->readframevalues(counting, ids, outputs));
  EXPECT_EQ(title + "|" + album, "Before|After");
  EXPECT_LT(counting.bytesRead, 20000u);
  // The second read (the piece after the picture) fails.
  fileSystem.failLater(FsOp::ReadAt, 2, {EIO, "scripted"});
  auto failing = fileSystem.openForReading(path);
  EXPECT_EQ(why(container()->readframevalues(*failing.value(), ids, outputs)).substr(0, 21),
            "5 cannot read the tag");
}

/// A frame that only claims a size, to try a tag too large for its size field without holding one.
struct ClaimedSizeFrame final : clsF {
  ClaimedSizeFrame() { frameid("APIC"); }
  std::string data() const override { return {}; }
  void data(std::string_view) override {}
  bool isOpaque() const override { return true; }
  bool parseFields(ByteView) override { return true; }
  void renderFields(ByteVector&) const override { ADD_FAILURE() << "rendered"; }
  std::size_t fieldsSize() const override { return 0x0FFFFFF0; }
};

TEST_F(TagTest, TagLargerThanItsSizeFieldIsRefused) {
  const std::string original = id3tag(3, frame23("TIT2", text("T"))) + kAudio;
  const std::string path = song(original);
  auto tag = read(path);
  tag->frames().add(std::make_shared<ClaimedSizeFrame>());
  EXPECT_EQ(why(tag->writetag(path)),
            "0 the tag would hold 268435472 bytes, more than the 268435455 an ID3v2 tag can hold");
  EXPECT_EQ(tag->lasterror(), clsTv2::kWriteFailed);
  EXPECT_EQ(contentOf(path), original);
}

ByteVector vec(const std::string& text) {
  return ByteVector(text.begin(), text.end());
}
std::string str(const ByteVector& bytes) {
  return std::string(bytes.begin(), bytes.end());
}

const std::string kPng = bytes({0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A, 0x00, 0x01});
const std::string kJpeg = bytes({0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x00, 0xFF, 0xD9});

/// APIC content; the description is already terminated as its encoding wants.
std::string apic(int encoding, const std::string& mime, int type, const std::string& description,
                 const std::string& data) {
  return bytes({encoding}) + mime + bytes({0, type}) + description + data;
}

TEST(CoverArt, PictureContentParsesIntoItsFieldsAndRendersBackAndImageTypeComesFromTheFirstBytes) {
  const std::string utf16Description = bytes({0xFF, 0xFE, 'F', 0, 'r', 0});
  // A UTF-16 description before data starting with a zero byte: only the even pair ends the text.
  // clang-format off
  const std::pair<std::string, std::optional<Picture>> rows[] = {
      {apic(0, "image/png", 3, "Front" + bytes({0}), kPng),
       Picture{0, "image/png", 3, vec("Front"), vec(kPng)}},
      {apic(0, "image/jpeg", 3, bytes({0}), kJpeg), Picture{0, "image/jpeg", 3, {}, vec(kJpeg)}},
      {apic(1, "image/png", 4, utf16Description + bytes({0, 0}), kPng),
       Picture{1, "image/png", 4, vec(utf16Description), vec(kPng)}},
      {apic(1, "", 3, bytes({0xFF, 0xFE, 0x00, 0x41, 0x00, 0x00}), kJpeg),
       Picture{1, "", 3, vec(bytes({0xFF, 0xFE, 0x00, 0x41})), vec(kJpeg)}},
      {apic(3, "image/png", 0, "d" + bytes({0}), ""), Picture{3, "image/png", 0, vec("d"), {}}},
      {apic(4, "image/png", 3, bytes({0}), kPng), std::nullopt},  // unknown encoding
      {bytes({0}) + "image/png", std::nullopt},  // MIME type not terminated
      {apic(1, "image/png", 3, bytes({0xFF, 0xFE, 'x', 0, 'y'}), ""), std::nullopt},  // nor the description
      {"", std::nullopt},
  };
  // clang-format on
  for (const auto& [content, expected] : rows) {
    const auto parsed = parsePicture(vec(content));
    EXPECT_EQ(parsed, expected) << content.size();
    EXPECT_EQ(parsed ? str(renderPicture(*parsed)) : content, content);
  }
  EXPECT_EQ(imageMimeType(vec(kJpeg)).value() + imageMimeType(vec(kPng)).value(),
            "image/jpegimage/png");
  for (const std::string& other : {std::string("GIF89a"), bytes({0xFF}), std::string()})
    EXPECT_EQ(imageMimeType(vec(other)), std::nullopt);
}

/// The tag's frames, the front cover's data shown, the frames after a PNG cover is set / removed.
struct TagRow {
  const char* name;
  int major;
  std::string frames;
  std::optional<std::string> shown;
  std::vector<std::string> afterSet, afterRemove;
};

TEST_F(TagTest, FrontCoverIsFoundSetAndRemovedKeepingTheOtherFrames) {
  const std::string title = bytes({0}) + "Song";
  const std::string front = apic(0, "image/jpeg", 3, bytes({0}), kJpeg);
  const std::string back = apic(0, "image/jpeg", 4, "Back" + bytes({0}), kJpeg + "b");
  const std::string utf16Front = apic(1, "image/jpeg", 3, bytes({0xFF, 0xFE, 'c', 0, 0, 0}), kJpeg);
  const std::string damaged = bytes({7}) + "image/png";
  const std::string newCover = apic(0, "image/png", 3, bytes({0}), kPng);
  const auto L = [](const std::string& id, const std::string& content, int flags1 = 0) {
    return id + bytes({0, flags1}) + content;
  };
  const std::string grouped = bytes({1}) + front, t23 = frame23("TIT2", title);
  // clang-format off
  const std::vector<TagRow> rows{
      {"front cover after a back cover", 3, t23 + frame23("APIC", back) + frame23("APIC", front),
       kJpeg, {L("TIT2", title), L("APIC", back), L("APIC", newCover)}, {L("TIT2", title), L("APIC", back)}},
      {"a back cover stands for the front", 3, frame23("APIC", back), kJpeg + "b", {L("APIC", newCover)}, {}},
      {"no picture: one is added at the end", 3, frame23("TIT2", title), std::nullopt,
       {L("TIT2", title), L("APIC", newCover)}, {L("TIT2", title)}},
      {"version 2.4, UTF-16 description", 4, frame24("APIC", utf16Front) + frame24("TIT2", title), kJpeg,
       {L("APIC", newCover), L("TIT2", title)}, {L("TIT2", title)}},
      {"two front covers become one", 3, frame23("APIC", front) + t23 + frame23("APIC", utf16Front),
       kJpeg, {L("APIC", newCover), L("TIT2", title)}, {L("TIT2", title)}},
      {"a damaged picture is kept untouched", 3, frame23("APIC", damaged) + frame23("APIC", front), kJpeg,
       {L("APIC", damaged), L("APIC", newCover)}, {L("APIC", damaged)}},
      {"a grouped picture's bytes are not read", 4, frame24("APIC", grouped, 0, 0x40), std::nullopt,
       {L("APIC", grouped, 0x40), L("APIC", newCover)}, {L("APIC", grouped, 0x40)}},
  };
  // clang-format on
  for (const TagRow& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string path = song(id3tag(row.major, row.frames, 16) + kAudio);
    auto tag = container();
    ASSERT_TRUE(tag->readtag(path));
    const auto shown = frontCover(tag->frames());
    EXPECT_EQ(shown ? std::optional(str(shown->data)) : std::nullopt, row.shown);
    applyCoverEdit(tag->frames(), CoverEdit{Picture{0, "image/png", 3, {}, vec(kPng)}});
    EXPECT_EQ(framesOf(tag->frames()), row.afterSet);
    ASSERT_TRUE(tag->readtag(path));
    applyCoverEdit(tag->frames(), CoverEdit{});
    EXPECT_EQ(framesOf(tag->frames()), row.afterRemove);
  }
}

/// A version 1 tag of 128 'T' bytes, added at the end in the same step.
const EndingOf kV1 = [](platform::ReadableFile&, std::uint64_t) {
  return platform::Result<FileEnding>(FileEnding{ByteVector(128, 'T'), 0});
};

/// Audio longer than the piece an in-place rewrite moves at a time.
std::string longAudio() {
  std::string audio = kAudio;
  for (std::size_t i = 0; audio.size() < (std::size_t{5} << 19); ++i)
    audio += static_cast<char>((i * 7 + i / 251) & 0xFF);
  return audio;
}

ino_t inodeOf(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 ? info.st_ino : 0;
}

TEST_F(TagTest, NewTagIsByteExactPaddedTo257WithPlainSizes) {
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

TEST_F(TagTest, OtherFramesAndUnchangedValuesKeepTheirBytes) {
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
             frame23("TIT2", unhex("01 FFFE 4700 FC00 0000")) +
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
  // A value not in ISO-8859-1 is written as UTF-16, one that fits in ISO-8859-1.
  const std::string wide = song(kAudio, "wide.mp3"),
                    value = "\xCE\xA9mega \xE2\x98\x83 \xF0\x9D\x84\x9E";
  ASSERT_TRUE(save(wide, {{TIT2, value}, {COMM, value}, {TPE1, "caf\xC3\xA9"}}));
  auto widened = read(wide);
  EXPECT_EQ(summary(*widened), "tag 3: TIT2=" + value + " TPE1=caf\xC3\xA9 COMM=" + value);
  const std::string title = bytesOf(*widened->frames().item(1));
  EXPECT_EQ(title.substr(0, 3) + title.substr(title.size() - 2), unhex("01 FFFE 0000"));
  EXPECT_EQ(bytesOf(*widened->frames().item(3)), unhex("00 636166E9 00"));
}

TEST_F(TagTest, Version24KeepsItsVersionFramesAndLosesFooterAndUnsynchronisation) {
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

TEST_F(TagTest, TemporaryNamesAreOursAndShortAndLeftoversGo) {
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

class TagWriteFailure : public TagTest, public ::testing::WithParamInterface<Failure> {};

TEST_P(TagWriteFailure, LeavesOriginalIdenticalAndNoTemporaryFile) {
  // No room for the longer title: the save writes a new file.
  const std::string original = id3tag(3, frame23("TIT2", text("Old")), 3) + kAudio;
  const std::string path = song(original);
  fileSystem.fail(GetParam().op, {EIO, "scripted failure"});
  EXPECT_EQ(why(save(path, {{TIT2, "New title"}})),
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

class TagNotWritten : public TagTest, public ::testing::WithParamInterface<NotWritten> {};

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

TEST_F(TagTest, RefusalsSayWhyWithTheirCode) {
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
  // A read failure is reported and gives no frames.
  const std::string path = song(id3tag(3, frame23("TIT2", text("T"))) + kAudio);
  fileSystem.fail(FsOp::ReadAt, {EIO, "scripted failure"});
  auto tag = container();
  EXPECT_EQ(why(tag->readtag(path)), "5 cannot read the start of the file: Input/output error");
  EXPECT_EQ(tag->frames().count(), 0);
  fileSystem.clearFaults();
  EXPECT_TRUE(tag->readtag(path));
  EXPECT_EQ(tag->getframevalue(TIT2), "T");
}

TEST_F(TagTest, RemoveLeavesTheRestOnly) {
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
  // A save through a link changes the target and keeps the link.
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
  EXPECT_EQ(names(), (Names{"link.mp3", "real.mp3", "song.mp3", "tag-only.mp3"}));
}

TEST_F(TagTest, OwnerGroupSpecialBitsAndAttributesAreKeptUnlessTheOwnerCannotBe) {
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
  char value[8] = {};
  EXPECT_TRUE(!attributes || (::getxattr(path.c_str(), "user.note", value, sizeof value) == 4 &&
                              std::string(value) == "kept"));
  // Special bits go when a user who may write the file but neither owns it nor is in its group
  // saves.
  ASSERT_EQ(::chmod(folder.path().c_str(), 0777), 0);
  const std::string other = song(kAudio, "other.mp3");
  ASSERT_EQ(::chown(other.c_str(), 4321, 4322), 0);
  ASSERT_EQ(::chmod(other.c_str(), 06777), 0);
  const pid_t child = ::fork();
  if (child == 0) {
    if (::setgid(4000) != 0 || ::setuid(4000) != 0) ::_exit(2);
    platform::posix::PosixFileSystem files;
    platform::testing::FixedClock time({0, 0, 0});
    clsTv2 tag(files, time);
    tag.setframevalue(TIT2, "x");
    ::_exit(tag.writetag(other) ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  ASSERT_EQ(::stat(other.c_str(), &info), 0);
  EXPECT_EQ(info.st_uid + (info.st_mode & 07777), 4000u + 0777u);
  EXPECT_NE(contentOf(other), kAudio);
}

TEST_F(TagTest, HardLinkedFileIsWrittenInPlaceWhenTheTagFits) {
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

TEST_F(TagTest, HardLinkedFileKeepsItsInodeWhenTheTagGrowsOrGoes) {
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

class HardLinkedRewriteFailure : public TagTest,
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
