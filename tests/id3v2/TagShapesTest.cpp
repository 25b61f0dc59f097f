// Odd tag shapes of real files: what is read, and the exact bytes a save writes or why it refuses.
#include <sstream>

#include "tests/id3v2/TagFixture.h"

namespace brindle::id3v2 {
namespace {

using namespace testbytes;

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
  std::vector<Shape> rows;
  // The extended-header flag without an extended header: the frames follow the tag header.
  const std::string rest = frame24("TPE1", text("Artist")) + frame24("TALB", text("Album")) +
                           frame24("TDRC", text("2001")) + frame24("TRCK", text("3")) +
                           frame24("TCON", text("Rock")) + frame24("PRIV", "one" + bytes({0, 1})) +
                           frame24("PRIV", "two");
  rows.push_back({"Version24ExtendedHeaderFlagWithoutHeader",
                  id3tag(4, frame24("TIT2", text("Title")) + rest, 20, 0x40) + kAudio,
                  "tag 8: TRCK=3 TIT2=Title TPE1=Artist TALB=Album TYER=2001 TCON=Rock",
                  "TIT2=New;TPE1=Artist", saved(4, frame24("TIT2", setText("New")) + rest)});
  const std::string titled = frame23("TIT2", text("Title")) + frame23("TPE1", text("Artist"));
  rows.push_back({"Version23ExtendedHeaderFlagWithoutHeader", id3tag(3, titled, 0, 0x40) + kAudio,
                  "tag 2: TIT2=Title TPE1=Artist", "TALB=Album",
                  saved(3, titled + frame23("TALB", setText("Album")))});

  // Frames that cannot all be read: the save refuses.
  const std::string pastTheEnd = header(3, 30) + frame23("TIT2", text("ok")) + "TPE1" + plain(500) +
                                 bytes({0, 0}) + "xxxxxxx" + kAudio;
  const std::string garbage =
      id3tag(3, frame23("TIT2", text("ok")) + "xx" + bytes({1, 2}) + std::string(20, 'g')) + kAudio;
  const std::string unknownFlag = id3tag(3, frame23("TIT2", text("ok")), 0, 0x01) + kAudio;
  const std::string badExtended =
      id3tag(4, bytes({0, 0, 0, 2, 0, 0}) + frame24("TIT2", text("ok")), 0, 0x40) + kAudio;
  rows.push_back({"FramePastTheTagEnd", pastTheEnd, "tag 1: TIT2=ok", "TIT2=New", pastTheEnd,
                  "the frame TPE1 runs past the end of the tag"});
  rows.push_back({"GarbageWhereAFrameShouldStart", garbage, "tag 1: TIT2=ok", "TIT2=New", garbage,
                  "the tag holds unreadable bytes where a frame should start (byte 23)"});
  rows.push_back({"UnknownHeaderFlag", unknownFlag, "tag 1: TIT2=ok", "TIT2=New", unknownFlag,
                  "the tag header has flags of unknown meaning"});
  rows.push_back({"UnreadableExtendedHeader", badExtended, "tag 0:", "TIT2=New", badExtended,
                  "the tag's extended header cannot be read"});

  // Compressed, unsynchronised and data-length frames: read decoded, kept as they are unless set,
  // replaced (written plain) when set.
  const std::string packedAlbum = frame24("TALB", syncsafe(10) + kPackedAlbum, 0, 0x09);
  const std::string unsynchronised = frame24("TPE1", bytes({0, 'A', 0xFF, 0x00, 0xE9}), 0, 0x02);
  const std::string damaged =
      "TCON" + syncsafe(2) + bytes({0, 0x01, 0, 0});  // 2 bytes, data length
  const std::string encrypted = frame24("TCOM", bytes({0x80, 1, 2, 3}), 0, 0x04);
  rows.push_back(
      {"Version24TransformedAndDamagedFrames",
       id3tag(4,
              frame24("TIT2", syncsafe(13) + kPackedTitle, 0, 0x09) + packedAlbum + unsynchronised +
                  damaged + encrypted + frame24("TRCK", "") + frame24("TENC", text("enc")),
              10) +
           kAudio,
       "tag 7: TIT2=Packed title TPE1=A\xC3\xBF\xC3\xA9 TALB=Old album TENC=enc",
       "TIT2=New title;TALB=Old album;TPE1=A\xC3\xBF\xC3\xA9;TCON=Jazz;TCOM=Composer;TRCK=4",
       saved(4, frame24("TIT2", setText("New title")) + packedAlbum + unsynchronised +
                    frame24("TCON", setText("Jazz")) + frame24("TCOM", setText("Composer")) +
                    frame24("TRCK", setText("4")) + frame24("TENC", text("enc")))});
  // The tag header's unsynchronisation flag stands for each frame's: the frame keeps its bytes and
  // says so itself once the header flag is gone.
  rows.push_back({"Version24TagUnsynchronised",
                  header(4, 16, 0x80) + frame24("TIT2", bytes({0, 0xFF, 0x00, 0xE9, 'x'})) +
                      bytes({0}) + kAudio,
                  "tag 1: TIT2=\xC3\xBF\xC3\xA9x", "TPE1=P",
                  saved(4, frame24("TIT2", bytes({0, 0xFF, 0x00, 0xE9, 'x'}), 0, 0x02) +
                               frame24("TPE1", setText("P")))});
  const std::string packed23 = frame23("TIT2", plain(13) + kPackedTitle, 0, 0x80);
  const std::string album23 = frame23("TALB", plain(10) + kPackedAlbum, 0, 0x80);
  rows.push_back({"Version23CompressedAndEmptyFrames",
                  id3tag(3, packed23 + "TPE1" + plain(0) + bytes({0, 0}) + album23) + kAudio,
                  "tag 3: TIT2=Packed title TALB=Old album", "TIT2=New title;TPE1=Artist",
                  saved(3, frame23("TIT2", setText("New title")) +
                               frame23("TPE1", setText("Artist")) + album23)});

