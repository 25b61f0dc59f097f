// Tests of the text encodings: terminator search, decoding of raw frame text
// (several strings, byte order marks, broken input), the ISO-8859-1 check
// and encoding back to bytes.
#include "id3v2/TextCodec.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace brindle::id3v2 {
namespace {

// A byte string (one char per byte) from byte values.
std::string raw(std::initializer_list<std::uint8_t> bytes) {
  return std::string(bytes.begin(), bytes.end());
}

using namespace std::string_literals;

constexpr std::size_t npos = std::string_view::npos;

// U+FFFD in UTF-8.
const std::string kBad = "\xEF\xBF\xBD";

TEST(TerminatorTest, OneZeroByteOrTwo) {
  EXPECT_EQ(terminatorOf(0), "\0"s);
  EXPECT_EQ(terminatorOf(1), "\0\0"s);
  EXPECT_EQ(terminatorOf(2), "\0\0"s);
  EXPECT_EQ(terminatorOf(3), "\0"s);
  EXPECT_EQ(terminatorOf(9), "\0"s);
}

TEST(TerminatorTest, SingleByteEncodingsFindFirstZero) {
  const std::string text = raw({0x41, 0x00, 0x42, 0x00});
  EXPECT_EQ(findTerminator(0, text), 1u);
  EXPECT_EQ(findTerminator(3, text, 2), 3u);
  EXPECT_EQ(findTerminator(0, text, 4), npos);
  EXPECT_EQ(findTerminator(0, text, 9), npos);
  EXPECT_EQ(findTerminator(0, "AB"), npos);
}

TEST(TerminatorTest, Utf16FindsZeroPairsAtEvenOffsetsOnly) {
  // 41 00 | 00 01 | 00 00: the pair at offset 1 is not aligned.
  const std::string text = raw({0x41, 0x00, 0x00, 0x01, 0x00, 0x00});
  EXPECT_EQ(findTerminator(1, text), 4u);
  EXPECT_EQ(findTerminator(2, text), 4u);
  // Counted from 1 the pairs are 00 00 | 01 00 | 00.
  EXPECT_EQ(findTerminator(1, text, 1), 1u);
  EXPECT_EQ(findTerminator(1, raw({0x41, 0x00, 0x00, 0x42})), npos);
  EXPECT_EQ(findTerminator(1, raw({0x41, 0x00, 0x00})), npos);
  EXPECT_EQ(findTerminator(1, text, 7), npos);
}

struct DecodeRow {
  const char* name;
  std::uint8_t encoding;
  std::string raw;
  std::string utf8;
};

class DecodeTest : public ::testing::TestWithParam<DecodeRow> {};

TEST_P(DecodeTest, DecodesToUtf8) {
  const DecodeRow& row = GetParam();
  EXPECT_EQ(decodeText(row.encoding, row.raw), row.utf8);
}

const DecodeRow kDecodeRows[] = {
    {"Latin1", 0, raw({0x63, 0x61, 0x66, 0xE9}), "caf\u00E9"},
    {"Latin1Empty", 0, "", ""},
    {"Latin1SeveralStrings", 0, raw({0x61, 0x00, 0x62, 0x00}), "a\0b\0"s},
    {"UnknownEncodingIsLatin1", 7, raw({0xE9, 0xFF}), "\u00E9\u00FF"},
    {"Utf16LittleEndianBom", 1, raw({0xFF, 0xFE, 0x41, 0x00, 0xA9, 0x03}), "A\u03A9"},
    {"Utf16BigEndianBom", 1, raw({0xFE, 0xFF, 0x00, 0x41, 0x03, 0xA9}), "A\u03A9"},
    {"Utf16MissingBomIsLittleEndian", 1, raw({0x41, 0x00, 0x42, 0x00}), "AB"},
    {"Utf16OnlyBom", 1, raw({0xFF, 0xFE}), ""},
    {"Utf16StringsWithOwnBoms", 1,
     raw({0xFF, 0xFE, 0x41, 0x00, 0x00, 0x00, 0xFE, 0xFF, 0x00, 0x42, 0x00, 0x00}), "A\0B\0"s},
    {"Utf16SecondStringWithoutBom", 1, raw({0xFF, 0xFE, 0x41, 0x00, 0x00, 0x00, 0x42, 0x00}),
     "A\0B"s},
    {"Utf16OddZeroPairInsideString", 1, raw({0xFF, 0xFE, 0x41, 0x00, 0x00, 0x01}), "A\u0100"},
    {"Utf16SurrogatePair", 1, raw({0xFF, 0xFE, 0x34, 0xD8, 0x1E, 0xDD}), "\U0001D11E"},
    {"Utf16OddTrailingByte", 1, raw({0xFF, 0xFE, 0x41, 0x00, 0x42}), "A" + kBad},
    {"Utf16UnpairedHighSurrogate", 1, raw({0xFF, 0xFE, 0x3D, 0xD8, 0x41, 0x00}), kBad + "A"},
    {"Utf16HighSurrogateAtEnd", 1, raw({0xFF, 0xFE, 0x41, 0x00, 0x3D, 0xD8}), "A" + kBad},
    {"Utf16UnpairedLowSurrogate", 1, raw({0xFF, 0xFE, 0x1E, 0xDD, 0x41, 0x00}), kBad + "A"},
    {"Utf16BigEndian", 2, raw({0x00, 0x41, 0x03, 0xA9}), "A\u03A9"},
    {"Utf16BigEndianBomDropped", 2, raw({0xFE, 0xFF, 0x00, 0x41}), "A"},
    {"Utf16BigEndianSeveralStrings", 2, raw({0x00, 0x41, 0x00, 0x00, 0x00, 0x42}), "A\0B"s},
    {"Utf16BigEndianSurrogatePair", 2, raw({0xD8, 0x34, 0xDD, 0x1E}), "\U0001D11E"},
    {"Utf16BigEndianOddTrailingByte", 2, raw({0x00, 0x41, 0x42}), "A" + kBad},
    {"Utf8", 3, raw({0x68, 0xC3, 0xA9, 0xE2, 0x98, 0x83}), "h\u00E9\u2603"},
    {"Utf8SeveralStrings", 3, raw({0x61, 0x00, 0x62}), "a\0b"s},
    {"Utf8InvalidByte", 3, raw({0x61, 0xFF, 0x62}), "a" + kBad + "b"},
    {"Utf8Truncated", 3, raw({0x61, 0xC3}), "a" + kBad},
    {"Utf8TruncatedBeforeAscii", 3, raw({0xE2, 0x82, 0x61}), kBad + "a"},
    {"Utf8Overlong", 3, raw({0xC0, 0xAF}), kBad + kBad},
    {"Utf8EncodedSurrogate", 3, raw({0xED, 0xA0, 0x80}), kBad + kBad + kBad},
    {"Utf8AboveUnicode", 3, raw({0xF4, 0x90, 0x80, 0x80}), kBad + kBad + kBad + kBad},
    {"Utf8LoneContinuation", 3, raw({0x80, 0x41}), kBad + "A"},
};

INSTANTIATE_TEST_SUITE_P(Rows, DecodeTest, ::testing::ValuesIn(kDecodeRows),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(DecodeTextTest, EmptyTextIsEmptyInEveryEncoding) {
  for (std::uint8_t enc = 0; enc <= 3; ++enc) EXPECT_EQ(decodeText(enc, ""), "") << int{enc};
}

TEST(Latin1Test, FitsOnlyUpToU00FF) {
  EXPECT_TRUE(fitsLatin1(""));
  EXPECT_TRUE(fitsLatin1("abc"));
  EXPECT_TRUE(fitsLatin1("caf\u00E9 \u00FF"));
  EXPECT_TRUE(fitsLatin1("a\0b"s));
  EXPECT_FALSE(fitsLatin1("\u0100"));
  EXPECT_FALSE(fitsLatin1("\u03A9mega"));
  EXPECT_FALSE(fitsLatin1("\U0001D11E"));
}

TEST(Latin1Test, InvalidUtf8DoesNotFit) {
  EXPECT_FALSE(fitsLatin1(raw({0x63, 0x61, 0x66, 0xE9})));
  EXPECT_FALSE(fitsLatin1(raw({0xC3})));
  EXPECT_FALSE(fitsLatin1(raw({0xC0, 0x80})));
}

TEST(EncodeTest, BytesOfEachEncoding) {
  EXPECT_EQ(encodeText(0, "caf\u00E9"), raw({0x63, 0x61, 0x66, 0xE9}));
  EXPECT_EQ(encodeText(0, "\u03A9mega \U0001D11E"), "?mega ?");
  EXPECT_EQ(encodeText(1, "A\u00E9"), raw({0xFF, 0xFE, 0x41, 0x00, 0xE9, 0x00}));
  EXPECT_EQ(encodeText(1, ""), raw({0xFF, 0xFE}));
  EXPECT_EQ(encodeText(1, "\U0001D11E"), raw({0xFF, 0xFE, 0x34, 0xD8, 0x1E, 0xDD}));
  EXPECT_EQ(encodeText(2, "A\u00E9"), raw({0x00, 0x41, 0x00, 0xE9}));
  EXPECT_EQ(encodeText(2, "\U0001D11E"), raw({0xD8, 0x34, 0xDD, 0x1E}));
  EXPECT_EQ(encodeText(3, "h\u00E9"), raw({0x68, 0xC3, 0xA9}));
  EXPECT_EQ(encodeText(9, "\u00E9"), raw({0xE9}));
}

TEST(EncodeTest, NoTerminatorIsAdded) {
  EXPECT_EQ(encodeText(0, ""), "");
  EXPECT_EQ(encodeText(2, ""), "");
  EXPECT_EQ(encodeText(3, ""), "");
}

TEST(EncodeTest, InvalidUtf8IsEncodedAsReplacement) {
  EXPECT_EQ(encodeText(0, raw({0x61, 0xFF})), "a?");
  EXPECT_EQ(encodeText(2, raw({0xFF})), raw({0xFF, 0xFD}));
}

struct RoundTripRow {
  const char* name;
  std::uint8_t encoding;
  std::string utf8;
};

class EncodeRoundTripTest : public ::testing::TestWithParam<RoundTripRow> {};

TEST_P(EncodeRoundTripTest, DecodesToTheSameText) {
  const RoundTripRow& row = GetParam();
  EXPECT_EQ(decodeText(row.encoding, encodeText(row.encoding, row.utf8)), row.utf8);
}

const RoundTripRow kRoundTripRows[] = {
    {"Latin1AsLatin1", 0, "caf\u00E9 \u00FF"},
    {"Latin1AsUtf16", 1, "caf\u00E9 \u00FF"},
    {"Latin1AsUtf16Be", 2, "caf\u00E9 \u00FF"},
    {"Latin1AsUtf8", 3, "caf\u00E9 \u00FF"},
    {"WideAsUtf16", 1, "\u03A9mega \u2603 \U0001D11E"},
    {"WideAsUtf16Be", 2, "\u03A9mega \u2603 \U0001D11E"},
    {"WideAsUtf8", 3, "\u03A9mega \u2603 \U0001D11E"},
    {"SeveralStringsAsUtf16", 1, "A\0\u03A9"s},
    {"SeveralStringsAsUtf16Be", 2, "A\0\u03A9"s},
    {"EmptyAsUtf16", 1, ""},
};

INSTANTIATE_TEST_SUITE_P(Rows, EncodeRoundTripTest, ::testing::ValuesIn(kRoundTripRows),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(EncodeTest, WideTextLosesCharactersInLatin1) {
  EXPECT_EQ(decodeText(0, encodeText(0, "\u03A9mega \u2603 \U0001D11E")), "?mega ? ?");
}

}  // namespace
}  // namespace brindle::id3v2
