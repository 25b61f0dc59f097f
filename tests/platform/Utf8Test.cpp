// The UTF-8 decoder and encoder: which sequences are well-formed, how far a
// malformed one reaches, and code points written back.
#include "platform/Utf8.h"

#include <gtest/gtest.h>

#include <string>

namespace brindle::platform::utf8 {
namespace {

TEST(Utf8, WellFormedOnly) {
  EXPECT_TRUE(isValid("plain.txt"));
  EXPECT_TRUE(isValid("Ça va \xF0\x9F\x8E\xB5.mp3"));
  EXPECT_TRUE(isValid(""));
  EXPECT_FALSE(isValid("\xE9t\xE9"));         // Latin-1
  EXPECT_FALSE(isValid("\xC0\xAF"));          // overlong "/"
  EXPECT_FALSE(isValid("\xE0\x80\xAF"));      // overlong "/"
  EXPECT_FALSE(isValid("\xED\xA0\x80"));      // surrogate
  EXPECT_FALSE(isValid("\xF4\x90\x80\x80"));  // above U+10FFFF
  EXPECT_FALSE(isValid("\xE2\x82"));          // cut short
}

TEST(Utf8, DecodesEachLength) {
  const std::string text = "h\u00E9\u2603\U0001D11E";
  std::size_t at = 0;
  for (char32_t expected : {U'h', U'\u00E9', U'\u2603', U'\U0001D11E'}) {
    const Decoded decoded = decodeAt(text, at);
    EXPECT_TRUE(decoded.valid);
    EXPECT_EQ(decoded.codePoint, expected);
    at += decoded.length;
  }
  EXPECT_EQ(at, text.size());
}

TEST(Utf8, MalformedReachesOnlyOverAValidStart) {
  // A sequence cut short by ASCII ends before the ASCII character.
  Decoded decoded = decodeAt(
      "\xE2\x82"
      "a",
      0);
  EXPECT_FALSE(decoded.valid);
  EXPECT_EQ(decoded.codePoint, kReplacementCharacter);
  EXPECT_EQ(decoded.length, 2u);
  // A lone continuation byte, an overlong lead and a surrogate's first byte
  // pair are one byte each.
  EXPECT_EQ(decodeAt("\x80"
                     "A",
                     0)
                .length,
            1u);
  EXPECT_EQ(decodeAt("\xC0\xAF", 0).length, 1u);
  EXPECT_EQ(decodeAt("\xED\xA0\x80", 0).length, 1u);
  EXPECT_EQ(decodeAt("\xF4\x90\x80\x80", 0).length, 1u);
  EXPECT_EQ(decodeAt("a\xC3", 1).length, 1u);
}

TEST(Utf8, SequenceLengthIsZeroWhenMalformed) {
  EXPECT_EQ(sequenceLength("a\u00F1b", 0), 1u);
  EXPECT_EQ(sequenceLength("a\u00F1b", 1), 2u);
  EXPECT_EQ(sequenceLength("\U0001F3B5", 0), 4u);
  EXPECT_EQ(sequenceLength("\xE9t", 0), 0u);
  EXPECT_EQ(sequenceLength("\xE2\x82", 0), 0u);
}

TEST(Utf8, AppendsEachLength) {
  std::string out;
  for (char32_t codePoint : {U'A', U'\u00FF', U'\u2603', U'\U0001D11E', kReplacementCharacter}) {
    append(out, codePoint);
  }
  EXPECT_EQ(out, "A\u00FF\u2603\U0001D11E\uFFFD");
}

}  // namespace
}  // namespace brindle::platform::utf8