  // Version 2.2: read under the version 2.3 ids and written as 2.3.
  const std::string picture = bytes({0}) + "PNG" + bytes({3}) + "c" + bytes({0, 0x89, 'P', 'N'});
  const std::string comment = bytes({0}) + "eng" + bytes({0}) + "Nice";
  const std::string txx = bytes({0}) + "k" + bytes({0}) + "v";
  const std::string frames22 = frame22("TT2", text("Title")) + frame22("TP1", text("Artist")) +
                               frame22("TAL", text("Album")) + frame22("TYE", text("1999")) +
                               frame22("COM", comment) + frame22("TRK", text("5/9")) +
                               frame22("TCO", text("(17)")) + frame22("PIC", picture) +
                               frame22("TXX", txx) + std::string(7, '\0');
  rows.push_back({"Version22UpgradedOnSave",
                  "ID3" + bytes({2, 0, 0}) + syncsafe(static_cast<std::uint32_t>(frames22.size())) +
                      frames22 + kAudio,
                  "tag 9: TRCK=5/9 TIT2=Title TPE1=Artist TALB=Album TYER=1999 TCON=(17) COMM=Nice",
                  "TIT2=New",
                  saved(3, frame23("TIT2", setText("New")) + frame23("TPE1", text("Artist")) +
                               frame23("TALB", text("Album")) + frame23("TYER", text("1999")) +
                               frame23("COMM", comment) + frame23("TRCK", text("5/9")) +
                               frame23("TCON", text("(17)")) +
                               frame23("APIC", bytes({0}) + "image/png" + bytes({0, 3}) + "c" +
                                                   bytes({0, 0x89, 'P', 'N'})) +
                               frame23("TXXX", txx))});
  const std::string crm = frame22("TT2", text("Title")) + frame22("CRM", "owner");
  const std::string unconvertible =
      "ID3" + bytes({2, 0, 0}) + syncsafe(static_cast<std::uint32_t>(crm.size())) + crm + kAudio;
  rows.push_back({"Version22FrameWithoutEquivalent", unconvertible, "tag 2: TIT2=Title", "TIT2=New",
                  unconvertible, "the frame CRM has no ID3v2.3 equivalent"});

