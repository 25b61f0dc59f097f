// Frame kinds, the frame collection and the size and text codecs, on bytes written in hex.
#include <gtest/gtest.h>

#include "id3v2/FrameKinds.h"
#include "id3v2/ID3v2FrameId.h"
#include "id3v2/SizeCodec.h"
#include "id3v2/TextCodec.h"
#include "id3v2/clsCF.h"
#include "id3v2/clsF2.h"
#include "id3v2/clsOF.h"
#include "id3v2/clsTF.h"
#include "id3v2/clsWF.h"
#include "tests/id3v2/TagBytes.h"

namespace brindle::id3v2 {
namespace {

using testbytes::unhex;
using namespace std::string_literals;
using Four = std::array<std::uint8_t, 4>;

ByteVector vec(const char* hex) {
  const std::string bytes = unhex(hex);
  return ByteVector(bytes.begin(), bytes.end());
}

/// The content bytes (the vector handed in holds bytes that must go); framesize() must agree.
std::string rendered(const clsF& frame) {
  ByteVector bytes(12, 0xEE);
  frame.getbytes(bytes);
  EXPECT_EQ(frame.framesize(), static_cast<std::int32_t>(bytes.size()));
  return std::string(bytes.begin(), bytes.end());
}

TEST(FrameParse, FieldsReadAndWrittenBack) {
  struct Row {
    const char *id, *content;
    int encoding;
    const char *language, *description, *data, *written = "";
  };
  // clang-format off
  const Row rows[] = {
      {"TIT2", "01 FFFE 4100", 1, "", "", "FFFE 4100"},
      {"TIT2", "00 4142", 0, "", "", "4142"},
      {"TALB", "00", 0, "", "", ""},
      {"TCON", "00 4100 0042 00", 0, "", "", "4100 0042 00"},
      {"TPE1", "03 C3A9 00", 3, "", "", "C3A9 00"},
      {"COMM", "00 656E67 6400 7800", 0, "656E67", "6400", "7800"},
      {"COMM", "00 656E67 4142", 0, "656E67", "4142", ""},
      {"COMM", "00 656E67", 0, "656E67", "", ""},
      {"COMM", "00 656E67 00 78", 0, "656E67", "00", "78"},
      {"COMM", "01 656E67 FFFE 6400 0000 FFFE 7800", 1, "656E67", "FFFE 6400 0000", "FFFE 7800"},
      // 00 00 at an odd offset is two halves of different characters, not a terminator.
      {"COMM", "01 656E67 FFFE 4100 0001 0000 FFFE 7800", 1, "656E67", "FFFE 4100 0001 0000", "FFFE 7800"},
      {"COMM", "01 656E67 FFFE 0001 0000 FFFE 7800 0000", 1, "656E67", "FFFE 0001 0000", "FFFE 7800 0000"},
      {"COMM", "01 656E67 FFFE 4100 0042", 1, "656E67", "FFFE 4100 0042", ""},
      {"COMM", "01 656E67 0000 FFFE 7800", 1, "656E67", "0000", "FFFE 7800"},
      {"COMM", "02 656E67 0100 0061 0000 0078", 2, "656E67", "0100 0061 0000", "0078"},
      {"COMM", "03 656E67 C3A900 C3A800", 3, "656E67", "C3A900", "C3A800"},
      {"WXXX", "00 4100 6874", 0, "", "4100", "6874"},
      {"WXXX", "00 6874", 0, "", "6874", "6874", "00 6874 6874"},
      {"WXXX", "00", 0, "", "", ""},
      {"WXXX", "01 FFFE 4100 0000 6874", 1, "", "FFFE 4100 0000", "6874"},
      {"WXXX", "01 4100 0042 0000 68", 1, "", "4100 0042 0000", "68"},
      {"WXXX", "02 0041 0000 6874", 2, "", "0041 0000", "6874"},
      {"WXXX", "03 C3A900 6874", 3, "", "C3A900", "6874"},
  };
  // clang-format on
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.id) + " " + row.content);
    std::shared_ptr<clsF> frame = createFrame(row.id);
    ASSERT_TRUE(frame->parsebytes(vec(row.content)));
    EXPECT_EQ(frame->textencoding(), row.encoding);
    EXPECT_EQ(frame->data(), unhex(row.data));
    if (auto comment = std::dynamic_pointer_cast<clsCF>(frame)) {
      EXPECT_EQ(comment->language(), unhex(row.language));
      EXPECT_EQ(comment->description(), unhex(row.description));
    } else if (auto url = std::dynamic_pointer_cast<clsWF>(frame)) {
      EXPECT_EQ(url->description(), unhex(row.description));
    } else {
      EXPECT_NE(std::dynamic_pointer_cast<clsTF>(frame), nullptr);
    }
    EXPECT_EQ(rendered(*frame), unhex(*row.written ? row.written : row.content));
  }
  // Rejected content leaves the fields.
  for (const char* content : {"", "00", "00 65", "00 656E"}) {
    clsCF comment;
    comment.textencoding(3);
    comment.language("abc");
    comment.description("d");
    comment.data("x");
    EXPECT_FALSE(comment.parsebytes(vec(content))) << content;
    EXPECT_EQ(rendered(comment), unhex("03 616263 6400 7800")) << content;
  }
  clsTF text;
  clsWF url;
  text.data("keep");
  url.data("keep");
  EXPECT_FALSE(text.parsebytes(ByteVector{}) || url.parsebytes(ByteVector{}));
  EXPECT_EQ(text.data() + url.data(), "keep\0keep\0"s);
  // A second parse replaces every field of the first.
  clsCF frame;
  ASSERT_TRUE(frame.parsebytes(vec("01 656E67 0000 4100")));
  ASSERT_TRUE(frame.parsebytes(vec("00 646575 42")));
  EXPECT_EQ(frame.language() + frame.data() + "|" + rendered(frame),
            "deu|" + unhex("00 646575 42"));
}

