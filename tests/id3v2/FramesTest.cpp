// Tests of the frame kinds: content bytes spelled out byte by byte, parsed,
// checked field by field, rendered back and compared; the setters' terminator
// and padding rules; the table that picks a frame's kind from its id.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "id3v2/FrameKinds.h"
#include "id3v2/ID3v2FrameId.h"
#include "id3v2/clsCF.h"
#include "id3v2/clsF.h"
#include "id3v2/clsOF.h"
#include "id3v2/clsTF.h"
#include "id3v2/clsWF.h"

namespace brindle::id3v2 {
namespace {

// A byte string (one char per byte) from byte values.
std::string raw(std::initializer_list<std::uint8_t> bytes) {
  return std::string(bytes.begin(), bytes.end());
}

// Bytes as spaced hexadecimal pairs, so that a failed comparison reads like
// the byte literals of the test.
std::string hex(const std::string& bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char byte : bytes) {
    if (!out.empty()) out.push_back(' ');
    out.push_back(kDigits[byte >> 4]);
    out.push_back(kDigits[byte & 0x0F]);
  }
  return out;
}

std::string hex(const ByteVector& bytes) {
  return hex(std::string(bytes.begin(), bytes.end()));
}

std::string rendered(const clsF& frame) {
  ByteVector bytes{0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE};
  frame.getbytes(bytes);
  return hex(bytes);
}

// ---------------------------------------------------------------------------
// Parse → check → render → compare, one row per content layout.

struct ParseRow {
  const char* name;
  const char* frameid;
  ByteVector content;
  std::uint8_t encoding;
  std::string language;     // comment frames only
  std::string description;  // comment and URL frames only
  std::string data;
  ByteVector written;  // the rendered content when it differs from `content`
};

class FrameParseTest : public ::testing::TestWithParam<ParseRow> {};

TEST_P(FrameParseTest, ParsesFieldsAndWritesThemBack) {
  const ParseRow& row = GetParam();
  std::shared_ptr<clsF> frame = createFrame(row.frameid);
  ASSERT_TRUE(frame->parsebytes(row.content));

  EXPECT_EQ(frame->textencoding(), row.encoding);
  EXPECT_EQ(hex(frame->data()), hex(row.data));
  if (auto comment = std::dynamic_pointer_cast<clsCF>(frame)) {
    EXPECT_EQ(hex(comment->language()), hex(row.language));
    EXPECT_EQ(hex(comment->description()), hex(row.description));
  } else if (auto url = std::dynamic_pointer_cast<clsWF>(frame)) {
    EXPECT_EQ(hex(url->description()), hex(row.description));
  } else {
    ASSERT_NE(std::dynamic_pointer_cast<clsTF>(frame), nullptr);
  }

  const ByteVector& expected = row.written.empty() ? row.content : row.written;
  EXPECT_EQ(rendered(*frame), hex(expected));
  EXPECT_EQ(frame->framesize(), static_cast<std::int32_t>(expected.size()));
}

const ParseRow kParseRows[] = {
    // Text frames keep every byte after the encoding byte.
    {"TextUtf16KeptByteForByte",
     "TIT2",
     {0x01, 0xFF, 0xFE, 0x41, 0x00},
     1,
     "",
     "",
     raw({0xFF, 0xFE, 0x41, 0x00}),
     {}},
    {"TextWithoutTerminator", "TIT2", {0x00, 0x41, 0x42}, 0, "", "", raw({0x41, 0x42}), {}},
    {"TextOnlyEncodingByte", "TALB", {0x00}, 0, "", "", "", {}},
    {"TextInnerZerosKept",
     "TCON",
     {0x00, 0x41, 0x00, 0x00, 0x42, 0x00},
     0,
     "",
     "",
     raw({0x41, 0x00, 0x00, 0x42, 0x00}),
     {}},
    {"TextUtf8", "TPE1", {0x03, 0xC3, 0xA9, 0x00}, 3, "", "", raw({0xC3, 0xA9, 0x00}), {}},

    // Comment frames: language, description up to its terminator, data.
    {"CommentLatin1",
     "COMM",
     {0x00, 0x65, 0x6E, 0x67, 0x64, 0x00, 0x78, 0x00},
     0,
     raw({0x65, 0x6E, 0x67}),
     raw({0x64, 0x00}),
     raw({0x78, 0x00}),
     {}},
    {"CommentWithoutTerminator",
     "COMM",
     {0x00, 0x65, 0x6E, 0x67, 0x41, 0x42},
     0,
     raw({0x65, 0x6E, 0x67}),
     raw({0x41, 0x42}),
     "",
     {}},
    {"CommentOfFourBytes",
     "COMM",
     {0x00, 0x65, 0x6E, 0x67},
     0,
     raw({0x65, 0x6E, 0x67}),
     "",
     "",
     {}},
    {"CommentEmptyLatin1Description",
     "COMM",
     {0x00, 0x65, 0x6E, 0x67, 0x00, 0x78},
     0,
     raw({0x65, 0x6E, 0x67}),
     raw({0x00}),
     raw({0x78}),
     {}},
    {"CommentUtf16",
     "COMM",
     {0x01, 0x65, 0x6E, 0x67, 0xFF, 0xFE, 0x64, 0x00, 0x00, 0x00, 0xFF, 0xFE, 0x78, 0x00},
     1,
     raw({0x65, 0x6E, 0x67}),
     raw({0xFF, 0xFE, 0x64, 0x00, 0x00, 0x00}),
     raw({0xFF, 0xFE, 0x78, 0x00}),
     {}},
    // "A" then U+0100: the bytes 00 00 at an odd offset are two halves of
    // different characters, not a terminator.
    {"CommentUtf16OddZeroPairIsNoTerminator",
     "COMM",
     {0x01, 0x65, 0x6E, 0x67, 0xFF, 0xFE, 0x41, 0x00, 0x00, 0x01, 0x00, 0x00, 0xFF, 0xFE, 0x78,
      0x00},
     1,
     raw({0x65, 0x6E, 0x67}),
     raw({0xFF, 0xFE, 0x41, 0x00, 0x00, 0x01, 0x00, 0x00}),
     raw({0xFF, 0xFE, 0x78, 0x00}),
     {}},
    {"CommentUtf16ZeroLowByteFirst",
     "COMM",
     {0x01, 0x65, 0x6E, 0x67, 0xFF, 0xFE, 0x00, 0x01, 0x00, 0x00, 0xFF, 0xFE, 0x78, 0x00, 0x00,
      0x00},
     1,
     raw({0x65, 0x6E, 0x67}),
     raw({0xFF, 0xFE, 0x00, 0x01, 0x00, 0x00}),
     raw({0xFF, 0xFE, 0x78, 0x00, 0x00, 0x00}),
     {}},
    {"CommentUtf16OnlyOddZeroPair",
     "COMM",
     {0x01, 0x65, 0x6E, 0x67, 0xFF, 0xFE, 0x41, 0x00, 0x00, 0x42},
     1,
     raw({0x65, 0x6E, 0x67}),
     raw({0xFF, 0xFE, 0x41, 0x00, 0x00, 0x42}),
     "",
     {}},
    {"CommentUtf16EmptyDescription",
     "COMM",
     {0x01, 0x65, 0x6E, 0x67, 0x00, 0x00, 0xFF, 0xFE, 0x78, 0x00},
     1,
     raw({0x65, 0x6E, 0x67}),
     raw({0x00, 0x00}),
     raw({0xFF, 0xFE, 0x78, 0x00}),
     {}},
    // U+0100 then "a" big-endian: 01 00 00 61, with 00 00 at an odd offset.
    {"CommentUtf16Be",
     "COMM",
     {0x02, 0x65, 0x6E, 0x67, 0x01, 0x00, 0x00, 0x61, 0x00, 0x00, 0x00, 0x78},
     2,
     raw({0x65, 0x6E, 0x67}),
     raw({0x01, 0x00, 0x00, 0x61, 0x00, 0x00}),
     raw({0x00, 0x78}),
     {}},
    {"CommentUtf8",
     "COMM",
     {0x03, 0x65, 0x6E, 0x67, 0xC3, 0xA9, 0x00, 0xC3, 0xA8, 0x00},
     3,
     raw({0x65, 0x6E, 0x67}),
     raw({0xC3, 0xA9, 0x00}),
     raw({0xC3, 0xA8, 0x00}),
     {}},

    // URL frames: description up to its terminator, then the URL.
    {"UrlLatin1",
     "WXXX",
     {0x00, 0x41, 0x00, 0x68, 0x74},
     0,
     "",
     raw({0x41, 0x00}),
     raw({0x68, 0x74}),
     {}},
    {"UrlWithoutTerminator",
     "WXXX",
     {0x00, 0x68, 0x74},
     0,
     "",
     raw({0x68, 0x74}),
     raw({0x68, 0x74}),
     {0x00, 0x68, 0x74, 0x68, 0x74}},
    {"UrlOnlyEncodingByte", "WXXX", {0x00}, 0, "", "", "", {}},
    {"UrlUtf16",
     "WXXX",
     {0x01, 0xFF, 0xFE, 0x41, 0x00, 0x00, 0x00, 0x68, 0x74},
     1,
     "",
     raw({0xFF, 0xFE, 0x41, 0x00, 0x00, 0x00}),
     raw({0x68, 0x74}),
     {}},
    {"UrlUtf16OddZeroPairIsNoTerminator",
     "WXXX",
     {0x01, 0x41, 0x00, 0x00, 0x42, 0x00, 0x00, 0x68},
     1,
     "",
     raw({0x41, 0x00, 0x00, 0x42, 0x00, 0x00}),
     raw({0x68}),
     {}},
    {"UrlUtf16Be",
     "WXXX",
     {0x02, 0x00, 0x41, 0x00, 0x00, 0x68, 0x74},
     2,
     "",
     raw({0x00, 0x41, 0x00, 0x00}),
     raw({0x68, 0x74}),
     {}},
    {"UrlUtf8",
     "WXXX",
     {0x03, 0xC3, 0xA9, 0x00, 0x68, 0x74},
     3,
     "",
     raw({0xC3, 0xA9, 0x00}),
     raw({0x68, 0x74}),
     {}},
};

INSTANTIATE_TEST_SUITE_P(Rows, FrameParseTest, ::testing::ValuesIn(kParseRows),
                         [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------
// New frames and setters.

TEST(TextFrameTest, NewFrameIsOneZeroByteOfData) {
  clsTF frame;
  EXPECT_EQ(frame.framesize(), 2);
  EXPECT_EQ(rendered(frame), "00 00");
  EXPECT_EQ(hex(frame.data()), "00");
  EXPECT_EQ(frame.textencoding(), 0);
}

TEST(TextFrameTest, SettingDataAppendsTerminator) {
  clsTF frame;
  frame.data(raw({0x61, 0x62, 0x63}));
  EXPECT_EQ(hex(frame.data()), "61 62 63 00");
  EXPECT_EQ(frame.framesize(), 5);
  EXPECT_EQ(rendered(frame), "00 61 62 63 00");
}

TEST(TextFrameTest, DataEndingInZeroIsStoredUnchanged) {
  clsTF frame;
  frame.data(raw({0x61, 0x00}));
  EXPECT_EQ(hex(frame.data()), "61 00");
  frame.data(raw({0x61, 0x00, 0x00}));
  EXPECT_EQ(hex(frame.data()), "61 00 00");
  frame.data("");
  EXPECT_EQ(hex(frame.data()), "00");
  EXPECT_EQ(frame.framesize(), 2);
}

TEST(TextFrameTest, EncodingByteIsWrittenFirst) {
  clsTF frame;
  frame.textencoding(3);
  frame.data("x");
  EXPECT_EQ(frame.textencoding(), 3);
  EXPECT_EQ(rendered(frame), "03 78 00");
}

TEST(CommentFrameTest, NewFrameIsSixZeroBytes) {
  clsCF frame;
  EXPECT_EQ(frame.framesize(), 6);
  EXPECT_EQ(rendered(frame), "00 00 00 00 00 00");
  EXPECT_EQ(hex(frame.language()), "00 00 00");
  EXPECT_EQ(hex(frame.description()), "00");
  EXPECT_EQ(hex(frame.data()), "00");
}

TEST(CommentFrameTest, LanguageIsPaddedOrCutToThree) {
  clsCF frame;
  frame.language("de");
  EXPECT_EQ(frame.language(), "de ");
  frame.language("english");
  EXPECT_EQ(frame.language(), "eng");
  frame.language("");
  EXPECT_EQ(frame.language(), "   ");
}

TEST(CommentFrameTest, SettersApplyTheTerminatorRule) {
  clsCF frame;
  frame.language("eng");
  frame.description("d");
  frame.data(raw({0x78, 0x00}));
  EXPECT_EQ(hex(frame.description()), "64 00");
  EXPECT_EQ(hex(frame.data()), "78 00");
  EXPECT_EQ(frame.framesize(), 8);
  EXPECT_EQ(rendered(frame), "00 65 6E 67 64 00 78 00");
  frame.description("");
  EXPECT_EQ(hex(frame.description()), "00");
}

TEST(CommentFrameTest, Utf16FieldsSetByCallerRoundTrip) {
  clsCF written;
  written.textencoding(1);
  written.language("eng");
  written.description(raw({0xFF, 0xFE, 0x64, 0x00, 0x00, 0x00}));
  written.data(raw({0xFF, 0xFE, 0x00, 0x01}));
  EXPECT_EQ(hex(written.description()), "FF FE 64 00 00 00");
  // The rule appends one zero byte, whatever the encoding.
  EXPECT_EQ(hex(written.data()), "FF FE 00 01 00");

  ByteVector bytes;
  written.getbytes(bytes);
  clsCF read;
  ASSERT_TRUE(read.parsebytes(bytes));
  EXPECT_EQ(read.textencoding(), 1);
  EXPECT_EQ(read.language(), "eng");
  EXPECT_EQ(hex(read.description()), "FF FE 64 00 00 00");
  EXPECT_EQ(hex(read.data()), "FF FE 00 01 00");
  EXPECT_EQ(rendered(read), hex(bytes));
}

TEST(CommentFrameTest, ContentShorterThanFourBytesIsRejected) {
  const std::vector<ByteVector> tooShort = {{}, {0x00}, {0x00, 0x65}, {0x00, 0x65, 0x6E}};
  for (const ByteVector& content : tooShort) {
    clsCF frame;
    frame.textencoding(3);
    frame.language("abc");
    frame.description("d");
    frame.data("x");
    EXPECT_FALSE(frame.parsebytes(content)) << content.size() << " bytes";
    EXPECT_EQ(rendered(frame), "03 61 62 63 64 00 78 00") << content.size() << " bytes";
  }
}

TEST(UrlFrameTest, NewFrameIsThreeZeroBytes) {
  clsWF frame;
  EXPECT_EQ(frame.framesize(), 3);
  EXPECT_EQ(rendered(frame), "00 00 00");
  EXPECT_EQ(hex(frame.description()), "00");
  EXPECT_EQ(hex(frame.data()), "00");
}

TEST(UrlFrameTest, SettersApplyTheTerminatorRule) {
  clsWF frame;
  frame.description("A");
  frame.data("ht");
  EXPECT_EQ(frame.framesize(), 6);
  EXPECT_EQ(rendered(frame), "00 41 00 68 74 00");
  frame.description(raw({0x41, 0x00}));
  frame.data("");
  EXPECT_EQ(rendered(frame), "00 41 00 00");
}

// ---------------------------------------------------------------------------
// Values read and set as UTF-8 through the frame base, whatever the kind.

TEST(FrameValueTest, TextValueChoosesTheEncoding) {
  clsTF text;
  clsF& frame = text;
  frame.setValueText("Caf\xC3\xA9");
  EXPECT_EQ(rendered(frame), "00 43 61 66 E9 00");
  frame.setValueText("\xE2\x98\x83");
  EXPECT_EQ(rendered(frame), "01 FF FE 03 26 00 00");
  EXPECT_EQ(frame.valueText(), std::string("\xE2\x98\x83") + '\0');
}

TEST(FrameValueTest, CommentDescriptionFollowsTheValuesEncoding) {
  clsCF comment;
  comment.language("eng");
  comment.description("d");
  clsF& frame = comment;
  frame.setValueText("\xE2\x98\x83");
  EXPECT_EQ(rendered(frame), "01 65 6E 67 FF FE 64 00 00 00 FF FE 03 26 00 00");
  EXPECT_EQ(frame.valueText(), std::string("\xE2\x98\x83") + '\0');
  frame.setValueText("ok");
  EXPECT_EQ(rendered(frame), "00 65 6E 67 64 00 6F 6B 00");
}

TEST(FrameValueTest, UrlIsLatin1WhateverTheEncoding) {
  clsWF url;
  url.description("d");
  clsF& frame = url;
  // A character beyond Latin-1 is escaped and does not make the frame UTF-16.
  frame.setValueText("http://a/\xE2\x98\x83");
  EXPECT_EQ(rendered(frame), "00 64 00 68 74 74 70 3A 2F 2F 61 2F 25 45 32 25 39 38 25 38 33 00");
  EXPECT_EQ(frame.valueText(), "http://a/%E2%98%83" + std::string(1, '\0'));
  // A broken sequence escapes its lead byte alone; the next character stays.
  frame.setValueText("a\xC3Z");
  EXPECT_EQ(frame.valueText(), "a%C3Z" + std::string(1, '\0'));

  // A UTF-16 description keeps the frame UTF-16; the URL stays Latin-1.
  clsWF described;
  described.textencoding(1);
  described.description(raw({0xFF, 0xFE, 0x03, 0x26, 0x00, 0x00}));
  clsF& utf16 = described;
  utf16.setValueText("http://b/\xC3\xA9");
  EXPECT_EQ(rendered(utf16), "01 FF FE 03 26 00 00 68 74 74 70 3A 2F 2F 62 2F E9 00");
  EXPECT_EQ(utf16.valueText(), "http://b/\xC3\xA9" + std::string(1, '\0'));
}

TEST(FrameTest, EmptyContentIsRejectedByTextAndUrlFrames) {
  clsTF text;
  text.data("keep");
  EXPECT_FALSE(text.parsebytes(ByteVector{}));
  EXPECT_EQ(hex(text.data()), "6B 65 65 70 00");

  clsWF url;
  url.data("keep");
  EXPECT_FALSE(url.parsebytes(ByteVector{}));
  EXPECT_EQ(hex(url.data()), "6B 65 65 70 00");
}

TEST(FrameTest, ParsingReplacesEarlierFields) {
  clsCF frame;
  ASSERT_TRUE(frame.parsebytes(ByteVector{0x01, 0x65, 0x6E, 0x67, 0x00, 0x00, 0x41, 0x00}));
  ASSERT_TRUE(frame.parsebytes(ByteVector{0x00, 0x64, 0x65, 0x75, 0x42}));
  EXPECT_EQ(frame.textencoding(), 0);
  EXPECT_EQ(frame.language(), "deu");
  EXPECT_EQ(hex(frame.description()), "42");
  EXPECT_EQ(frame.data(), "");
  EXPECT_EQ(rendered(frame), "00 64 65 75 42");
}

TEST(FrameTest, FrameIdIsPaddedOrCutToFour) {
  clsTF frame;
  EXPECT_EQ(hex(frame.frameid()), "00 00 00 00");
  frame.frameid("TIT");
  EXPECT_EQ(frame.frameid(), "TIT ");
  frame.frameid("TIT2X");
  EXPECT_EQ(frame.frameid(), "TIT2");
  frame.frameid("");
  EXPECT_EQ(frame.frameid(), "    ");
}

TEST(FrameTest, FlagsAreKeptAndNotTouchedByParsing) {
  clsCF frame;
  std::array<std::uint8_t, 2> flags{0xAA, 0xBB};
  frame.getflags(flags);
  EXPECT_EQ(flags, (std::array<std::uint8_t, 2>{0x00, 0x00}));

  const std::array<std::uint8_t, 2> set{0x40, 0x20};
  frame.setflags(set);
  frame.frameid("COMM");
  ASSERT_TRUE(frame.parsebytes(ByteVector{0x00, 0x65, 0x6E, 0x67}));
  frame.getflags(flags);
  EXPECT_EQ(flags, set);
  EXPECT_EQ(frame.frameid(), "COMM");
}

// ---------------------------------------------------------------------------
// Opaque frames.

TEST(OpaqueFrameTest, PictureLikeContentRoundTripsByteForByte) {
  // Encoding, "image/png", terminator, picture type, empty description,
  // then the start of a picture with zero bytes inside.
  const ByteVector content{0x00, 0x69, 0x6D, 0x61, 0x67, 0x65, 0x2F, 0x70, 0x6E,
                           0x67, 0x00, 0x03, 0x00, 0x89, 0x50, 0x4E, 0x47, 0x0D,
                           0x0A, 0x1A, 0x0A, 0x00, 0x00, 0x00, 0x0D, 0xFF, 0x00};
  std::shared_ptr<clsF> frame = createFrame("APIC");
  ASSERT_TRUE(frame->isOpaque());
  ASSERT_TRUE(frame->parsebytes(content));
  EXPECT_EQ(frame->framesize(), static_cast<std::int32_t>(content.size()));
  EXPECT_EQ(rendered(*frame), hex(content));
  EXPECT_EQ(frame->data(), "");
}

TEST(OpaqueFrameTest, EncodingByteIsNotInterpreted) {
  clsOF frame;
  const ByteVector content{0x01, 0xFF, 0xFE, 0x41, 0x00, 0x00};
  ASSERT_TRUE(frame.parsebytes(content));
  frame.textencoding(3);
  frame.data("ignored");
  EXPECT_EQ(frame.data(), "");
  EXPECT_EQ(frame.framesize(), 6);
  EXPECT_EQ(rendered(frame), "01 FF FE 41 00 00");
}

TEST(OpaqueFrameTest, NewAndEmptyFramesHaveNoContent) {
  clsOF frame;
  EXPECT_TRUE(frame.isOpaque());
  EXPECT_EQ(frame.framesize(), 0);
  EXPECT_EQ(rendered(frame), "");
  ASSERT_TRUE(frame.parsebytes(ByteVector{0x07}));
  ASSERT_TRUE(frame.parsebytes(ByteVector{}));
  EXPECT_EQ(rendered(frame), "");
}

TEST(OpaqueFrameTest, EditableKindsAreNotOpaque) {
  EXPECT_FALSE(clsTF().isOpaque());
  EXPECT_FALSE(clsCF().isOpaque());
  EXPECT_FALSE(clsWF().isOpaque());
}

// ---------------------------------------------------------------------------
// Frame kinds by id, and the well-known frame numbers.

struct KindRow {
  const char* id;
  FrameKind kind;
};

class FrameKindTest : public ::testing::TestWithParam<KindRow> {};

TEST_P(FrameKindTest, IdPicksKindAndClass) {
  const KindRow& row = GetParam();
  EXPECT_EQ(kindOf(row.id), row.kind);
  std::shared_ptr<clsF> frame = createFrame(row.id);
  ASSERT_NE(frame, nullptr);
  switch (row.kind) {
    case FrameKind::Text:
      EXPECT_NE(std::dynamic_pointer_cast<clsTF>(frame), nullptr);
      break;
    case FrameKind::Comment:
      EXPECT_NE(std::dynamic_pointer_cast<clsCF>(frame), nullptr);
      break;
    case FrameKind::Url:
      EXPECT_NE(std::dynamic_pointer_cast<clsWF>(frame), nullptr);
      break;
    case FrameKind::Opaque:
      EXPECT_NE(std::dynamic_pointer_cast<clsOF>(frame), nullptr);
      break;
  }
}

const KindRow kKindRows[] = {
    {"TRCK", FrameKind::Text},    {"TIT2", FrameKind::Text},    {"TPE1", FrameKind::Text},
    {"TALB", FrameKind::Text},    {"TYER", FrameKind::Text},    {"TCON", FrameKind::Text},
    {"TCOM", FrameKind::Text},    {"TOPE", FrameKind::Text},    {"TCOP", FrameKind::Text},
    {"TENC", FrameKind::Text},    {"TDRC", FrameKind::Text},    {"WXXX", FrameKind::Url},
    {"COMM", FrameKind::Comment}, {"TXXX", FrameKind::Opaque},  {"APIC", FrameKind::Opaque},
    {"WOAR", FrameKind::Opaque},  {"tit2", FrameKind::Opaque},  {"Comm", FrameKind::Opaque},
    {"TIT", FrameKind::Opaque},   {"TIT2 ", FrameKind::Opaque}, {"", FrameKind::Opaque},
};

INSTANTIATE_TEST_SUITE_P(Ids, FrameKindTest, ::testing::ValuesIn(kKindRows), [](const auto& info) {
  std::string name = "Id_";
  for (char c : std::string(info.param.id)) name += c == ' ' ? '_' : c;
  return name + "_" + std::to_string(info.index);
});

TEST(CreateFrameTest, CreatedFrameCarriesItsId) {
  EXPECT_EQ(createFrame("TIT2")->frameid(), "TIT2");
  EXPECT_EQ(createFrame("COMM")->frameid(), "COMM");
  EXPECT_EQ(createFrame("PRIV")->frameid(), "PRIV");
  EXPECT_EQ(createFrame("TIT")->frameid(), "TIT ");
}

TEST(FrameIdTest, NumbersOutsideTheRangeHaveNoId) {
  EXPECT_EQ(frameIdText(0), "");
  EXPECT_EQ(frameIdText(1), "TRCK");
  EXPECT_EQ(frameIdText(12), "TENC");
  EXPECT_EQ(frameIdText(13), "");
  EXPECT_EQ(frameIdText(-1), "");
}

TEST(FrameIdTest, EveryWellKnownFrameHasAnEditableKind) {
  const std::vector<std::pair<ID3v2FrameId, const char*>> ids = {
      {TRCK, "TRCK"}, {TIT2, "TIT2"}, {TPE1, "TPE1"}, {TALB, "TALB"},
      {TYER, "TYER"}, {TCON, "TCON"}, {COMM, "COMM"}, {TCOM, "TCOM"},
      {TOPE, "TOPE"}, {TCOP, "TCOP"}, {WXXX, "WXXX"}, {TENC, "TENC"},
  };
  for (const auto& [number, id] : ids) {
    EXPECT_EQ(frameIdText(number), id);
    EXPECT_NE(kindOf(frameIdText(number)), FrameKind::Opaque) << id;
  }
}

}  // namespace
}  // namespace brindle::id3v2