  // Several values in one version 2.4 text frame.
  const std::string artists = frame24("TPE1", text("piman") + bytes({0}) + "jzig");
  const std::string utf16 =
      frame24("TCOM", bytes({1, 0xFF, 0xFE, 'a', 0, 0, 0, 0xFF, 0xFE, 'b', 0, 0, 0}));
  rows.push_back({"Version24MultipleValues", id3tag(4, artists + utf16) + kAudio,
                  "tag 2: TPE1=piman / jzig TCOM=a / b", "TPE1=piman / jzig;TCOM=a / b;TIT2=T",
                  saved(4, artists + utf16 + frame24("TIT2", setText("T")))});
  return rows;
}

class TagShapesTest : public TagFixture {
 protected:
  /// The reader for display gives each value the full read `tag` gave (an id asked twice gets it
  /// twice; more ids than one pass takes) and refuses to write what it did not keep.
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
};

TEST_F(TagShapesTest, ReadForDisplayPicksTheFramesTheFullReadPicks) {
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
}

TEST_F(TagShapesTest, ReadAndSavedAsTheyShouldBe) {
  for (const Shape& shape : shapes()) {
    SCOPED_TRACE(shape.name);
    const std::string path = song(shape.original, std::string(shape.name) + ".mp3");
    auto tag = container();
    ASSERT_TRUE(tag->readtag(path));
    EXPECT_TRUE(tag->hastag());
    EXPECT_EQ(summary(*tag), shape.reads);
    expectSameValuesForDisplay(path, *tag);
    std::istringstream sets(shape.sets);
    for (std::string set; std::getline(sets, set, ';');) {
      for (std::int32_t id = TRCK; id <= TENC; ++id) {
        if (set.rfind(std::string(frameIdText(id)) + "=", 0) == 0)
          tag->setframevalue(id, set.substr(5));
      }
    }
    const platform::Status written = tag->writetag(path);
    if (shape.refusal.empty()) {
      EXPECT_TRUE(written) << written.error().message;
      EXPECT_EQ(tag->lasterror(), 0);
    } else {
      ASSERT_FALSE(written);
      EXPECT_EQ(written.error().message, shape.refusal);
      EXPECT_EQ(tag->lasterror(), clsTv2::kWriteFailed);
    }
    EXPECT_EQ(contentOf(path), shape.after);
  }
}

/// A file that counts the bytes read from it.
class CountingFile final : public platform::ReadableFile {
 public:
  explicit CountingFile(platform::ReadableFile& inner) : m_inner(inner) {}
  platform::Result<std::size_t> readAt(std::uint64_t offset,
                                       std::span<std::uint8_t> buffer) override {
    bytesRead += buffer.size();
    return m_inner.readAt(offset, buffer);
  }
  platform::Result<std::uint64_t> size() override { return m_inner.size(); }
  std::size_t bytesRead = 0;

 private:
  platform::ReadableFile& m_inner;
};

TEST_F(TagShapesTest, ReadForDisplayNeitherReadsTheFramesItDoesNotShowNorHidesAReadError) {
  const std::string picture = frame23("APIC", std::string(100000, 'p'));
  const std::string path = song(
      id3tag(3, frame23("TIT2", text("Before")) + picture + frame23("TALB", text("After")), 300) +
      kAudio);
  const std::array<std::int32_t, 2> ids{TIT2, TALB};
  std::string title;
  std::string album;
  const std::array<std::string*, 2> outputs{&title, &album};
  auto file = fileSystem.openForReading(path);
  ASSERT_TRUE(file);
  CountingFile counting(*file.value());
  ASSERT_TRUE(container()->readframevalues(counting, ids, outputs));
  EXPECT_EQ(title, "Before");
  EXPECT_EQ(album, "After");
  EXPECT_LT(counting.bytesRead, 20000u);

  // The second read (the piece after the picture) fails.
  fileSystem.failLater(platform::testing::FsOp::ReadAt, 2, {EIO, "scripted"});
  auto failing = fileSystem.openForReading(path);
  ASSERT_TRUE(failing);
  const platform::Status read = container()->readframevalues(*failing.value(), ids, outputs);
  ASSERT_FALSE(read);
  EXPECT_EQ(read.error().code, EIO);
  EXPECT_EQ(read.error().message.rfind("cannot read the tag", 0), 0u) << read.error().message;
}

/// A frame that only claims a size, so that a tag too large for its size
/// field can be tried without holding one.
class ClaimedSizeFrame final : public clsF {
 public:
  explicit ClaimedSizeFrame(std::size_t size) : m_size(size) { frameid("APIC"); }
  std::string data() const override { return {}; }
  void data(std::string_view) override {}
  bool isOpaque() const override { return true; }

 private:
  bool parseFields(ByteView) override { return true; }
  void renderFields(ByteVector&) const override { ADD_FAILURE() << "rendered"; }
  std::size_t fieldsSize() const override { return m_size; }
  std::size_t m_size;
};

TEST_F(TagShapesTest, TagLargerThanItsSizeFieldIsRefused) {
  const std::string original = id3tag(3, frame23("TIT2", text("T"))) + kAudio;
  const std::string path = song(original);
  auto tag = container();
  tag->readtag(path);
  tag->frames().add(std::make_shared<ClaimedSizeFrame>(0x0FFFFFF0));
  const platform::Status written = tag->writetag(path);
  ASSERT_FALSE(written);
  EXPECT_EQ(written.error().message,
            "the tag would hold 268435472 bytes, more than the 268435455 an ID3v2 tag can hold");
  EXPECT_EQ(tag->lasterror(), clsTv2::kWriteFailed);
  EXPECT_EQ(contentOf(path), original);
}

}  // namespace
}  // namespace brindle::id3v2