TEST(FrameSetters, NewFramesAndTheTerminatorRule) {
  clsTF text;
  EXPECT_EQ(rendered(text), unhex("00 00"));
  text.data("abc");
  EXPECT_EQ(rendered(text), unhex("00 616263 00"));
  for (const auto& [set, kept] :
       {std::pair{"61 00", "61 00"}, {"61 00 00", "61 00 00"}, {"00", "00"}, {"", "00"}}) {
    text.data(unhex(set));
    EXPECT_EQ(text.data(), unhex(kept));
  }
  text.textencoding(3);
  text.data("x");
  EXPECT_EQ(rendered(text), unhex("03 78 00"));
  clsCF comment;
  EXPECT_EQ(rendered(comment), unhex("00 000000 00 00"));
  for (const auto& [set, kept] : {std::pair{"de", "de "}, {"english", "eng"}, {"", "   "}}) {
    comment.language(set);
    EXPECT_EQ(comment.language(), kept);
  }
  comment.language("eng");
  comment.description("");
  EXPECT_EQ(comment.description(), "\0"s);
  comment.description("d");
  comment.data("x\0"s);
  EXPECT_EQ(rendered(comment), unhex("00 656E67 6400 7800"));
  // One zero byte is appended whatever the encoding, and a UTF-16 frame reads back the same.
  comment.textencoding(1);
  comment.description(unhex("FFFE 6400 0000"));
  comment.data(unhex("FFFE 0001"));
  EXPECT_EQ(comment.data(), unhex("FFFE 0001 00"));
  clsCF read;
  ASSERT_TRUE(read.parsebytes(vec("01 656E67 FFFE 6400 0000 FFFE 0001 00")));
  EXPECT_EQ(rendered(read), rendered(comment));
  EXPECT_EQ(read.description(), unhex("FFFE 6400 0000"));
  clsWF url;
  EXPECT_EQ(rendered(url), unhex("00 00 00"));
  url.description("A");
  url.data("ht");
  EXPECT_EQ(rendered(url), unhex("00 4100 687400"));
  url.description("A\0"s);
  url.data("");
  EXPECT_EQ(rendered(url), unhex("00 4100 00"));
}

