// Reading tags: which frames are found, how sizes and encodings are read, and that damaged tags
// give what can be read.
#include "tests/id3v2/TagFixture.h"

#include "id3v2/ID3v2FrameId.h"

namespace brindle::id3v2 {
namespace {

using namespace testbytes;

class TagReadTest : public TagFixture {
 protected:
  std::unique_ptr<clsTv2> read(const std::string& content) {
    auto tag = container();
    tag->readtag(song(content));
    return tag;
  }
  static std::string contentOf(const clsF& frame) {
    ByteVector content;
    frame.getbytes(content);
    return std::string(content.begin(), content.end());
  }
};

TEST_F(TagReadTest, FramesAndValuesOfEachShape) {
  // A 40 KB frame first: its plain size bytes (00 00 A0 00) mean something else read 7 bits per
  // byte; the standard reading must win.
  std::string picture = bytes({0}) + "image/png" + bytes({0, 3, 0});
  picture += std::string(40 * 1024 - picture.size(), '\x89');
  const std::string extended = plain(6) + bytes({0, 0, 0, 0, 0, 0});
  const std::string extended24 = syncsafe(6) + bytes({1, 0});
  const std::string after = frame23("TIT2", text("After"));
  const std::string y127 = text(std::string(127, 'y'));
  const std::pair<std::string, std::string> rows[] = {
      {id3tag(3,
              frame23("TIT2", text("Song")) + frame23("TPE1", text("Band")) +
                  frame23("COMM", bytes({0, 'e', 'n', 'g', 'd', 0}) + "Nice") +
                  frame23("WXXX", bytes({0, 0}) + "http://x.example/"),
              20) +
           kAudio,
       "tag 4: TIT2=Song TPE1=Band COMM=Nice WXXX=http://x.example/"},
      {kAudio, "none 0:"},
      {header(3, 0) + kAudio, "tag 0:"},
      {"ID3" + bytes({5, 0, 0}) + syncsafe(12) + "TIT2" + bytes({0, 0, 2, 0, 0, 0}) + "T",
       "none 0:"},
      // Padding ends the frames.
      {id3tag(3, frame23("TIT2", text("A")) + std::string(10, '\0') + frame23("TPE1", text("B"))),
       "tag 1: TIT2=A"},
      // Zeros are trimmed at the end and blanked inside.
      {id3tag(3, frame23("TIT2", text("abc") + bytes({0, 0})) +
                     frame23("TALB", text("  a") + bytes({0}) + "b ")),
       "tag 2: TIT2=abc TALB=a b"},
      {id3tag(3, frame23("APIC", picture) + frame23("TIT2", text("Title")) +
                     frame23("TPE1", text("Artist"))) +
           kAudio,
       "tag 3: TIT2=Title TPE1=Artist"},
      // Old 7-bit frame sizes in version 2.3 (200 bytes: 00 00 01 48), plain ones in 2.4.
      {id3tag(3, frame24("TIT2", text(std::string(199, 'x'))) + frame24("TPE1", text("Artist")),
              30),
       "tag 2: TIT2=" + std::string(199, 'x') + " TPE1=Artist"},
      {id3tag(4, frame23("TIT2", text(std::string(299, 'z'))) + frame23("TPE1", text("Artist")),
              30),
       "tag 2: TIT2=" + std::string(299, 'z') + " TPE1=Artist"},
      {id3tag(3, "TIT2" + bytes({0, 0, 1, 0, 0, 0}) + y127),
       "tag 1: TIT2=" + std::string(127, 'y')},
      {id3tag(3, "TIT2" + bytes({0, 0, 0, 0x80, 0, 0}) + y127),
       "tag 1: TIT2=" + std::string(127, 'y')},
      {id3tag(3, frame23("TIT2", unhex("01 FFFE 4700 7200 FC00 DF00 6500 0000")) +
                     frame23("COMM", unhex("01 656E67 FFFE 6400 0000 FFFE 3A04 3E04 4204 0000"))),
       "tag 2: TIT2=Gr\xC3\xBC\xC3\x9F"
       "e COMM=\xD0\xBA\xD0\xBE\xD1\x82"},
      // Extended headers are skipped.
      {header(3, static_cast<std::uint32_t>(extended.size() + after.size()), 0x40) + extended +
           after,
       "tag 1: TIT2=After"},
      {header(4, static_cast<std::uint32_t>(extended24.size() + 21), 0x40) + extended24 +
           frame24("TIT2", text("After")),
       "tag 1: TIT2=After"},
      // Version 2.4: 7-bit sizes, UTF-8, UTF-16BE, the recording time as the year.
      {id3tag(4, frame24("TIT2", bytes({3}) + "Caf\xC3\xA9") + frame24("TDRC", text("2024-05-01")) +
                     frame24("TPE1", bytes({2, 0, 'A', 0, 'B'}))),
       "tag 3: TIT2=Caf\xC3\xA9 TPE1=AB TYER=2024-05-01"},
      // A frame past the end stops reading; a huge declared size reads what is there.
      {header(3, 30) + frame23("TIT2", text("ok")) + "TPE1" + plain(500) + bytes({0, 0}) + "xxxx",
       "tag 1: TIT2=ok"},
      {header(3, 0x0FFFFFFF) + frame23("TIT2", text("tiny")), "tag 1: TIT2=tiny"},
  };
  for (const auto& [file, expected] : rows) EXPECT_EQ(summary(*read(file)), expected);
  auto tag = read(id3tag(4, frame24("TIT2", text("x"))));
  EXPECT_EQ(tag->majorVersion(), 4);
  EXPECT_EQ(tag->getframevalue(0), "");
  EXPECT_EQ(tag->getframevalue(13), "");
}

TEST_F(TagReadTest, MissingFileAndReadingAgain) {
  auto tag = container();
  tag->readtag(folder.file("none.mp3"));
  EXPECT_FALSE(tag->hastag());
  EXPECT_FALSE(real.exists(folder.file("none.mp3")));
  tag->readtag(song(id3tag(3, frame23("TIT2", text("One")))));
  tag->readtag(song(id3tag(3, frame23("TALB", text("Two"))), "other.mp3"));
  EXPECT_EQ(tag->frames().count(), 1);
  EXPECT_EQ(tag->getframevalue(TIT2), "");
  EXPECT_EQ(tag->getframevalue(TALB), "Two");
}

TEST_F(TagReadTest, UnsynchronisationIsUndone) {
  // FF 00 E0 stands for FF E0; the frame size counts the bytes after the undoing.
  const std::string stored = "TIT2" + plain(5) + bytes({0, 0, 0, 'a', 0xFF, 0x00, 0xE0, 'b'});
  auto tag = read(header(3, static_cast<std::uint32_t>(stored.size()), 0x80) + stored);
  ASSERT_EQ(tag->frames().count(), 1);
  EXPECT_EQ(contentOf(*tag->frames().item(1)), unhex("00 61 FFE0 62"));
}

TEST_F(TagReadTest, UnknownCompressedAndDamagedFramesAreKeptOpaque) {
  auto tag = read(id3tag(3, frame23("TXXX", bytes({0, 'k', 0, 'v'})) +
                                frame23("TIT2", text("packed"), 0, 0x80) +   // compressed
                                frame23("COMM", bytes({0, 'e'})) +           // too short
                                "TPE2" + plain(0) + bytes({0, 0}) +          // empty
                                frame23("WXXX", bytes({0}) + "http://a/") +  // no terminator
                                frame23("TALB", text("Album"))));
  ASSERT_EQ(tag->frames().count(), 6);
  for (std::int32_t at = 1; at <= 5; ++at) EXPECT_TRUE(tag->frames().item(at)->isOpaque()) << at;
  EXPECT_EQ(contentOf(*tag->frames().item(5)), bytes({0}) + "http://a/");
  EXPECT_EQ(tag->getframevalue(TIT2), "");  // a compressed title is not text
  EXPECT_EQ(tag->getframevalue(TALB), "Album");
}

}  // namespace
}  // namespace brindle::id3v2
