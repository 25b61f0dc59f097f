// Reading tags: which frames are found, how sizes and encodings are read,
// and that damaged tags give what can be read.
#include "tests/id3v2/TagFixture.h"

#include "id3v2/ID3v2FrameId.h"

namespace brindle::id3v2 {
namespace {

using namespace testbytes;

std::string text(const std::string& latin1) {
  return bytes({0}) + latin1;
}

class TagReadTest : public TagFixture {
 protected:
  std::unique_ptr<clsTv2> read(const std::string& content) {
    auto tag = container();
    tag->readtag(song(content));
    return tag;
  }
};

TEST_F(TagReadTest, ReadsTextCommentAndUrlFrames) {
  auto tag = read(id3tag(3,
                         frame23("TIT2", text("Song")) + frame23("TPE1", text("Band")) +
                             frame23("COMM", bytes({0, 'e', 'n', 'g', 'd', 0}) + "Nice") +
                             frame23("WXXX", bytes({0, 0}) + "http://x.example/"),
                         20) +
                  kAudio);
  EXPECT_TRUE(tag->hastag());
  EXPECT_EQ(tag->frames().count(), 4);
  EXPECT_EQ(tag->getframevalue(TIT2), "Song");
  EXPECT_EQ(tag->getframevalue(TPE1), "Band");
  EXPECT_EQ(tag->getframevalue(COMM), "Nice");
  EXPECT_EQ(tag->getframevalue(WXXX), "http://x.example/");
  EXPECT_EQ(tag->getframevalue(TALB), "");
}

TEST_F(TagReadTest, NoTagMissingFileAndEmptyTag) {
  EXPECT_FALSE(read(kAudio)->hastag());
  auto missing = container();
  missing->readtag(folder.file("none.mp3"));
  EXPECT_FALSE(missing->hastag());
  EXPECT_FALSE(real.exists(folder.file("none.mp3")));
  auto empty = read(header(3, 0) + kAudio);
  EXPECT_TRUE(empty->hastag());
  EXPECT_EQ(empty->frames().count(), 0);
}

TEST_F(TagReadTest, StopsAtPadding) {
  auto tag = read(
      id3tag(3, frame23("TIT2", text("A")) + std::string(10, '\0') + frame23("TPE1", text("B"))));
  EXPECT_EQ(tag->frames().count(), 1);
}

TEST_F(TagReadTest, TrimsAndBlanksZeroCharacters) {
  auto tag = read(id3tag(3, frame23("TIT2", text("abc") + bytes({0, 0})) +
                                frame23("TALB", text("  a") + bytes({0}) + "b ")));
  EXPECT_EQ(tag->getframevalue(TIT2), "abc");
  EXPECT_EQ(tag->getframevalue(TALB), "a b");
  EXPECT_EQ(tag->getframevalue(0), "");
  EXPECT_EQ(tag->getframevalue(13), "");
}

TEST_F(TagReadTest, PlainFrameSizeOfALargeFrameBeforeTextFrames) {
  // A 40 KB frame: its plain size bytes (00 00 A0 00) mean something else
  // when read 7 bits per byte; the standard reading must win.
  std::string picture = bytes({0}) + "image/png" + bytes({0, 3, 0});
  picture += std::string(40 * 1024 - picture.size(), '\x89');
  auto tag = read(id3tag(3, frame23("APIC", picture) + frame23("TIT2", text("Title")) +
                                frame23("TPE1", text("Artist"))) +
                  kAudio);
  EXPECT_EQ(tag->frames().count(), 3);
  EXPECT_EQ(tag->getframevalue(TIT2), "Title");
  EXPECT_EQ(tag->getframevalue(TPE1), "Artist");
}

TEST_F(TagReadTest, OldStyleSevenBitFrameSizesStillRead) {
  const std::string long200 = text(std::string(199, 'x'));  // 200 bytes: 00 00 01 48
  auto tag = read(id3tag(3, frame24("TIT2", long200) + frame24("TPE1", text("Artist")), 30));
  EXPECT_EQ(tag->frames().count(), 2);
  EXPECT_EQ(tag->getframevalue(TIT2), std::string(199, 'x'));
  EXPECT_EQ(tag->getframevalue(TPE1), "Artist");
}

TEST_F(TagReadTest, Version24PlainFrameSizesStillRead) {
  // Some writers put plain 32-bit sizes into version 2.4 tags.
  const std::string long300 = text(std::string(299, 'z'));
  auto tag = read(id3tag(4, frame23("TIT2", long300) + frame23("TPE1", text("Artist")), 30));
  EXPECT_EQ(tag->frames().count(), 2);
  EXPECT_EQ(tag->getframevalue(TIT2), std::string(299, 'z'));
  EXPECT_EQ(tag->getframevalue(TPE1), "Artist");
}

TEST_F(TagReadTest, SizeBytesOf128BothWays) {
  const std::string content = text(std::string(127, 'y'));
  auto sevenBit = read(id3tag(3, "TIT2" + bytes({0, 0, 1, 0, 0, 0}) + content));
  EXPECT_EQ(sevenBit->getframevalue(TIT2), std::string(127, 'y'));
  auto plainSize = read(id3tag(3, "TIT2" + bytes({0, 0, 0, 0x80, 0, 0}) + content));
  EXPECT_EQ(plainSize->getframevalue(TIT2), std::string(127, 'y'));
}

TEST_F(TagReadTest, Utf16ValuesDecode) {
  // "Grüße" as UTF-16 with BOM, and a UTF-16 comment with a description.
  const std::string title = bytes({1, 0xFF, 0xFE, 'G', 0, 'r', 0, 0xFC, 0, 0xDF, 0, 'e', 0, 0, 0});
  const std::string comment = bytes({1,    'e',  'n',  'g',  0xFF, 0xFE, 'd',  0,    0, 0,
                                     0xFF, 0xFE, 0x3A, 0x04, 0x3E, 0x04, 0x42, 0x04, 0, 0});
  auto tag = read(id3tag(3, frame23("TIT2", title) + frame23("COMM", comment)));
  EXPECT_EQ(tag->getframevalue(TIT2),
            "Gr\xC3\xBC\xC3\x9F"
            "e");
  EXPECT_EQ(tag->getframevalue(COMM), "\xD0\xBA\xD0\xBE\xD1\x82");
}

TEST_F(TagReadTest, UnsynchronisationIsUndone) {
  // FF 00 E0 in the stored tag stands for FF E0; the frame size counts the
  // bytes after the undoing, the tag size the stored ones.
  const std::string stored = "TIT2" + plain(5) + bytes({0, 0, 0, 'a', 0xFF, 0x00, 0xE0, 'b'});
  auto tag = read(header(3, static_cast<std::uint32_t>(stored.size()), 0x80) + stored);
  ASSERT_EQ(tag->frames().count(), 1);
  ByteVector content;
  tag->frames().item(1)->getbytes(content);
  EXPECT_EQ(content, (ByteVector{0, 'a', 0xFF, 0xE0, 'b'}));
}

TEST_F(TagReadTest, ExtendedHeaderIsSkipped) {
  const std::string extended = plain(6) + bytes({0, 0, 0, 0, 0, 0});
  const std::string frames = frame23("TIT2", text("After"));
  auto tag = read(header(3, static_cast<std::uint32_t>(extended.size() + frames.size()), 0x40) +
                  extended + frames);
  EXPECT_EQ(tag->getframevalue(TIT2), "After");
  const std::string extended24 = syncsafe(6) + bytes({1, 0});
  auto tag24 = read(header(4, static_cast<std::uint32_t>(extended24.size() + 21), 0x40) +
                    extended24 + frame24("TIT2", text("After")));
  EXPECT_EQ(tag24->getframevalue(TIT2), "After");
}

TEST_F(TagReadTest, Version24ReadsSevenBitSizesUtf8AndRecordingTime) {
  auto tag = read(id3tag(4, frame24("TIT2", bytes({3}) + "Caf\xC3\xA9") +
                                frame24("TDRC", text("2024-05-01")) +
                                frame24("TPE1", bytes({2, 0, 'A', 0, 'B'}))));
  EXPECT_EQ(tag->majorVersion(), 4);
  EXPECT_EQ(tag->getframevalue(TIT2), "Caf\xC3\xA9");
  EXPECT_EQ(tag->getframevalue(TYER), "2024-05-01");
  EXPECT_EQ(tag->getframevalue(TPE1), "AB");
}

TEST_F(TagReadTest, UnknownCompressedAndDamagedFramesAreKeptOpaque) {
  auto tag = read(id3tag(3, frame23("TXXX", bytes({0, 'k', 0, 'v'})) +
                                frame23("TIT2", text("packed"), 0, 0x80) +  // compressed
                                frame23("COMM", bytes({0, 'e'})) +          // too short
                                "TPE2" + plain(0) + bytes({0, 0}) +         // empty
                                frame23("TALB", text("Album"))));
  ASSERT_EQ(tag->frames().count(), 5);
  EXPECT_TRUE(tag->frames().item(1)->isOpaque());
  EXPECT_TRUE(tag->frames().item(2)->isOpaque());
  EXPECT_TRUE(tag->frames().item(3)->isOpaque());
  EXPECT_TRUE(tag->frames().item(4)->isOpaque());
  EXPECT_EQ(tag->getframevalue(TIT2), "");  // a compressed title is not text
  EXPECT_EQ(tag->getframevalue(TALB), "Album");
}

TEST_F(TagReadTest, UrlFrameWithoutTerminatorIsKeptAsItIs) {
  auto tag = read(id3tag(3, frame23("WXXX", bytes({0}) + "http://a/")));
  ASSERT_EQ(tag->frames().count(), 1);
  EXPECT_TRUE(tag->frames().item(1)->isOpaque());
  ByteVector content;
  tag->frames().item(1)->getbytes(content);
  EXPECT_EQ(content.size(), 10u);
}

TEST_F(TagReadTest, FramePastTheEndStopsReading) {
  auto tag = read(header(3, 30) + frame23("TIT2", text("ok")) + "TPE1" + plain(500) +
                  bytes({0, 0}) + "xxxx");
  EXPECT_EQ(tag->frames().count(), 1);
  EXPECT_TRUE(tag->hastag());
}

TEST_F(TagReadTest, HugeDeclaredSizeOnASmallFileReadsWhatIsThere) {
  auto tag = read(header(3, 0x0FFFFFFF) + frame23("TIT2", text("tiny")));
  EXPECT_TRUE(tag->hastag());
  EXPECT_EQ(tag->getframevalue(TIT2), "tiny");
}

TEST_F(TagReadTest, OtherVersionsGiveNoTag) {
  auto v25 =
      read("ID3" + bytes({5, 0, 0}) + syncsafe(12) + "TIT2" + bytes({0, 0, 2, 0, 0, 0}) + "T");
  EXPECT_FALSE(v25->hastag());
  EXPECT_EQ(v25->frames().count(), 0);
}

TEST_F(TagReadTest, ReadingAgainReplacesTheFrames) {
  auto tag = read(id3tag(3, frame23("TIT2", text("One"))));
  tag->readtag(song(id3tag(3, frame23("TALB", text("Two"))), "other.mp3"));
  EXPECT_EQ(tag->frames().count(), 1);
  EXPECT_EQ(tag->getframevalue(TIT2), "");
  EXPECT_EQ(tag->getframevalue(TALB), "Two");
}

}  // namespace
}  // namespace brindle::id3v2