TEST(FrameSetters, ValueTextChoosesTheEncoding) {
  clsTF text;
  text.setValueText("Caf\xC3\xA9");
  EXPECT_EQ(rendered(text), unhex("00 436166E9 00"));
  text.setValueText("\xE2\x98\x83");
  EXPECT_EQ(rendered(text), unhex("01 FFFE 0326 0000"));
  EXPECT_EQ(text.valueText(), "\xE2\x98\x83\0"s);
  clsCF comment;
  comment.language("eng");
  comment.description("d");
  comment.setValueText("\xE2\x98\x83");
  EXPECT_EQ(rendered(comment), unhex("01 656E67 FFFE 6400 0000 FFFE 0326 0000"));
  EXPECT_EQ(comment.valueText(), "\xE2\x98\x83\0"s);
  comment.setValueText("ok");
  EXPECT_EQ(rendered(comment), unhex("00 656E67 6400 6F6B00"));
  // A URL stays Latin-1: other characters are escaped, a broken sequence escapes its lead byte.
  clsWF url;
  url.description("d");
  url.setValueText("http://a/\xE2\x98\x83");
  EXPECT_EQ(rendered(url), "\0d\0http://a/%E2%98%83\0"s);
  url.setValueText("a\xC3Z");
  EXPECT_EQ(url.valueText(), "a%C3Z\0"s);
  clsWF described;  // a UTF-16 description keeps the frame UTF-16
  described.textencoding(1);
  described.description(unhex("FFFE 0326 0000"));
  described.setValueText("http://b/\xC3\xA9");
  EXPECT_EQ(rendered(described), unhex("01 FFFE 0326 0000") + "http://b/\xE9" + "\0"s);
  EXPECT_EQ(described.valueText(), "http://b/\xC3\xA9\0"s);
}

TEST(FrameBase, IdFlagsAndOpaqueFrames) {
  clsTF frame;
  EXPECT_EQ(frame.frameid(), std::string(4, '\0'));
  for (const auto& [set, kept] : {std::pair{"TIT", "TIT "}, {"TIT2X", "TIT2"}, {"", "    "}}) {
    frame.frameid(set);
    EXPECT_EQ(frame.frameid(), kept);
  }
  clsCF comment;
  std::array<std::uint8_t, 2> flags{0xAA, 0xBB};
  comment.getflags(flags);
  EXPECT_EQ(flags[0] + flags[1], 0);
  comment.setflags(std::array<std::uint8_t, 2>{0x40, 0x20});
  comment.frameid("COMM");
  ASSERT_TRUE(comment.parsebytes(vec("00 656E67")));  // keeps the id and the flags
  comment.getflags(flags);
  EXPECT_EQ(comment.frameid() + char(flags[0]) + char(flags[1]), "COMM\x40\x20");
  const char* picture = "00 696D6167652F706E67 00 03 00 89504E470D0A1A0A 0000000D FF00";
  std::shared_ptr<clsF> opaque = createFrame("APIC");
  ASSERT_TRUE(opaque->parsebytes(vec(picture)));
  EXPECT_EQ(rendered(*opaque), unhex(picture));
  opaque->textencoding(3);
  opaque->data("ignored");
  EXPECT_EQ(opaque->data() + rendered(*opaque), unhex(picture));
  clsOF empty;
  ASSERT_TRUE(empty.parsebytes(ByteVector{0x07}));
  ASSERT_TRUE(empty.parsebytes(ByteVector{}));
  EXPECT_TRUE(rendered(empty).empty() && empty.isOpaque());
  EXPECT_FALSE(clsTF().isOpaque() || clsCF().isOpaque() || clsWF().isOpaque());
  // The id picks the kind and class.
  const std::pair<const char*, FrameKind> rows[] = {
      {"TRCK", FrameKind::Text},    {"TIT2", FrameKind::Text},    {"TCON", FrameKind::Text},
      {"TENC", FrameKind::Text},    {"TDRC", FrameKind::Text},    {"WXXX", FrameKind::Url},
      {"COMM", FrameKind::Comment}, {"TXXX", FrameKind::Opaque},  {"APIC", FrameKind::Opaque},
      {"WOAR", FrameKind::Opaque},  {"tit2", FrameKind::Opaque},  {"Comm", FrameKind::Opaque},
      {"TIT", FrameKind::Opaque},   {"TIT2 ", FrameKind::Opaque}, {"", FrameKind::Opaque}};
  for (const auto& [id, kind] : rows) {
    SCOPED_TRACE(id);
    EXPECT_EQ(kindOf(id), kind);
    const std::shared_ptr<clsF> frame = createFrame(id);
    EXPECT_EQ(frame->isOpaque(), kind == FrameKind::Opaque);
    EXPECT_EQ(std::dynamic_pointer_cast<clsCF>(frame) != nullptr, kind == FrameKind::Comment);
    EXPECT_EQ(std::dynamic_pointer_cast<clsWF>(frame) != nullptr, kind == FrameKind::Url);
  }
  EXPECT_EQ(createFrame("PRIV")->frameid() + createFrame("TIT")->frameid(), "PRIVTIT ");
  for (std::int32_t id = TRCK; id <= TENC; ++id)
    EXPECT_NE(kindOf(frameIdText(id)), FrameKind::Opaque);
  std::string ids;
  for (std::int32_t id : {0 + TRCK, 0 + TENC, 0, 13, -1}) ids += std::string(frameIdText(id)) + "|";
  EXPECT_EQ(ids, "TRCK|TENC||||");
  // The collection's positions count from 1.
  clsF2 frames;
  EXPECT_EQ(frames.item(1), nullptr);
  for (const char* id : {"TIT2", "COMM", "WXXX"}) frames.add(createFrame(id));
  frames.add(nullptr);
  ASSERT_EQ(frames.count(), 3);
  EXPECT_EQ(frames.item(1)->frameid() + frames.item(3)->frameid(), "TIT2WXXX");
  for (std::int32_t at : {0, 4, -1}) {
    EXPECT_EQ(frames.item(at), nullptr) << at;
    EXPECT_FALSE(frames.remove(at)) << at;
    EXPECT_FALSE(frames.replace(at, createFrame("TALB"))) << at;
  }
  EXPECT_FALSE(frames.replace(1, nullptr));
  EXPECT_TRUE(frames.replace(3, createFrame("TALB")) && frames.remove(1));
  ASSERT_EQ(frames.count(), 2);
  EXPECT_EQ(frames.item(2)->frameid(), "TALB");
  frames.clear();
  EXPECT_EQ(frames.begin(), frames.end());
}

TEST(SizeCodec, SevenBitAndPlainSizes) {
  // High bits are not masked.
  EXPECT_EQ((std::vector<long>{ByteToLong(Four{0, 0, 1, 0}), ByteToLong(Four{0, 0, 0, 0x80}),
                               ByteToLong(Four{0x7F, 0x7F, 0x7F, 0x7F}), Shift(3, 7, 1),
                               Shift(385, 7, 2), Shift(385, 7, 0)}),
            (std::vector<long>{128, 128, 268435455, 384, 3, 0}));
  EXPECT_EQ((std::vector<Four>{LongToByte(200), LongToByte(268435455), LongToByte(268435456)}),
            (std::vector<Four>{{0, 0, 1, 0x48}, {0x7F, 0x7F, 0x7F, 0x7F}, {0, 0, 0, 0}}));
  EXPECT_EQ(readBigEndian32(Four{1, 2, 3, 0xC8}), 0x010203C8u);
  EXPECT_EQ(bigEndian32(0x010203C8), (Four{1, 2, 3, 0xC8}));
}

TEST(TextCodec, Terminators) {
  for (std::uint8_t encoding : {0, 3, 9}) EXPECT_EQ(terminatorOf(encoding), "\0"s);
  for (std::uint8_t encoding : {1, 2}) EXPECT_EQ(terminatorOf(encoding), "\0\0"s);
  constexpr std::size_t npos = std::string_view::npos;
  const std::string single = unhex("41 00 42 00"), wide = unhex("4100 0001 0000");
  // UTF-16 looks for zero pairs at even offsets from `from` only.
  EXPECT_EQ(
      (std::vector<std::size_t>{
          findTerminator(0, single), findTerminator(3, single, 2), findTerminator(0, single, 4),
          findTerminator(0, single, 9), findTerminator(0, "AB"), findTerminator(1, wide),
          findTerminator(2, wide), findTerminator(1, wide, 1), findTerminator(1, wide, 7),
          findTerminator(1, unhex("4100 0042")), findTerminator(1, unhex("4100 00"))}),
      (std::vector<std::size_t>{1, 3, npos, npos, npos, 4, 4, 1, npos, npos, npos}));
  // Decoding to UTF-8.
  const std::string bad = "\xEF\xBF\xBD";
  // Half a byte order mark (FE00, FF00) is a character.
  // clang-format off
  const std::tuple<std::uint8_t, const char*, std::string> rows[] = {
      {0, "636166E9", "caf\u00E9"}, {0, "", ""}, {0, "6100 6200", "a\0b\0"s}, {7, "E9FF", "\u00E9\u00FF"},
      {1, "FFFE 4100 A903", "A\u03A9"}, {1, "FEFF 0041 03A9", "A\u03A9"}, {1, "4100 4200", "AB"},
      {1, "FE00 4100", "\u00FEA"}, {1, "FF00 4100", "\u00FFA"}, {1, "FFFE", ""}, {1, "", ""},
      {1, "FFFE 4100 0000 FEFF 0042 0000", "A\0B\0"s}, {1, "FFFE 4100 0000 4200", "A\0B"s},
      {1, "FFFE 4100 0001", "A\u0100"}, {1, "FFFE 34D8 1EDD", "\U0001D11E"}, {1, "FFFE 4100 42", "A" + bad},
      {1, "FFFE 3DD8 4100", bad + "A"}, {1, "FFFE 4100 3DD8", "A" + bad}, {1, "FFFE 1EDD 4100", bad + "A"},
      {2, "0041 03A9", "A\u03A9"}, {2, "FEFF 0041", "A"}, {2, "0041 0000 0042", "A\0B"s},
      {2, "D834 DD1E", "\U0001D11E"}, {2, "0041 42", "A" + bad}, {2, "", ""},
      {3, "68 C3A9 E29883", "h\u00E9\u2603"}, {3, "61 00 62", "a\0b"s}, {3, "61 FF 62", "a" + bad + "b"},
      {3, "61 C3", "a" + bad}, {3, "E282 61", bad + "a"}, {3, "C0AF", bad + bad},
      {3, "EDA080", bad + bad + bad}, {3, "F4908080", bad + bad + bad + bad}, {3, "80 41", bad + "A"},
      {3, "", ""},
  };
  // clang-format on
  for (const auto& [encoding, raw, utf8] : rows)
    EXPECT_EQ(decodeText(encoding, unhex(raw)), utf8) << int{encoding} << ": " << raw;
  // The ISO-8859-1 check and encoding.
  for (const std::string& fits : {""s, "abc"s, "caf\u00E9 \u00FF"s, "a\0b"s})
    EXPECT_TRUE(fitsLatin1(fits));
  for (const char* wide : {"\u0100", "\u03A9mega", "\U0001D11E", "caf\xE9", "\xC3", "\xC0\x80"})
    EXPECT_FALSE(fitsLatin1(wide)) << wide;
  // clang-format off
  const std::tuple<std::uint8_t, std::string, const char*> encoded[] = {
      {0, "caf\u00E9", "636166E9"}, {0, "\u03A9mega \U0001D11E", "3F6D656761203F"},
      {1, "A\u00E9", "FFFE 4100 E900"}, {1, "", "FFFE"}, {1, "\U0001D11E", "FFFE 34D8 1EDD"},
      {2, "A\u00E9", "0041 00E9"}, {2, "\U0001D11E", "D834 DD1E"}, {3, "h\u00E9", "68 C3A9"},
      {9, "\u00E9", "E9"},
      {0, "", ""}, {2, "", ""}, {3, "", ""}, {0, "a\xFF", "61 3F"}, {2, "\xFF", "FFFD"},
  };
  // clang-format on
  for (const auto& [encoding, utf8, raw] : encoded)
    EXPECT_EQ(encodeText(encoding, utf8), unhex(raw)) << int{encoding} << ": " << raw;
  for (std::uint8_t encoding : {1, 2, 3})
    for (const std::string& text :
         {"caf\u00E9 \u00FF"s, "\u03A9mega \u2603 \U0001D11E"s, "A\0\u03A9"s})
      EXPECT_EQ(decodeText(encoding, encodeText(encoding, text)), text) << int{encoding};
  EXPECT_EQ(decodeText(0, encodeText(0, "caf\u00E9 \u00FF")), "caf\u00E9 \u00FF");
  EXPECT_EQ(decodeText(0, encodeText(0, "\u03A9mega \u2603 \U0001D11E")), "?mega ? ?");
}

}  // namespace
}  // namespace brindle::id3v2
